#include "engine/calendar/CalendarSettings.h"

#include <climits>

#include <gtest/gtest.h>

#include "tests/engine/IcuDefaults.h"

using namespace quillfen;
using YM = CalendarMath::YearMonth;

namespace {

const UUID first = *UUID::parse("11111111-1111-4111-8111-111111111111");
const UUID second = *UUID::parse("22222222-2222-4222-8222-222222222222");

CalendarSettings startingAt(int year, int month) {
    CalendarSettings s;
    s.startYear = year;
    s.startMonth = month;
    return s;
}

std::vector<std::string> titles(const std::vector<CalendarEvent>& events) {
    std::vector<std::string> out;
    for (const auto& e : events) out.push_back(e.title);
    return out;
}

}  // namespace

TEST(CalendarSettings, MonthsAndDisplayTitles) {
    struct Case {
        CalendarSettings settings;
        YM firstMonth, lastMonth;
        std::string title;
    };
    CalendarSettings titled = startingAt(2027, 2);
    titled.title = " My Year ";
    CalendarSettings blank;
    blank.title = "  ";
    const Case cases[] = {
        {CalendarSettings{}, {2027, 1}, {2027, 12}, "2027"},
        {startingAt(2027, 2), {2027, 2}, {2028, 1}, "2027–2028"},
        {titled, {2027, 2}, {2028, 1}, "My Year"},
        {blank, {2027, 1}, {2027, 12}, "2027"},
        // Stray stored values: months carried into the year, years held within 1...9999.
        {startingAt(2027, 13), {2028, 1}, {2028, 12}, "2028"},
        {startingAt(2027, -23), {2025, 1}, {2025, 12}, "2025"},
        {startingAt(0, 1), {1, 1}, {1, 12}, "1"},
        {startingAt(INT_MAX, INT_MAX), {9999, 7}, {10000, 6}, "9999–10000"},
        {startingAt(INT_MIN, INT_MIN), {1, 4}, {2, 3}, "1–2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.settings.startYear << "-" << c.settings.startMonth);
        const auto months = c.settings.months();
        ASSERT_EQ(months.size(), 12u);
        EXPECT_EQ(months.front(), c.firstMonth);
        EXPECT_EQ(months.back(), c.lastMonth);
        EXPECT_EQ(c.settings.displayTitle(), c.title);
    }
}

TEST(CalendarSettings, EventsCoverWholeYearsSortedWithinADay) {
    quillfen::testing::ScopedIcuDefaults defaults("America/Denver");
    CalendarSettings s = startingAt(2027, 9);
    s.language = CalendarLanguage::english;
    s.customEvents = {CustomEvent{first, "Zoo", {2027, 12, 25}, true},
                      CustomEvent{second, "E\u0301mile", {2027, 12, 25}, false},  // decomposed É
                      CustomEvent{first, "apple", {2027, 12, 25}, false},
                      CustomEvent{second, "Zebra", {2027, 12, 25}, false}};
    const std::vector<Child> children{Child{first, "Ivy", quillfen::testing::localDate(2021, 12, 25, 8), ""}};

    const auto events = s.events(children);
    EXPECT_TRUE(events.contains(Day{2027, 1, 1}));
    EXPECT_TRUE(events.contains(Day{2028, 12, 31}));
    EXPECT_EQ(titles(events.at(Day{2027, 12, 25})),
              (std::vector<std::string>{"Christmas Day", "Hanukkah (first day)", "Ivy’s birthday (6)",
                                        "Zebra", "Zoo", "apple", "E\u0301mile"}));

    s.federalHolidays = s.observances = s.birthdays = false;
    const auto onlyCustom = s.events(children);
    EXPECT_EQ(onlyCustom.size(), 2u);
    EXPECT_EQ(onlyCustom.at(Day{2028, 12, 25}).size(), 1u);
}

TEST(CalendarSettings, SystemLanguageFollowsTheDefaultLocale) {
    quillfen::testing::ScopedIcuDefaults defaults("Europe/Madrid", "es_ES");
    const auto events = CalendarSettings{}.events({});
    EXPECT_EQ(events.at(Day{2027, 1, 1}).front().title, "Año Nuevo");
}
