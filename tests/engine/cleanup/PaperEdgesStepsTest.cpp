#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperOutlines.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <vector>

#include "tests/engine/PaperTableScenes.h"

using namespace quillfen::detail::paper;
using namespace quillfen::paperscenes;

namespace {

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
