#pragma once

#include <optional>
#include <variant>
#include <vector>

#include "engine/book/BookLayout.h"
#include "engine/core/Geometry.h"
#include "engine/book/PrintGeometry.h"

// The records of a laid-out calendar. Month indexes count 0...11 from the calendar's first month.
// Rectangles are in points in the trimmed page's coordinates (origin at the lower-left corner of the
// trim, y upwards) and may reach into the bleed. Plain immutable values.
namespace quillfen {

// A month's picture page (formats with picture pages).
struct CalendarPicturePage {
    int month = 0;
    bool operator==(const CalendarPicturePage&) const = default;
};

// A month's grid page (formats with picture pages).
struct CalendarGridPage {
    int month = 0;
    bool operator==(const CalendarGridPage&) const = default;
};

// A month's picture and grid on one page (letter and desk formats).
struct CalendarMonthPage {
    int month = 0;
    bool operator==(const CalendarMonthPage&) const = default;
};

struct CalendarCoverPage {
    bool operator==(const CalendarCoverPage&) const = default;
};

// What a calendar page holds; equal when the same kind of page with the same month.
using CalendarPageContent =
    std::variant<CalendarPicturePage, CalendarGridPage, CalendarMonthPage, CalendarCoverPage>;

// One page of the calendar file, numbered from 1, with where its picture and its month grid go.
struct CalendarPage {
    int number = 0;
    CalendarPageContent content;
    std::optional<Rect> picture;  // none on grid pages
    std::optional<Rect> grid;     // none on picture pages and the cover

    bool operator==(const CalendarPage&) const = default;
};

// A whole calendar: its pages in order, the trim size and print spec, and resolution warnings in
// page order.
struct CalendarLayout {
    std::vector<CalendarPage> pages;
    Size trimSize;
    PrintSpec spec;
    std::vector<LayoutWarning> warnings;

    bool operator==(const CalendarLayout&) const = default;
};

}  // namespace quillfen
