#include "app/editor/AfterView.h"

#include "engine/book/SlotGeometry.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>

#include <cmath>

namespace quillfen {

namespace {

constexpr double shadowBlur = 6;
constexpr double shadowOffset = 3;

}  // namespace

AfterView::AfterView(QWidget* parent)
    : QWidget(parent), m_spinner(new QProgressBar(this)), m_note(new QLabel(this)) {
    setMinimumSize(120, 120);
    m_spinner->setRange(0, 0);
    m_spinner->setTextVisible(false);
    m_spinner->setFixedWidth(80);
    m_note->setText(tr("Couldn't read this photo."));
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setForegroundRole(QPalette::PlaceholderText);
    setTitle({});
    setLoading();
}

void AfterView::setLoading() {
    m_state = PreviewState::loading;
    m_image = {};
    m_fitted = {};
    placeChildren();
    update();
}

void AfterView::setUnreadable() {
    m_state = PreviewState::unreadable;
    m_image = {};
    m_fitted = {};
    placeChildren();
    update();
}

void AfterView::setImage(const QImage& image) {
    if (image.isNull()) return setUnreadable();
    m_state = PreviewState::shown;
    m_image = image;
    m_fitted = {};
    placeChildren();
    update();
}

void AfterView::setTitle(const QString& title) {
    setAccessibleName(tr("Cleaned drawing: %1").arg(title.isEmpty() ? tr("untitled") : title));
}

QRectF AfterView::imageRect() const {
    const double aspect = m_image.isNull() ? 1 : double(m_image.width()) / double(m_image.height());
    const Rect fitted = Paginator::aspectFit(aspect, Rect(0, 0, width(), height()));
    return {fitted.origin.x, fitted.origin.y, fitted.size.width, fitted.size.height};
}

void AfterView::placeChildren() {
    m_spinner->setVisible(m_state == PreviewState::loading);
    m_spinner->move((width() - m_spinner->width()) / 2, (height() - m_spinner->height()) / 2);
    m_note->setVisible(m_state == PreviewState::unreadable);
    m_note->setGeometry(rect());
}

void AfterView::resizeEvent(QResizeEvent*) {
    placeChildren();
}

void AfterView::paintEvent(QPaintEvent*) {
    if (m_state != PreviewState::shown) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF rect = imageRect();
    // A shadow of black at 25 % spread over the blur radius, below the picture.
    painter.setPen(Qt::NoPen);
    const int rings = static_cast<int>(shadowBlur);
    for (int ring = rings; ring >= 1; --ring) {
        painter.setBrush(QColor(0, 0, 0, static_cast<int>(std::lround(0.25 * 255 / rings))));
        painter.drawRect(rect.translated(0, shadowOffset).adjusted(-ring, -ring, ring, ring));
    }
    painter.fillRect(rect, Qt::white);
    const QSize size(static_cast<int>(std::lround(rect.width())), static_cast<int>(std::lround(rect.height())));
    if (m_fitted.size() != size) {
        m_fitted = QPixmap::fromImage(m_image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    painter.drawPixmap(rect.topLeft(), m_fitted);
}

}  // namespace quillfen
