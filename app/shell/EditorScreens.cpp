#include "app/editor/DrawingInspector.h"
#include "app/editor/EditorPane.h"
#include "app/shell/Screens.h"

namespace quillfen {

DrawingScreen* makeDrawingEditor(AppModel& model, const Drawing& drawing, QWidget* parent) {
    return new EditorPane(model, drawing, parent);
}

DrawingScreen* makeDrawingInspector(AppModel& model, const Drawing& drawing, QWidget* parent) {
    return new DrawingInspector(model, drawing, parent);
}

}  // namespace quillfen
