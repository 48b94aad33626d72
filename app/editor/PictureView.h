#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QPainter;

namespace quillfen {

class ScaledPictures;
class Spinner;

// What a preview shows: a spinner while its render runs, the picture, or the unreadable-photo note.
enum class PreviewState { loading, shown, unreadable };

// A picture fitted into the space the view is given: a spinner while none has arrived and a note when
// the photo could not be read. Derived views paint the picture and what goes with it. GUI thread only.
class PictureView : public QWidget {
    Q_OBJECT

public:
    void setLoading();
    void setUnreadable();
    void setImage(const QImage& image);

    PreviewState state() const { return m_state; }
    const QImage& image() const { return m_image; }
    // Where the picture is drawn: its aspect fitted into the view less `pictureMargin` on every side,
    // centred.
    QRectF imageRect() const;
    // The space kept free around the picture: the crop handles' hit radius, so that a handle on a corner
    // of the picture is whole, and the same for the after view, so that both show the picture alike.
    static constexpr double pictureMargin = 17;

protected:
    explicit PictureView(QWidget* parent);

    // Draws the picture into `rect`: smoothly scaled off the GUI thread once per picture and size, coarsely
    // while that runs.
    void paintPicture(QPainter& painter, const QRectF& rect);
    // Places the child widgets for the state and size; derived views place their own, then call this.
    virtual void placeChildren();
    void resizeEvent(QResizeEvent* event) override;

private:
    void showState(PreviewState state, const QImage& image);

    PreviewState m_state = PreviewState::loading;
    QImage m_image;
    ScaledPictures* m_fitted;  // the picture scaled to the image rectangle
    Spinner* m_spinner;
    QLabel* m_note;
};

}  // namespace quillfen
