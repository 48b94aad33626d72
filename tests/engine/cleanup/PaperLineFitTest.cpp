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
