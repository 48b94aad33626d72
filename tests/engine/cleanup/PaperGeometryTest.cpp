#include "engine/cleanup/detail/PaperGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace quillfen::detail::paper;

TEST(PaperGeometry, ThePartsOfAnOutlineThatThePictureDoesNotShowAreCounted) {
    // A picture of 400 x 300 pixels: a fiftieth of its longer side is 8 pixels.
    struct Case {
        const char* what;
        Corners outline;
        int unseen;
    };
    const Case cases[] = {
        {"a sheet inside the picture", {{{40, 30}, {360, 40}, {350, 270}, {50, 260}}}, 0},
        {"a side a pixel from the left edge", {{{1, 30}, {300, 30}, {300, 270}, {1, 270}}}, 1},
        {"a sheet whose corner a refinement took two pixels past the top",
         {{{40, -2}, {360, 40}, {350, 270}, {50, 260}}},
         0},
        {"a sheet whose corner a refinement took six pixels past the top",
         {{{40, -6}, {360, 40}, {350, 270}, {50, 260}}},
         0},
        {"a corner clearly beyond the top", {{{40, -12}, {360, 40}, {350, 270}, {50, 260}}}, 1},
        {"a side along the right edge, its far corner beyond the bottom",
         {{{40, 30}, {398, 30}, {399, 320}, {50, 260}}},
         2},
        {"a side that crosses the picture's edge at a corner of it",
         {{{-20, 100}, {100, -20}, {300, 200}, {180, 290}}},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(unseenParts(c.outline, cv::Size(400, 300)), c.unseen);
    }
}

TEST(PaperGeometry, PixelCornersUndoUnitQuadOnPicturesOfEveryShape) {
    const Corners outline{{{0, 0}, {399.5, 12.25}, {380, 299}, {-3, 250}}};
    for (const cv::Size size : {cv::Size(400, 300), cv::Size(300, 400), cv::Size(17, 4000)}) {
        const Corners back = pixelCorners(unitQuad(outline, size), size);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(back[i].x, outline[i].x, 1e-9) << size << " corner " << i;
            EXPECT_NEAR(back[i].y, outline[i].y, 1e-9) << size << " corner " << i;
        }
    }
}

TEST(PaperGeometry, AnInsetOutlineKeepsItsSidesAlongTheOutlinesAtTheGivenDistance) {
    const Corners outline{{{0, 0}, {100, 0}, {100, 50}, {0, 50}}};
    const Corners diamond{{{50, 0}, {100, 50}, {50, 100}, {0, 50}}};
    const std::pair<std::optional<Corners>, std::optional<Corners>> insets[] = {
        {inset(outline, 10), Corners{{{10, 10}, {90, 10}, {90, 40}, {10, 40}}}},
        {inset(diamond, std::sqrt(2.0) * 10), Corners{{{50, 20}, {80, 50}, {50, 80}, {20, 50}}}},
        {inset(outline, 30), std::nullopt},  // the sides would pass each other
    };
    for (const auto& [found, expected] : insets) {
        ASSERT_EQ(found.has_value(), expected.has_value());
        for (int i = 0; found && i < 4; ++i) EXPECT_LT(cv::norm((*found)[i] - (*expected)[i]), 1e-9) << i;
    }
    // Sides run along the outline's within the angle, the same way round.
    auto turned = [&](double degrees) {
        const double r = degrees * CV_PI / 180;
        Corners out;
        for (int i = 0; i < 4; ++i) {
            const cv::Point2d p = outline[i] - cv::Point2d(50, 25);
            out[i] = cv::Point2d(50 + p.x * std::cos(r) - p.y * std::sin(r),
                                 25 + p.x * std::sin(r) + p.y * std::cos(r));
        }
        return out;
    };
    const std::pair<Corners, bool> along[] = {
        {*inset(outline, 10), true},
        {turned(8), true},
        {turned(12), false},
        {turned(-12), false},
        {Corners{{{100, 0}, {0, 0}, {0, 50}, {100, 50}}}, false},  // its corners going round the other way
    };
    for (const auto& [other, expected] : along)
        EXPECT_EQ(sidesAlong(outline, other, 10), expected) << other[1];
}
