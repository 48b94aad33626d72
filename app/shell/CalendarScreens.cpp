#include "app/shell/Placeholders.h"

namespace quillfen {

QWidget* makeCalendarPreview(AppModel&, QWidget* parent) {
    return new PlaceholderScreen(QObject::tr("Calendar preview"), parent);
}

QWidget* makeCalendarInspector(AppModel&, QWidget* parent) {
    return new PlaceholderScreen(QObject::tr("Calendar settings"), parent);
}

QDialog* makeCalendarExportSheet(AppModel&, QWidget* parent) {
    return placeholderSheet(QObject::tr("Export Calendar"), parent);
}

}  // namespace quillfen
