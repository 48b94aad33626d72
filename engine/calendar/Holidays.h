#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "engine/calendar/CalendarEvent.h"
#include "engine/calendar/Day.h"
#include "engine/library/LibraryRecords.h"

// The events of one calendar year: US federal holidays and observances from a fixed table, the
// children's birthdays and the user's custom events. Pure functions of their arguments, ICU's default
// time zone (for birthdays) and the constant table; safe on any thread.
namespace quillfen::Holidays {

// One row of the holiday table: names, whether it is a federal holiday, and its day in a year.
struct Holiday {
    std::string_view english;
    std::string_view spanish;
    bool federal = false;
    std::optional<Day> (*rule)(int year) = nullptr;
};

// The 21 holidays in table order.
std::span<const Holiday> table();

// The wanted holidays of the year, sorted by day; holidays on one day keep table order.
std::vector<CalendarEvent> events(int year, bool federal, bool observances, bool spanish);
// The child's birthday in `year`, titled with the trimmed name and the age; none without a birthday,
// with a blank name or before the birth year. A 29 February birthday falls on 28 February in
// common years.
std::optional<CalendarEvent> birthdayEvent(const Child& child, int year, bool spanish);
// The birthdays in the children's order, without sorting.
std::vector<CalendarEvent> birthdayEvents(std::span<const Child> children, int year, bool spanish);
// The custom events that fall in `year`, in the given order; blank titles are skipped.
std::vector<CalendarEvent> customEvents(std::span<const CustomEvent> events, int year);

}  // namespace quillfen::Holidays
