#include "engine/cleanup/Cleaner.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "tests/engine/ImageFixtures.h"

using namespace quillfen;
using namespace quillfen::fixtures;

namespace {

CleanupSettings withCrop(const Quad& quad) {
    CleanupSettings settings;
    settings.crop = quad;
    return settings;
}

Bitmap checkerboard(int width, int height) {
    return filled(width, height, [](int x, int y) { return (x + y) % 2 ? white : Rgb{0, 0, 0}; });
}

}  // namespace

TEST(Cleaner, QuarterTurnsWrapByTheirLowTwoBits) {
    const std::pair<int, Rgb> cases[] = {{0, red}, {1, blue}, {2, white}, {3, green}, {-1, green}, {5, blue}};
    const Bitmap photo = quadrants(400, 300);
    for (const auto& [turns, topLeft] : cases) {
        SCOPED_TRACE(turns);
        CleanupSettings settings;
        settings.quarterTurns = turns;
        const Bitmap turned = Cleaner::apply(settings, photo);
        EXPECT_EQ(sizeOf(turned), (turns % 2 ? Size{300, 400} : Size{400, 300}));
        EXPECT_EQ(rgbAt(turned, 2, 2), topLeft);
        EXPECT_EQ(Cleaner::rotateQuarterTurns(photo, turns), turned);
    }
}

TEST(Cleaner, StraighteningCutsTheInscribedRectangleAboveOneHundredthOfADegree) {
    EXPECT_DOUBLE_EQ(Cleaner::straightenScale(400, 300, std::numbers::pi / 2), 0.75);
    // (50, 37.5, 300, 225) rounds outward to (50, 37, 300, 226).
    EXPECT_EQ(sizeOf(Cleaner::straighten(quadrants(400, 300), 90)), (Size{300, 226}));
    // Turned a little, the edges are repeated, never left transparent or black.
    const Bitmap turned = Cleaner::straighten(filled(200, 100,
                                                     [](int, int) {
                                                         return Rgb{250, 240, 230};
                                                     }),
                                              7);
    EXPECT_EQ(rgbAt(turned, 0, 0), (Rgb{250, 240, 230}));
    EXPECT_EQ(turned.pixel(0, 0)[3], 255);

    const Bitmap board = checkerboard(2000, 1000);  // corners move by a fifth of a pixel at 0.011
    const std::pair<double, bool> cases[] = {
        {0.01, false}, {-0.01, false}, {0.011, true}, {-0.011, true}, {NAN, false}};
    for (const auto& [degrees, applied] : cases) {
        SCOPED_TRACE(degrees);
        CleanupSettings settings;
        settings.straighten = degrees;
        EXPECT_EQ(Cleaner::apply(settings, board) != board, applied);
    }
    EXPECT_NE(Cleaner::straighten(board, 0.005), board);  // applied whatever the angle when asked directly
}

TEST(Cleaner, CropSquaresUpTheSheetAndTrimsItsEdges) {
    // A red sheet on a blue table, covering the middle of a 2000 x 1600 photo: 1000 x 800 squared up.
    const Bitmap photo = filled(
        2000, 1600, [](int x, int y) { return x >= 500 && x < 1500 && y >= 400 && y < 1200 ? red : blue; });
    const Quad sheet{{0.25, 0.75}, {0.75, 0.75}, {0.75, 0.25}, {0.25, 0.25}};
    const Bitmap cut = Cleaner::apply(withCrop(sheet), photo);
    EXPECT_EQ(sizeOf(cut), (Size{976, 776}));  // 12 pixels trimmed on each side
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{975, 0}, std::pair{0, 775}, std::pair{488, 388}}) {
        EXPECT_EQ(rgbAt(cut, x, y), red) << x << "," << y;
    }
    EXPECT_EQ(Cleaner::perspectiveCorrect(photo, sheet), cut);
}

TEST(Cleaner, CropFollowsAPerspectiveSheet) {
    // A trapezoid sheet, narrower at the top, as a phone held at an angle sees it.
    const Quad sheet{{0.3, 0.8}, {0.7, 0.8}, {0.9, 0.1}, {0.1, 0.1}};
    const int width = 600, height = 400;
    const Bitmap photo = filled(width, height, [&](int x, int y) {
        const double u = (x + 0.5) / width, v = 1 - (y + 0.5) / height;
        const double t = (v - 0.1) / 0.7;  // 0 at the bottom edge, 1 at the top
        const double left = 0.1 + 0.2 * t, right = 0.9 - 0.2 * t;
        const bool inside = t >= 0 && t <= 1 && u >= left && u <= right;
        return inside ? (u < 0.5 ? red : green) : blue;
    });
    const Bitmap cut = Cleaner::apply(withCrop(sheet), photo);
    const Size edges = sheet.edgeLengths({double(width), double(height)});
    const double inset = 0.015 * std::min(edges.width, edges.height);
    EXPECT_NEAR(cut.width, edges.width - 2 * inset, 2);  // rounded outward
    EXPECT_NEAR(cut.height, edges.height - 2 * inset, 2);
    EXPECT_TRUE(near(rgbAt(cut, 3, 3), red, 10));  // no table left in the corners
    EXPECT_TRUE(near(rgbAt(cut, cut.width - 4, cut.height - 4), green, 10));
    EXPECT_TRUE(near(rgbAt(cut, cut.width / 4, cut.height / 2), red, 10));
}

TEST(Cleaner, UnusableCropsAreIgnored) {
    const Bitmap photo = quadrants(120, 90);
    struct Case {
        const char* name;
        Quad quad;
    };
    const Case cases[] = {
        {"not a number", {{NAN, 1}, {1, 1}, {1, 0}, {0, 0}}},
        {"infinite", {{0, 1}, {INFINITY, 1}, {1, 0}, {0, 0}}},
        {"crossed", {{0, 1}, {1, 0}, {1, 1}, {0, 0}}},
        {"three corners on a line", {{0, 1}, {0.5, 0.5}, {1, 0}, {0, 0}}},
        {"all in one point", {{0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}}},
        {"leaving under 2 pixels a side", {{0.5, 0.51}, {0.51, 0.51}, {0.51, 0.5}, {0.5, 0.5}}},
        {"wholly beside the picture, held to its edge", {{10, 0.6}, {10.2, 0.6}, {10.2, 0.4}, {10, 0.4}}},
        {"absurdly long and thin", {{0, 0.5 + 1e-9}, {1e8, 0.5 + 1e-9}, {1e8, 0.5}, {0, 0.5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Cleaner::apply(withCrop(c.quad), photo), photo);
        EXPECT_EQ(Cleaner::outputSize(withCrop(c.quad), photo), (Size{120, 90}));
    }
}

// A parent may cut a small drawing out of a large photo: however small, a convex crop is squared up,
// and the size the cleanup promises is the size it gives.
TEST(Cleaner, SmallCropsAreHonoured) {
    const Bitmap photo = filled(
        2000, 1600, [](int x, int y) { return x >= 1000 && x < 1200 && y >= 800 && y < 960 ? red : blue; });
    struct Case {
        const char* name;
        Quad quad;
        Size size;
    };
    const Case cases[] = {
        {"1 % of the photo", {{0.5, 0.5}, {0.6, 0.5}, {0.6, 0.4}, {0.5, 0.4}}, {196, 156}},
        {"0.1 % of the photo", {{0.52, 0.48}, {0.5516, 0.48}, {0.5516, 0.4484}, {0.52, 0.4484}}, {63, 50}},
        {"a few pixels", {{0.55, 0.45}, {0.5515, 0.45}, {0.5515, 0.448}, {0.55, 0.448}}, {3, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CleanupSettings settings = withCrop(c.quad);
        settings.flatten = true;
        settings.whiten = 0.6;
        const Bitmap cut = Cleaner::apply(settings, photo);
        EXPECT_EQ(sizeOf(cut), c.size);
        EXPECT_EQ(Cleaner::outputSize(settings, photo), c.size);
        EXPECT_TRUE(near(rgbAt(cut, cut.width / 2, cut.height / 2), red, 10));
    }
}

TEST(Cleaner, LightingIsTouchedOnlyWhenSwitchedOn) {
    const Bitmap photo = filled(160, 120, [](int, int y) {
        const auto level = static_cast<std::uint8_t>(230 - y / 3);
        return Rgb{level, static_cast<std::uint8_t>(level - 6), static_cast<std::uint8_t>(level - 20)};
    });
    EXPECT_EQ(Cleaner::apply({}, photo), photo);  // the very pixels, not a trip through linear light
    CleanupSettings settings;
    settings.flatten = true;
    settings.whiten = 1;
    EXPECT_TRUE(near(rgbAt(Cleaner::apply(settings, photo), 80, 100), white, 8));
}

TEST(Cleaner, TransparentPicturesAreCleanedOnWhite) {
    Bitmap clear(8, 8);  // all pixels fully transparent
    CleanupSettings settings;
    settings.quarterTurns = 1;
    const Bitmap cleaned = Cleaner::apply(settings, clear);
    EXPECT_EQ(rgbAt(cleaned, 3, 3), white);
    EXPECT_EQ(cleaned.pixel(3, 3)[3], 255);
    EXPECT_EQ(Cleaner::apply(settings, Bitmap()), Bitmap());
}
