#include "app/calendar/CalendarExportSheet.h"
#include "app/calendar/CalendarInspector.h"
#include "app/calendar/CalendarPreview.h"

namespace quillfen {

QWidget* makeCalendarPreview(AppModel& model, QWidget* parent) { return new CalendarPreview(model, parent); }

QWidget* makeCalendarInspector(AppModel& model, QWidget* parent) {
    return new CalendarInspector(model, parent);
}

QDialog* makeCalendarExportSheet(AppModel& model, QWidget* parent) {
    return new CalendarExportSheet(model, parent);
}

}  // namespace quillfen
