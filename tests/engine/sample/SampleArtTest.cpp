#include "engine/sample/SampleArt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/cleanup/PaperDetection.h"
#include "tests/engine/GoldenImages.h"
#include "tests/engine/ImageFixtures.h"

using namespace quillfen;
using namespace quillfen::testing;
using SampleArt::Kind;

namespace {

// Mean of red, green and blue at a point in unit coordinates of the bitmap, y upwards.
double brightness(const Bitmap& b, double x, double y) {
    const int column = std::clamp(static_cast<int>(x * b.width), 0, b.width - 1);
    const int row = std::clamp(static_cast<int>((1 - y) * b.height), 0, b.height - 1);
    const std::uint8_t* p = b.pixel(column, row);
    return (p[0] + p[1] + p[2]) / 3.0;
}

Bitmap whiteSheet(int width, int height) {
    return filled(width, height, [](int, int) { return white; });
}

bool isPortrait(Kind kind) {
    return kind == Kind::rocket || kind == Kind::flower || kind == Kind::tree || kind == Kind::snowman ||
           kind == Kind::butterfly;
}

}  // namespace

TEST(SampleArtItems, SixteenSamplesRunThroughTheYear) {
    const auto& items = SampleArt::items();
    ASSERT_EQ(items.size(), 16u);
    EXPECT_EQ(items[1], (SampleArt::Item{Kind::rocket, "Mom on a rocket", 0, 2, true}));
    EXPECT_EQ(items[13], (SampleArt::Item{Kind::snowman, "Snow day!", 1, 12, false}));
    EXPECT_EQ(items.front().month, 1);
    for (std::size_t i = 1; i < items.size(); ++i)
        EXPECT_GE(items[i].month, items[i - 1].month) << items[i].title;
}

TEST(SampleArtRandom, FollowsTheSeededXorshiftSequence) {
    // Worked out by hand from the generator's definition: (index * 7919 + seed) * 0x9E3779B97F4A7C15
    // with the low bit set, then s ^= s << 13, s ^= s >> 7, s ^= s << 17 and u = (s mod 10^6) / 10^6.
    struct Case {
        Kind kind;
        std::int64_t seed;
        std::uint64_t initial;
        double draws[4];
    };
    const Case cases[] = {
        {Kind::rocket, 15, 0x7b4e82f7067192d7ull, {0.961778, 0.564858, 0.825783, 0.181383}},
        {Kind::house, -1, 0x61c8864680b583ebull, {0.32894, 0.361032, 0.504767, 0.951146}},  // wraps
        {Kind::house, 0, 1, {0.269761, 0.853505, 0.764457, 0.937445}},  // the low bit keeps it off zero
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << rawValue(c.kind) << " seed " << c.seed);
        std::uint64_t state = SampleArt::initialState(c.kind, c.seed);
        EXPECT_EQ(state, c.initial);
        for (const double expected : c.draws) EXPECT_DOUBLE_EQ(SampleArt::next(state), expected);
    }
}

TEST(SampleArtSize, TruncatesAndRefusesWhatCannotBeDrawn) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double width;
        double height;
        std::optional<std::pair<int, int>> size;
    };
    const Case cases[] = {
        {2550.9, 3300.99, std::pair{2550, 3300}},  // Int() truncates
        {0.5, 100, std::nullopt},
        {nan, 100, std::nullopt},
        {1e9, 1e9, std::nullopt},  // would need petabytes
        {1e12, 1, std::nullopt},   // does not fit an int
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        EXPECT_EQ(SampleArt::pixelSize(c.width, c.height), c.size);
        if (!c.size) {
            EXPECT_TRUE(SampleArt::image(Kind::cat, 1, c.width, c.height).isEmpty());
            EXPECT_TRUE(
                SampleArt::photographed(whiteSheet(10, 10), SampleArt::photoQuad(), true, c.width, c.height)
                    .isEmpty());
        }
    }
}

TEST(SampleArtPhoto, UnusableInputGivesNoImageAndACollapsedQuadNoSheet) {
    Quad broken = SampleArt::photoQuad();
    broken.bottomRight.x = std::numeric_limits<double>::quiet_NaN();
    Bitmap truncated = whiteSheet(10, 10);
    truncated.pixels.resize(40);
    EXPECT_TRUE(SampleArt::photographed(Bitmap(), SampleArt::photoQuad(), true, 300, 400).isEmpty());
    EXPECT_TRUE(SampleArt::photographed(whiteSheet(10, 10), broken, true, 300, 400).isEmpty());
    EXPECT_TRUE(SampleArt::photographed(truncated, SampleArt::photoQuad(), true, 300, 400).isEmpty());
    const Quad point{{0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}};
    const Bitmap photo = SampleArt::photographed(whiteSheet(10, 10), point, false, 300, 400);
    ASSERT_EQ(photo.width, 300);
    EXPECT_LT(brightness(photo, 0.5, 0.5), 100);  // the sheet must not spread over the whole picture
}

TEST(SampleArtImage, EveryKindDrawsRepeatablyOnOpaqueWhite) {
    for (const Kind kind : allCases<Kind>()) {
        SCOPED_TRACE(rawValue(kind));
        const double width = isPortrait(kind) ? 255 : 330;
        const double height = isPortrait(kind) ? 330 : 255;
        const Bitmap first = SampleArt::image(kind, 7, width, height);
        ASSERT_EQ(sizeOf(first), (Size{width, height}));
        std::size_t drawn = 0;
        for (std::size_t i = 0; i < first.pixels.size(); i += 4) {
            ASSERT_EQ(first.pixels[i + 3], 255);
            if (first.pixels[i] + first.pixels[i + 1] + first.pixels[i + 2] < 3 * 235) ++drawn;
        }
        EXPECT_GT(drawn, first.pixels.size() / 4 / 50);  // at least 2 % of the sheet is crayon
        EXPECT_LT(drawn, first.pixels.size() / 4 / 2);   // and most of it is still paper
        EXPECT_EQ(SampleArt::image(kind, 7, width, height), first);
        EXPECT_NE(SampleArt::image(kind, 8, width, height), first);
    }
}

TEST(SampleArtImage, RoundShapesStayRoundOnAWidePicture) {
    // The yellow planet, radius 7 at (88, 58), is drawn as a circle whatever the picture's aspect.
    for (const auto& [width, height] : {std::pair{600, 600}, std::pair{776, 600}, std::pair{1000, 600}}) {
        SCOPED_TRACE(::testing::Message() << width << " x " << height);
        const Bitmap b = SampleArt::image(Kind::planets, 13, width, height);
        cv::Mat yellow;
        cv::inRange(golden::bgr(b)(cv::Rect(width * 3 / 4, 0, width - width * 3 / 4, height)),
                    cv::Scalar(0, 151, 201), cv::Scalar(89, 255, 255), yellow);
        const cv::Rect box = cv::boundingRect(yellow);
        const double across = box.width, down = box.height;
        EXPECT_NEAR(across / down, 1, 0.1);
        EXPECT_NEAR(down, 0.14 * height, 0.03 * height);  // 7 % of the height each way
        EXPECT_NEAR(width * 3 / 4 + box.x + across / 2, 0.88 * width, 0.02 * width);
    }
}

TEST(SampleArtPhoto, PaperDetectionFindsTheSheetInEveryPhotographedSample) {
    const Quad& expected = SampleArt::photoQuad();
    for (std::size_t n = 1; n <= SampleArt::items().size(); ++n) {
        const SampleArt::Item& item = SampleArt::items()[n - 1];
        if (!item.photographed) continue;
        SCOPED_TRACE(item.title);
        const bool portrait = isPortrait(item.kind);
        const Bitmap drawing = SampleArt::image(item.kind, n, portrait ? 2550 : 3300, portrait ? 3300 : 2550);
        const Bitmap photo =
            SampleArt::photographed(drawing, expected, true, portrait ? 2250 : 3000, portrait ? 3000 : 2250);
        const std::optional<Quad> found = Cleaner::detectPaper(photo);
        ASSERT_TRUE(found.has_value());
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(found->points()[i].x, expected.points()[i].x, 0.01) << "corner " << i;
            EXPECT_NEAR(found->points()[i].y, expected.points()[i].y, 0.01) << "corner " << i;
        }
    }
}
