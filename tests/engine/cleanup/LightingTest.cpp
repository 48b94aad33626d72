#include "engine/cleanup/Cleaner.h"
#include "engine/cleanup/Lighting.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/engine/ImageFixtures.h"

using namespace quillfen;
using namespace quillfen::fixtures;

namespace {

// Grey paper lit from the left, darker to the right, with a black stroke across the middle.
Bitmap unevenlyLitPaper(int width, int height) {
    return filled(width, height, [=](int x, int y) {
        if (std::abs(y - height / 2) < 2 && x > width / 4 && x < 3 * width / 4) return Rgb{20, 20, 20};
        const auto level = static_cast<std::uint8_t>(235 - 100 * x / width);
        return Rgb{level, level, static_cast<std::uint8_t>(level - 10)};
    });
}

}  // namespace

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

TEST(Lighting, PicturesUnderTwoByTwoAreEstimatedOnATwoByTwoCopy) {
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        const Bitmap tiny = filled(width, height, [](int, int) { return Rgb{200, 190, 180}; });
        EXPECT_TRUE(near(rgbAt(Cleaner::flatten(tiny), 0, 0), white, 2));  // its own paper, evened to white
        EXPECT_TRUE(near(rgbAt(Cleaner::evenPaperColor(tiny), 0, 0), white, 2));
        EXPECT_GT(rgbAt(Cleaner::whiten(tiny, 1), 0, 0).b, 200);
        CleanupSettings settings;
        settings.whiten = 0.6;
        EXPECT_TRUE(near(rgbAt(Cleaner::apply(settings, tiny), 0, 0), white, 2));
    }
    EXPECT_EQ(Cleaner::flatten(Bitmap()), Bitmap());
    EXPECT_EQ(Cleaner::whiten(Bitmap(), 1), Bitmap());
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
