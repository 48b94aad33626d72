#include "engine/cleanup/detail/PaperLineFit.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstring>

using namespace quillfen;

TEST(PaperLineFit, HuberLineIsWhatOpenCvsFitLineGives) {
    struct Case {
        const char* name;
        int count;
        double angle, noise;  // degrees; pixels across the line
        int outlierEvery;  // every so many points lies up to 30 pixels off the line; 0 for none
        bool whole;  // on whole and half pixels
    };
    const Case cases[] = {
        {"a sheet's edge along the picture, 48 points", 48, 0.5, 0.4, 0, false},
        {"a steep edge with points pulled off it by a drawn band", 48, 82, 0.6, 5, false},
        {"a short edge of 12 points", 12, 37, 0.8, 4, false},
        {"fewer points than a start takes", 6, 120, 0.5, 0, false},
        {"points on whole and half pixels", 30, 14, 0.7, 7, true},
        {"points exactly on a line across the picture, which starts reach", 20, 0, 0, 0, true},
        {"every other point pulled off, the starts settling after unlike numbers of steps", 40, 63, 0.5, 2, false},
        {"a band's points off every third, on whole and half pixels", 33, 171, 1.2, 3, true},
    };
    cv::RNG random(5);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double angle = c.angle * CV_PI / 180;
        std::vector<cv::Point2f> points;
        for (int i = 0; i < c.count; ++i) {
            const double along = -200 + 400.0 * i / c.count;
            double across = random.gaussian(1) * c.noise;
            if (c.outlierEvery > 0 && i % c.outlierEvery == 2) across += random.uniform(-30.0, 30.0);
            cv::Point2f p(static_cast<float>(500 + along * std::cos(angle) - across * std::sin(angle)),
                          static_cast<float>(380 + along * std::sin(angle) + across * std::cos(angle)));
            if (c.whole) p = {std::round(p.x * 2) / 2, std::round(p.y)};
            points.push_back(p);
        }
        cv::Vec4f expected;
        cv::fitLine(points, expected, cv::DIST_HUBER, 0, 0.01, 0.01);
        const cv::Vec4f found = detail::paper::huberLine(points);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(std::memcmp(&found[i], &expected[i], sizeof(float)), 0) << i;
    }
}

// Starts followed side by side settle after unlike numbers of steps: a start that has stopped must keep the
// least distance it reached, whatever the others still do.
TEST(PaperLineFit, HuberLineIsWhatOpenCvsFitLineGivesOnRandomSides) {
    cv::RNG random(11);
    for (int side = 0; side < 300; ++side) {
        const int count = random.uniform(6, 49);
        const double angle = random.uniform(0.0, CV_PI), noise = random.uniform(0.0, 2.0);
        const int outlierEvery = random.uniform(0, 6);
        std::vector<cv::Point2f> points;
        for (int i = 0; i < count; ++i) {
            const double along = -150 + 300.0 * i / count;
            double across = random.gaussian(1) * noise;
            if (outlierEvery > 0 && i % outlierEvery == 1) across += random.uniform(-20.0, 20.0);
            points.emplace_back(static_cast<float>(400 + along * std::cos(angle) - across * std::sin(angle)),
                                static_cast<float>(300 + along * std::sin(angle) + across * std::cos(angle)));
        }
        SCOPED_TRACE(testing::Message() << "side " << side << ", " << count << " points");
        cv::Vec4f expected;
        cv::fitLine(points, expected, cv::DIST_HUBER, 0, 0.01, 0.01);
        const cv::Vec4f found = detail::paper::huberLine(points);
        ASSERT_EQ(std::memcmp(&found, &expected, sizeof found), 0);
    }
}
