#pragma once

#include "app/model/Drawing.h"
#include "app/widgets/KeptScreen.h"

#include <QWidget>

namespace quillfen {

// A screen of the drawing mode, built for one drawing. The main window keeps it in its column while the
// selection moves from drawing to drawing and hands it every newer value of the selected drawing, so its
// own state lives on; set back after another mode, it shows the drawing selected then. GUI thread only.
class DrawingScreen : public QWidget, public KeptScreen {
    Q_OBJECT

public:
    using QWidget::QWidget;
    virtual void setDrawing(const Drawing& drawing) = 0;
};

}  // namespace quillfen
