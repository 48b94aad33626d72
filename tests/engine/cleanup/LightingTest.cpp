#include "engine/cleanup/Cleaner.h"
#include "engine/cleanup/Lighting.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "engine/cleanup/detail/LinearPixels.h"
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

// Dividing by a map gives every pixel exactly its light over the map's paper at that pixel, for
// maps coarser, as fine as and finer than the picture, with cells beyond 0.05...1 and not numbers.
TEST(Lighting, DivisionTakesThePaperUnderEachPixel) {
    struct Case {
        int width, height, mapWidth, mapHeight;
    };
    const Case cases[] = {{37, 23, 5, 4}, {16, 9, 1, 1}, {8, 30, 8, 30}, {3, 1, 7, 2}};
    const float cellValues[] = {0.3f, 0.9f, 1.4f, 0.01f, std::nanf(""), 0.6f, 0.75f};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.width << "x" << c.height << " over " << c.mapWidth << "x" << c.mapHeight);
        const Bitmap photo = filled(c.width, c.height, [](int x, int y) {
            return Rgb{static_cast<std::uint8_t>(x * 67 + y * 13),
                       static_cast<std::uint8_t>(x * 29 + y * 101),
                       static_cast<std::uint8_t>(x * 7 + y * 59 + 128)};
        });
        Cleaner::BackgroundMap map{c.width, c.height, c.mapWidth, c.mapHeight, {}};
        for (int k = 0; k < c.mapWidth * c.mapHeight * 3; ++k) map.rgb.push_back(cellValues[k * 5 % 7]);
        const Bitmap divided = Cleaner::divide(photo, map);
        int wrong = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const auto paper = map.at(x, y);
                for (int i = 0; i < 3; ++i) {
                    const float light = detail::linear16OfCode()[photo.pixel(x, y)[i]];
                    const auto quotient = cv::saturate_cast<std::uint16_t>(light / paper[i]);
                    wrong += divided.pixel(x, y)[i] != detail::codeOfLinear16()[quotient];
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
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

// At every level a colour well below the whitening band (by its smallest component) stays exactly as
// it was, one well inside the band is lifted short of white and one well above it turns white.
TEST(Whitening, TheBandDecidesByTheSmallestComponent) {
    const int tints[] = {0, 30, 60, 200};
    const Bitmap photo = filled(256, 4, [&](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(std::min(255, x + tints[y])),
                   static_cast<std::uint8_t>(std::min(255, x + tints[y] / 2))};
    });
    const double margin = 1.0 / 31 + 0.01;  // a cell of the cube and the rounding of the codes
    for (int level = 1; level <= 20; ++level) {
        SCOPED_TRACE(::testing::Message() << "level " << level);
        const double t = level / 20.0;
        double low = 0, high = 1;  // where the weight leaves 0 and where it reaches 1
        for (int i = 0; i <= 1000; ++i) {
            if (Cleaner::whitenWeight(i / 1000.0, t) == 0) low = i / 1000.0;
            if (Cleaner::whitenWeight(i / 1000.0, t) < 1) high = (i + 1) / 1000.0;
        }
        const Bitmap whitened = Cleaner::whiten(photo, t);
        int wrong = 0;
        for (int y = 0; y < photo.height; ++y) {
            for (int x = 0; x < photo.width; ++x) {
                const Rgb before = rgbAt(photo, x, y), after = rgbAt(whitened, x, y);
                const double smallest = std::min({before.r, before.g, before.b}) / 255.0;
                if (smallest < low - margin) wrong += !(after == before);
                if (smallest > low + margin && smallest < high - margin) {
                    wrong += after.r + after.g + after.b <= before.r + before.g + before.b || after == white;
                }
                if (smallest > high + margin) wrong += !(after == white);
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}
