#include "engine/core/Geometry.h"

#include <array>

#include <gtest/gtest.h>

using namespace quillfen;

TEST(Rect, NegativeSizesAreStandardised) {
    const Rect r{10, 20, -4, -6};
    EXPECT_EQ((std::array{r.minX(), r.minY(), r.maxX(), r.maxY(), r.width(), r.height()}),
              (std::array<double, 6>{6, 14, 10, 20, 4, 6}));
    EXPECT_EQ(r.standardized(), (Rect{6, 14, 4, 6}));
}

TEST(Rect, InsetPastTheMiddleIsNull) {
    struct Case {
        Rect rect;
        double dx, dy;
        bool null;
        Rect expected;
    };
    const Case cases[] = {
        {{0, 0, 100, 50}, 10, 5, false, {10, 5, 80, 40}},
        {{0, 0, 100, 50}, 50, 0, false, {50, 0, 0, 50}},  // exactly zero width stays a rectangle
        {{0, 0, 100, 50}, 51, 0, true, {}},
        {{0, 0, 100, 50}, -10, -10, false, {-10, -10, 120, 70}},
        {{100, 50, -100, -50}, 10, 5, false, {10, 5, 80, 40}},  // standardised first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        const Rect r = c.rect.insetBy(c.dx, c.dy);
        EXPECT_EQ(r.isNull(), c.null);
        if (!c.null) {
            EXPECT_EQ(r, c.expected);
        }
    }
    EXPECT_TRUE(Rect::null().insetBy(1, 1).isNull());
}

TEST(Rect, IntegralRoundsOutward) {
    EXPECT_EQ((Rect{0.5, 0.5, 10, 10}).integral(), (Rect{0, 0, 11, 11}));
    EXPECT_EQ((Rect{-0.5, -1.25, 2, 2.25}).integral(), (Rect{-1, -2, 3, 3}));
    EXPECT_TRUE(Rect::null().integral().isNull());
}

TEST(Rect, IntersectionAndUnion) {
    const Rect a{0, 0, 10, 10};
    EXPECT_EQ(a.intersection(Rect{5, 5, 10, 10}), (Rect{5, 5, 5, 5}));
    EXPECT_TRUE(a.intersection(Rect{20, 20, 1, 1}).isNull());
    EXPECT_FALSE(a.intersects(Rect{10, 0, 5, 5}));  // touching edges do not overlap
    EXPECT_EQ(a.unionWith(Rect{20, -5, 1, 1}), (Rect{0, -5, 21, 15}));
    EXPECT_EQ(Rect::null().unionWith(a), a);
    EXPECT_TRUE(a.contains({0, 0}));
    EXPECT_FALSE(a.contains({10, 5}));
}
