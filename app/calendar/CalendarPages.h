#pragma once

#include "app/model/AppModel.h"

#include <QSizeF>
#include <QString>

#include <vector>

// What the calendar preview shows about its pages, as plain functions of the layout and the model: the
// sheets, the cell size, the summary line and each page's spoken text. GUI thread (they read the
// model or the settings); the pure ones on any thread.
namespace quillfen::CalendarPages {

// The zoom slider's range and default; the long side of a page cell in points.
inline constexpr double minimumZoom = 180;
inline constexpr double maximumZoom = 520;
inline constexpr double defaultZoom = 300;

// The "calendarZoom" setting, clamped to the slider's range (not a number: the default), so a damaged
// setting never asks for a gigantic or undefined bitmap.
double storedZoom();
void storeZoom(double zoom);
double clampedZoom(double zoom);

// The pages grouped as they hang: a grid page joins the sheet before it, every other page (and a grid
// page with no sheet before it) starts a sheet. Each sheet lists 0-based indices into `layout.pages`.
std::vector<std::vector<int>> sheets(const CalendarLayout& layout);
// The page with its bleed, scaled so that its longer side is `zoom` points.
QSizeF cellSize(const CalendarLayout& layout, double zoom);

// "March 2027", in the calendar's language, for a month slot 0...11.
QString monthLabel(const CalendarSettings& calendar, int slot);
// "March 2027 – February 2028 · 13 pages".
QString summaryText(const CalendarLayout& layout, const CalendarSettings& calendar);
// The page as assistive technologies read it, with the month's picture title from the model.
QString accessibilityText(const AppModel& model, const CalendarPage& page);

}  // namespace quillfen::CalendarPages
