#include "engine/core/Json.h"

#include <cmath>
#include <limits>

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

TEST(JsonCoding, ErrorsNameTheFailingKeyPath) {
    const Json doc = Json::parse(R"({"list": [[1, 2], [3, "x"]]})");
    try {
        (void)required<std::vector<Point>>(doc, "list");
        FAIL() << "expected a DocumentError";
    } catch (const DocumentError& e) {
        EXPECT_EQ(e.path(), "list[1]");
    }
}

TEST(JsonCoding, OptionalsReadAbsentOrNullAsAbsentButRejectWrongTypes) {
    const Json doc = Json::parse(R"({"a": null, "c": "text"})");
    EXPECT_EQ(optional<double>(doc, "a"), std::nullopt);
    EXPECT_EQ(optional<double>(doc, "b"), std::nullopt);
    EXPECT_THROW(optional<double>(doc, "c"), DocumentError);
    EXPECT_THROW(required<double>(doc, "a"), DocumentError);
    EXPECT_THROW(required<double>(doc, "b"), DocumentError);
}

TEST(JsonCoding, IntegerKeyedMapsUseDecimalStringKeys) {
    const std::map<int, std::string> map{{0, "a"}, {11, "b"}, {-1, "c"}};
    const Json written = encode(map);
    EXPECT_EQ(written.dump(), R"({"-1":"c","0":"a","11":"b"})");
    EXPECT_EQ((decode<std::map<int, std::string>>(written)), map);
    for (const char* bad : {R"({"1x": "a"})", R"({"": "a"})"})
        EXPECT_THROW((decode<std::map<int, std::string>>(Json::parse(bad))), DocumentError) << bad;
}

TEST(JsonCoding, MalformedDocumentsBecomeDocumentErrors) {
    for (const char* text : {"", "{", "{\"a\": 1,}", "[1e400]", "\xff\xfe"})
        EXPECT_THROW(parseDocument(text), DocumentError) << text;
}
