#pragma once

#include "app/editor/PictureView.h"
#include "app/model/AppModel.h"

#include <QStringList>

#include <array>
#include <optional>

namespace quillfen {

class CornerHandle;

// The photo as taken with the paper's four corners: dims what lies outside them, outlines them and
// lets the user drag each corner; a drag changes only the view and is stored once, on release, as
// the drawing's crop. GUI thread only.
class CropView : public PictureView {
    Q_OBJECT

public:
    // `names` names the corners in quad order (top left, top right, bottom right, bottom left).
    CropView(AppModel& model, const QStringList& names, QWidget* parent = nullptr);

    // The drawing whose crop is shown and stored.
    void setDrawing(const UUID& id, const std::optional<Quad>& crop);

    // The corner handles in quad order; hidden while no photo shows.
    QWidget* handle(int index) const;
    const std::optional<Quad>& dragging() const { return m_dragging; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void placeChildren() override;

private:
    friend class CornerHandle;

    Quad shownQuad() const;
    std::array<QPointF, 4> cornerPoints(const QRectF& rect) const;
    void dragChanged(int index, QPointF location);
    void dragEnded();

    AppModel& m_model;
    std::optional<UUID> m_id;
    std::optional<Quad> m_crop;
    std::optional<Quad> m_dragging;
    std::array<CornerHandle*, 4> m_handles{};
};

}  // namespace quillfen
