#pragma once

#include "engine/book/BookContent.h"
#include "engine/calendar/CalendarEvent.h"
#include "engine/calendar/CalendarSettings.h"
#include "engine/core/Color.h"
#include "engine/calendar/Day.h"
#include "engine/library/LibraryRecords.h"
#include "engine/render/PageImage.h"
#include "engine/core/UUID.h"

#include <map>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace quillfen {

// What the calendar's pages read beyond the layout: the settings as they were when it was made, the
// drawings by id, the events of every year the calendar touches by day, and the image source. A plain
// value; the preview and each export make their own.
struct CalendarContent {
    CalendarSettings settings;
    std::unordered_map<UUID, DrawingInfo> pictures;
    std::map<Day, std::vector<CalendarEvent>> events;
    ImageSource image;

    // Where ids repeat, the first drawing with an id is kept. A missing image source yields no images.
    static CalendarContent make(CalendarSettings settings, std::span<const Child> children,
                                std::span<const DrawingInfo> drawings, ImageSource image);

    // The events of a day in the grid's order; empty when the day has none.
    const std::vector<CalendarEvent>& eventsOn(const Day& day) const;
    // The image of a drawing through the source; nothing without a source.
    std::optional<PageImage> imageOf(const UUID& id) const;
};

namespace CalendarRenderer {

// The calendar pages' fixed colours.
inline constexpr Color inkColor{0.15, 0.15, 0.18, 1};     // titles, plain day numbers, light covers
inline constexpr Color mutedColor{0.45, 0.45, 0.48, 1};   // weekday names, placeholder text
inline constexpr Color ruleColor{0.8, 0.8, 0.83, 1};      // month grid lines
inline constexpr Color holidayColor{0.8, 0.18, 0.2, 1};   // federal holidays and observances
inline constexpr Color birthdayColor{0.2, 0.4, 0.85, 1};  // birthdays
inline constexpr Color customColor{0.15, 0.55, 0.35, 1};  // the user's own events

// The colour an event's title and its day's number take.
Color kindColor(CalendarEvent::Kind kind);

}  // namespace CalendarRenderer

}  // namespace quillfen
