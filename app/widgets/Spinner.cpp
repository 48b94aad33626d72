#include "app/widgets/Spinner.h"

#include <QPainter>
#include <QPainterPath>

#include <map>
#include <tuple>

namespace quillfen {

namespace {

constexpr int spokes = 12;

// One frame drawn with `painter`'s pen strokes: twelve antialiased round-capped spokes.
void drawSpokes(QPainter& painter, const QRectF& rect, int phase, const QColor& color) {
    const double radius = std::min(rect.width(), rect.height()) / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center());
    QPen pen(color, std::max(1.5, radius / 5), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < spokes; ++i) {
        QColor spoke = color;
        spoke.setAlphaF(static_cast<float>(0.15 + 0.85 * ((i + spokes - phase % spokes) % spokes) / (spokes - 1.0)));
        pen.setColor(spoke);
        painter.setPen(pen);
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius * 0.9));
        painter.rotate(360.0 / spokes);
    }
    painter.restore();
}

}  // namespace

void paintSpinner(QPainter& painter, const QRectF& rect, int phase, const QColor& color) {
    // Each frame is stroked once per size and colour and then only copied: a list with a spinner in every
    // row of an import repaints them all many times a second.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels = (rect.size() * ratio).toSize();
    if (pixels.isEmpty()) return;
    using Key = std::tuple<int, int, QRgb, int, int>;
    thread_local std::map<Key, QImage> frames;
    const Key key{pixels.width(), pixels.height(), color.rgba(), phase % spokes, qRound(ratio * 100)};
    auto frame = frames.find(key);
    if (frame == frames.end()) {
        if (frames.size() > 16 * spokes) frames.clear();
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setDevicePixelRatio(ratio);
        QPainter onImage(&image);
        drawSpokes(onImage, QRectF(QPointF(0, 0), rect.size()), phase, color);
        onImage.end();
        frame = frames.emplace(key, std::move(image)).first;
    }
    painter.drawImage(rect.topLeft(), frame->second);
}

Spinner::Spinner(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        ++m_phase;
        update();
    });
}

void Spinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSpinner(painter, rect(), m_phase, palette().color(QPalette::WindowText));
}

void Spinner::showEvent(QShowEvent*) {
    m_timer.start();
}
void Spinner::hideEvent(QHideEvent*) {
    m_timer.stop();
}

}  // namespace quillfen
