#include "engine/calendar/CalendarMath.h"

#include <gtest/gtest.h>

using namespace quillfen;
using CalendarMath::Week;

TEST(CalendarMath, MonthLengthsAndWeekdays) {
    // 2000 is a leap year, 1900 is not; month 13 is carried into January.
    const int days[] = {CalendarMath::daysInMonth(2000, 2), CalendarMath::daysInMonth(1900, 2),
                        CalendarMath::daysInMonth(2027, 4), CalendarMath::daysInMonth(2027, 13)};
    EXPECT_EQ(std::vector<int>(std::begin(days), std::end(days)), (std::vector<int>{29, 28, 30, 31}));
    EXPECT_EQ(CalendarMath::weekday(2000, 2, 29), 2);
    // Months out of range are carried into the year instead of indexing past the offsets.
    EXPECT_EQ(CalendarMath::weekday(2026, 13, 1), 5);
    EXPECT_EQ(CalendarMath::weekday(2027, 0, 1), CalendarMath::weekday(2026, 12, 1));
}

TEST(CalendarMath, RunningDayNumberIsTheExactInverseAndAgreesWithWeekdays) {
    EXPECT_EQ(CalendarMath::ordinal(1970, 1, 1), 0);
    EXPECT_EQ(CalendarMath::day(-1), (Day{1969, 12, 31}));
    EXPECT_EQ((Day{2028, 2, 28}).adding(1), (Day{2028, 2, 29}));
    EXPECT_EQ((Day{2027, 12, 31}).adding(1), (Day{2028, 1, 1}));
    EXPECT_EQ((Day{2027, 3, 1}).adding(-1), (Day{2027, 2, 28}));
    Day expected{1599, 12, 31};
    for (std::int64_t n = CalendarMath::ordinal(1600, 1, 1); n <= CalendarMath::ordinal(2400, 12, 31); ++n) {
        const Day d = CalendarMath::day(n);
        expected = expected.day < CalendarMath::daysInMonth(expected.year, expected.month)
                       ? Day{expected.year, expected.month, expected.day + 1}
                   : expected.month < 12 ? Day{expected.year, expected.month + 1, 1}
                                         : Day{expected.year + 1, 1, 1};
        ASSERT_EQ(d, expected);
        ASSERT_EQ(d.ordinal(), n);
        ASSERT_EQ(d.weekday(), CalendarMath::floorMod(n + 4, 7)) << d.description();
    }
}

TEST(CalendarMath, EasterOverSeveralCenturies) {
    // The earliest and latest possible dates, and century years.
    for (const Day& easter : {Day{1818, 3, 22}, Day{1943, 4, 25}, Day{2000, 4, 23}, Day{2027, 3, 28},
                              Day{2038, 4, 25}, Day{2100, 3, 28}, Day{2285, 3, 22}}) {
        SCOPED_TRACE(easter.description());
        EXPECT_EQ(CalendarMath::easter(easter.year), easter);
        EXPECT_EQ(easter.weekday(), 0);
    }
}

TEST(CalendarMath, MonthGridsForBothWeekStarts) {
    const std::nullopt_t _ = std::nullopt;
    struct Case {
        int year, month, weekStart;
        std::size_t rows;
        Week first, last;
    };
    const Case cases[] = {
        {2027, 2, 0, 5, {_, 1, 2, 3, 4, 5, 6}, {28, _, _, _, _, _, _}},
        {2026, 8, 0, 6, {_, _, _, _, _, _, 1}, {30, 31, _, _, _, _, _}},
        {2027, 5, 1, 6, {_, _, _, _, _, 1, 2}, {31, _, _, _, _, _, _}},
        {2027, 2, 8, 4, {1, 2, 3, 4, 5, 6, 7}, {22, 23, 24, 25, 26, 27, 28}},  // week start modulo 7
        {2027, 2, -6, 4, {1, 2, 3, 4, 5, 6, 7}, {22, 23, 24, 25, 26, 27, 28}},
        {2026, 14, 1, 4, {1, 2, 3, 4, 5, 6, 7}, {22, 23, 24, 25, 26, 27, 28}},  // February 2027
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.year << "-" << c.month << " from " << c.weekStart);
        const auto grid = CalendarMath::monthGrid(c.year, c.month, c.weekStart);
        ASSERT_EQ(grid.size(), c.rows);
        EXPECT_EQ(grid.front(), c.first);
        EXPECT_EQ(grid.back(), c.last);
    }
}

