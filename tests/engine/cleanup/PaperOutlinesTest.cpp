#include "engine/cleanup/detail/PaperOutlines.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quillfen::detail::paper;

TEST(PaperOutlines, AnOutlineHoldingAPartKeepsToItsSidesButTheOnesLeftOpen) {
    // The part: 100 to 300 across, 100 to 250 down; its sides from the top clockwise are 0 (top), 1 (right),
    // 2 (bottom) and 3 (left). Outlines reaching beyond it by up to the margin of 5 pixels still keep to a
    // side.
    const Corners part{{{100, 100}, {300, 100}, {300, 250}, {100, 250}}};
    struct Case {
        const char* what;
        Corners outer;
        std::vector<int> open;
        bool keeps;
    };
    const Case cases[] = {
        {"the part itself", part, {}, true},
        {"on across the open right side", {{{100, 100}, {360, 100}, {360, 250}, {100, 250}}}, {1}, true},
        {"on across the right side, left closed",
         {{{100, 100}, {360, 100}, {360, 250}, {100, 250}}},
         {3},
         false},
        {"on across the open right side and down past the bottom",
         {{{100, 100}, {360, 100}, {360, 320}, {100, 320}}},
         {1},
         false},
        {"down past the bottom at one corner only",
         {{{100, 100}, {300, 100}, {300, 280}, {100, 250}}},
         {1},
         false},
        {"within the margin past the bottom", {{{100, 100}, {300, 100}, {300, 254}, {100, 254}}}, {1}, true},
        {"just past the margin below the bottom",
         {{{100, 100}, {300, 100}, {300, 256}, {100, 256}}},
         {1},
         false},
        {"on across two open sides", {{{40, 100}, {360, 100}, {360, 250}, {40, 250}}}, {1, 3}, true},
        {"inside the part on every side", {{{120, 120}, {280, 120}, {280, 230}, {120, 230}}}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(reachesOnlyAcross(c.outer, part, c.open, 5), c.keeps);
    }
}

TEST(PaperOutlines, AnOutlineHoldingAPartHoldsTheCornersOffTheSidesNamed) {
    // The part as above. Its corners from the top left clockwise are 0 to 3; those ending a named side may lie
    // outside the outline, the others within a margin of 5 pixels beyond it.
    const Corners part{{{100, 100}, {300, 100}, {300, 250}, {100, 250}}};
    struct Case {
        const char* what;
        Corners outer;
        std::vector<int> named;
        bool holds;
    };
    const Case cases[] = {
        {"the part itself", part, {}, true},
        {"the whole sheet on across the named right side", {{{100, 100}, {360, 100}, {360, 250}, {100, 250}}}, {1},
         true},
        {"cutting into the left side, the right named", {{{140, 100}, {360, 100}, {360, 250}, {140, 250}}}, {1},
         false},
        {"cutting off the bottom left corner only", {{{100, 100}, {360, 100}, {360, 250}, {130, 250}}}, {1},
         false},
        {"narrowing past the named right side's lower end", {{{100, 100}, {300, 100}, {260, 250}, {100, 250}}},
         {1}, true},
        {"the same, the bottom named instead", {{{100, 100}, {300, 100}, {260, 250}, {100, 250}}}, {2}, true},
        {"the same, the left named instead", {{{100, 100}, {300, 100}, {260, 250}, {100, 250}}}, {3}, false},
        {"within the margin inside the left side", {{{104, 100}, {360, 100}, {360, 250}, {104, 250}}}, {1}, true},
        {"just past the margin inside it", {{{106, 100}, {360, 100}, {360, 250}, {106, 250}}}, {1}, false},
        {"cutting off a corner, no side named", {{{100, 100}, {300, 100}, {300, 250}, {130, 250}}}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(holdsCornersOff(c.outer, part, c.named, 5), c.holds);
    }
}

TEST(PaperOutlines, APartIsReachedPastAShadowsEdgeIntoTheShadowButNotPastAWallStripesEdge) {
    // Sides 0 (top) to 3 (left); the part is reached past its right side, 1, whose neighbours are 0 and 2.
    // A wall stripe's edge along that side or a neighbour leads on over more wall. A hard shadow's edge there
    // does not stop the sheet's sides, which run on in the shadow, and on a table nearly as light as the paper
    // every side of a sunlit part may look like one; but a shaded part is not reached past into the light.
    struct Case {
        const char* what;
        SteppedSides stepped;
        bool lighterBeyond;
        bool reachable;
    };
    const Case cases[] = {
        {"no stepped side", {}, false, true},
        {"no stepped side, the picture lighter beyond", {}, true, true},
        {"the side a stripe's edge", {{}, {1}}, false, false},
        {"the neighbour before it a stripe's edge", {{}, {0}}, false, false},
        {"the neighbour after it a stripe's edge", {{}, {2}}, false, false},
        {"the far side a stripe's edge", {{}, {3}}, false, true},
        {"the side a shadow's edge", {{1}, {}}, false, true},
        {"the side and both neighbours taken for a shadow's edges", {{0, 1, 2}, {}}, false, true},
        {"the side a shadow's edge, the paper beyond it in more light", {{1}, {}}, true, false},
        {"the neighbour before it a shadow's edge, the paper beyond in more light", {{0}, {}}, true, false},
        {"the neighbour after it a shadow's edge, the paper beyond in more light", {{2}, {}}, true, false},
        {"the far side a shadow's edge, the paper beyond in more light", {{3}, {}}, true, true},
        {"a neighbour a shadow's edge, the other a stripe's", {{0}, {2}}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(reachablePast(c.stepped, 1, c.lighterBeyond), c.reachable);
    }
}
