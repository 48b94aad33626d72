#include "engine/cleanup/detail/PaperSmoothing.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

using namespace quillfen;

TEST(PaperSmoothing, SmoothsAsOpenCvsGaussianBlurOfSigmaOne) {
    struct Case {
        const char* name;
        cv::Size size;
        int type;
        int value;  // every byte this value, or any bytes where negative
    };
    const Case cases[] = {
        {"a landscape working copy", {1024, 768}, CV_8UC3, -1},
        {"a portrait working copy", {768, 1024}, CV_8UC3, -1},
        {"every byte white: the largest sums", {61, 37}, CV_8UC3, 255},
        {"a row not a whole number of vectors long", {23, 9}, CV_8UC3, -1},
        {"the smallest picture that mirrors", {4, 4}, CV_8UC3, -1},
        {"one channel", {70, 50}, CV_8UC1, -1},
        {"four channels", {45, 20}, CV_8UC4, -1},
        {"smaller than the kernel's reach, which OpenCV smooths", {3, 2}, CV_8UC3, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat picture(c.size, c.type, cv::Scalar::all(std::max(0, c.value)));
        if (c.value < 0) cv::RNG(5).fill(picture, cv::RNG::UNIFORM, 0, 256);
        cv::Mat expected, found;
        cv::GaussianBlur(picture, expected, cv::Size(), 1.0);
        detail::paper::smoothLightly(picture, found);
        ASSERT_EQ(found.size(), c.size);
        ASSERT_EQ(found.type(), c.type);
        EXPECT_EQ(cv::norm(found, expected, cv::NORM_INF), 0);
    }
}

TEST(PaperSmoothing, SmoothsAsOpenCvsGaussianBlurOfAnySigma) {
    struct Case {
        const char* name;
        cv::Size size;
        int type;
        double sigma;
        int value;  // every byte this value, or any bytes where negative
    };
    const Case cases[] = {
        {"a landscape analysis copy", {384, 288}, CV_8UC3, 3.2, -1},
        {"a portrait analysis copy", {288, 384}, CV_8UC3, 2.4, -1},
        {"a wider analysis copy", {300, 150}, CV_8UC3, 2.5, -1},
        {"every byte white: the largest sums", {61, 37}, CV_8UC3, 3.2, 255},
        {"a row not a whole number of vectors long", {23, 19}, CV_8UC3, 1.7, -1},
        {"the smallest picture that mirrors the weights", {10, 10}, CV_8UC3, 3.2, -1},
        {"one channel", {70, 50}, CV_8UC1, 2.9, -1},
        {"four channels", {45, 20}, CV_8UC4, 1.3, -1},
        {"smaller than the weights' reach, which OpenCV smooths", {9, 9}, CV_8UC3, 3.2, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat picture(c.size, c.type, cv::Scalar::all(std::max(0, c.value)));
        if (c.value < 0) cv::RNG(7).fill(picture, cv::RNG::UNIFORM, 0, 256);
        cv::Mat expected, found;
        cv::GaussianBlur(picture, expected, cv::Size(), c.sigma);
        detail::paper::smoothGaussian(picture, found, c.sigma);
        ASSERT_EQ(found.size(), c.size);
        ASSERT_EQ(found.type(), c.type);
        EXPECT_EQ(cv::norm(found, expected, cv::NORM_INF), 0);
    }
}
