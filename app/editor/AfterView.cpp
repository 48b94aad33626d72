#include "app/editor/AfterView.h"

#include <QPainter>

#include <cmath>

namespace quillfen {

namespace {

constexpr double shadowBlur = 6;
constexpr double shadowOffset = 3;

}  // namespace

AfterView::AfterView(QWidget* parent) : PictureView(parent) {
    setTitle({});
    setLoading();
}

void AfterView::setTitle(const QString& title) {
    setAccessibleName(tr("Cleaned drawing: %1").arg(title.isEmpty() ? tr("untitled") : title));
}

void AfterView::paintEvent(QPaintEvent*) {
    if (state() != PreviewState::shown) return;
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
    paintPicture(painter, rect);
}

}  // namespace quillfen
