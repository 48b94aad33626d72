#include "engine/cleanup/detail/PaperOutlines.h"

#include "tests/engine/PaperScenes.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/engine/PaperScenes.h"

using namespace quillfen::detail::paper;
using quillfen::paperscenes::box;
using quillfen::paperscenes::photographed;

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

TEST(PaperOutlines, AnOutlineReachingAcrossABandDrawnAlongAPartsSideIsTheWholeSheet) {
    // A white sheet (x 120...360, y 80...280) on a green cloth, with a band of sky drawn along its right side from
    // x = 320, or a blue ribbon lying on the cloth from x = 360 to 440, or neither; the part stops at the band. On
    // the striped cloth, the rows above and below the sheet are the cloth's green in less light, so that the
    // sheet's top and bottom run on past its corners as edges of the cloth; the striped mat is that cloth from
    // x = 60 to 400 and y = 40 to 320, on a red table; the book is that mat with its pages' cream edges along its
    // right side from x = 384. Outlines reach past the part by more than the margin of 10 pixels only where a case
    // says so.
    enum class Blue { band, ribbon, none };
    enum class Cloth { plain, striped, stripedMat, book };
    struct Case {
        const char* what;
        Blue blue;
        Cloth cloth;
        Corners outer, inner;
        bool past;
        double margin = 10;
    };
    const Corners sheet = box(120, 80, 359, 279), part = box(120, 80, 319, 279);
    const Case cases[] = {
        {"the sheet around the part left of the band", Blue::band, Cloth::plain, sheet, part, true},
        {"the same on the striped cloth", Blue::band, Cloth::striped, sheet, part, true},
        {"the same on the striped mat", Blue::band, Cloth::stripedMat, sheet, part, true},
        {"the same, the band reached past by less than the margin", Blue::band, Cloth::plain, sheet, part, false,
         50},
        {"the sheet around a part short of its top as well", Blue::band, Cloth::plain, sheet,
         box(120, 120, 319, 279), false},
        {"the sheet around an outline poking out past its left side", Blue::band, Cloth::plain, sheet,
         box(100, 80, 319, 279), false},
        {"the sheet and the ribbon's near half, its side along no edge, around the sheet", Blue::ribbon,
         Cloth::plain, box(120, 80, 399, 279), sheet, false},
        {"the sheet and a strip of the striped cloth, its sides on along the cloth's edges, around the sheet",
         Blue::none, Cloth::striped, box(120, 80, 399, 279), sheet, false},
        {"the sheet and the strip of the striped mat beside it, to the mat's edge, the table beyond, around the "
         "sheet",
         Blue::none, Cloth::stripedMat, box(120, 80, 399, 279), sheet, false},
        {"the sheet and the strip of the book beside it, a third of it the pages' edges, around the sheet",
         Blue::none, Cloth::book, box(120, 80, 399, 279), sheet, false},
    };
    const cv::Scalar cloth(0.3, 0.55, 0.35);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_32FC3, c.cloth == Cloth::plain ? cloth : cloth * 0.7);
        picture(cv::Rect(0, 80, 480, 200)).setTo(cloth);
        if (c.cloth == Cloth::book) picture(cv::Rect(384, 40, 16, 280)).setTo(cv::Scalar(0.93, 0.9, 0.8));
        if (c.cloth == Cloth::stripedMat || c.cloth == Cloth::book) {
            cv::Mat table(picture.size(), CV_32FC3, cv::Scalar(0.45, 0.12, 0.12));
            picture(cv::Rect(60, 40, 340, 280)).copyTo(table(cv::Rect(60, 40, 340, 280)));
            picture = table;
        }
        picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        const cv::Scalar blue(0.35, 0.6, 0.9);
        if (c.blue == Blue::band) picture(cv::Rect(320, 80, 40, 200)).setTo(blue);
        if (c.blue == Blue::ribbon) picture(cv::Rect(360, 0, 80, 360)).setTo(blue);
        EXPECT_EQ(reachesPastDrawnBand(photographed(picture), c.outer, c.inner, c.margin), c.past);
    }
}

TEST(PaperOutlines, StrokesCrossingAPartsSideOnIntoTheWholeSheetNameNoMat) {
    // A sheet (x 60...420, y 40...320) on a brown table, tinted green by the drawing but for a part of bare paper
    // (x 100...380, y 80...200); strokes 5 pixels wide run down from y0 to y1, at x 150, 230 and 310 where y0 lies,
    // each slant pixels further right where y1 lies, in one ink on the part and maybe another beyond it. No
    // strokes: a band of the dark ink across the part's bottom from y0 to y1, the paper showing through it at
    // those three places. Strokes 30 pixels apart lie beyond the part only, under a patch of their ink on it that
    // reaches from x 140 to 220 down to its bottom, as a mat's stripe runs along a broad colour on a sheet.
    struct Case {
        const char* what;
        int strokes;
        int y0, y1, slant;
        cv::Scalar ink;
        cv::Scalar beyond;  // the ink where the strokes lie beyond the part's bottom
        Corners part;
        bool runsOn;
        int spacing = 80;
    };
    const cv::Scalar dark(0.2, 0.2, 0.25), faint(0.88, 0.9, 0.84),
                     fainter(0.744, 0.818, 0.698), blue(0.2, 0.3, 0.8), red(0.6, 0.2, 0.1);
    const Corners part = box(100, 80, 380, 200), flush = box(100, 80, 380, 312);
    const Case cases[] = {
        {"three strokes across the part's bottom on into the sheet", 3, 150, 260, 0, dark, dark, part, true},
        {"three strokes crossing it aslant", 3, 140, 260, 70, dark, dark, part, true},
        {"three strokes across it into the sheet's shade", 3, 150, 260, 0, blue, blue * 0.5, part, true},
        {"two strokes across it", 2, 150, 260, 0, dark, dark, part, false},
        {"three strokes ending at it, as a sheet's drawing ends at its edge on a mat", 3, 150, 200, 0, dark, dark,
         part, false},
        {"three strokes beyond it only, as marks on a mat", 3, 200, 260, 0, dark, dark, part, false},
        {"three strokes ending at it, marks of another ink beyond it", 3, 150, 260, 0, blue, red, part, false},
        {"three strokes across it nearly the colours of the paper and the tint", 3, 150, 260, 0, faint, fainter, part,
         false},
        {"three strokes across a part's bottom 8 pixels inside the sheet's, on out over the table", 3, 250, 345, 0,
         dark, dark, flush, false},
        {"a dark band across it, broken three times", 0, 150, 260, 0, dark, dark, part, false},
        {"one broad patch along it, three strokes beyond it under the patch", 3, 200, 260, 0, dark, dark, part, false,
         30},
    };
    const Corners sheet = box(60, 40, 420, 320);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_32FC3, cv::Scalar(0.45, 0.3, 0.18));
        picture(cv::Rect(60, 40, 361, 281)).setTo(cv::Scalar(0.8, 0.88, 0.75));
        picture(cv::Rect(100, 80, 281, c.part[2].y - 79)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        for (int k = 0; k < c.strokes; ++k) {
            const cv::Point from(150 + c.spacing * k, c.y0), to(150 + c.spacing * k + c.slant, c.y1);
            const cv::Point side = from + (to - from) * (200 - c.y0) / (c.y1 - c.y0);
            if (c.y0 < 200) cv::line(picture, from, c.y1 > 200 ? side : to, c.ink, 5);
            if (c.y1 > 200) cv::line(picture, c.y0 < 200 ? side : from, to, c.beyond, 5);
        }
        if (c.spacing != 80) picture(cv::Rect(140, 150, 81, 50)).setTo(c.ink);
        if (c.strokes == 0) {
            picture(cv::Rect(100, c.y0, 281, c.y1 - c.y0)).setTo(c.ink);
            for (int k = 0; k < 3; ++k)
                picture(cv::Rect(150 + 80 * k, c.y0, 5, c.y1 - c.y0)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        }
        EXPECT_EQ(drawingRunsOnAcross(photographed(picture), sheet, c.part), c.runsOn);
    }
}
