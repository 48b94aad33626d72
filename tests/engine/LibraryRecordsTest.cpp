#include "engine/LibraryRecords.h"

#include <unicode/gregocal.h>

#include <gtest/gtest.h>

#include "IcuDefaults.h"

using namespace quillfen;

namespace {

// Local midnight (or a given time) in ICU's default time zone.
Date localDate(int year, int month, int day, int hour = 0, int minute = 0) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(status);
    calendar.clear();
    calendar.set(year, month - 1, day, hour, minute, 0);
    const UDate ms = calendar.getTime(status);
    EXPECT_TRUE(U_SUCCESS(status));
    return Date::fromIcuMilliseconds(ms);
}

const UUID childID = *UUID::parse("0B1E7C44-55D1-4E0B-9C53-1B5C1F0A2D7E");
const UUID drawingID = *UUID::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");

}  // namespace

TEST(ChildAge, CountsWholeYearsAroundBirthdaysInTheLocalZone) {
    for (const char* zone : {"America/Los_Angeles", "UTC", "Asia/Tokyo", "Pacific/Kiritimati"}) {
        quillfen::testing::ScopedIcuDefaults defaults(zone);
        SCOPED_TRACE(zone);
        const Child child{childID, "Ada", localDate(2018, 3, 15), ""};
        struct Case {
            Date at;
            std::optional<int> age;
        };
        const Case cases[] = {
            {localDate(2018, 3, 15), 0},          // the moment of birth
            {localDate(2019, 3, 14, 23, 59), 0},  // the evening before the first birthday
            {localDate(2019, 3, 15), 1},          // the first birthday
            {localDate(2024, 3, 15, 12), 6},     {localDate(2018, 3, 14), std::nullopt},  // before birth
        };
        for (const auto& c : cases) EXPECT_EQ(child.age(c.at), c.age);
    }
}

TEST(ChildAge, LeapDayBirthdaysCountFromTheLastDayOfFebruary) {
    quillfen::testing::ScopedIcuDefaults defaults("Europe/Berlin");
    const Child child{childID, "Leo", localDate(2020, 2, 29), ""};
    EXPECT_EQ(child.age(localDate(2021, 2, 27)), 0);
    EXPECT_EQ(child.age(localDate(2021, 2, 28)), 1);
    EXPECT_EQ(child.age(localDate(2024, 2, 28)), 3);
    EXPECT_EQ(child.age(localDate(2024, 2, 29)), 4);
}

TEST(ChildAge, IsGregorianWhateverCalendarTheLocalePrefers) {
    quillfen::testing::ScopedIcuDefaults defaults("Asia/Jerusalem", "he_IL@calendar=hebrew");
    const Child child{childID, "Noa", localDate(2018, 3, 15), ""};
    EXPECT_EQ(child.age(localDate(2019, 3, 14)), 0);
    EXPECT_EQ(child.age(localDate(2019, 3, 15)), 1);
}

TEST(ChildAge, NoBirthdayMeansNoAge) {
    EXPECT_EQ((Child{childID, "Ada", std::nullopt, ""}).age(Date::now()), std::nullopt);
}

TEST(LibraryRecords, EqualityComparesEveryField) {
    const Child a{childID, "Ada", Date{1}, "note"};
    Child b = a;
    b.name = "Ava";
    EXPECT_NE(a, b);
    b = a;
    b.birthday.reset();
    EXPECT_NE(a, b);
    EXPECT_EQ(std::hash<Child>{}(a), std::hash<Child>{}(Child(a)));

    DrawingInfo d{drawingID, childID,      Date{2},
                  "",        "Sun",        false,
                  1.5,       {3000, 2000}, CleanupSettings{Quad::full(), true, 0, 0, false, 0},
                  7};
    DrawingInfo e = d;
    e.cleanup.crop->topRight.y = 0.999999;
    EXPECT_NE(d, e);
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
    const DrawingInfo d{drawingID, std::nullopt, Date{0.5}, "", "", false, 1, {10, 20}, {}, 3};
    const Json written = encode(d);
    EXPECT_FALSE(written.contains("childID"));
    std::vector<std::string> keys;
    for (auto it = written.begin(); it != written.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"id", "date", "age", "title", "featured", "aspect", "pixelSize",
                                              "cleanup", "sequence"}));
    EXPECT_EQ(decode<DrawingInfo>(written), d);
    EXPECT_EQ(decode<Child>(encode(Child{childID, "B", Date{-12.75}, "x"})),
              (Child{childID, "B", Date{-12.75}, "x"}));
}

TEST(LibraryRecords, EveryMissingOrMistypedRequiredKeyRejectsTheRead) {
    const DrawingInfo d{drawingID, childID, Date{2}, "", "Sun", false, 1.5, {3000, 2000}, {}, 7};
    const Json good = encode(d);
    struct Case {
        const char* key;
        Json wrong;
    };
    const Case cases[] = {{"id", "not-a-uuid"}, {"date", "2024-01-01"}, {"age", 5},
                          {"title", nullptr},   {"featured", "yes"},    {"aspect", Json::array()},
                          {"pixelSize", 3000},  {"cleanup", "none"},    {"sequence", 1.5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Json missing = good;
        missing.erase(c.key);
        try {
            (void)decode<DrawingInfo>(missing);
            ADD_FAILURE() << "a missing key was accepted";
        } catch (const DocumentError& e) {
            EXPECT_EQ(e.path(), c.key);
        }
        Json mistyped = good;
        mistyped[c.key] = c.wrong;
        EXPECT_THROW(decode<DrawingInfo>(mistyped), DocumentError);
    }
    Json badChild = good;
    badChild["childID"] = "E621E1F8-C36C-495A-93FC";
    EXPECT_THROW(decode<DrawingInfo>(badChild), DocumentError);
    for (const char* key : {"id", "name", "about"}) {
        Json child = encode(Child{childID, "Ada", Date{1}, ""});
        child.erase(key);
        EXPECT_THROW(decode<Child>(child), DocumentError) << key;
    }
}

TEST(LibraryRecords, ARecordHoldingANonFiniteNumberCannotBeWritten) {
    DrawingInfo d{drawingID, std::nullopt, Date{0}, "", "", false, std::nan(""), {10, 20}, {}, 3};
    EXPECT_THROW(encode(d), EncodingError);
    d.aspect = 1;
    d.cleanup.crop = Quad::full();
    d.cleanup.crop->topLeft.x = std::numeric_limits<double>::infinity();
    try {
        encode(d);
        FAIL() << "expected an EncodingError";
    } catch (const EncodingError& e) {
        EXPECT_EQ(e.path(), "cleanup.crop.topLeft");
    }
    const Child child{childID, "Ada", Date{std::numeric_limits<double>::infinity()}, ""};
    EXPECT_THROW(encode(child), EncodingError);
}
