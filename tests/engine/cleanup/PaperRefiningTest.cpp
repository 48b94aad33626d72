#include "engine/cleanup/detail/PaperRefining.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "tests/engine/PaperScenes.h"

using namespace quillfen::detail::paper;
using quillfen::paperscenes::box;
using quillfen::paperscenes::photographed;

TEST(PaperRefining, RefiningTakesTheSheetsEdgeRatherThanTheOuterEdgeOfAHardShadow) {
    // A white sheet (x 120...360, y 80...280) on a light table under a lamp, a dark shadow of the given width
    // along its right and bottom sides: the table's step onto the shadow is over half the sheet's own, and
    // the outline the network gives lies a few pixels off the sheet.
    struct Case {
        int shadow;
        double range, off;
    };
    for (const auto [shadow, range, off] : {Case{3, 12, 2}, Case{6, 12, -3}, Case{8, 20, 4}}) {
        SCOPED_TRACE(testing::Message() << "shadow " << shadow << " wide, refined within " << range);
        cv::Mat picture(360, 480, CV_32FC3, cv::Scalar::all(0.7));
        picture(cv::Rect(120 + shadow, 80 + shadow, 240, 200)).setTo(cv::Scalar::all(0.3));
        picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
        const cv::Mat colour = photographed(picture);
        const Corners sheet = box(120, 80, 359, 279);
        const Corners refined = refine(colour, box(120 + off, 80 + off, 359 + off, 279 + off), range);
        for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm(refined[i] - sheet[i]), 2) << "corner " << i;
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
