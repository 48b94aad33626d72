#pragma once

#include <QTimer>
#include <QWidget>

class QPainter;

namespace quillfen {

// Paints one frame of an indeterminate spinner (twelve fading spokes) centred in `rect`; `phase` counts
// the frames and turns it. Any thread with a painter of its own.
void paintSpinner(QPainter& painter, const QRectF& rect, int phase, const QColor& color);

// A small indeterminate progress spinner that turns while it is visible. GUI thread.
class Spinner : public QWidget {
    Q_OBJECT

public:
    explicit Spinner(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer m_timer;
    int m_phase = 0;
};

}  // namespace quillfen
