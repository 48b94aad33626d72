#include "app/calendar/CalendarInspector.h"
#include "app/calendar/CalendarPreview.h"
#include "app/shell/Placeholders.h"

namespace quillfen {

QWidget* makeCalendarPreview(AppModel& model, QWidget* parent) { return new CalendarPreview(model, parent); }

QWidget* makeCalendarInspector(AppModel& model, QWidget* parent) {
    return new CalendarInspector(model, parent);
}

QDialog* makeCalendarExportSheet(AppModel&, QWidget* parent) {
    return placeholderSheet(QObject::tr("Export Calendar"), parent);
}

}  // namespace quillfen
