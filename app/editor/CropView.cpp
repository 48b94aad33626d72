#include "app/editor/CropView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace quillfen {

namespace {

constexpr double handleDiameter = 18;
constexpr double hitDiameter = handleDiameter + 2 * 8;
static_assert(PictureView::pictureMargin >= hitDiameter / 2, "a handle on the picture's edge is cut by the view");

}  // namespace

// One corner's round handle: paints itself and turns presses inside its hit circle into a drag of
// that corner. GUI thread only.
class CornerHandle : public QWidget {
public:
    CornerHandle(CropView* view, int index) : QWidget(view), m_view(view), m_index(index) {
        const int side = static_cast<int>(hitDiameter);
        resize(side, side);
        setMask(QRegion(0, 0, side, side, QRegion::Ellipse));
        setAttribute(Qt::WA_NoSystemBackground);
    }

    void centreOn(QPointF point) {
        move(static_cast<int>(std::lround(point.x() - hitDiameter / 2)),
             static_cast<int>(std::lround(point.y() - hitDiameter / 2)));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor accent = m_view->palette().color(QPalette::Highlight);
        painter.setPen(QPen(accent, 3));
        painter.setBrush(Qt::white);
        const QPointF centre(width() / 2.0, height() / 2.0);
        painter.drawEllipse(centre, handleDiameter / 2, handleDiameter / 2);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        m_view->dragChanged(m_index, mapToParent(event->position()));
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) m_view->dragChanged(m_index, mapToParent(event->position()));
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) m_view->dragEnded();
    }

private:
    CropView* m_view;
    int m_index;
};

CropView::CropView(AppModel& model, const QStringList& names, QWidget* parent)
    : PictureView(parent), m_model(model) {
    setAccessibleName(tr("Original photo"));
    for (int i = 0; i < 4; ++i) {
        m_handles[i] = new CornerHandle(this, i);
        m_handles[i]->setAccessibleName(tr("%1 corner of the paper").arg(names.value(i)));
        m_handles[i]->setAccessibleDescription(
            tr("Drag to the paper's corner. Or use Drawing › Find Paper Edges Again."));
    }
    setLoading();
}

void CropView::setDrawing(const UUID& id, const std::optional<Quad>& crop) {
    if (m_id == id && m_crop == crop) return;
    m_id = id;
    m_crop = crop;
    placeChildren();
    update();
}

QWidget* CropView::handle(int index) const {
    return m_handles.at(index);
}

Quad CropView::shownQuad() const {
    if (m_dragging) return *m_dragging;
    return m_crop ? *m_crop : Quad::full();
}

std::array<QPointF, 4> CropView::cornerPoints(const QRectF& rect) const {
    const auto unit = shownQuad().points();
    std::array<QPointF, 4> points;
    for (int i = 0; i < 4; ++i) {
        points[i] = {rect.left() + unit[i].x * rect.width(), rect.top() + (1 - unit[i].y) * rect.height()};
    }
    return points;
}

void CropView::dragChanged(int index, QPointF location) {
    if (state() != PreviewState::shown) return;
    const QRectF rect = imageRect();
    auto points = shownQuad().points();
    const double x = (location.x() - rect.left()) / rect.width();
    const double y = 1 - (location.y() - rect.top()) / rect.height();
    points[index] = {std::clamp(x, 0.0, 1.0), std::clamp(y, 0.0, 1.0)};
    m_dragging = Quad::fromPoints(points);
    placeChildren();
    update();
}

void CropView::dragEnded() {
    const auto dragged = std::exchange(m_dragging, std::nullopt);
    if (dragged && m_id) m_model.setCrop(*m_id, *dragged, false);
    placeChildren();
    update();
}

void CropView::placeChildren() {
    const bool shown = state() == PreviewState::shown;
    const auto points = cornerPoints(imageRect());
    for (int i = 0; i < 4; ++i) {
        m_handles[i]->setVisible(shown);
        m_handles[i]->centreOn(points[i]);
    }
    PictureView::placeChildren();
}

void CropView::paintEvent(QPaintEvent*) {
    if (state() != PreviewState::shown) return;
    QPainter painter(this);
    const QRectF rect = imageRect();
    paintPicture(painter, rect);

    const auto points = cornerPoints(rect);
    const QPolygonF quad(QList<QPointF>(points.begin(), points.end()));
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath dimming;
    dimming.setFillRule(Qt::OddEvenFill);
    dimming.addRect(rect);
    dimming.addPolygon(quad);
    dimming.closeSubpath();
    painter.fillPath(dimming, QColor(0, 0, 0, qRound(0.35 * 255)));

    QPen outline(palette().color(QPalette::Highlight), 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    outline.setMiterLimit(10);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(quad);
}

}  // namespace quillfen
