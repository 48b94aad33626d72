#include "engine/book/BookSettings.h"
#include "engine/calendar/CalendarSettings.h"
#include "engine/core/Json.h"
#include "engine/library/LibraryRecords.h"

#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

using namespace quillfen;

TEST(JsonCoding, IntegersAcceptIntegralNumbersWrittenEitherWay) {
    EXPECT_EQ(decode<int>(Json::parse("20.0")), 20);
    EXPECT_EQ(decode<int>(Json::parse("-3")), -3);
    EXPECT_EQ(decode<std::int64_t>(Json::parse("9007199254740992")), 9007199254740992);
    EXPECT_EQ(decode<Size>(Json::parse("[3000, 2000.5]")), (Size{3000, 2000.5}));
}

TEST(JsonCoding, ScalarsAndPairsRejectOtherTypesFractionsAndOverflow) {
    for (const char* text : {"20.5", "\"20\"", "true", "null", "[20]", "2147483648", "1e300", "-2147483649"})
        EXPECT_THROW(decode<int>(Json::parse(text)), DocumentError) << text;
    for (const char* text : {"[1]", "[1, 2, 3]", "[1, \"2\"]", "{\"width\": 1, \"height\": 2}", "null"})
        EXPECT_THROW(decode<Size>(Json::parse(text)), DocumentError) << text;
    EXPECT_THROW(decode<bool>(Json::parse("1")), DocumentError);
    EXPECT_THROW(decode<std::string>(Json::parse("3")), DocumentError);
    EXPECT_THROW(decode<double>(Json::parse("\"3\"")), DocumentError);
}

TEST(JsonCoding, NonFiniteNumbersAreNeverWritten) {
    for (double v : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        EXPECT_THROW(encode<double>(v), EncodingError);
        EXPECT_THROW(encode<Size>(Size{1, v}), EncodingError);
        EXPECT_THROW(encode<Date>(Date{v}), EncodingError);
    }
}

TEST(JsonCoding, MalformedDocumentsBecomeDocumentErrors) {
    for (const char* text : {"", "{", "{\"a\": 1,}", "[1e400]", "\xff\xfe"})
        EXPECT_THROW(parseDocument(text), DocumentError) << text;
}

TEST(JsonCoding, DocumentsNestedDeeperThanAnyWrittenAreRefused) {
    const auto nested = [](int levels) {
        std::string text = "{\"a\":";
        for (int i = 1; i < levels; ++i) text += i % 2 ? "[" : "{\"b\":";
        text += "0";
        for (int i = levels - 1; i >= 1; --i) text += i % 2 ? "]" : "}";
        return text + "}";
    };
    EXPECT_NO_THROW(parseDocument(nested(512)));
    EXPECT_NO_THROW(parseDocument("{\"a\":\"\\\"" + std::string(1000, '[') + "\"}"));  // in a string
    for (const int levels : {513, 100000}) {
        EXPECT_THROW(parseDocument(nested(levels)), DocumentError) << levels;
    }
}

namespace {

template <typename T>
Json roundTrip(const Json& stored) {
    return encode(decode<T>(stored));
}

// Whether reading the document fails with an error naming the key (or a path within it).
bool rejects(const std::function<Json(const Json&)>& read, const Json& stored, const std::string& key) {
    try {
        (void)read(stored);
    } catch (const DocumentError& e) {
        return e.path().rfind(key, 0) == 0;
    }
    return false;
}

}  // namespace

// Every stored record reads back what it wrote, and a document missing a required key, holding a value of
// another type or a value out of its set is refused with the key named; only optional keys may be absent.
TEST(StoredRecords, RejectMissingKeysWrongTypesAndUnknownValues) {
    CalendarSettings calendar;
    calendar.customEvents = {CustomEvent{UUID::random(), "Zoo", {2026, 10, 3}, false}};
    calendar.pictures = {{0, UUID::random()}, {11, UUID::random()}};
    calendar.calendarOnly = {UUID::random()};
    calendar.coverPicture = UUID::random();
    BookSettings book;
    book.coverDrawing = UUID::random();
    const DrawingInfo drawing{UUID::random(), UUID::random(), Date{2}, "5", "Sun", false, 1.5, {3000, 2000},
                              CleanupSettings{Quad::full(), false, 1, 0.5, true, 0.3}, 7};
    struct Record {
        const char* type;
        Json stored;
        Json (*read)(const Json&);
        std::set<std::string> optional;
    };
    const Record records[] = {
        {"Child", encode(Child{UUID::random(), "Ada", Date{1}, ""}), roundTrip<Child>, {"birthday"}},
        {"DrawingInfo", encode(drawing), roundTrip<DrawingInfo>, {"childID"}},
        {"CleanupSettings", encode(drawing.cleanup), roundTrip<CleanupSettings>, {"crop"}},
        {"BookSettings", encode(book), roundTrip<BookSettings>, {"coverDrawing"}},
        {"CalendarSettings", encode(calendar), roundTrip<CalendarSettings>, {"coverPicture"}},
    };
    for (const Record& r : records) {
        EXPECT_EQ(r.read(r.stored), r.stored) << r.type;
        for (const auto& [key, value] : r.stored.items()) {
            SCOPED_TRACE(std::string(r.type) + "." + key);
            Json missing = r.stored, mistyped = r.stored;
            missing.erase(key);
            mistyped[key] = value.is_string() ? Json(7) : Json("7");
            EXPECT_EQ(rejects(r.read, missing, key), !r.optional.contains(key));
            EXPECT_TRUE(rejects(r.read, mistyped, key));
        }
    }
    const std::tuple<const char*, Json, std::function<Json(const Json&)>> values[] = {
        {"format", {{"format", "poster"}}, roundTrip<CalendarSettings>},
        {"pictures", {{"pictures", {{"1", "not-a-uuid"}}}}, roundTrip<CalendarSettings>},
        {"pictures", {{"pictures", {{"1x", calendar.pictures[0].string()}}}}, roundTrip<CalendarSettings>},
        {"customEvents", {{"customEvents", {{{"title", "x"}}}}}, roundTrip<CalendarSettings>},
        {"cleanup", {{"cleanup", {{"crop", {{"topLeft", {0.5}}}}}}}, roundTrip<DrawingInfo>},
    };
    for (const auto& [key, change, read] : values) {
        SCOPED_TRACE(change.dump());
        Json damaged = key == std::string("cleanup") ? encode(drawing) : encode(calendar);
        damaged.merge_patch(change);
        EXPECT_TRUE(rejects(read, damaged, key));
    }
}
