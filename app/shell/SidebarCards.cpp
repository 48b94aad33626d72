#include "app/shell/SidebarCards.h"

#include "app/widgets/ScaledPictures.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace quillfen {

CoverSwatch::CoverSwatch(QWidget* parent) : QWidget(parent), m_scaled(new ScaledPictures(4, this)) {
    setFixedSize(44, 46);  // 44 × 44 and the shadow below
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(m_scaled, &ScaledPictures::ready, this, qOverload<>(&QWidget::update));
}

void CoverSwatch::setCover(const QColor& color, const QImage& thumb) {
    if (color == m_color && thumb.cacheKey() == m_thumb.cacheKey()) return;
    m_color = color;
    m_thumb = thumb;
    update();
}

void CoverSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate(0, 0, 44, 44);
    QPainterPath shadow;
    shadow.addRoundedRect(plate.translated(0, 1), 4, 4);
    painter.fillPath(shadow, QColor(0, 0, 0, 84));
    QPainterPath path;
    path.addRoundedRect(plate, 4, 4);
    painter.fillPath(path, m_color);
    const QPixmap thumb = m_scaled->pixmap(m_thumb, QSizeF(34, 34), devicePixelRatioF());
    if (thumb.isNull()) return;
    const QSizeF size = thumb.deviceIndependentSize();
    painter.drawPixmap(QRectF(plate.center() - QPointF(size.width() / 2, size.height() / 2), size), thumb,
                       QRectF(thumb.rect()));
}

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setMinimumWidth(0);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text) {
    if (text == m_full) return;
    m_full = text;
    elide();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide() {
    const QString shown = fontMetrics().elidedText(m_full, Qt::ElideRight, contentsRect().width());
    if (shown != text()) setText(shown);
}

SidebarCard::SidebarCard(QWidget* leading, QMargins padding, QWidget* parent)
    : QAbstractButton(parent), m_headline(new ElidedLabel), m_caption(new ElidedLabel) {
    setFocusPolicy(Qt::TabFocus);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(padding);
    row->setSpacing(10);
    row->addWidget(leading, 0, Qt::AlignVCenter);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    QFont headlineFont = m_headline->font();
    headlineFont.setBold(true);
    m_headline->setFont(headlineFont);
    QFont captionFont = m_caption->font();
    captionFont.setPointSizeF(captionFont.pointSizeF() * 0.85);
    m_caption->setFont(captionFont);
    m_caption->setForegroundRole(QPalette::PlaceholderText);
    for (auto* label : {m_headline, m_caption}) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        lines->addWidget(label);
    }
    row->addLayout(lines, 1);
}

void SidebarCard::setTexts(const QString& headline, const QString& caption) {
    m_headline->setFullText(headline);
    m_caption->setFullText(caption);
}

void SidebarCard::setHighlighted(bool highlighted) {
    if (m_highlighted == highlighted) return;
    m_highlighted = highlighted;
    update();
}

void SidebarCard::paintEvent(QPaintEvent*) {
    if (!m_highlighted) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor plate = palette().color(QPalette::Highlight);
    plate.setAlphaF(0.18f);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 8, 8);
    painter.fillPath(path, plate);
}

}  // namespace quillfen
