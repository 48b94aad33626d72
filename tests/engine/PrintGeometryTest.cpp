#include "engine/PrintGeometry.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
}  // namespace

TEST(PrintSpec, MakeClampsTheCountsButKeepsTheLengths) {
    EXPECT_EQ(PrintSpec::make(-3, 500, 0, 0, -5), (PrintSpec{-3, 500, 1, 1, 0}));
    EXPECT_EQ(PrintSpec::make(9, 27, 1, 2, 1), (PrintSpec{9, 27, 1, 2, 1}));
    EXPECT_EQ(PrintSpec::make(9, 18, 4, 8, 64), spec(PrintPreset::saddleStitch));
}

TEST(PrintSpec, PadsToTheMinimumAndTheMultiple) {
    struct Case {
        PrintSpec spec;
        std::int64_t pages;
        std::int64_t padded;
    };
    const Case cases[] = {
        {spec(PrintPreset::photoBook), 21, 22},
        {spec(PrintPreset::photoBook), 5, 20},
        {spec(PrintPreset::photoBook), 20, 20},
        {spec(PrintPreset::saddleStitch), 9, 12},
        {spec(PrintPreset::saddleStitch), 8, 8},
        {spec(PrintPreset::saddleStitch), 65, 68},  // limit not applied
        {spec(PrintPreset::homePrint), 0, 1},
        {spec(PrintPreset::homePrint), 37, 37},
        {PrintSpec{9, 27, 0, 1, 0}, 7, 7},  // a stored multiple of 0 pads as 1
        {PrintSpec{9, 27, -4, -10, 0}, 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pages << " pages, multiple " << c.spec.pageMultiple);
        EXPECT_EQ(c.spec.paddedPageCount(c.pages), c.padded);
    }
}

TEST(PrintSpec, AbsurdStoredCountsNeitherOverflowNorRunAway) {
    struct Case {
        std::int64_t multiple;
        std::int64_t minimum;
        std::int64_t pages;
        std::int64_t padded;
    };
    const Case cases[] = {
        {2, 1'000'000'000, 3, PrintSpec::paddingLimit},
        {1'000'000'000, 1, 3, PrintSpec::paddingLimit},
        {int64Max, int64Max, 0, PrintSpec::paddingLimit},
        {3, int64Max, 5, PrintSpec::paddingLimit},
        {2, 20, 2500, 2500},  // content beyond the limit is never cut, only padding stops
        {2, 20, 2001, 2001},
        {2, 20, 1999, 2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.multiple << " " << c.minimum << " " << c.pages);
        EXPECT_EQ((PrintSpec{9, 27, c.multiple, c.minimum, 0}.paddedPageCount(c.pages)), c.padded);
    }
}

TEST(PrintSpec, StoredFormKeepsEveryNumberUnclamped) {
    const Json json = encode(PrintSpec{9, 27, 2, 20, 0});
    EXPECT_EQ(json.dump(),
              R"({"bleed":9.0,"safe":27.0,"pageMultiple":2,"minimumPages":20,"maximumPages":0})");
    const PrintSpec odd = decode<PrintSpec>(
        Json::parse(R"({"maximumPages":-3,"minimumPages":0,"pageMultiple":0,"safe":1.5,"bleed":0,"x":1})"));
    EXPECT_EQ(odd, (PrintSpec{0, 1.5, 0, 0, -3}));
    EXPECT_EQ(odd.paddedPageCount(5), 5);
    for (const char* key : {"bleed", "safe", "pageMultiple", "minimumPages", "maximumPages"}) {
        Json broken = json;
        broken.erase(key);
        EXPECT_THROW(decode<PrintSpec>(broken), DocumentError) << key;
        broken[key] = "2";
        EXPECT_THROW(decode<PrintSpec>(broken), DocumentError) << key;
    }
    EXPECT_THROW(decode<PrintSpec>(Json::parse(R"({"bleed":9,"safe":27,"pageMultiple":2.5,
        "minimumPages":20,"maximumPages":0})")),
                 DocumentError);
}

TEST(PrintGeometryEnums, CaseNamesRoundTripAndAreCaseSensitive) {
    for (BookSize size : allCases<BookSize>()) EXPECT_EQ(decode<BookSize>(encode(size)), size);
    for (PrintPreset preset : allCases<PrintPreset>())
        EXPECT_EQ(fromRawValue<PrintPreset>(rawValue(preset)), preset);
    EXPECT_EQ(rawValue(BookSize::landscape11x8), "landscape11x8");
    EXPECT_EQ(fromRawValue<PrintPreset>("PhotoBook"), std::nullopt);
    EXPECT_THROW(decode<BookSize>(Json("square9")), DocumentError);
    EXPECT_THROW(decode<BookSize>(Json(0)), DocumentError);
}

TEST(PrintGeometryEnums, TablesReadAsWritten) {
    EXPECT_EQ(trimSize(BookSize::landscape11x8), (Size{792, 612}));
    EXPECT_EQ(inches(BookSize::landscape11x8), (Size{11, 8.5}));
    EXPECT_EQ(title(BookSize::letter), "8.5 × 11 in letter (portrait)");
    EXPECT_EQ(title(PrintPreset::saddleStitch), "Stapled booklet (print shop)");
    EXPECT_EQ(
        note(PrintPreset::layFlat),
        "0.125 in bleed, 0.5 in safe margin (the gutter lies flat), at least 20 pages, even page count.");
    EXPECT_EQ(spec(PrintPreset::custom), (PrintSpec{9, 27, 2, 1, 0}));
}

TEST(PageBoxes, FollowTheBleedAndSafeMargin) {
    struct Case {
        BookSize size;
        PrintPreset preset;
        Rect media, trim, safe;
    };
    const Case cases[] = {
        {BookSize::square8, PrintPreset::photoBook, {0, 0, 594, 594}, {9, 9, 576, 576}, {36, 36, 522, 522}},
        {BookSize::letter, PrintPreset::homePrint, {0, 0, 612, 792}, {0, 0, 612, 792}, {18, 18, 576, 756}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(rawValue(c.size));
        const PageBoxes boxes(spec(c.preset), trimSize(c.size));
        EXPECT_EQ(boxes.media, c.media);
        EXPECT_EQ(boxes.bleed, c.media);
        EXPECT_EQ(boxes.trim, c.trim);
        EXPECT_EQ(boxes.safe, c.safe);
    }
    EXPECT_TRUE(PageBoxes(PrintSpec{9, 300, 2, 20, 0}, {576, 576}).safe.isNull());
}

TEST(Resolution, DpiIsTheSmallerAxisAndNeverDividesByZero) {
    struct Case {
        Size pixels, points;
        double dpi;
    };
    const Case cases[] = {
        {{2400, 3000}, {576, 576}, 300},
        {{2400, 3000}, {0, 576}, inf},
        {{2400, 3000}, {576, -1}, inf},
        {{2400, 3000}, {std::nan(""), 576}, inf},
        {{0, 0}, {576, 576}, 0},
        {{-2400, 3000}, {576, 576}, 0},  // a damaged negative size counts as none
        {{std::nan(""), 3000}, {576, 576}, 0},
        {{inf, inf}, {576, 576}, inf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pixels.width << "x" << c.pixels.height << " at "
                                          << c.points.width << "x" << c.points.height);
        EXPECT_EQ(Resolution::dpi(c.pixels, c.points), c.dpi);
    }
    EXPECT_NEAR(Resolution::dpi({2400, 3000}, {579, 576}), 298.4, 0.05);
}

TEST(Resolution, GradesAtTheBoundsAsWritten) {
    using Resolution::Grade;
    struct Case {
        double dpi;
        Grade grade;
    };
    const Case cases[] = {{inf, Grade::good},    {300, Grade::good}, {299.5, Grade::good},
                          {299.49, Grade::soft}, {150, Grade::soft}, {149.99, Grade::poor},
                          {0, Grade::poor},      {-1, Grade::poor},  {std::nan(""), Grade::poor},
                          {298.4, Grade::soft}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(Resolution::grade(c.dpi), c.grade);
    }
    EXPECT_LT(Grade::good, Grade::soft);
    EXPECT_LT(Grade::soft, Grade::poor);
    EXPECT_EQ(Resolution::gradeFromRawValue(2), Grade::poor);
    EXPECT_EQ(Resolution::gradeFromRawValue(3), std::nullopt);
}

TEST(Resolution, WholeFiguresAndSharpSizesStayDefinedForDamagedInput) {
    EXPECT_EQ(Resolution::wholeDPI(299.9), 299);
    EXPECT_EQ(Resolution::wholeDPI(std::nan("")), 0);
    EXPECT_EQ(Resolution::wholeDPI(inf), int64Max);
    EXPECT_EQ(Resolution::wholeDPI(1e300), int64Max);
    EXPECT_EQ(Resolution::sharpSize({3000, 600}), (Size{720, 144}));
    EXPECT_EQ(Resolution::sharpSize({-3000, std::nan("")}), (Size{0, 0}));
}
