#include "engine/calendar/CalendarMath.h"

#include <memory>

#include <unicode/calendar.h>

#include "engine/calendar/HebrewCalendar.h"

namespace quillfen::CalendarMath {

namespace {

// The same month with its number brought into 1...12 and the excess carried into the year.
std::pair<std::int64_t, int> carried(std::int64_t year, int month) {
    const std::int64_t k = static_cast<std::int64_t>(month) - 1;
    return {year + floorDiv(k, 12), static_cast<int>(floorMod(k, 12)) + 1};
}

}  // namespace

bool isLeapYear(std::int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(std::int64_t year, int month) {
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return isLeapYear(year) ? 29 : 28;
        default:
            return 31;
    }
}

int weekday(std::int64_t year, int month, int day) {
    static constexpr int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const auto [y0, m] = carried(year, month);
    const std::int64_t y = m < 3 ? y0 - 1 : y0;
    return static_cast<int>(floorMod(y + y / 4 - y / 100 + y / 400 + offsets[m - 1] + day, 7));
}

int nthWeekday(std::int64_t year, int month, int weekday, int n) {
    if (n >= 1) {
        const std::int64_t first = floorMod(weekday - CalendarMath::weekday(year, month, 1), 7) + 1;
        return static_cast<int>(first + 7 * (static_cast<std::int64_t>(n) - 1));
    }
    const auto [y, m] = carried(year, month);
    const int last = daysInMonth(y, m);
    return last - static_cast<int>(floorMod(CalendarMath::weekday(y, m, last) - weekday, 7));
}

std::int64_t ordinal(std::int64_t year, int month, int day) {
    const auto [y0, m] = carried(year, month);
    const std::int64_t y = m <= 2 ? y0 - 1 : y0;
    const std::int64_t era = floorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (m + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Day day(std::int64_t ordinal) {
    const std::int64_t z = ordinal + 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = yoe + era * 400;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return Day{static_cast<int>(m <= 2 ? y + 1 : y), m, d};
}

Day easter(int year) {
    const std::int64_t Y = year;
    const std::int64_t a = Y % 19, b = Y / 100, c = Y % 100, d = b / 4, e = b % 4;
    const std::int64_t f = (b + 8) / 25, g = (b - f + 1) / 3;
    const std::int64_t h = (19 * a + b - d - g + 15) % 30;
    const std::int64_t i = c / 4, k = c % 4;
    const std::int64_t l = (32 + 2 * e + 2 * i - h - k) % 7;
    const std::int64_t m = (a + 11 * h + 22 * l) / 451;
    const std::int64_t n = h + l - 7 * m + 114;
    return Day{year, static_cast<int>(n / 31), static_cast<int>(n % 31) + 1};
}

std::optional<Day> hanukkahFirstDay(int year) {
    // The Hebrew year whose Kislev falls at the end of this Gregorian year.
    const std::int64_t first = HebrewCalendar::kislev(static_cast<std::int64_t>(year) + 3761, 25);
    if (first < ordinal(year, 11, 20) || first > ordinal(year, 12, 31)) return std::nullopt;
    return day(first);
}

std::vector<YearMonth> months(int startYear, int startMonth, int count) {
    std::vector<YearMonth> out;
    if (count < 1) return out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::int64_t k = static_cast<std::int64_t>(startMonth) - 1 + i;
        out.push_back({static_cast<int>(startYear + floorDiv(k, 12)), static_cast<int>(floorMod(k, 12)) + 1});
    }
    return out;
}

std::vector<Week> monthGrid(int year, int month, int weekStart) {
    const auto [y, m] = carried(year, month);
    const int lead = static_cast<int>(floorMod(weekday(y, m, 1) - static_cast<std::int64_t>(weekStart), 7));
    const int days = daysInMonth(y, m);
    std::vector<Week> rows((lead + days + 6) / 7);
    for (int d = 1; d <= days; ++d) {
        const int cell = lead + d - 1;
        rows[cell / 7][cell % 7] = d;
    }
    return rows;
}

Day day(Date date, const icu::Calendar& calendar) {
    std::unique_ptr<icu::Calendar> copy(calendar.clone());
    if (!copy) return Day{2000, 1, 1};
    UErrorCode status = U_ZERO_ERROR;
    copy->setTime(date.icuMilliseconds(), status);
    const auto component = [&](UCalendarDateFields field, int offset, int fallback) {
        if (U_FAILURE(status)) return fallback;
        UErrorCode fieldStatus = U_ZERO_ERROR;
        const int value = copy->get(field, fieldStatus);
        return U_SUCCESS(fieldStatus) ? value + offset : fallback;
    };
    return Day{component(UCAL_YEAR, 0, 2000), component(UCAL_MONTH, 1, 1), component(UCAL_DATE, 0, 1)};
}

}  // namespace quillfen::CalendarMath
