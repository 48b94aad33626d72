#include "engine/calendar/HebrewCalendar.h"

#include "engine/calendar/CalendarMath.h"

namespace quillfen::HebrewCalendar {

namespace {

// Time is counted in parts: 1080 to the hour, the day beginning at 6 pm.
constexpr std::int64_t partsPerHour = 1080;
constexpr std::int64_t partsPerDay = 24 * partsPerHour;
constexpr std::int64_t lunation = 29 * partsPerDay + 12 * partsPerHour + 793;
// Molad of Tishri of year 1: Monday, 5 hours and 204 parts, on day 1 of a count whose day 0 is a
// Sunday; that Monday is 1 Tishri 1, the running day number below.
constexpr std::int64_t firstMolad = 1 * partsPerDay + 5 * partsPerHour + 204;
constexpr std::int64_t firstNewYear = -2092590;
constexpr std::int64_t firstNewYearDay = 1;

constexpr int sunday = 0, monday = 1, tuesday = 2, wednesday = 3, friday = 5;

std::int64_t monthsBefore(std::int64_t year) {
    return CalendarMath::floorDiv(235 * year - 234, 19);
}

// The day of 1 Tishri in the count of firstMolad: the molad's day, postponed by the four rules.
std::int64_t newYearDay(std::int64_t year) {
    const std::int64_t molad = firstMolad + monthsBefore(year) * lunation;
    std::int64_t day = CalendarMath::floorDiv(molad, partsPerDay);
    const std::int64_t time = molad - day * partsPerDay;
    const auto weekday = [](std::int64_t d) { return static_cast<int>(CalendarMath::floorMod(d, 7)); };
    if (time >= 18 * partsPerHour) {
        ++day;  // molad zaken: a molad at noon or later moves the new year to the next day
    } else if (weekday(day) == tuesday && time >= 9 * partsPerHour + 204 && !isLeapYear(year)) {
        ++day;  // a common year would otherwise run to 356 days; Wednesday then moves on below
    } else if (weekday(day) == monday && time >= 15 * partsPerHour + 589 && isLeapYear(year - 1)) {
        ++day;  // the year after a leap year would otherwise be 382 days long
    }
    const int w = weekday(day);
    if (w == sunday || w == wednesday || w == friday) ++day;  // never on Sunday, Wednesday or Friday
    return day;
}

}  // namespace

bool isLeapYear(std::int64_t year) {
    return CalendarMath::floorMod(7 * year + 1, 19) < 7;
}

std::int64_t newYear(std::int64_t year) {
    return newYearDay(year) - firstNewYearDay + firstNewYear;
}

std::int64_t kislev(std::int64_t year, int day) {
    // Tishri has 30 days; Heshvan 30 in a complete year (355 or 385 days), otherwise 29.
    const std::int64_t start = newYear(year);
    const bool longHeshvan = (newYear(year + 1) - start) % 10 == 5;
    return start + 30 + (longHeshvan ? 30 : 29) + day - 1;
}

}  // namespace quillfen::HebrewCalendar
