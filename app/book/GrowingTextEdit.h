#pragma once

#include <QPlainTextEdit>

namespace quillfen {

// A plain text field of several lines that grows with its text from `minimumLines` up to
// `maximumLines` (0: no limit) and reports every change the user makes. GUI thread only.
class GrowingTextEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    GrowingTextEdit(int minimumLines, int maximumLines, QWidget* parent);

    // Shows a stored text without reporting it, keeping the cursor when the text is unchanged.
    void setStoredText(const QString& text);

Q_SIGNALS:
    void edited(const QString& text);

private:
    void fit();

    int m_minimumLines;
    int m_maximumLines;
};

}  // namespace quillfen
