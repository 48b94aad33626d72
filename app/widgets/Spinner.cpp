#include "app/widgets/Spinner.h"

#include <QPainter>
#include <QPainterPath>

namespace quillfen {

namespace {
constexpr int spokes = 12;
}

void paintSpinner(QPainter& painter, const QRectF& rect, int phase, const QColor& color) {
    const double radius = std::min(rect.width(), rect.height()) / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center());
    QPen pen(color, std::max(1.5, radius / 5), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < spokes; ++i) {
        QColor spoke = color;
        spoke.setAlphaF(
            static_cast<float>(0.15 + 0.85 * ((i + spokes - phase % spokes) % spokes) / (spokes - 1.0)));
        pen.setColor(spoke);
        painter.setPen(pen);
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius * 0.9));
        painter.rotate(360.0 / spokes);
    }
    painter.restore();
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
