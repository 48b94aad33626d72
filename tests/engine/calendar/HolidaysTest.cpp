#include "engine/calendar/Holidays.h"

#include <gtest/gtest.h>

#include "tests/engine/IcuDefaults.h"
#include "engine/calendar/CalendarLanguage.h"

using namespace quillfen;
using Kind = CalendarEvent::Kind;
using quillfen::testing::localDate;

namespace {

// Each event's day as month × 100 + day, all in `year`.
std::vector<int> datesIn(int year, const std::vector<CalendarEvent>& events) {
    std::vector<int> out;
    for (const auto& e : events) out.push_back(e.day.year == year ? e.day.month * 100 + e.day.day : -1);
    return out;
}

Child child(std::string name, std::optional<Date> birthday) {
    return Child{UUID::random(), std::move(name), birthday, ""};
}

CustomEvent custom(std::string title, Day date, bool yearly) {
    return CustomEvent{UUID::random(), std::move(title), date, yearly};
}

}  // namespace

TEST(Holidays, FederalHolidaysAndObservancesOfWholeYears) {
    ASSERT_EQ(Holidays::table().size(), 21u);
    const auto federal = Holidays::events(2027, true, false, false);
    EXPECT_EQ(datesIn(2027, federal),
              (std::vector<int>{101, 118, 215, 531, 619, 704, 906, 1011, 1111, 1125, 1225}));
    for (const auto& e : federal) EXPECT_EQ(e.kind, Kind::federal);
    EXPECT_EQ(federal[2].title, "Presidents’ Day");

    // Hanukkah 2027 begins on 25 December, after Christmas Eve.
    const auto observances = Holidays::events(2027, false, true, false);
    EXPECT_EQ(datesIn(2027, observances),
              (std::vector<int>{214, 317, 328, 509, 620, 912, 1031, 1224, 1225, 1231}));
    for (const auto& e : observances) EXPECT_EQ(e.kind, Kind::observance);
    EXPECT_EQ(observances[8].title, "Hanukkah (first day)");

    // Both on 25 December: the table puts Hanukkah before Christmas Day.
    const auto all = Holidays::events(2027, true, true, false);
    ASSERT_EQ(all.size(), 21u);
    EXPECT_EQ(all[18].title, "Hanukkah (first day)");
    EXPECT_EQ(all[19].title, "Christmas Day");

    EXPECT_TRUE(Holidays::events(2027, false, false, true).empty());
    const auto spanish = Holidays::events(2027, true, true, true);
    EXPECT_EQ(spanish.front().title, "Año Nuevo");
    EXPECT_EQ(spanish.back().title, "Nochevieja");
}

TEST(Holidays, BirthdaysWithAgesAndLeapDays) {
    quillfen::testing::ScopedIcuDefaults defaults("America/Chicago");
    const Child mia = child("  Mia ", localDate(2020, 2, 29, 12));
    struct Case {
        int year;
        bool spanish;
        std::optional<CalendarEvent> event;
    };
    const Case cases[] = {
        {2027, false, CalendarEvent{{2027, 2, 28}, "Mia’s birthday (7)", Kind::birthday}},
        {2028, false, CalendarEvent{{2028, 2, 29}, "Mia’s birthday (8)", Kind::birthday}},
        {2027, true, CalendarEvent{{2027, 2, 28}, "Cumpleaños de Mia (7)", Kind::birthday}},
        {2020, false, CalendarEvent{{2020, 2, 29}, "Mia’s birthday", Kind::birthday}},
        {2019, false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(Holidays::birthdayEvent(mia, c.year, c.spanish), c.event);
    }
    EXPECT_EQ(Holidays::birthdayEvent(child("Ada", std::nullopt), 2027, false), std::nullopt);
    EXPECT_EQ(Holidays::birthdayEvent(child(" \t\u3000", localDate(2020, 1, 1)), 2027, false), std::nullopt);
    EXPECT_EQ(Holidays::birthdayEvent(child("Ada\n", localDate(2020, 1, 1)), 2027, false)->title,
              "Ada\n’s birthday (7)");
}

TEST(Holidays, BirthdayDayIsTheLocalDayOfTheStoredInstant) {
    // Midnight in Auckland is still the previous day in UTC; the local zone decides.
    quillfen::testing::ScopedIcuDefaults defaults("Pacific/Auckland");
    const Child kid = child("Leo", localDate(2019, 7, 1, 0, 30));
    const std::vector<Child> children{kid, child("Nobody", std::nullopt), kid};
    const auto events = Holidays::birthdayEvents(children, 2027, false);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].day, (Day{2027, 7, 1}));
}

TEST(Holidays, CustomEventsOfAYear) {
    const std::vector<CustomEvent> events{
        custom("Trip", {2030, 7, 10}, true),    custom("Once", {2026, 7, 10}, false),
        custom("Leap", {2024, 2, 29}, true),    custom("   ", {2027, 1, 1}, false),
        custom(" Party ", {2027, 8, 1}, false), custom("Leap once", {2028, 2, 29}, false),
    };
    const auto in2027 = Holidays::customEvents(events, 2027);
    EXPECT_EQ(in2027, (std::vector<CalendarEvent>{{{2027, 7, 10}, "Trip", Kind::custom},
                                                  {{2027, 2, 28}, "Leap", Kind::custom},
                                                  {{2027, 8, 1}, " Party ", Kind::custom}}));
    EXPECT_EQ(datesIn(2028, Holidays::customEvents(events, 2028)), (std::vector<int>{710, 229, 229}));
}

TEST(CalendarLanguage, NamesInEachLanguage) {
    quillfen::testing::ScopedIcuDefaults defaults("UTC", "fr_FR");
    EXPECT_EQ(monthNames(CalendarLanguage::english, 1), "January");
    EXPECT_EQ(monthNames(CalendarLanguage::spanish, 9), "Septiembre");
    EXPECT_EQ(monthNames(CalendarLanguage::system, 2), "Février");  // capital initial, French locale
    for (int month : {0, 13, -1}) EXPECT_EQ(monthNames(CalendarLanguage::english, month), "");

    struct Case {
        CalendarLanguage language;
        int weekStart;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {CalendarLanguage::english, 0, {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}},
        {CalendarLanguage::system,
         1,
         {"Lun", "Mar", "Mer", "Jeu", "Ven", "Sam", "Dim"}},  // "lun." loses its stop
        {CalendarLanguage::english, -1, {"Sat", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << rawValue(c.language) << " from " << c.weekStart);
        EXPECT_EQ(weekdayNames(c.language, c.weekStart), c.names);
    }
}

