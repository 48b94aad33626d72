#include "engine/cleanup/detail/PaperShadows.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>

using namespace quillfen;

namespace {

// A 1024 x 768 photo of a wall with grey and white stripes 60 pixels apart, a sheet on it with the given number
// of dark strokes drawn across it parallel to the shadow's edge, 70 pixels apart on its lit side, and where
// asked a hard shadow keeping the given share of light right of the line from (700, 0) to (300, 767); blurred a
// little and noisy, as a camera takes it.
detail::paper::Analysis wall(bool stripes, bool sheet, double shadowLight, int strokes = 0) {
    cv::Mat picture(768, 1024, CV_32FC4, cv::Scalar(0.5, 0.5, 0.49, 1));
    if (stripes)
        for (int y = 0; y < 768; y += 60) picture(cv::Rect(0, y, 1024, 24)).setTo(cv::Scalar(0.9, 0.9, 0.88, 1));
    if (sheet) {
        const cv::Rect paper(300, 200, 420, 360);
        picture(paper).setTo(cv::Scalar(0.96, 0.95, 0.9, 1));
        cv::Mat onPaper = picture(paper);  // strokes stop at the sheet's edges
        for (int k = 1; k <= strokes; ++k)
            cv::line(onPaper, cv::Point(700 - 70 * k, 0) - paper.tl(), cv::Point(300 - 70 * k, 767) - paper.tl(),
                     cv::Scalar(0.2, 0.25, 0.5, 1), 6);
    }
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            if (x > 700 - y * 400.0 / 767) {
                auto& pixel = picture.at<cv::Vec4f>(y, x);
                for (int k = 0; k < 3; ++k) pixel[k] *= static_cast<float>(shadowLight);
            }
    cv::GaussianBlur(picture, picture, cv::Size(), 1.5);
    cv::Mat noise(picture.size(), CV_32FC4);
    cv::RNG(5).fill(noise, cv::RNG::NORMAL, 0, 0.01);
    picture += noise;
    Bitmap image(1024, 768);
    cv::Mat bytes(768, 1024, CV_8UC4, image.pixels.data());
    picture.convertTo(bytes, CV_8UC4, 255);
    return detail::paper::analyse(image);
}

}  // namespace

TEST(PaperShadows, AHardShadowsEdgeIsFoundWhereItCrossesTheSheetOrAWallsStripes) {
    struct Case {
        const char* what;
        bool stripes, sheet;
        double light;
        bool found;
        int strokes = 0;
        bool alone = true;  // no other straight edge runs parallel to the shadow's
    };
    const Case cases[] = {
        {"a shadow across a striped wall and a sheet", true, true, 0.5, true},
        {"a shadow across a striped wall", true, false, 0.6, true},
        {"a shadow across a sheet on a plain wall", false, true, 0.45, true},
        {"a shadow across a sheet beside strokes drawn parallel to it: a few lines beside it make no stripes", true,
         true, 0.5, true, 2, false},
        {"a striped wall with a sheet, no shadow: the stripes' edges run beside others", true, true, 1, false},
        {"a shadow on a plain wall, crossing nothing that its light steps over alike", false, false, 0.5, false},
    };
    const cv::Point2d direction = cv::Point2d(400, -767) / std::hypot(400, 767);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto picture = wall(c.stripes, c.sheet, c.light, c.strokes);
        const auto edges =
            detail::paper::hardShadowEdges(picture, detail::paper::edgeLines(picture.smallLuma, 120));
        ASSERT_EQ(!edges.empty(), c.found);
        if (!c.found) continue;
        const auto& edge = edges.front();
        EXPECT_LT(std::abs(edge.line.direction.cross(direction)), 0.02);
        EXPECT_LT(std::abs((edge.line.point - cv::Point2d(500, 383.5)).cross(direction)), 4);
        EXPECT_LT(edge.lit.x, 0);  // the lit side lies left of the edge
        EXPECT_NEAR(edge.light, c.light, 0.08);
        EXPECT_EQ(edge.alone, c.alone);
    }
}

TEST(PaperShadows, RelightingRaisesTheLightOnlyOnTheShadedSide) {
    cv::Mat colour(40, 100, CV_8UC3, cv::Scalar(100, 80, 60));
    // The line down through x = 50: its left as the picture is shown lies right of it, at larger x.
    const Bitmap out = detail::paper::relitBeyond(colour, {50, 0}, {0, 1}, 0.5);
    const std::uint8_t* lit = out.pixel(20, 10);
    const std::uint8_t* shaded = out.pixel(80, 10);
    EXPECT_EQ((std::vector<int>{lit[0], lit[1], lit[2], lit[3]}), (std::vector<int>{100, 80, 60, 255}));
    EXPECT_EQ((std::vector<int>{shaded[0], shaded[1], shaded[2], shaded[3]}), (std::vector<int>{200, 160, 120, 255}));
}
