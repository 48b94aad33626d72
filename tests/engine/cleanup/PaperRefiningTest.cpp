#include "engine/cleanup/detail/PaperRefining.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "tests/engine/PaperScenes.h"

using namespace quillfen::detail::paper;
using quillfen::paperscenes::box;
using quillfen::paperscenes::photographed;

TEST(PaperRefining, RefiningPastDrawnLinesReachesTheSheetsEdgeBeyondAFrameDrawnNearIt) {
    // A white sheet (x 120...360, y 80...280) on a light grey table, a dark frame 4 pixels wide ruled 12
    // pixels inside its edges: the frame's step is far stronger than the paper's onto the table.
    cv::Mat picture(360, 480, CV_32FC3, cv::Scalar::all(0.75));
    picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
    cv::rectangle(picture, cv::Rect(132, 92, 216, 176), cv::Scalar(0.3, 0.05, 0.1), 4);
    const cv::Mat colour = photographed(picture);
    const Corners frame = box(134, 94, 345, 265);
    for (const bool pastDrawnLines : {false, true}) {
        SCOPED_TRACE(pastDrawnLines ? "past drawn lines" : "on the strongest edges");
        const Corners expected = pastDrawnLines ? box(120, 80, 359, 279) : box(130, 90, 349, 269);
        const Corners refined = refine(colour, frame, 20, pastDrawnLines);
        for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm(refined[i] - expected[i]), 2.5) << "corner " << i;
    }
}

TEST(PaperRefining, RefiningKeepsToTheSheetsEdgeInsideTheLightLinesOfALattice) {
    // A white sheet (x 120...360, y 80...280) in a working copy of 1024 x 768 on a red cloth with light lines
    // 2 pixels wide, as straight and as clear an edge as the sheet's, running along each of its sides the
    // given gap outside it.
    struct Case {
        int gap;
        double range;
    };
    for (const auto [gap, range] : {Case{5, 12}, Case{9, 12}, Case{5, 30}, Case{16, 30}}) {
        SCOPED_TRACE(testing::Message() << "lines " << gap << " pixels outside, refined within " << range);
        cv::Mat picture(768, 1024, CV_32FC3, cv::Scalar(0.62, 0.12, 0.12));
        cv::rectangle(picture, cv::Rect(120 - gap - 2, 80 - gap - 2, 240 + 2 * gap + 4, 200 + 2 * gap + 4),
                      cv::Scalar(0.85, 0.8, 0.75), cv::FILLED);
        picture(cv::Rect(120 - gap, 80 - gap, 240 + 2 * gap, 200 + 2 * gap))
            .setTo(cv::Scalar(0.62, 0.12, 0.12));
        picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        const cv::Mat colour = photographed(picture);
        const Corners sheet = box(120, 80, 359, 279);
        const Corners refined = refine(colour, sheet, range);
        for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm(refined[i] - sheet[i]), 2) << "corner " << i;
    }
}

TEST(PaperRefining, RefiningKeepsToTheSheetsEdgeOutsideAStrokeDrawnInTheClothsColourAlongIt) {
    // The same sheet on the red cloth with a red stroke 3 pixels wide drawn 7 pixels inside its edges: the
    // strip of paper between them is as light as the paper, no line of the cloth.
    cv::Mat picture(768, 1024, CV_32FC3, cv::Scalar(0.62, 0.12, 0.12));
    picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
    cv::rectangle(picture, cv::Rect(128, 88, 224, 184), cv::Scalar(0.62, 0.12, 0.12), 3);
    const cv::Mat colour = photographed(picture);
    const Corners sheet = box(120, 80, 359, 279);
    const Corners refined = refine(colour, sheet, 12);
    for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm(refined[i] - sheet[i]), 2) << "corner " << i;
}

TEST(PaperRefining, ASideOnTheEdgeOfAMatBeyondTheSheetIsPulledInToTheSheetsEdge) {
    // A white sheet (x 120...360, y 80...280) on a green mat (x 60...400, y 40...320) on a brown table; a
    // band drawn along the sheet's right side from x = 320 is dark blue, or of the mat's own colour.
    struct Case {
        const char* what;
        cv::Scalar band;
        Corners outline, expected;
    };
    const cv::Scalar mat(0.3, 0.55, 0.35), none(-1, -1, -1);
    const Corners sheet = box(120, 80, 359, 279), wholeMat = box(60, 40, 399, 319);
    const Case cases[] = {
        {"a strip of the mat beyond the right side", none, box(120, 80, 399, 279), sheet},
        {"a strip of the mat beyond the bottom side", none, box(120, 80, 359, 319), sheet},
        {"a strip beyond a dark band drawn along the sheet", cv::Scalar(0.15, 0.2, 0.5),
         box(120, 80, 399, 279), sheet},
        {"the sheet's own outline", none, sheet, sheet},
        {"the mat's outline", none, wholeMat, wholeMat},
        {"the sheet beside a band of the mat's colour, whose side shows no edge", mat, sheet, sheet},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_32FC3, cv::Scalar(0.45, 0.3, 0.18));
        picture(cv::Rect(60, 40, 340, 280)).setTo(mat);
        picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        if (c.band != none) picture(cv::Rect(320, 80, 40, 200)).setTo(c.band);
        const cv::Mat colour = photographed(picture);
        const Corners narrowed = narrowedToSheetCorners(colour, c.outline);
        for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm(narrowed[i] - c.expected[i]), 3) << "corner " << i;
    }
}

TEST(PaperRefining, ASideWidenedPastABandDrawnAlongItStopsAtTheSheetsEdgeNotOnTheMatBeyond) {
    // A white sheet (x 120...360, y 80...280) on a green mat, the part below a band of sky drawn along its
    // top down to y = 120. A dark stripe of the mat runs across it above the sheet (y 50...56): the sheet's
    // sides, clear edges along the band, run on over the plain mat to it for less than half of their run
    // there.
    struct Case {
        const char* what;
        bool stripe;
    };
    const Case cases[] = {
        {"the band on a plain mat", false},
        {"the band below a stripe of the mat across the sheet's sides", true},
    };
    const cv::Scalar mat(0.3, 0.55, 0.35);
    const Corners sheet = box(120, 80, 359, 279);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        cv::Mat picture(360, 480, CV_32FC3, mat);
        if (c.stripe) picture(cv::Rect(0, 50, 480, 6)) *= 0.6;
        picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        picture(cv::Rect(120, 80, 240, 40)).setTo(cv::Scalar(0.35, 0.55, 0.85));
        const Corners widened = widenedToSheetEdges(photographed(picture), box(120, 120, 359, 279), false);
        for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm(widened[i] - sheet[i]), 6) << "corner " << i;
    }
}

TEST(PaperRefining, ASideOnAStripesEdgeOfAMatBeyondTheSheetIsPulledInToTheSheetsEdge) {
    // A white sheet (x 120...360, y 80...280) on a green mat (x 60...400, y 40...320) on a brown table, the
    // mat striped upright, 4 pixels dark of every 8, the stripes' edges along the sheet's sides and running
    // on past its corners.
    struct Case {
        const char* what;
        Corners outline;
    };
    const Corners sheet = box(120, 80, 359, 279);
    const Case cases[] = {
        {"the sheet with a strip of the mat below it out to the mat's edge", box(120, 80, 359, 319)},
        {"the sheet with a strip of the mat above it out to the mat's edge", box(120, 40, 359, 279)},
        {"the sheet's own outline", sheet},
    };
    cv::Mat picture(360, 480, CV_32FC3, cv::Scalar(0.45, 0.3, 0.18));
    picture(cv::Rect(60, 40, 340, 280)).setTo(cv::Scalar(0.3, 0.55, 0.35));
    for (int x = 60; x < 400; x += 8) picture(cv::Rect(x, 40, 4, 280)) *= 0.6;
    picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
    const cv::Mat colour = photographed(picture);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Corners narrowed = narrowedToSheetCorners(colour, c.outline);
        for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm(narrowed[i] - sheet[i]), 5) << "corner " << i;
    }
}
