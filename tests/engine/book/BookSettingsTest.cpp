#include "engine/book/BookSettings.h"
#include "engine/book/PrintGeometry.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
}  // namespace

TEST(PrintSpec, PadsToTheMinimumAndMultipleWithoutRunningAway) {
    struct Case {
        PrintSpec spec;
        std::int64_t pages;
        std::int64_t padded;
    };
    const Case cases[] = {
        {spec(PrintPreset::photoBook), 5, 20},
        {spec(PrintPreset::saddleStitch), 9, 12},
        {spec(PrintPreset::saddleStitch), 65, 68},  // the maximum is not applied here
        {spec(PrintPreset::homePrint), 0, 1},
        {PrintSpec{9, 27, 0, -10, 0}, 7, 7},  // stored counts below 1 pad as 1
        {PrintSpec{9, 27, 2, 1'000'000'000, 0}, 3, PrintSpec::paddingLimit},
        {PrintSpec{9, 27, int64Max, int64Max, 0}, 0, PrintSpec::paddingLimit},
        {PrintSpec{9, 27, 2, 20, 0}, 2501, 2501},  // content past the limit is never cut
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.pages << " pages, " << c.spec.pageMultiple << "/" << c.spec.minimumPages);
        EXPECT_EQ(c.spec.paddedPageCount(c.pages), c.padded);
    }
    EXPECT_EQ(PrintSpec::make(-3, 500, 0, 0, -5), (PrintSpec{0, 500, 1, 1, 0}));
    EXPECT_EQ(PrintSpec::make(9, 18, 4, 8, 64), spec(PrintPreset::saddleStitch));
}

TEST(Resolution, DpiIsTheSmallerAxisAndDamagedSizesStayDefined) {
    struct Case {
        Size pixels, points;
        double dpi;
    };
    const Case cases[] = {{{2400, 3000}, {576, 576}, 300},
                          {{2400, 3000}, {std::nan(""), 576}, inf},
                          {{-2400, 3000}, {576, 576}, 0},
                          {{std::nan(""), 3000}, {576, 576}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pixels.width << " px at " << c.points.width << " pt");
        EXPECT_EQ(Resolution::dpi(c.pixels, c.points), c.dpi);
    }
    EXPECT_EQ(Resolution::wholeDPI(Resolution::dpi({2400, 3000}, {579, 576})), 298);
    EXPECT_EQ(Resolution::wholeDPI(std::nan("")), 0);
    EXPECT_EQ(Resolution::wholeDPI(1e300), int64Max);
    EXPECT_EQ(Resolution::sharpSize({3000, 600}), (Size{720, 144}));
    EXPECT_EQ(Resolution::sharpSize({-3000, std::nan("")}), (Size{0, 0}));
}

TEST(Resolution, GradesAtTheBoundsAsWritten) {
    using Resolution::Grade;
    const std::pair<double, Grade> cases[] = {{inf, Grade::good},    {299.5, Grade::good},
                                              {299.49, Grade::soft}, {150, Grade::soft},
                                              {149.99, Grade::poor}, {std::nan(""), Grade::poor}};
    for (const auto& [dpi, grade] : cases) EXPECT_EQ(Resolution::grade(dpi), grade) << dpi;
}

TEST(BookSettings, DefaultsAreWrittenInFieldOrderWithoutACoverDrawing) {
    EXPECT_EQ(encode(BookSettings{}).dump(),
              R"({"size":"square8","preset":"photoBook","spec":{"bleed":9.0,"safe":27.0,"pageMultiple":2,)"
              R"("minimumPages":20,"maximumPages":0},"arrangement":"one","order":"chronological",)"
              R"("caption":"handwritten","showName":true,"showAge":true,"showDate":true,"title":"Our Art",)"
              R"("subtitle":"","coverColor":"cream","dedication":"","aboutPages":true,"closing":"",)"
              R"("coverInInterior":true})");
}

