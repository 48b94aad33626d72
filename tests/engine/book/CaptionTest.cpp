#include "engine/book/Caption.h"

#include <gtest/gtest.h>

#include "tests/engine/IcuDefaults.h"

using namespace quillfen;
using quillfen::testing::localDate;

namespace {

DrawingInfo drawing(std::string age, Date date) {
    DrawingInfo info;
    info.age = std::move(age);
    info.date = date;
    return info;
}

BookSettings switches(bool name, bool age, bool date) {
    BookSettings s;
    s.showName = name;
    s.showAge = age;
    s.showDate = date;
    return s;
}

}  // namespace

TEST(Caption, AgeTextTakesTheTypedAgeOrTheBirthday) {
    quillfen::testing::ScopedIcuDefaults defaults("Europe/Madrid");
    const Date drawn = localDate(2024, 3, 9, 12);
    const Child born{UUID{}, "Mia", localDate(2019, 3, 10), ""};
    const Child unborn{UUID{}, "Leo", localDate(2024, 5, 1), ""};
    struct Case {
        const char* typed;
        const Child* child;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {" \t5 years\u00A0", nullptr, "age 5 years"},
        {"aged six", nullptr, "aged six"},
        {"", &born, "age 4"},
        {"", &unborn, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "\"" << c.typed << "\"");
        EXPECT_EQ(Caption::ageText(drawing(c.typed, drawn), c.child), c.text);
    }
}

TEST(Caption, DetailLineJoinsWhatTheSwitchesAskFor) {
    quillfen::testing::ScopedIcuDefaults defaults("America/New_York", "de_DE");  // captions stay English
    const Child mia{UUID{}, "Mia", std::nullopt, ""};
    const Child nameless{UUID{}, "", localDate(2020, 1, 1), ""};
    const DrawingInfo typed = drawing("5", localDate(2024, 3, 9, 12));
    const DrawingInfo untyped = drawing("", localDate(2024, 3, 9, 12));
    struct Case {
        const DrawingInfo* info;
        const Child* child;
        BookSettings settings;
        std::string line;
    };
    const Case cases[] = {
        {&typed, &mia, switches(true, true, true), "Mia, age 5 · March 2024"},
        {&typed, &mia, switches(false, true, true), "Age 5 · March 2024"},
        {&untyped, &nameless, switches(true, true, false), "Age 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Caption::lines(*c.info, c.child, c.settings), c.line);
    }
}

TEST(Caption, DateTextFollowsTheDefaultTimeZone) {
    const Date utcFirstOfMarch = Date::fromUnixSeconds(1709251500);  // 2024-03-01 00:05 UTC
    struct Case {
        const char* zone;
        const char* text;
    };
    for (const Case& c : {Case{"UTC", "March 2024"}, {"America/Los_Angeles", "February 2024"}}) {
        SCOPED_TRACE(c.zone);
        quillfen::testing::ScopedIcuDefaults defaults(c.zone, "ar_EG");
        EXPECT_EQ(Caption::dateText(utcFirstOfMarch), c.text);
    }
}
