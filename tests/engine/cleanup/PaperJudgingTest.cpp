#include "engine/cleanup/detail/PaperJudging.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

using namespace quillfen::detail::paper;

TEST(PaperJudging, PaperRunningOnToThePicturesBorderIsNoSheetOnASurface) {
    // A 480 x 360 picture, the outline x 120...359, y 80...279, white paper inside it. The paper runs on outside
    // it over the picture where the case says, the surface shows elsewhere; a dark ring may lie round the outline,
    // out to the paper beyond it. The paper reaches the border where it runs on along a quarter of the border and
    // the outline has a side with nothing darker beyond it: not on a brown table, nor on a table as light as the
    // paper of another tint, nor where a dark mat round the sheet shows it stepping down along every side.
    const cv::Scalar paper(242, 242, 237), brown(115, 77, 46), cream(250, 232, 190), charcoal(40, 40, 44);
    const cv::Rect everywhere(0, 0, 480, 360), rightOfIt(120, 0, 360, 360), rightStrip(120, 80, 360, 200);
    struct Case {
        const char* what;
        cv::Scalar surface;
        cv::Rect paperRunsOn;  // where the paper lies outside the outline
        int ring;              // the width of a dark ring round the outline, 0 for none
        bool reaches;
    };
    const Case cases[] = {
        {"a scan's paper filling the picture", brown, everywhere, 0, true},
        {"paper out to the picture's border beyond three sides", brown, rightOfIt, 0, true},
        {"paper out of the picture past one side, along a tenth of its border", brown, rightStrip, 0, false},
        {"the sheet on a brown table", brown, cv::Rect(), 0, false},
        {"the sheet on a cream table as light as its paper", cream, cv::Rect(), 0, false},
        {"the sheet on a charcoal mat on a white table", paper, everywhere, 32, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_8UC3, c.surface);
        if (!c.paperRunsOn.empty()) picture(c.paperRunsOn).setTo(paper);
        if (c.ring > 0) picture(cv::Rect(120 - c.ring, 80 - c.ring, 240 + 2 * c.ring, 200 + 2 * c.ring)).setTo(charcoal);
        picture(cv::Rect(120, 80, 240, 200)).setTo(paper);
        cv::GaussianBlur(picture, picture, cv::Size(), 1.0);
        const Corners outline{cv::Point2d(120, 80), cv::Point2d(359, 80), cv::Point2d(359, 279),
                              cv::Point2d(120, 279)};
        EXPECT_EQ(paperReachesBorder(picture, outline), c.reaches);
    }
}

TEST(PaperJudging, AShadowsEdgeRunningOnAcrossAWhiteTableIsNoStepDownOfTheSheet) {
    // A 480 x 360 white table, the outline x 120...359, y 80...279 over the sheet's paper, a blue band drawn on the
    // sheet above it: the outline is the paper below the band, stepping down to it along its top side. Beyond its
    // right side the table lies in shadow, the shadow's edge running on along the side past both corners across
    // the table, or only beside the side: a shadow's edge across the table is no step down of a sheet, a darker
    // surface ending at the sheet's corners is.
    const cv::Scalar table = cv::Scalar::all(235), paper(242, 242, 237), blue(200, 140, 80);
    struct Case {
        const char* what;
        cv::Rect shadow;
        bool steps;
    };
    const Case cases[] = {
        {"a shadow's edge along the right side, across the table", cv::Rect(360, 0, 120, 360), false},
        {"the table in shadow beside the right side only", cv::Rect(360, 80, 120, 200), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_8UC3, table);
        picture(cv::Rect(120, 50, 240, 230)).setTo(paper);
        picture(cv::Rect(120, 50, 240, 30)).setTo(blue);
        picture(c.shadow) *= 0.5;
        cv::GaussianBlur(picture, picture, cv::Size(), 1.0);
        const Corners outline{cv::Point2d(120, 80), cv::Point2d(359, 80), cv::Point2d(359, 279),
                              cv::Point2d(120, 279)};
        EXPECT_EQ(stepsDownBeyond(picture, outline, true, false, true), c.steps);
    }
}

TEST(PaperJudging, ASheetOnAWhiteTableIsAsLightAsTheTableBeyondASide) {
    // A 480 x 360 table, the outline x 120...359, y 80...279 over white paper, the table darkened as the case says:
    // beyond a side it is as light as the paper nearly all along on a white table, however a shadow falls, and
    // nowhere on a darker table, bands drawn along the sheet's sides as dark as the table or not. A side that the
    // picture shows little beyond is not weighed: the paper may run on out of the picture there.
    const cv::Scalar paper(242, 242, 237), white(230, 230, 230), brown(115, 77, 46), grey(140, 140, 140);
    struct Case {
        const char* what;
        cv::Scalar table;
        cv::Rect shadow;  // where the table lies in a shadow halving its light
        bool bands;       // blue bands 20 pixels wide drawn along the sheet's four sides
        Corners outline;
        bool asLight;
    };
    const Corners sheet{cv::Point2d(120, 80), cv::Point2d(359, 80), cv::Point2d(359, 279), cv::Point2d(120, 279)};
    const Corners runningOut{cv::Point2d(24, 80), cv::Point2d(359, 80), cv::Point2d(359, 279), cv::Point2d(0, 279)};
    const Case cases[] = {
        {"the sheet on a brown table", brown, cv::Rect(), false, sheet, false},
        {"the sheet on a white table", white, cv::Rect(), false, sheet, true},
        {"the sheet on a white table, a shadow on the table above and beside it", white, cv::Rect(0, 0, 480, 280),
         false, sheet, true},
        {"the sheet on a white table in a shadow all round it", white, cv::Rect(0, 0, 480, 360), false, sheet, false},
        {"the sheet on a grey table, bands as dark drawn along its sides", grey, cv::Rect(), true, sheet, false},
        {"the sheet on a brown table, its left side running out of the picture over its paper", brown, cv::Rect(),
         false, runningOut, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_8UC3, c.table);
        if (!c.shadow.empty()) picture(c.shadow) *= 0.5;
        picture(cv::Rect(120, 80, 240, 200)).setTo(paper);
        if (c.outline[3].x == 0) picture(cv::Rect(0, 80, 120, 200)).setTo(paper);
        if (c.bands) {
            for (const cv::Rect band : {cv::Rect(120, 80, 240, 20), cv::Rect(340, 80, 20, 200),
                                        cv::Rect(120, 260, 240, 20), cv::Rect(120, 80, 20, 200)})
                picture(band).setTo(cv::Scalar(200, 130, 60));
        }
        cv::GaussianBlur(picture, picture, cv::Size(), 1.0);
        EXPECT_EQ(asLightBeyondASide(picture, c.outline), c.asLight);
    }
}
