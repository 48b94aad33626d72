#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <unicode/uversion.h>

#include "engine/core/Date.h"
#include "engine/calendar/Day.h"

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

// Proleptic Gregorian arithmetic on days. Months run 1...12, weekdays 0 = Sunday ... 6 = Saturday.
// A month outside 1...12 is carried into the year and a week start is taken modulo 7, so values
// from a damaged document never index out of bounds. Pure; safe on any thread.
namespace quillfen::CalendarMath {

struct YearMonth {
    int year = 0;
    int month = 1;

    bool operator==(const YearMonth&) const = default;
};

// One row of a month grid: seven cells, each a day of the month or empty.
using Week = std::array<std::optional<int>, 7>;

bool isLeapYear(std::int64_t year);
// 28 to 31; 31 for a month number outside 1...12.
int daysInMonth(std::int64_t year, int month);
int weekday(std::int64_t year, int month, int day);
// The n-th such weekday of the month (n >= 1), not checked against the month's length; the last
// one for any n below 1.
int nthWeekday(std::int64_t year, int month, int weekday, int n);
// Days since 1970-01-01 (day 0) and back.
std::int64_t ordinal(std::int64_t year, int month, int day);
Day day(std::int64_t ordinal);
Day easter(int year);
// The day of the year that is 25 Kislev, by the fixed Hebrew calendar; none when that day falls
// outside November 20 to December 31.
std::optional<Day> hanukkahFirstDay(int year);
// `count` consecutive months from the start; empty for a count below 1.
std::vector<YearMonth> months(int startYear, int startMonth, int count);
// Rows of seven cells: empty cells before day 1 so that each row starts on `weekStart`, the days,
// then empty cells to the end of the last row.
std::vector<Week> monthGrid(int year, int month, int weekStart);
// The year, month and day that `calendar` (with its own time zone) gives for `date`; a component
// the calendar cannot give becomes year 2000, month 1 or day 1.
Day day(Date date, const icu::Calendar& calendar);

// Division and remainder rounded toward minus infinity.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}
constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    return a - b * floorDiv(a, b);
}

}  // namespace quillfen::CalendarMath
