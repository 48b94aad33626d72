#pragma once

#include "app/editor/CropView.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace quillfen {

// The cleaned drawing fitted into the space it is given, on white with a soft shadow; a spinner
// while no picture has arrived and a note when the photo could not be read. GUI thread only.
class AfterView : public QWidget {
    Q_OBJECT

public:
    explicit AfterView(QWidget* parent = nullptr);

    void setLoading();
    void setUnreadable();
    void setImage(const QImage& image);
    void setTitle(const QString& title);

    PreviewState state() const { return m_state; }
    const QImage& image() const { return m_image; }
    // Where the picture is drawn: its aspect fitted into the view and centred.
    QRectF imageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeChildren();

    PreviewState m_state = PreviewState::loading;
    QImage m_image;
    QPixmap m_fitted;
    QProgressBar* m_spinner;
    QLabel* m_note;
};

}  // namespace quillfen
