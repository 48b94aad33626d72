#pragma once

#include "app/model/Drawing.h"

#include <QWidget>

namespace quillfen {

// A screen of the drawing mode, built for one drawing. The main window keeps it in its column while the
// selection moves from drawing to drawing and hands it every newer value of the selected drawing, so its
// own state lives on. GUI thread only.
class DrawingScreen : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
    virtual void setDrawing(const Drawing& drawing) = 0;
};

}  // namespace quillfen
