#include "engine/cleanup/Lighting.h"

#include <cmath>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/engine/ImageFixtures.h"

using namespace quillfen;
using namespace quillfen::testing;

namespace {

// How far the cube moves the grey entry k towards white.
double greyWeight(const std::vector<float>& cube, int k) {
    const double v = k / 31.0;
    const float entry = cube[(static_cast<std::size_t>(k) * 1024 + k * 32 + k) * 4];
    return (entry - v) / (1 - v);
}

// Grey paper lit from the left, darker to the right, with a black stroke across the middle.
Bitmap unevenlyLitPaper(int width, int height) {
    return filled(width, height, [=](int x, int y) {
        if (std::abs(y - height / 2) < 2 && x > width / 4 && x < 3 * width / 4) return Rgb{20, 20, 20};
        const auto level = static_cast<std::uint8_t>(235 - 100 * x / width);
        return Rgb{level, level, static_cast<std::uint8_t>(level - 10)};
    });
}

}  // namespace

TEST(Whitening, WeightsAndLevels) {
    EXPECT_NEAR(Cleaner::whitenWeight(0.73, 1), 0.5, 1e-12);
    EXPECT_EQ(Cleaner::whitenWeight(0.62, 1), 0);
    EXPECT_EQ(Cleaner::whitenWeight(0.84, 1), 1);

    struct Case {
        double strength;
        std::optional<int> level;
    };
    const Case cases[] = {{0.024, 0}, {0.025, 1}, {1.7, 20}, {std::nan(""), std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strength);
        EXPECT_EQ(Cleaner::whitenLevel(c.strength), c.level);
    }
}

TEST(Whitening, CubeEntriesLiftOnlyNearWhiteGreys) {
    const auto strongest = Cleaner::whitenCube(20);
    ASSERT_EQ(strongest->size(), 32u * 32 * 32 * 4);
    const auto entry = [&](int r, int g, int b) {
        const float* e = &(*strongest)[(b * 1024 + g * 32 + r) * 4];
        return std::array<float, 4>{e[0], e[1], e[2], e[3]};
    };
    EXPECT_EQ(entry(0, 0, 0), (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_EQ(entry(31, 0, 0), (std::array<float, 4>{1, 0, 0, 1}));  // pure red stays red
    EXPECT_EQ(entry(31, 31, 31), (std::array<float, 4>{1, 1, 1, 1}));
    struct Case {
        int level, k;
        double weight;
    };
    const Case cases[] = {{0, 28, 0}, {0, 30, 0.643}, {12, 26, 0.651}, {20, 27, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "level " << c.level << " grey " << c.k);
        EXPECT_NEAR(greyWeight(*Cleaner::whitenCube(c.level), c.k), c.weight, 0.002);
    }
}

TEST(Whitening, OneCubeIsBuiltOnceForTwoThreads) {
    std::shared_ptr<const std::vector<float>> first, second;
    std::thread a([&] { first = Cleaner::whitenCube(7); });
    std::thread b([&] { second = Cleaner::whitenCube(7); });
    a.join();
    b.join();
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(Cleaner::whitenCube(7).get(), first.get());
}

TEST(Lighting, PaperEstimateFallsBackToWhiteWithoutNeutralBrightPixels) {
    using Colour = std::array<float, 3>;
    const std::tuple<const char*, Colour, Colour> cases[] = {
        {"black", {0, 0, 0}, {1, 1, 1}},
        {"strong colour", {0.9f, 0.1f, 0.1f}, {1, 1, 1}},
        {"grey paper", {0.8f, 0.8f, 0.75f}, {0.8f, 0.8f, 0.75f}},
    };
    for (const auto& [name, colour, expected] : cases) {
        SCOPED_TRACE(name);
        std::vector<float> rgba;
        for (int i = 0; i < 40 * 30; ++i) rgba.insert(rgba.end(), {colour[0], colour[1], colour[2], 1});
        const auto paper = Cleaner::estimatePaper(rgba, 40, 30);
        ASSERT_EQ(paper.size(), rgba.size());
        for (std::size_t i = 0; i < paper.size(); ++i)
            ASSERT_NEAR(paper[i], i % 4 == 3 ? 1 : expected[i % 4], 1e-5);
    }
}

TEST(Lighting, FlattenEvensPaperAndKeepsInk) {
    const Bitmap photo = unevenlyLitPaper(400, 300);
    const Bitmap flat = Cleaner::flatten(photo);
    ASSERT_EQ(flat.width, 400);
    for (const int x : {20, 200, 380}) {
        SCOPED_TRACE(x);
        EXPECT_TRUE(near(rgbAt(flat, x, 40), white, 8));  // the paper, light or shaded, turns white
    }
    EXPECT_LT(rgbAt(flat, 200, 150).r, 80);  // the stroke stays dark
}

TEST(Lighting, EvenPaperColorRemovesTheTint) {
    const Bitmap photo = filled(200, 150, [](int x, int y) {
        return std::abs(x - 100) < 3 && y > 20 && y < 130 ? Rgb{30, 30, 120} : Rgb{232, 224, 205};
    });
    const Bitmap even = Cleaner::evenPaperColor(photo);
    EXPECT_TRUE(near(rgbAt(even, 20, 20), white, 3));
    EXPECT_TRUE(near(rgbAt(even, 100, 75), {30, 32, 140}, 12));  // the ink keeps its colour, untinted
}

TEST(Lighting, PicturesUnderTwoByTwoAreLeftAlone) {
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        const Bitmap tiny = filled(width, height, [](int, int) { return Rgb{200, 190, 180}; });
        EXPECT_EQ(Cleaner::flatten(tiny), tiny);
        EXPECT_EQ(Cleaner::evenPaperColor(tiny), tiny);
        EXPECT_EQ(Cleaner::whiten(tiny, 1), tiny);
    }
}

TEST(Whitening, LiftsNearWhitePaperAndLeavesInkAndColour) {
    const Rgb paper{235, 235, 235}, ink{40, 40, 90}, crayon{230, 40, 40};
    const Bitmap photo = filled(30, 2, [&](int x, int) { return x < 10 ? paper : x < 20 ? ink : crayon; });
    EXPECT_EQ(Cleaner::whiten(photo, 0), photo);
    const Bitmap whitened = Cleaner::whiten(photo, 1);
    EXPECT_TRUE(near(rgbAt(whitened, 5, 1), white, 2));
    EXPECT_TRUE(near(rgbAt(whitened, 15, 1), ink, 2));
    EXPECT_TRUE(near(rgbAt(whitened, 25, 1), crayon, 2));
}
