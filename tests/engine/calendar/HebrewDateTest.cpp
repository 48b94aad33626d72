#include "engine/calendar/CalendarMath.h"
#include "engine/calendar/HebrewCalendar.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

std::string text(std::optional<Day> day) {
    return day ? day->description() : "none";
}

// Rosh Hashanah in the autumn of a Gregorian year by Gauss's Pesach formula (exact rational form,
// in units of 1/492480 day), an arithmetic independent of the molad and postponement rules:
// 1 Tishri follows 15 Nisan by 163 days.
std::int64_t gaussNewYear(std::int64_t gregorianYear) {
    constexpr std::int64_t unit = 492480;
    const std::int64_t year = gregorianYear + 3760;  // the Hebrew year of that spring's Pesach
    const std::int64_t a = (12 * year + 17) % 19;
    const std::int64_t b = year % 4;
    const std::int64_t m = 32 * unit + 4343 * 5 + a * unit + a * 272953 + b * (unit / 4) - year * 313 * 5;
    std::int64_t day = CalendarMath::floorDiv(m, unit);
    const std::int64_t fraction = m - day * unit;
    const std::int64_t c = (3 * year + 5 * b + day + 5) % 7;
    if (c == 2 || c == 4 || c == 6) {
        day += 1;
    } else if (c == 1 && a > 6 && fraction * 2160 >= 1367 * unit) {
        day += 2;
    } else if (c == 0 && a > 11 && fraction * 25920 >= 23269 * unit) {
        day += 1;
    }
    const std::int64_t julianToGregorian = CalendarMath::floorDiv(3 * (gregorianYear / 100) - 5, 4);
    const std::int64_t pesach = CalendarMath::ordinal(gregorianYear, 3, 1) + day - 1 + julianToGregorian;
    return pesach + 163;
}

}  // namespace

TEST(HebrewDate, HanukkahBeginsOnThePublishedDays) {
    // First days (the day after the first candle), as Jewish calendars publish them.
    struct Case { int year; std::optional<Day> first; };
    const Case cases[] = {
        {2021, Day{2021, 11, 29}}, {2024, Day{2024, 12, 26}}, {2027, Day{2027, 12, 25}},
        {2045, Day{2045, 12, 4}},  // ICU 72's Hebrew calendar is a day late here
        {3031, std::nullopt},      // Hanukkah moves into January 3032
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(text(CalendarMath::hanukkahFirstDay(c.year)), text(c.first));
    }
}

TEST(HebrewDate, NewYearFollowsThePostponementsOverSixCenturies) {
    for (std::int64_t year = 5560; year <= 6161; ++year) {
        SCOPED_TRACE(year);
        const std::int64_t newYear = HebrewCalendar::newYear(year);
        ASSERT_EQ(newYear, gaussNewYear(year - 3761));
        const int weekday = CalendarMath::day(newYear).weekday();
        EXPECT_TRUE(weekday != 0 && weekday != 3 && weekday != 5) << "weekday " << weekday;
        const std::int64_t length = HebrewCalendar::newYear(year + 1) - newYear;
        EXPECT_EQ(length / 10, HebrewCalendar::isLeapYear(year) ? 38 : 35);
        EXPECT_TRUE(length % 10 >= 3 && length % 10 <= 5) << "length " << length;
    }
}
