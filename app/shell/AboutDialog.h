#pragma once

#include <QPointer>

#include <QMessageBox>

namespace quillfen {

// The About window: the application's name, version and icon, and its credits. One window, shown
// again and brought to the front on every request; a window of its own. GUI thread only.
class AboutDialog {
public:
    AboutDialog() = default;
    ~AboutDialog();
    AboutDialog(const AboutDialog&) = delete;
    AboutDialog& operator=(const AboutDialog&) = delete;

    void show();
    QMessageBox* window() const { return m_box; }

    // The credits: what the application does, then its privacy note.
    static QString credits();

private:
    QPointer<QMessageBox> m_box;
};

}  // namespace quillfen
