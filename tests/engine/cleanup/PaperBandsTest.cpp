#include "engine/cleanup/detail/PaperBands.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <vector>

using namespace quillfen;

TEST(PaperBands, RunsAreTheMaskAndWhatOpenCvsDilationAddsToIt) {
    struct Case {
        const char* name;
        cv::Size size;
        std::vector<std::vector<cv::Point>> outlines;  // each filled as a convex polygon
        int band;
    };
    const Case cases[] = {
        {"a quad with room for its band", {120, 90}, {{{20, 15}, {100, 10}, {95, 80}, {25, 70}}}, 6},
        {"a quad past the mask's sides, its band cut off",
         {60, 50},
         {{{-10, 5}, {70, -3}, {50, 40}, {5, 60}}},
         8},
        {"a thin slanted sliver", {90, 40}, {{{2, 2}, {88, 30}, {88, 31}, {2, 3}}}, 3},
        {"a quad whose corners cross", {100, 80}, {{{10, 10}, {90, 70}, {90, 10}, {10, 70}}}, 4},
        {"two squares with empty rows between them",
         {60, 100},
         {{{10, 10}, {29, 10}, {29, 29}, {10, 29}}, {{30, 70}, {49, 70}, {49, 89}, {30, 89}}},
         3},
        {"a square in the rows after another's, far to its right",
         {100, 40},
         {{{10, 0}, {29, 0}, {29, 19}, {10, 19}}, {{70, 20}, {89, 20}, {89, 39}, {70, 39}}},
         3},
        {"a square in the rows after another's, far to its left",
         {100, 40},
         {{{70, 0}, {89, 0}, {89, 19}, {70, 19}}, {{10, 20}, {29, 20}, {29, 39}, {10, 39}}},
         3},
        {"a band wider than the mask", {20, 16}, {{{8, 6}, {11, 6}, {11, 9}, {8, 9}}}, 25},
        {"an empty mask", {30, 20}, {}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat mask(c.size, CV_8U, cv::Scalar(0));
        for (const auto& outline : c.outlines) cv::fillConvexPoly(mask, outline, cv::Scalar(255));
        cv::Mat band;
        cv::dilate(mask, band, cv::getStructuringElement(cv::MORPH_RECT, {2 * c.band + 1, 2 * c.band + 1}));
        band -= mask;
        const detail::paper::BandRows rows(mask, c.band);
        cv::Mat inside(c.size, CV_8U, cv::Scalar(0)), around(c.size, CV_8U, cv::Scalar(0));
        for (int y = 0; y < c.size.height; ++y) {
            for (const auto& run : rows.inside(y)) inside.row(y).colRange(run.from, run.to) += 1;
            for (const auto& run : rows.around(y)) around.row(y).colRange(run.from, run.to) += 1;
        }
        EXPECT_EQ(cv::norm(inside * 255, mask, cv::NORM_INF), 0);
        EXPECT_EQ(cv::norm(around * 255, band, cv::NORM_INF), 0);
    }
}
