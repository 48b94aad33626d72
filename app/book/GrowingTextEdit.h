#pragma once

#include <QPlainTextEdit>

namespace quillfen {

// A plain text field of several lines that is always as high as its text wrapped at its own width,
// from `minimumLines` up to `maximumLines` (0: no limit), and reports every change the user makes.
// It fits again on every edit, on showing and whenever its width changes, and scrolls only past the
// maximum. GUI thread only.
class GrowingTextEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    GrowingTextEdit(int minimumLines, int maximumLines, QWidget* parent);

    // Shows a stored text without reporting it, keeping the cursor when the text is unchanged.
    void setStoredText(const QString& text);
    // The number of lines the text takes when wrapped at `width` pixels of the field's text area.
    int wrappedLines(int width) const;

Q_SIGNALS:
    void edited(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fit();

    int m_minimumLines;
    int m_maximumLines;
};

}  // namespace quillfen
