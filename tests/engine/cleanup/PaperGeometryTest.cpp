#include "engine/cleanup/detail/PaperGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace quillfen::detail::paper;

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

TEST(PaperGeometry, AnInsetOutlineKeepsItsSidesAtTheGivenDistance) {
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
}
