#include "engine/library/LibraryRecords.h"

#include "engine/book/Caption.h"

#include <gtest/gtest.h>

#include "tests/engine/IcuDefaults.h"

using namespace quillfen;

using quillfen::testing::localDate;

namespace {

const UUID childID = *UUID::parse("0B1E7C44-55D1-4E0B-9C53-1B5C1F0A2D7E");
const UUID drawingID = *UUID::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");

}  // namespace

TEST(ChildAge, CountsWholeYearsAroundBirthdaysInTheLocalZone) {
    // Each zone is set while the dates are made: a birthday is a local day wherever the family lives.
    struct Case {
        const char* zone;
        const char* locale;
        int born[3];
        int at[5];
        std::optional<int> age;
    };
    const Case cases[] = {
        {"America/Los_Angeles", "en_US", {2018, 3, 15}, {2018, 3, 15, 0, 0}, 0},  // the moment of birth
        {"Asia/Tokyo", "en_US", {2018, 3, 15}, {2019, 3, 14, 23, 59}, 0},         // the evening before
        {"Pacific/Kiritimati", "en_US", {2018, 3, 15}, {2019, 3, 15, 0, 0}, 1},   // the first birthday
        {"UTC", "en_US", {2018, 3, 15}, {2018, 3, 14, 0, 0}, std::nullopt},       // before birth
        // Leap-day birthdays count from the last day of February.
        {"Europe/Berlin", "en_US", {2020, 2, 29}, {2021, 2, 27, 0, 0}, 0},
        {"Europe/Berlin", "en_US", {2020, 2, 29}, {2021, 2, 28, 0, 0}, 1},
        {"Europe/Berlin", "en_US", {2020, 2, 29}, {2024, 2, 28, 0, 0}, 3},
        // Gregorian whatever calendar the locale prefers.
        {"Asia/Jerusalem", "he_IL@calendar=hebrew", {2018, 3, 15}, {2019, 3, 15, 0, 0}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.zone << " " << c.at[0] << "-" << c.at[1] << "-" << c.at[2]);
        quillfen::testing::ScopedIcuDefaults defaults(c.zone, c.locale);
        const Child child{childID, "Ada", localDate(c.born[0], c.born[1], c.born[2]), ""};
        EXPECT_EQ(child.age(localDate(c.at[0], c.at[1], c.at[2], c.at[3], c.at[4])), c.age);
    }
    EXPECT_EQ((Child{childID, "Ada", std::nullopt, ""}).age(Date::now()), std::nullopt);
}

TEST(ChildAge, TurnsOverAtTheStartOfTheBirthdayWhateverTimeOfDayEitherDateCarries) {
    // Birthdays saved with the time of day they were picked at, or at the start of the day, against
    // drawings dated on, just before and just after a birthday; captions print the same age.
    struct Case {
        const char* zone;
        int born[5];
        int at[5];
        std::optional<int> age;
    };
    const Case cases[] = {
        {"America/New_York", {2019, 6, 10, 15, 50}, {2023, 6, 10, 15, 42}, 4},
        {"America/New_York", {2019, 6, 10, 23, 59}, {2023, 6, 10, 0, 0}, 4},
        {"America/New_York", {2019, 6, 10, 15, 50}, {2023, 6, 9, 23, 59}, 3},
        {"America/New_York", {2019, 6, 10, 0, 0}, {2023, 6, 9, 23, 59}, 3},
        {"America/New_York", {2019, 6, 10, 15, 50}, {2023, 6, 11, 0, 0}, 4},
        {"America/New_York", {2019, 6, 10, 15, 50}, {2019, 6, 10, 9, 0}, 0},  // earlier on the day of birth
        {"America/New_York", {2019, 6, 10, 0, 0}, {2019, 6, 9, 23, 59}, std::nullopt},
        {"Pacific/Auckland", {2018, 12, 31, 23, 30}, {2022, 12, 31, 0, 10}, 4},
        {"Pacific/Auckland", {2018, 12, 31, 23, 30}, {2022, 12, 30, 23, 50}, 3},
        {"Asia/Kolkata", {2020, 2, 29, 18, 0}, {2021, 2, 28, 6, 0}, 1},
        // Born on a day whose midnight the clocks skipped, so the day started at 01:00.
        {"America/Sao_Paulo", {2018, 11, 4, 0, 0}, {2022, 11, 4, 0, 0}, 4},
    };
    for (const Case& c : cases) {
        quillfen::testing::ScopedIcuDefaults defaults(c.zone);
        const Date born = localDate(c.born[0], c.born[1], c.born[2], c.born[3], c.born[4]);
        const Date at = localDate(c.at[0], c.at[1], c.at[2], c.at[3], c.at[4]);
        SCOPED_TRACE(::testing::Message() << c.zone << " born " << c.born[2] << "/" << c.born[1] << "/"
                                          << c.born[0] << " " << c.born[3] << ":" << c.born[4] << ", drawn "
                                          << c.at[2] << "/" << c.at[1] << "/" << c.at[0] << " " << c.at[3]
                                          << ":" << c.at[4]);
        const Child child{childID, "Ada", born, ""};
        EXPECT_EQ(child.age(at), c.age);
        DrawingInfo drawing;
        drawing.childID = childID;
        drawing.date = at;
        const auto caption = Caption::ageText(drawing, &child);
        EXPECT_EQ(caption, c.age ? std::optional("age " + std::to_string(*c.age)) : std::nullopt);
    }
}

TEST(LibraryRecords, ReadsWhatTheOriginalPlatformWrote) {
    // Keys in another order, lower-case UUIDs, integral numbers as 20.0, null optionals, dates with
    // fractions and unknown keys.
    const Json child = Json::parse(R"({"about":"Loves horses","birthday":null,
        "name":"Mia","id":"0b1e7c44-55d1-4e0b-9c53-1b5c1f0a2d7e","colour":"red"})");
    EXPECT_EQ(decode<Child>(child), (Child{childID, "Mia", std::nullopt, "Loves horses"}));

    const Json drawing = Json::parse(R"({"sequence":20.0,"pixelSize":[3024,4032],"aspect":0.75,
        "cleanup":{"whiten":0.6,"flatten":true,"straighten":-1.5,"quarterTurns":1,"autoCropped":true,
                   "crop":{"bottomLeft":[0.1,0.05],"bottomRight":[0.9,0.04],"topRight":[0.92,0.97],
                           "topLeft":[0.08,0.95]}},
        "featured":true,"title":"Our house","age":"age 5","date":726364800.25,
        "childID":"0B1E7C44-55D1-4E0B-9C53-1B5C1F0A2D7E","id":"6f9619ff-8b86-d011-b42d-00c04fc964ff"})");
    const DrawingInfo expected{
        drawingID,
        childID,
        Date{726364800.25},
        "age 5",
        "Our house",
        true,
        0.75,
        {3024, 4032},
        CleanupSettings{Quad{{0.08, 0.95}, {0.92, 0.97}, {0.9, 0.04}, {0.1, 0.05}}, true, 1, -1.5, true, 0.6},
        20};
    EXPECT_EQ(decode<DrawingInfo>(drawing), expected);
}

TEST(LibraryRecords, WritesKeysInFieldOrderAndLeavesOutAbsentOptionals) {
    const Child child{childID, "Ada", std::nullopt, ""};
    EXPECT_EQ(encode(child).dump(),
              R"({"id":"0B1E7C44-55D1-4E0B-9C53-1B5C1F0A2D7E","name":"Ada","about":""})");
    EXPECT_FALSE(encode(DrawingInfo{}).contains("childID"));
}

TEST(CleanupSettings, StoredFormIsInFieldOrderWithoutCropRoundTripsAndReadsValuesUnchanged) {
    EXPECT_EQ(encode(CleanupSettings::defaults()).dump(),
              R"({"autoCropped":false,"quarterTurns":0,"straighten":0.0,"flatten":false,"whiten":0.0})");
    const CleanupSettings s{Quad{{0.1, 0.9}, {0.9, 0.95}, {0.85, 0.05}, {0.12, 0.1}}, true, 5, -2.5, true, 2};
    EXPECT_EQ(decode<CleanupSettings>(encode(s)), s);
    const Json nullCrop = Json::parse(
        R"({"crop":null,"whiten":0,"flatten":false,"straighten":0,"quarterTurns":0,"autoCropped":false,"x":1})");
    EXPECT_EQ(decode<CleanupSettings>(nullCrop), CleanupSettings::defaults());
}

