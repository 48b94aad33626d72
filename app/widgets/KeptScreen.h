#pragma once

namespace quillfen {

// A screen the main window keeps built while another one fills its column, so that coming back to it
// builds nothing. Set aside, it follows the model no more and lets go of what only showing needs; set
// back, it shows the model as it is now before it is seen. GUI thread only.
class KeptScreen {
public:
    virtual ~KeptScreen() = default;

    void setAside(bool aside) {
        if (aside == m_aside) return;
        m_aside = aside;
        if (aside) {
            letGo();
        } else {
            catchUp();
        }
    }
    bool isAside() const { return m_aside; }

protected:
    // Set back: brings the screen up to date with the model.
    virtual void catchUp() = 0;
    // Set aside: drops decoded pictures and pending work that only showing needs.
    virtual void letGo() {}

private:
    bool m_aside = false;
};

}  // namespace quillfen
