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

TEST(PaperMorphology, MasksOpenedAndClosedTogetherAreWhatOpenCvGivesEach) {
    struct Case {
        const char* name;
        cv::Size size;
        int masks;
        int side;
    };
    const Case cases[] = {
        {"nine masks of the analysis copy, more than one byte holds", {384, 288}, 9, 5},
        {"one mask of a portrait copy", {288, 384}, 1, 5},
        {"masks lower and narrower than the ellipse", {3, 2}, 3, 5},
        {"a wider ellipse", {97, 61}, 4, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Thresholds of smooth pictures of their own at rising levels: blobs, stripes and specks that lie
        // apart from mask to mask, the first mask set nearly all over, up to the picture's border.
        std::vector<cv::Mat> masks;
        cv::RNG random(5);
        for (int k = 0; k < c.masks; ++k) {
            cv::Mat picture(c.size, CV_8U);
            random.fill(picture, cv::RNG::UNIFORM, 0, 256);
            cv::GaussianBlur(picture, picture, cv::Size(), 2);
            masks.push_back(picture > 20 + 25 * k);
        }
        const auto found = detail::paper::openedAndClosed(masks, c.side);
        ASSERT_EQ(found.size(), masks.size());
        const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(c.side, c.side));
        for (std::size_t k = 0; k < masks.size(); ++k) {
            cv::Mat expected;
            cv::morphologyEx(masks[k], expected, cv::MORPH_OPEN, kernel);
            cv::morphologyEx(expected, expected, cv::MORPH_CLOSE, kernel);
            ASSERT_EQ(found[k].size(), c.size);
            ASSERT_EQ(found[k].type(), CV_8U);
            EXPECT_EQ(cv::norm(found[k], expected, cv::NORM_INF), 0) << "mask " << k;
        }
    }
}

TEST(PaperMorphology, FillsOnlyTheHolesDarkerThanTheSurfaceOrSmall) {
    // A bright square ring on a surface of luma 120 around a hole of 100 pixels of the given luma; an open ring
    // has a gap reaching the picture's border, so what it holds is the surface.
    struct Case {
        const char* name;
        int holeLuma;
        bool openRing;
        double fewestPixels;
        bool filled;
    };
    const Case cases[] = {
        {"a line drawn without colour", 40, false, 0, true},
        {"the surface's own grey between white stripes", 130, false, 100, false},
        {"a gap between drawn strokes", 130, false, 101, true},
        {"a dark notch open to the surface", 40, true, 1000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat luma(40, 40, CV_8U, cv::Scalar(120));
        cv::Mat region(luma.size(), CV_8U, cv::Scalar(0));
        region(cv::Rect(10, 10, 20, 20)).setTo(255);
        region(cv::Rect(15, 15, 10, 10)).setTo(0);
        luma(cv::Rect(15, 15, 10, 10)).setTo(c.holeLuma);
        if (c.openRing) {
            region(cv::Rect(18, 0, 4, 25)).setTo(0);
            luma(cv::Rect(18, 0, 4, 15)).setTo(c.holeLuma);
        }
        const cv::Mat before = region.clone();
        detail::paper::fillDrawnHoles(luma, region, c.fewestPixels);
        EXPECT_EQ(region.at<std::uint8_t>(20, 20), c.filled ? 255 : 0);
        EXPECT_EQ(cv::countNonZero(region != before), c.filled ? 100 : 0);
    }
}
