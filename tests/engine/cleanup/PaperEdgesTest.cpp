#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperOutlines.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <optional>
#include <vector>

#include "tests/engine/PaperTableScenes.h"

using namespace quillfen::detail::paper;
using namespace quillfen::paperscenes;

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

TEST(PaperEdges, APartOfASheetThatALineAcrossItCutsOffReachesPastThatLineOnly) {
    // The sheet of the test above across the table's edge at x = 200, its paper over the table nearly the table's
    // colour. The table's edge may show through the sheet as a dark line; a horizon may be drawn across the sheet
    // at y = 200 from its left side to its right.
    struct Case {
        const char* what;
        bool edgeLine;
        bool horizon;
        Corners part;
        std::optional<Corners> whole;
    };
    const Corners sheet = box(120, 80, 359, 279), overFloor = box(120, 80, 200, 279);
    const Case cases[] = {
        {"the part over the floor, its side along the table's edge seen through the sheet", true, false, overFloor,
         sheet},
        {"the part over the floor, its side along a step of light with no line: no line across the sheet", false,
         false, overFloor, std::nullopt},
        {"the part over the floor above the horizon, two of its sides along drawn lines", true, true,
         box(120, 80, 200, 200), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_32FC3, cv::Scalar(0.6, 0.58, 0.5));
        picture(cv::Rect(0, 0, 200, 360)).setTo(cv::Scalar(0.22, 0.18, 0.15));
        picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.64, 0.62, 0.5));
        picture(cv::Rect(120, 80, 80, 200)) *= 0.75;
        if (c.edgeLine) cv::line(picture, {200, 80}, {200, 279}, cv::Scalar(0.12, 0.1, 0.15), 3);
        if (c.horizon) cv::line(picture, {120, 200}, {359, 200}, cv::Scalar(0.15, 0.2, 0.1), 3);
        const auto whole = reachedPastDrawnLine(photographed(picture), c.part);
        ASSERT_EQ(whole.has_value(), c.whole.has_value());
        if (whole) {
            for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm((*whole)[i] - (*c.whole)[i]), 5) << "corner " << i;
        }
    }
}
