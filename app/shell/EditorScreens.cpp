#include "app/shell/Placeholders.h"

namespace quillfen {

DrawingScreen* makeDrawingEditor(AppModel&, const Drawing&, QWidget* parent) {
    return new PlaceholderScreen(QObject::tr("Drawing editor"), parent);
}

DrawingScreen* makeDrawingInspector(AppModel&, const Drawing&, QWidget* parent) {
    return new PlaceholderScreen(QObject::tr("Drawing settings"), parent);
}

}  // namespace quillfen
