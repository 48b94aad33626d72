#include "engine/cleanup/detail/PaperMorphology.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

using namespace quillfen;

TEST(PaperMorphology, OpeningIsWhatOpenCvsOpeningGives) {
    struct Case {
        const char* name;
        cv::Size size;
        int side;
        bool binary;  // a mask of 0 and 255 rather than any bytes
    };
    const Case cases[] = {
        {"a landscape mask opened by the ellipse of its short side", {384, 288}, 17, true},
        {"a landscape mask opened by the ellipse of its long side", {384, 288}, 21, true},
        {"a portrait mask", {288, 384}, 21, true},
        {"any bytes, the smallest ellipse not left to OpenCV", {97, 61}, 9, false},
        {"a picture narrower and lower than the ellipse", {7, 5}, 23, false},
        {"one pixel", {1, 1}, 17, false},
        {"a small ellipse, which OpenCV opens", {64, 48}, 5, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat picture(c.size, CV_8U);
        cv::RNG random(3);
        random.fill(picture, cv::RNG::UNIFORM, 0, 256);
        if (c.binary) {
            // Blobs and stripes of every width, as a threshold of a smooth picture leaves them.
            cv::GaussianBlur(picture, picture, cv::Size(), 4);
            picture = picture > 127;
        }
        cv::Mat expected;
        cv::morphologyEx(picture, expected, cv::MORPH_OPEN,
                         cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(c.side, c.side)));
        const cv::Mat found = detail::paper::opened(picture, c.side);
        ASSERT_EQ(found.size(), c.size);
        ASSERT_EQ(found.type(), CV_8U);
        EXPECT_EQ(cv::norm(found, expected, cv::NORM_INF), 0);
    }
}
