#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperOutlines.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "tests/engine/PaperScenes.h"

using namespace quillfen::detail::paper;
using quillfen::paperscenes::box;
using quillfen::paperscenes::photographed;

namespace {

enum class Table { brown, grey, paleStriped, stripedWall, pale, uprightStripes, narrowStripes, fineStripes, greyPatch };

// How the sheet across a hard shadow's edge is lit and drawn on: plainly; in light so strong that the sunlit
// paper, a pale yellow, is burnt out to white in its red and green; or with a dark red band drawn across the
// shadow's edge along half of it (y 130...230).
enum class Sunlit { plain, burntOut, drawnAcross };

// A 480 x 360 RGB picture of a sheet (x 120...360, y 80...280) on a table, lightly smoothed as the analysis
// smooths it. A hard shadow keeps half the light right of x = 240, on the table and the sheet alike. The pale
// striped table has a dark stripe 10 pixels wide along the sheet's bottom edge; the striped wall is grey with
// white stripes 12 of every 30 pixels wide, leaning 2 pixels across for every 5 down. The pale table is plain.
// The upright stripes are grey with white stripes 30 of every 60 pixels wide, white from x = 90 to 120 beside
// the sheet's left edge, grey from 360 to 390 beside its right edge and white again beyond. The narrow stripes
// are grey with white stripes 20 of every 50 pixels wide, white from x = 85 to 105 and from 385 to 405, the
// sheet's edges in the middle of grey stripes. The fine stripes are grey with upright white stripes 4 of every 8
// pixels wide from x = 0, so that just either side of the shadow's edge lie more white and more grey in turn.
// The grey table with a patch has a dark patch above the sheet's top left corner, from 8 pixels left of the line
// along the sheet's left side on (x 60...112, y 0...80), dark enough that a wide band there steps down by the
// share the paper does to the table.
cv::Mat scene(Table table, bool shadow, Sunlit sunlit = Sunlit::plain) {
    const cv::Scalar colours[] = {{0.45, 0.3, 0.18},    cv::Scalar::all(0.5), cv::Scalar::all(0.9),
                                  cv::Scalar::all(0.5), cv::Scalar::all(0.9), cv::Scalar::all(0.5),
                                  cv::Scalar::all(0.5), cv::Scalar::all(0.5), cv::Scalar::all(0.5)};
    cv::Mat picture(360, 480, CV_32FC3, colours[static_cast<int>(table)]);
    if (table == Table::paleStriped) picture(cv::Rect(0, 281, 480, 10)).setTo(cv::Scalar::all(0.45));
    if (table == Table::stripedWall)
        for (int y = 0; y < picture.rows; ++y)
            for (int x = 0; x < picture.cols; ++x)
                if (std::fmod(x + 0.4 * y, 30.0) < 12) picture.at<cv::Vec3f>(y, x) = cv::Vec3f::all(0.9f);
    if (table == Table::uprightStripes)
        for (int x = 30; x < picture.cols; x += 60)
            picture(cv::Rect(x, 0, 30, picture.rows)).setTo(cv::Scalar::all(0.9));
    if (table == Table::narrowStripes)
        for (int x = 35; x < picture.cols; x += 50)
            picture(cv::Rect(x, 0, 20, picture.rows)).setTo(cv::Scalar::all(0.9));
    if (table == Table::fineStripes)
        for (int x = 0; x < picture.cols; x += 8) picture(cv::Rect(x, 0, 4, picture.rows)).setTo(cv::Scalar::all(0.9));
    if (table == Table::greyPatch) picture(cv::Rect(60, 0, 53, 80)).setTo(cv::Scalar::all(0.2));
    picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
    if (sunlit == Sunlit::burntOut) picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.92, 0.6));
    if (sunlit == Sunlit::drawnAcross) picture(cv::Rect(180, 130, 120, 100)).setTo(cv::Scalar(0.6, 0.12, 0.1));
    if (shadow) picture(cv::Rect(240, 0, 240, 360)) *= 0.5;
    if (sunlit == Sunlit::burntOut) picture *= 1.4;
    return photographed(cv::min(picture, 1.0));
}

// The sheet (x 120...360, y 80...280) across the edge of a table at y = 180: the table top below, the darker
// floor beyond its edge showing through the paper above.
cv::Mat sheetAcrossTableEdge() {
    cv::Mat lit(360, 480, CV_32FC3, cv::Scalar(0.6, 0.58, 0.5));
    lit(cv::Rect(0, 0, 480, 180)).setTo(cv::Scalar(0.2, 0.18, 0.15));
    lit(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
    lit(cv::Rect(120, 80, 240, 100)) *= 0.75;
    return photographed(lit);
}

// The same sheet on the brown table, with a line drawn across it at y = 180, or half in a hard shadow.
cv::Mat sheetCrossedOnBrownTable(bool drawnLine, bool shadow) {
    cv::Mat picture = scene(Table::brown, shadow);
    if (drawnLine) cv::line(picture, cv::Point(120, 180), cv::Point(359, 180), cv::Scalar(40, 60, 30), 5);
    return picture;
}

// A 480 x 360 picture of a sheet washed a pale green with a white shape drawn on it (x 160...320, y 110...250),
// outlined with a line 3 pixels wide of the given grey along the given share of each of the sides named, from
// each side's start, clockwise from the top; or, where the grey is 0, a sheet on a darker mat, the shape its
// paper, the mat darkened just beside it by its contact shadow.
cv::Mat whiteShapeOnSheet(double ink, double drawnShare, int drawnSides) {
    const Corners shape = box(160, 110, 320, 250);
    cv::Mat picture(360, 480, CV_32FC3, cv::Scalar(0.62, 0.78, 0.55));
    picture(cv::Rect(160, 110, 160, 140)).setTo(cv::Scalar(0.96, 0.96, 0.94));
    if (ink == 0) {
        picture.setTo(cv::Scalar(0.45, 0.4, 0.35));
        cv::Mat shadow(picture.size(), CV_32F, cv::Scalar(0));
        shadow(cv::Rect(160, 110, 160, 140)).setTo(1);
        cv::GaussianBlur(shadow, shadow, cv::Size(), 3);
        std::vector<cv::Mat> planes;
        cv::split(picture, planes);
        for (cv::Mat& plane : planes) plane = plane.mul(1 - 0.2 * shadow);
        cv::merge(planes, picture);
        picture(cv::Rect(160, 110, 160, 140)).setTo(cv::Scalar(0.96, 0.96, 0.94));
    }
    for (int i = 0; i < drawnSides; ++i) {
        const cv::Point2d a = shape[i], b = shape[(i + 1) % 4];
        cv::line(picture, a, a + (b - a) * drawnShare, cv::Scalar::all(ink), 3);
    }
    return photographed(picture);
}

}  // namespace

TEST(PaperEdges, APartOfASheetThatAHardShadowCutOffIsToldWithTheSideAlongTheShadowsEdge) {
    struct Case {
        const char* what;
        Table table;
        bool shadow;
        Corners outline;
        std::optional<int> shadowsEdge;  // i for the side from outline[i] to outline[i + 1]; none when whole
        Sunlit sunlit = Sunlit::plain;
    };
    const Case cases[] = {
        {"the whole sheet in the shadow's light", Table::brown, true, box(120, 80, 359, 279), std::nullopt},
        {"the sunlit part", Table::brown, true, box(120, 80, 239, 279), 1},
        {"the shaded part", Table::brown, true, box(240, 80, 359, 279), 3},
        {"the sunlit part on a grey table", Table::grey, true, box(120, 80, 239, 279), 1},
        {"the sheet on a grey table, as colourless as a shadow", Table::grey, false, box(120, 80, 359, 279),
         std::nullopt},
        {"the sheet beside a dark stripe that runs on past its corners", Table::paleStriped, false,
         box(120, 80, 359, 279), std::nullopt},
        {"the sheet on a wall whose stripes meet its sides aslant, light and dark in turn",
         Table::stripedWall, false, box(120, 80, 359, 279), std::nullopt},
        {"the shaded part beside sunlit paper burnt out", Table::brown, true, box(240, 80, 359, 279), 3,
         Sunlit::burntOut},
        {"the whole sheet, its sunlit part burnt out", Table::brown, true, box(120, 80, 359, 279), std::nullopt,
         Sunlit::burntOut},
        {"the sunlit part, a band drawn across the shadow's edge", Table::brown, true, box(120, 80, 239, 279), 1,
         Sunlit::drawnAcross},
        {"the sheet with a band drawn across it in one light", Table::brown, false, box(120, 80, 359, 279),
         std::nullopt, Sunlit::drawnAcross},
        {"the sunlit part on a wall whose fine stripes run along the shadow's edge", Table::fineStripes, true,
         box(120, 80, 239, 279), 1},
        {"the whole sheet on that wall in the shadow's light", Table::fineStripes, true, box(120, 80, 359, 279),
         std::nullopt},
        {"the sheet on that wall in one light", Table::fineStripes, false, box(120, 80, 359, 279), std::nullopt},
        {"the sheet on a grey table, a dark patch beyond one end of its side: that step runs on past one end only",
         Table::greyPatch, false, box(120, 80, 359, 279), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<int> sides = steppedSides(scene(c.table, c.shadow, c.sunlit), c.outline).shadowCut;
        EXPECT_EQ(sides.empty(), !c.shadowsEdge);
        if (c.shadowsEdge) {
            EXPECT_NE(std::find(sides.begin(), sides.end(), *c.shadowsEdge), sides.end());
        }
    }
}

TEST(PaperEdges, ASideAlongAStripesEdgeOfAWallIsToldFromAHardShadowsEdge) {
    struct Case {
        const char* what;
        Table table;
        bool shadow;
        Corners outline;
        std::vector<int> shadowCut, stripeEdge;
    };
    const Case cases[] = {
        {"the sunlit part of a sheet in a hard shadow", Table::brown, true, box(120, 80, 239, 279), {1}, {}},
        {"the sheet beside a grey stripe that turns white again", Table::uprightStripes, false,
         box(120, 80, 359, 279), {}, {1}},
        {"the sheet with the white stripe beside it", Table::uprightStripes, false, box(90, 80, 359, 279), {},
         {1, 3}},
        {"the whole sheet in the shadow's light", Table::brown, true, box(120, 80, 359, 279), {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SteppedSides sides = steppedSides(scene(c.table, c.shadow), c.outline);
        EXPECT_EQ(sides.shadowCut, c.shadowCut);
        EXPECT_EQ(sides.stripeEdge, c.stripeEdge);
    }
}

TEST(PaperEdges, APartOfASheetThatADrawnLineCutsOffIsToldByTheSheetsEdgeRunningOnPastTheLine) {
    struct Case {
        const char* what;
        Table table;
        bool shadow;
        bool line;  // a dark line drawn down the sheet at x = 240
        Corners outline;
        bool cutOff;
    };
    const Case cases[] = {
        {"the whole sheet", Table::brown, false, false, box(120, 80, 359, 279), false},
        {"the whole sheet across the drawn line", Table::brown, false, true, box(120, 80, 359, 279), false},
        {"the part left of the drawn line", Table::brown, false, true, box(120, 80, 240, 279), true},
        {"the part right of the drawn line", Table::brown, false, true, box(240, 80, 359, 279), true},
        {"the sunlit part of a sheet in a hard shadow, along no drawn line", Table::brown, true, false,
         box(120, 80, 239, 279), false},
        {"the sheet beside a dark stripe that runs on past its corners", Table::paleStriped, false, false,
         box(120, 80, 359, 285), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture = scene(c.table, c.shadow);
        if (c.line) cv::line(picture, cv::Point(240, 80), cv::Point(240, 279), cv::Scalar(40, 60, 30), 5);
        EXPECT_EQ(cutOffByDrawnLine(picture, c.outline), c.cutOff);
    }
}

TEST(PaperEdges, AnOutlineReachingAcrossALineDrawnAlongAPartsSideIsTheSheetGoingOnBeyondIt) {
    struct Case {
        const char* what;
        bool shadow;
        bool line;  // a dark line drawn down the sheet at x = 240
        Corners outer, inner;
        bool pastLine;
    };
    const Corners sheet = box(120, 80, 359, 279), left = box(120, 80, 240, 279);
    const Case cases[] = {
        {"the whole sheet around the part left of the drawn line", false, true, sheet, left, true},
        {"the whole sheet around the sunlit part of a sheet in a hard shadow, along no drawn line", true, false,
         sheet, box(120, 80, 239, 279), false},
        {"the sheet with a strip of the table beyond its right side", false, true, box(120, 80, 420, 279), sheet,
         false},
        {"the whole sheet around the top of the part left of the line, across two of its sides", false, true,
         sheet, box(120, 80, 240, 180), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture = scene(Table::brown, c.shadow);
        if (c.line) cv::line(picture, cv::Point(240, 80), cv::Point(240, 279), cv::Scalar(40, 60, 30), 5);
        EXPECT_EQ(reachesPastDrawnLine(picture, c.outer, c.inner, 10), c.pastLine);
    }
}

TEST(PaperEdges, APartCutOffByAnEdgeCrossingTheSheetAndTheSurfaceIsNoSheetOfItsOwn) {
    enum class Across { tableEdge, shadow, drawnLine, matStripes, latticeLine, tableEdgeBeyondMat };
    struct Case {
        const char* what;
        Across across;
        Corners outer, inner;
        bool crossed;
    };
    const Corners sheet = box(120, 80, 359, 279);
    const Case cases[] = {
        {"the part over the table's top, below its edge seen through the sheet", Across::tableEdge, sheet,
         box(120, 180, 359, 279), true},
        {"the sunlit part, beside a hard shadow's edge", Across::shadow, sheet, box(120, 80, 239, 279), true},
        {"the part above a horizon drawn across the sheet", Across::drawnLine, sheet, box(120, 80, 359, 180), false},
        {"the sheet close to its mat's top, the mat's stripes running on along its sides", Across::matStripes,
         box(60, 72, 419, 319), sheet, false},
        {"the sheet close to its mat's top, a line of the table's lattice running on from its side",
         Across::latticeLine, box(60, 72, 419, 319), sheet, false},
        {"the sheet well inside its mat, the table's edge beyond the mat in line with its top side",
         Across::tableEdgeBeyondMat, box(60, 40, 419, 319), sheet, false},
        {"the sheet on its mat flush with the mat's top, the table's edge beyond the mat in line with it",
         Across::tableEdgeBeyondMat, box(60, 80, 419, 319), sheet, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture;
        if (c.across == Across::tableEdge) {
            picture = sheetAcrossTableEdge();
        } else if (c.across == Across::matStripes || c.across == Across::latticeLine) {
            // A grey mat (y 72 and below) on the brown table: with darker stripes 4 of every 8 pixels wide, two
            // of them along the sheet's sides, or plain, with a pale line of the table 4 pixels wide running
            // on from the sheet's left side.
            cv::Mat lit(360, 480, CV_32FC3, cv::Scalar(0.45, 0.3, 0.18));
            lit(cv::Rect(60, 72, 360, 248)).setTo(cv::Scalar::all(0.6));
            if (c.across == Across::matStripes)
                for (int x = 60; x < 420; x += 8) lit(cv::Rect(x, 72, 4, 248)).setTo(cv::Scalar::all(0.4));
            else
                lit(cv::Rect(116, 0, 4, 72)).setTo(cv::Scalar::all(0.8));
            lit(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
            picture = photographed(lit);
        } else if (c.across == Across::tableEdgeBeyondMat) {
            cv::Mat lit(360, 480, CV_32FC3, cv::Scalar(0.6, 0.58, 0.5));
            lit(cv::Rect(0, 0, 480, 80)).setTo(cv::Scalar(0.2, 0.18, 0.15));
            lit(cv::Rect(60, c.outer[0].y, 360, 320 - c.outer[0].y)).setTo(cv::Scalar::all(0.4));
            lit(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
            picture = photographed(lit);
        } else {
            picture = sheetCrossedOnBrownTable(c.across == Across::drawnLine, c.across == Across::shadow);
        }
        EXPECT_EQ(crossedBySurfaceLine(picture, c.outer, c.inner), c.crossed);
    }
}

TEST(PaperEdges, AnOutlineReachingAcrossATablesEdgeAlongAPartsSideIsTheWholeSheet) {
    // The sheet (x 120...360, y 80...280) across the edge of a table at y = 180, the darker floor above it showing
    // through the paper; or on the brown table with a line drawn across it there, or half in a hard shadow right
    // of x = 240.
    enum class Across { tableEdge, drawnLine, shadow };
    struct Case {
        const char* what;
        Across across;
        Corners outer, inner;
        bool past;
        double margin = 10;
    };
    const Corners sheet = box(120, 80, 359, 279);
    const Case cases[] = {
        {"the sheet around its part over the table's top", Across::tableEdge, sheet, box(120, 180, 359, 279), true},
        {"the sheet around its part over the floor", Across::tableEdge, sheet, box(120, 80, 359, 180), true},
        {"the sheet around its sunlit part", Across::shadow, sheet, box(120, 80, 239, 279), true},
        {"the sheet around the part below a line drawn across it", Across::drawnLine, sheet, box(120, 180, 359, 279),
         false},
        {"the sheet and the table beyond its right side around the part over the table's top", Across::tableEdge,
         box(120, 80, 419, 279), box(120, 180, 359, 279), false},
        {"an outline reaching past the part's side by less than the margin", Across::tableEdge,
         box(120, 150, 359, 279), box(120, 180, 359, 279), false, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const cv::Mat picture = c.across == Across::tableEdge
                                    ? sheetAcrossTableEdge()
                                    : sheetCrossedOnBrownTable(c.across == Across::drawnLine,
                                                               c.across == Across::shadow);
        EXPECT_EQ(reachesPastSurfaceLine(picture, c.outer, c.inner, c.margin), c.past);
    }
}

TEST(PaperEdges, ASideAlongAStraightLineOfTheSurfaceRunsOnPastItsCorners) {
    struct Case {
        const char* what;
        Corners outline;
        std::vector<int> sides;
    };
    const Case cases[] = {
        {"the sheet, its sides ending at its corners", box(120, 80, 359, 279), {}},
        {"the sheet with the white stripes on either side", box(85, 80, 404, 279), {1, 3}},
        {"the sheet with the white stripe on its left", box(85, 80, 359, 279), {3}},
        {"the sheet with the white stripe on its left, up to the picture's top", box(85, 0, 359, 279), {3}},
    };
    const cv::Mat picture = scene(Table::narrowStripes, false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(surfaceLineSides(picture, c.outline), c.sides);
    }
}

TEST(PaperEdges, ASheetsPaperIsClearlyBrighterThanWhatLiesBeyondOneOfItsSidesAtLeast) {
    struct Case {
        const char* what;
        Table table;
        bool bands;  // dark bands drawn along the sheet's left, top and right sides, 20 pixels wide
        Corners outline;
        bool brighter;
    };
    const Case cases[] = {
        {"the sheet on a brown table", Table::brown, false, box(120, 80, 359, 279), true},
        {"the sheet drawn over along three sides", Table::brown, true, box(120, 80, 359, 279), true},
        {"the sheet on a table nearly as bright as its paper", Table::pale, false, box(120, 80, 359, 279),
         false},
        {"paper inside the sheet, its sides across the bands", Table::brown, true, box(130, 90, 349, 240),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture = scene(c.table, false);
        if (c.bands)
            for (const cv::Rect band :
                 {cv::Rect(120, 80, 20, 200), cv::Rect(120, 80, 240, 20), cv::Rect(340, 80, 20, 200)})
                picture(band).setTo(cv::Scalar(60, 110, 50));
        EXPECT_EQ(brightestSideStep(picture, c.outline, false) > 0.1, c.brighter);
    }
}

TEST(PaperEdges, ASheetOnADarkerSurfaceStepsDownAlongMostOfItsOutline) {
    // The sheet (x 120...360, y 80...280, its perimeter 880 pixels) with what lies beyond it changed: on the pale
    // table only a contact shadow 6 pixels wide, or a shadow falling on the table below the sheet's bottom side
    // (240 pixels of it), darkens the table beside the sheet: then the sheet steps down along one side only. A
    // frame drawn 8 to 16 pixels beyond it, the table as light as the paper, makes it a piece of a scan's paper,
    // which shows again past the frame, if only up to the picture's border close by; a lattice's light lines
    // 8 pixels wide, 17 to 25 pixels beyond the sheet on the brown table, as light as its paper, are no paper;
    // nor are a patterned cloth's light cells, 18 to 34 pixels beyond it, as light as the paper but pink, unless
    // anything as light is taken for the paper.
    enum class Beyond { asDrawn, contactShadow, shadowBelow, frame, lattice, lightCells };
    struct Case {
        const char* what;
        Table table;
        bool shadow;
        Beyond beyond;
        Corners outline;
        bool surfaceBeyond;
        double share;
        double secondSide;
        bool anyLight = false;
    };
    const Case cases[] = {
        {"the sheet on a brown table", Table::brown, false, Beyond::asDrawn, box(120, 80, 359, 279), true, 1, 1},
        {"the sheet on a brown table, half of both in a hard shadow", Table::brown, true, Beyond::asDrawn,
         box(120, 80, 359, 279), true, 1, 1},
        {"the sheet on a pale table, its contact shadow beside it", Table::pale, false, Beyond::contactShadow,
         box(120, 80, 359, 279), true, 0, 0},
        {"the sheet on a pale table, a shadow on the table below it", Table::pale, false, Beyond::shadowBelow,
         box(120, 80, 359, 279), true, 240.0 / 880, 0},
        {"the sheet on a brown table, its left side along the picture's border", Table::brown, false,
         Beyond::asDrawn, box(0, 80, 359, 279), true, 920.0 / 1120, 1},
        {"paper inside a frame drawn on the scan", Table::pale, false, Beyond::frame, box(120, 80, 359, 279), true,
         1, 0},
        {"paper inside a frame drawn close to the scan's edge", Table::pale, false, Beyond::frame,
         box(24, 24, 455, 335), true, 1, 0},
        {"paper inside a frame, on a colourless surface", Table::pale, false, Beyond::frame,
         box(120, 80, 359, 279), false, 1, 1},
        {"the sheet on a brown table inside a lattice's light lines", Table::brown, false, Beyond::lattice,
         box(120, 80, 359, 279), true, 1, 1},
        {"the sheet on a brown cloth inside its pink light cells", Table::brown, false, Beyond::lightCells,
         box(120, 80, 359, 279), true, 1, 1},
        {"the sheet on a brown cloth inside its pink light cells, any light taken for paper", Table::brown, false,
         Beyond::lightCells, box(120, 80, 359, 279), true, 1, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture = scene(c.table, c.shadow);
        if (c.outline[0].x == 0) picture(cv::Rect(0, 80, 120, 200)).setTo(cv::Scalar(242, 242, 237));
        if (c.beyond == Beyond::contactShadow) {
            cv::rectangle(picture, cv::Rect(114, 74, 252, 212), cv::Scalar::all(150), 6);
            cv::GaussianBlur(picture, picture, cv::Size(), 1.0);
        }
        if (c.beyond == Beyond::shadowBelow) picture(cv::Rect(0, 282, 480, 78)) *= 0.5;
        if (c.beyond == Beyond::frame) {
            picture.setTo(cv::Scalar(242, 242, 237));
            const cv::Rect frame(cv::Point(c.outline[0]) - cv::Point(12, 12),
                                 cv::Point(c.outline[2]) + cv::Point(13, 13));
            cv::rectangle(picture, frame, cv::Scalar(40, 40, 60), 8);
            cv::GaussianBlur(picture, picture, cv::Size(), 1.0);
        }
        if (c.beyond == Beyond::lattice) {
            cv::rectangle(picture, cv::Rect(99, 59, 281, 241), cv::Scalar(242, 242, 237), 8);
            cv::GaussianBlur(picture, picture, cv::Size(), 1.0);
        }
        if (c.beyond == Beyond::lightCells) {
            cv::rectangle(picture, cv::Rect(94, 54, 291, 251), cv::Scalar(250, 215, 215), 16);
            cv::GaussianBlur(picture, picture, cv::Size(), 1.0);
        }
        const DarkerBeyond stepped = darkerBeyond(picture, c.outline, c.surfaceBeyond, c.anyLight);
        EXPECT_NEAR(stepped.share, c.share, 0.04);
        EXPECT_NEAR(stepped.secondSide, c.secondSide, 0.06);
    }
}

TEST(PaperEdges, ASheetInsideABandDrawnAlongItsSideIsToldFromASheetBesideAStripOfItsMat) {
    // A white sheet (x 120...360, y 80...280) on a green mat that reaches to x = 400, with a band of a
    // yellower green drawn along the sheet's right side from x = 320: the band's sides show no clear edge on
    // the mat. The inner outline stops at the band, or at the sheet's right side where the outer takes in the
    // mat's strip.
    struct Case {
        const char* what;
        bool band;
        bool stripes;  // dark stripes along the mat, 6 of every 24 rows, at three quarters of its light
        cv::Scalar beyondMat;  // what lies right of x = 400
        Corners outer, inner;
        bool stopped;
    };
    const cv::Scalar mat(0.3, 0.55, 0.35);
    const Corners sheet = box(120, 80, 359, 279);
    const Case cases[] = {
        {"the band on a plain mat", true, false, mat, sheet, box(120, 80, 319, 279), true},
        {"the band on a striped mat", true, true, mat, sheet, box(120, 80, 319, 279), true},
        {"a strip of the mat ending on a table of another tint in the mat's light", false, false,
         cv::Scalar(0.7, 0.4, 0.3), box(120, 80, 399, 279), sheet, false},
        {"a strip of the mat ending on a cloth of the mat's tint in far less light", false, false, mat * 0.3,
         box(120, 80, 399, 279), sheet, false},
        {"an outline reaching past the sheet's side onto the mat, the mat beyond it all round", false, false,
         mat, box(120, 80, 389, 279), sheet, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_32FC3, mat);
        if (c.stripes)
            for (int y = 0; y < picture.rows; y += 24) picture(cv::Rect(0, y, 480, 6)) *= 0.75;
        picture(cv::Rect(400, 0, 80, 360)).setTo(c.beyondMat);
        picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        if (c.band) picture(cv::Rect(320, 80, 40, 200)).setTo(cv::Scalar(0.35, 0.55, 0.3));
        const cv::Mat colour = photographed(picture);
        EXPECT_EQ(stoppedAtDrawnBand(colour, c.outer, c.inner), c.stopped);
    }
}

TEST(PaperEdges, APartOfASheetAcrossATablesEdgeReachesOnToTheSheetsEdgesOverTheTable) {
    // A sheet (x 120...360, y 80...280) across the edge of a beige table at x = 200, the brown floor left of
    // it; over the floor the sheet's paper is a quarter darker. Over the table the paper is white, or nearly
    // the table's colour so that its edges there are faint. A darker band of the table, 40 pixels wide, may run
    // on along the line of the sheet's top beyond its corner, from x = 360 to the picture's border. A patch of
    // the table's colour may be drawn on the sheet over the table, hiding its edge there.
    struct Case {
        const char* what;
        bool faint;
        bool band;
        cv::Rect hidden;  // the patch of the table's colour drawn on the sheet; empty for none
        Corners part;
        int side;
        std::optional<Corners> whole;
    };
    const Corners sheet = box(120, 80, 359, 279), overFloor = box(120, 80, 200, 279);
    const Corners aslant = {cv::Point2d(120, 77), cv::Point2d(200, 80), cv::Point2d(200, 279),
                            cv::Point2d(120, 279)};
    const cv::Rect none;
    const Case cases[] = {
        {"the part over the floor, past the table's edge", false, false, none, overFloor, 1, sheet},
        {"the part over the floor, past the table's edge, the sheet's edges faint beyond", true, false, none,
         overFloor, 1, sheet},
        {"the part over the floor, its top meeting the sheet's edge at the table's edge two degrees off it", true,
         false, none, aslant, 1, sheet},
        {"the whole sheet, past its right side", true, false, none, sheet, 1, std::nullopt},
        {"the part over the floor, past its left side, the sheet's own edge", true, false, none, overFloor, 3,
         std::nullopt},
        {"the part over the floor, past its top, one neighbour along the table's edge", true, false, none,
         overFloor, 0, std::nullopt},
        {"the part over the floor, the band running on along the sheet's top past its corner", true, true, none,
         overFloor, 1, std::nullopt},
        {"the part over the floor, the sheet's bottom hidden next to the table's edge, its far side shown", false,
         false, cv::Rect(200, 240, 80, 40), overFloor, 1, sheet},
        {"the part over the floor, the sheet's bottom hidden and its far side ending half way down", false, false,
         cv::Rect(200, 170, 160, 110), overFloor, 1, std::nullopt},
        {"the part over the floor, the sheet's top hidden next to the table's edge, its far side shown", false,
         false, cv::Rect(200, 80, 80, 40), overFloor, 1, sheet},
        {"a part stopped a third of its depth short of the sheet's right side, the sheet's bottom hidden beside it: "
         "too short a run on to tell from a mat's stripe",
         false, false, cv::Rect(300, 240, 50, 40), box(120, 80, 300, 279), 1, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_32FC3, cv::Scalar(0.6, 0.58, 0.5));
        picture(cv::Rect(0, 0, 200, 360)).setTo(cv::Scalar(0.22, 0.18, 0.15));
        picture(cv::Rect(120, 80, 240, 200))
            .setTo(c.faint ? cv::Scalar(0.64, 0.62, 0.5) : cv::Scalar(0.95, 0.95, 0.93));
        picture(cv::Rect(120, 80, 80, 200)) *= 0.75;
        if (c.band) picture(cv::Rect(360, 40, 120, 40)).setTo(cv::Scalar(0.5, 0.48, 0.42));
        if (!c.hidden.empty()) picture(c.hidden).setTo(cv::Scalar(0.6, 0.58, 0.5));
        const auto whole = reachedPastSide(photographed(picture), c.part, c.side);
        ASSERT_EQ(whole.has_value(), c.whole.has_value());
        if (whole) {
            for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm((*whole)[i] - (*c.whole)[i]), 5) << "corner " << i;
        }
    }
}

TEST(PaperEdges, APartOfASheetSeenAslantReachesOnToAFarSideTurnedFurtherThatShowsAsItsEdge) {
    // A sheet on the brown table, its top from (120, 60) to (360, 60) and its far side running from (380, far)
    // to (100, 296), a line drawn across it from (368.4, 140) to (112.4, 150); the part above the line is reached
    // past it. A white card on the table may lie along the middle of the far side, x 180...300.
    struct Case {
        const char* what;
        double far;
        bool card;
        bool whole;
    };
    const Case cases[] = {
        {"the far side nearly along the top, shown all along", 290, false, true},
        {"the far side nearly along the top, the card along its middle", 290, true, true},
        {"the far side turned 9 degrees, shown all along", 250, false, true},
        {"the far side turned 9 degrees, the card along its middle", 250, true, false},
        {"the far side turned 18 degrees, shown all along", 205, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const cv::Point2d right(380, c.far), left(100, 296);
        cv::Mat picture(360, 480, CV_32FC3, cv::Scalar(0.45, 0.3, 0.18));
        if (c.card) picture(cv::Rect(180, 200, 120, 160)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        const std::vector<cv::Point> sheet = {{120, 60}, {360, 60}, cv::Point(right), cv::Point(left)};
        cv::fillConvexPoly(picture, sheet, cv::Scalar(0.95, 0.95, 0.93), cv::LINE_AA);
        // The drawn line meets the sheet's sides where they cross y = 150 on the left and y = 140 on the right.
        auto onSide = [](cv::Point2d top, cv::Point2d bottom, double y) {
            return top + (bottom - top) * ((y - top.y) / (bottom.y - top.y));
        };
        const cv::Point2d lineRight = onSide({360, 60}, right, 140), lineLeft = onSide({120, 60}, left, 150);
        cv::line(picture, cv::Point(lineRight), cv::Point(lineLeft), cv::Scalar(0.15, 0.2, 0.1), 3, cv::LINE_AA);
        const Corners part = {cv::Point2d(120, 60), cv::Point2d(360, 60), lineRight, lineLeft};
        const auto whole = reachedPastSide(photographed(picture), part, 2);
        ASSERT_EQ(whole.has_value(), c.whole);
        if (whole) {
            EXPECT_LT(cv::norm((*whole)[2] - right), 5);
            EXPECT_LT(cv::norm((*whole)[3] - left), 5);
        }
    }
}

TEST(PaperEdges, AWhiteShapeIsInkedAllRoundWhereASheetOnAMatStepsDownToIt) {
    struct Case {
        const char* picture;
        double ink;
        double drawnShare;
        int drawnSides;
        bool inked;
    };
    const Case cases[] = {
        {"a shape outlined in a faint grey all round", 0.45, 1, 4, true},
        {"a shape outlined in black all round", 0.1, 1, 4, true},
        {"a shape outlined in a grey darker than the sheet beside it by a tenth only", 0.66, 1, 4, false},
        {"a shape outlined along three of its sides", 0.45, 1, 3, false},
        {"a shape outlined along a third of each side", 0.45, 0.33, 4, false},
        {"a white shape on the sheet, not outlined", 0.45, 1, 0, false},
        {"a sheet on a darker mat, its contact shadow darkening the mat beside it", 0, 1, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        EXPECT_EQ(inkedAllRound(whiteShapeOnSheet(c.ink, c.drawnShare, c.drawnSides), box(160, 110, 320, 250)),
                  c.inked);
    }
}
