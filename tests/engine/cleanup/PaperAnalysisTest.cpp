#include "engine/cleanup/detail/PaperAnalysis.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

using namespace quillfen;

TEST(PaperAnalysis, AreaAveragedCopyIsWhatOpenCvsAreaResizeGives) {
    struct Case {
        const char* name;
        cv::Size from, to;
        int levels, scale;  // values 0...levels - 1, times scale
    };
    const Case cases[] = {
        {"a landscape working copy", {1024, 768}, {384, 288}, 256, 1},
        {"a portrait working copy", {768, 1024}, {288, 384}, 256, 1},
        {"halfway between 127 and 128, rounded up to even", {1024, 768}, {384, 288}, 2, 255},
        {"halfway between 0 and 1, rounded down to even", {1024, 768}, {384, 288}, 2, 1},
        {"one box of 8 x 8", {8, 8}, {3, 3}, 256, 1},
        {"a picture of other proportions", {1000, 700}, {375, 263}, 256, 1},
        {"a picture copied at its own size", {40, 30}, {40, 30}, 256, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat picture(c.from, CV_8UC3);
        cv::RNG random(7);
        random.fill(picture, cv::RNG::UNIFORM, 0, c.levels);
        picture *= c.scale;
        cv::Mat expected;
        cv::resize(picture, expected, c.to, 0, 0, cv::INTER_AREA);
        const cv::Mat found = detail::paper::areaAveraged(picture, c.to);
        ASSERT_EQ(found.size(), c.to);
        ASSERT_EQ(found.type(), CV_8UC3);
        EXPECT_EQ(cv::norm(found, expected, cv::NORM_INF), 0);
    }
}
