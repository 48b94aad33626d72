#pragma once

#include "engine/calendar/CalendarContent.h"
#include "engine/calendar/CalendarEvent.h"
#include "engine/render/Canvas.h"
#include "engine/core/Color.h"
#include "engine/core/Geometry.h"

#include <span>
#include <string>
#include <vector>

namespace quillfen::CalendarRenderer {

// The measures of a month grid in its rectangle: the title band on top, the weekday row under it and
// the body of week rows below, with the text sizes that follow from a cell's size. A plain value.
struct MonthGridMetrics {
    double band = 0;  // height of the title band
    double row = 0;   // height of the weekday row
    Rect body;        // the cells
    int rows = 0;     // weeks
    double cellWidth = 0;
    double cellHeight = 0;
    double numberSize = 0;
    double eventSize = 0;
    double pad = 0;
    double textWidth = 0;

    // The cell of a week row (0 on top) and a column (0 on the left).
    Rect cell(int row, int column) const;
};

// The measures of a grid of `rows` weeks drawn in `rect`; compact grids have a taller band and larger
// day numbers.
MonthGridMetrics monthGridMetrics(const Rect& rect, int rows, bool compact);

// One event title in a full grid's cell.
struct EventLine {
    std::string title;
    Color color;
    double baseline = 0;

    bool operator==(const EventLine&) const = default;
};

// The event titles a full grid's cell shows: at most the first three, in the day's order, each while
// its baseline stays above the cell's bottom by more than a fifth of the event size.
std::vector<EventLine> eventLines(std::span<const CalendarEvent> events, const Rect& cell,
                                  const MonthGridMetrics& metrics);

// The month's title, its name in the calendar's language and its year ("Marzo 2027"); empty for a
// month index outside 0...11.
std::string monthTitle(const CalendarSettings& settings, int monthIndex);

// Draws the month grid of a month index (0...11) into rect: title, weekday names, rules, day numbers
// coloured by their first event and, unless compact, up to three event titles a day. An index outside
// 0...11 draws nothing.
void drawMonthGrid(int monthIndex, const CalendarContent& content, bool compact, Canvas& canvas,
                   const Rect& rect);

}  // namespace quillfen::CalendarRenderer
