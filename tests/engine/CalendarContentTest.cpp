#include "engine/CalendarContent.h"
#include "engine/CalendarMath.h"

#include "tests/engine/CalendarFixtures.h"
#include "tests/engine/IcuDefaults.h"

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

UUID idNumber(std::uint8_t n) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[15] = n;
    return UUID(bytes);
}

}  // namespace

TEST(CalendarContent, BirthdaysFallInEveryYearTheCalendarTouches) {
    quillfen::testing::ScopedIcuDefaults defaults("America/New_York");
    CalendarSettings settings = fixtures::quietCalendar();
    settings.startMonth = 9;  // September 2027 to August 2028
    settings.birthdays = true;
    const double noon = double(CalendarMath::ordinal(2019, 3, 10)) * 86400 + 43200;
    const std::vector<Child> children = {{idNumber(1), "Mia", Date::fromUnixSeconds(noon), ""},
                                         {idNumber(2), "Leo", std::nullopt, ""}};
    const CalendarContent content = CalendarContent::make(settings, children, {}, {});
    for (const int year : {2027, 2028}) {
        SCOPED_TRACE(year);
        const auto& events = content.eventsOn(Day{year, 3, 10});
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].kind, CalendarEvent::Kind::birthday);
    }
    EXPECT_TRUE(content.eventsOn(Day{2029, 3, 10}).empty());
    EXPECT_EQ(content.events.size(), 2u);
}

TEST(CalendarContent, KeepsTheFirstDrawingOfAnIdAndAsksTheSourceEachTime) {
    DrawingInfo first, second;
    first.id = second.id = idNumber(3);
    first.title = "Sun";
    second.title = "Moon";
    int asked = 0;
    const CalendarContent content = CalendarContent::make(fixtures::quietCalendar(), {},
                                                          std::vector{first, second}, [&asked](const UUID&) {
                                                              ++asked;
                                                              return std::optional<PageImage>();
                                                          });
    ASSERT_EQ(content.pictures.size(), 1u);
    EXPECT_EQ(content.pictures.at(first.id).title, "Sun");
    content.imageOf(first.id);
    content.imageOf(first.id);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(CalendarContent::make(fixtures::quietCalendar(), {}, {}, {}).imageOf(first.id));
}
