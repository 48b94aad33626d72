#include "app/book/GrowingTextEdit.h"

#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace quillfen {

GrowingTextEdit::GrowingTextEdit(int minimumLines, int maximumLines, QWidget* parent)
    : QPlainTextEdit(parent), m_minimumLines(minimumLines), m_maximumLines(maximumLines) {
    setTabChangesFocus(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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

// Lays each paragraph out as the field does, wrapped at the width of its text area less the
// document's margins, independent of how far the field has laid out its own text yet.
int GrowingTextEdit::wrappedLines(int width) const {
    const double lineWidth = std::max(width - 2 * document()->documentMargin(), 1.0);
    const QTextOption option = document()->defaultTextOption();
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        QTextLayout layout(block.text(), font());
        layout.setTextOption(option);
        layout.beginLayout();
        int blockLines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            ++blockLines;
        }
        layout.endLayout();
        lines += std::max(blockLines, 1);
    }
    return lines;
}

void GrowingTextEdit::fit() {
    const int lines = wrappedLines(contentsRect().width());
    const bool overflows = m_maximumLines > 0 && lines > m_maximumLines;
    const int shown = std::clamp(lines, m_minimumLines, overflows ? m_maximumLines : std::max(lines, m_minimumLines));
    setVerticalScrollBarPolicy(overflows ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // The field scrolls once its text reaches one pixel above the bottom margin, and its last paragraph
    // carries that margin too: one pixel more than the two margins keeps it still.
    const int margins = static_cast<int>(std::ceil(document()->documentMargin() * 2)) + 1 + frameWidth() * 2;
    setFixedHeight(fontMetrics().lineSpacing() * shown + margins);
}

// A new height set while the field handles its resize would leave its text area at the old height, so
// the new width is fitted right after.
void GrowingTextEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) {
        QMetaObject::invokeMethod(this, &GrowingTextEdit::fit, Qt::QueuedConnection);
    }
}

void GrowingTextEdit::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    fit();
}

}  // namespace quillfen
