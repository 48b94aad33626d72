#include "engine/cleanup/detail/PaperStrokes.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

using namespace quillfen::detail::paper;

TEST(PaperStrokes, AnOutlineAlongStrokesDrawnOnPaperOnTwoSidesIsBetweenStrokes) {
    // A 480 x 360 picture, the outline x 120...359, y 80...279. Lines 6 pixels wide are drawn along its left
    // and right sides (or along its left only) on pale paper filling the picture; the sheet's own edges on a
    // brown table, or with a contact shadow on a pale table, have paper on one side only; a wall's light grey
    // stripes beside a white sheet are neither tinted nor much darker than it. On a colourless surface a dark
    // line may be a wall's dark stripe, a white one beyond it as light as the paper, and only tinted strokes
    // count.
    const cv::Scalar paper(242, 242, 237), brown(115, 77, 46);
    struct Case {
        const char* what;
        cv::Scalar surface, lines;
        bool bothSides;
        bool colourless;
        bool between;
    };
    const Case cases[] = {
        {"orange strokes on a scan's paper", paper, cv::Scalar(230, 130, 30), true, false, true},
        {"orange strokes, the surface colourless", paper, cv::Scalar(230, 130, 30), true, true, true},
        {"dark grey frame lines on a scan's paper", paper, cv::Scalar::all(50), true, false, true},
        {"dark grey stripes of a white wall", paper, cv::Scalar::all(50), true, true, false},
        {"an orange stroke along one side only", paper, cv::Scalar(230, 130, 30), false, false, false},
        {"light grey stripes of a white wall", paper, cv::Scalar::all(180), true, false, false},
        {"the sheet on a brown table", brown, brown, true, false, false},
        {"a sheet on a white table, its contact shadow beside it", cv::Scalar::all(235), cv::Scalar::all(150),
         true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_8UC3, c.surface);
        picture(cv::Rect(120, 80, 240, 200)).setTo(paper);
        for (const int x : {120, 359})
            if (x == 120 || c.bothSides) cv::line(picture, {x, 0}, {x, 359}, c.lines, 6);
        cv::GaussianBlur(picture, picture, cv::Size(), 1.0);
        const Corners outline{cv::Point2d(120, 80), cv::Point2d(359, 80), cv::Point2d(359, 279),
                              cv::Point2d(120, 279)};
        EXPECT_EQ(betweenStrokes(picture, outline, c.colourless), c.between);
    }
}
