#pragma once

#include "app/model/AppModel.h"

#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QProgressBar;

namespace quillfen {

class CornerHandle;

// What a preview shows: a spinner while its render runs, the picture, or the unreadable-photo note.
enum class PreviewState { loading, shown, unreadable };

// The photo as taken with the paper's four corners: dims what lies outside them, outlines them and
// lets the user drag each corner; a drag changes only the view and is stored once, on release, as
// the drawing's crop. GUI thread only.
class CropView : public QWidget {
    Q_OBJECT

public:
    // `names` names the corners in quad order (top left, top right, bottom right, bottom left).
    CropView(AppModel& model, const QStringList& names, QWidget* parent = nullptr);

    void setLoading();
    void setUnreadable();
    void setImage(const QImage& image);
    // The drawing whose crop is shown and stored.
    void setDrawing(const UUID& id, const std::optional<Quad>& crop);

    PreviewState state() const { return m_state; }
    // Where the photo is drawn: its aspect fitted into the view and centred.
    QRectF imageRect() const;
    // The corner handles in quad order; hidden while no photo shows.
    QWidget* handle(int index) const;
    const std::optional<Quad>& dragging() const { return m_dragging; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class CornerHandle;

    Quad shownQuad() const;
    std::array<QPointF, 4> cornerPoints(const QRectF& rect) const;
    void dragChanged(int index, QPointF location);
    void dragEnded();
    void placeChildren();

    AppModel& m_model;
    PreviewState m_state = PreviewState::loading;
    QImage m_image;
    QPixmap m_fitted;  // the photo scaled to the image rectangle, made again when that size changes
    std::optional<UUID> m_id;
    std::optional<Quad> m_crop;
    std::optional<Quad> m_dragging;
    std::array<CornerHandle*, 4> m_handles{};
    QProgressBar* m_spinner;
    QLabel* m_note;
};

}  // namespace quillfen
