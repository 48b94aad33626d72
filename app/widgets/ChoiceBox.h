#pragma once

#include <QComboBox>

namespace quillfen {

// A pop-up button for an inspector column: it asks for little width, shows its current entry elided
// to the width it gets (the whole entry then in its tooltip), and opens a list wide enough for its
// longest entry. GUI thread only.
class ChoiceBox : public QComboBox {
    Q_OBJECT

public:
    explicit ChoiceBox(QWidget* parent);

    // The current entry as the closed box shows it.
    QString shownText() const;
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateTip();
};

}  // namespace quillfen
