#include "app/book/GrowingTextEdit.h"

#include <QSignalBlocker>
#include <QTextBlock>

#include <algorithm>
#include <cmath>

namespace quillfen {

GrowingTextEdit::GrowingTextEdit(int minimumLines, int maximumLines, QWidget* parent)
    : QPlainTextEdit(parent), m_minimumLines(minimumLines), m_maximumLines(maximumLines) {
    setTabChangesFocus(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { Q_EMIT edited(toPlainText()); });
    connect(document(), &QTextDocument::contentsChanged, this, &GrowingTextEdit::fit);
    fit();
}

void GrowingTextEdit::setStoredText(const QString& text) {
    if (toPlainText() == text) return;
    const QSignalBlocker blocker(this);
    setPlainText(text);
    fit();
}

void GrowingTextEdit::fit() {
    // Line counts of the wrapped text; the plain text layout counts in lines.
    int lines = 0;
    for (auto block = document()->begin(); block.isValid(); block = block.next()) {
        lines += std::max(block.lineCount(), 1);
    }
    lines = std::max(lines, m_minimumLines);
    if (m_maximumLines > 0) lines = std::min(lines, m_maximumLines);
    const int frame = static_cast<int>(std::ceil(document()->documentMargin() * 2)) + frameWidth() * 2;
    setFixedHeight(fontMetrics().lineSpacing() * lines + frame);
}

}  // namespace quillfen
