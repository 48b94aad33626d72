#include "app/calendar/CalendarPreview.h"

#include "app/calendar/CalendarGrid.h"
#include "app/calendar/CalendarPages.h"

#include <QScrollArea>

namespace quillfen {

CalendarPreview::CalendarPreview(AppModel& model, QWidget* parent)
    : PreviewFrame(model,
                   {.guidesTip = tr("Red: where the page is cut. Blue: keep pictures and words inside (%1). "
                                    "Not printed."),
                    .zoom = {CalendarPages::minimumZoom, CalendarPages::maximumZoom, CalendarPages::storedZoom,
                             CalendarPages::clampedZoom, CalendarPages::storeZoom},
                    .listedWarnings = 3,
                    .countsTheRest = false},
                   parent),
      m_grid(new CalendarGrid(model, &scrollArea())) {
    setGrid(m_grid);
    evaluate();
}

void CalendarPreview::refresh() {
    auto layout = m_model.calendarLayout();
    auto content = m_model.calendarContent();
    setSummary(CalendarPages::summaryText(layout, m_model.calendar()));
    showWarnings(layout.warnings);
    const QSizeF cell = CalendarPages::cellSize(layout, zoom());
    m_grid->setCalendar(std::move(layout), std::move(content), cell, m_model.revision());
}

void CalendarPreview::showViewport(QRect visible) { m_grid->setViewport(visible); }

}  // namespace quillfen
