#include "engine/cleanup/detail/Resampling.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/Vectors.h"
#include "engine/cleanup/detail/Warping.h"

using namespace quillfen;

// The engine's own resampler and warps make the pictures OpenCV's resize and warpPerspective made
// before them, on noise, which shows any difference of weights, positions or edges.
namespace {

cv::Mat noise(int width, int height, int type, int seed) {
    cv::Mat out(height, width, type);
    cv::RNG random(seed);
    random.fill(out, cv::RNG::UNIFORM, 0, CV_MAT_DEPTH(type) == CV_8U ? 256 : 65536);
    return out;
}

int largestDifference(const cv::Mat& a, const cv::Mat& b) {
    double largest = 0;
    cv::minMaxLoc(cv::abs(cv::Mat_<int>(a.reshape(1)) - cv::Mat_<int>(b.reshape(1))), nullptr, &largest);
    return static_cast<int>(largest);
}

}  // namespace

TEST(Resampling, ScalesAsOpenCvsLanczosOnLinearLightDid) {
    // 129 pixels a row: two whole stretches of 64 pixels and one pixel, whose last samples are not
    // a whole four; the shrink by under 1 % is the decoding's.
    const cv::Size cases[][2] = {{{40, 30}, {33, 21}},  {{30, 40}, {45, 52}},  {{17, 9}, {17, 5}},
                                 {{5, 3}, {3, 2}},      {{100, 80}, {20, 15}}, {{300, 7}, {64, 3}},
                                 {{130, 12}, {129, 11}}};
    for (const auto& [from, to] : cases) {
        SCOPED_TRACE(::testing::Message() << from << " to " << to);
        const cv::Mat rgb = noise(from.width, from.height, CV_8UC3, from.width);
        const cv::Mat linear = detail::linearOfRgb(rgb);
        cv::Mat source = linear, wanted;
        if (to.width * 2 < from.width && to.height * 2 < from.height) {
            cv::resize(linear, source, to * 2, 0, 0, cv::INTER_AREA);
        }
        cv::resize(source, wanted, to, 0, 0, cv::INTER_LANCZOS4);
        cv::Mat rgba(to, CV_8UC4);
        detail::resizeInto(
            detail::rowsOfOpaqueRgb(rgb), from, [&] { return linear; }, rgba);
        Bitmap expected = detail::bitmapOfLinear(wanted);
        EXPECT_EQ(largestDifference(rgba, cv::Mat(to, CV_8UC4, expected.pixels.data())), 0);
    }
}

TEST(Warping, WarpsAsOpenCvsBilinearWarpPerspectiveDid) {
    const cv::Mat quads = noise(60, 45, CV_16UC4, 7);
    cv::Mat linear;
    cv::cvtColor(quads, linear, cv::COLOR_RGBA2RGB);
    const cv::Matx33d warps[] = {
        {1, 0, 0.3, 0, 1, -0.7, 0, 0, 1},                 // a shift by a fraction of a pixel
        {0.9, 0.2, 3, -0.15, 0.95, 6, 0, 0, 1},           // turned and shrunk
        {1.1, 0.05, -8, 0.02, 1.2, -5, 0.002, 0.001, 1},  // in perspective, reaching past every edge
        {0, 1, 0, -1, 0, 44, 0, 0, 1},                    // a quarter turn
    };
    for (const cv::Matx33d& toSource : warps) {
        SCOPED_TRACE(::testing::Message() << cv::Mat(toSource));
        cv::Mat wanted;
        cv::warpPerspective(linear, wanted, cv::Mat(toSource), cv::Size(50, 62),
                            cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
        EXPECT_EQ(largestDifference(detail::warpedLinear(quads, toSource, 50, 62), wanted), 0);
    }
}

// The positions a warp samples, two at a time, are the plain arithmetic's: the same doubles, rounded
// half to even, held to the int range, a position that is not a number at INT_MIN.
TEST(Warping, SamplesWhereThePlainArithmeticPutsEachPixel) {
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        cv::Matx33d toSource;
    };
    const Case cases[] = {
        {"halves of 1/32 pixel", {1.0 / 64, 0, 0, 0, 3.0 / 64, 0, 0, 0, 1}},
        {"in perspective", {0.92, 0.04, 302.5, -0.013, 1.01, 363.2, 1.3e-5, -2e-5, 1}},
        {"beyond the int range", {1e12, 0, -5, 0, -3e9, 0, 0, 0, 1}},
        {"a divisor crossing 0", {1, 0, 0, 0, 1, 0, -0.01, 0, 1}},
        {"a divisor of each row's own", {2, 0.5, 3, -1, 1.5, 7, 0, 0.25, 2}},
        {"a divisor of 0", {1, 0, 5, 0, 1, 5, 0, 0, 0}},
        {"not a number", {1, 0, nan, 0, 1, 0, 0, 0, 1}},
        {"infinite", {inf, 0, 0, 0, -inf, 0, 0, 0, 1}},
    };
    const auto plain = [](double v) {
        return std::isnan(v)
                   ? INT_MIN
                   : static_cast<int>(std::nearbyint(std::clamp(v, double{INT_MIN}, double{INT_MAX})));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const cv::Matx33d& m = c.toSource;
        for (const int y : {0, 7, 1001}) {
            const int first = 3, count = 201;
            std::vector<int> fixedX(count), fixedY(count);
            detail::samplingPositions(m, first, y, count, fixedX.data(), fixedY.data());
            for (int i = 0; i < count; ++i) {
                const int x = first + i;
                double w = m(2, 1) * y + m(2, 2) + m(2, 0) * x;
                w = w != 0 ? 32 / w : 0;
                ASSERT_EQ(fixedX[i], plain((m(0, 1) * y + m(0, 2) + m(0, 0) * x) * w)) << x << ", " << y;
                ASSERT_EQ(fixedY[i], plain((m(1, 1) * y + m(1, 2) + m(1, 0) * x) * w)) << x << ", " << y;
            }
        }
    }
}

// Read straight from an opaque picture or from its working copy, a warp gives the same picture.
TEST(Warping, ReadsAnOpaquePictureAsItsWorkingCopy) {
    const cv::Mat rgb = noise(31, 23, CV_8UC3, 3);
    Bitmap picture(rgb.cols, rgb.rows);
    cv::cvtColor(rgb, cv::Mat(rgb.rows, rgb.cols, CV_8UC4, picture.pixels.data()), cv::COLOR_RGB2RGBA);
    ASSERT_TRUE(detail::isOpaque(picture, cv::Rect(0, 0, 31, 23)));
    const cv::Matx33d toSource(0.8, 0.3, -2, -0.2, 0.9, 4, 0.001, 0, 1);
    const cv::Mat quads = detail::linearQuadsOfBitmap(picture, cv::Rect(0, 0, 31, 23));
    EXPECT_EQ(largestDifference(detail::warpedLinear(picture, toSource, 29, 27),
                                detail::warpedLinear(quads, toSource, 29, 27)),
              0);
    picture.pixel(30, 22)[3] = 254;
    EXPECT_FALSE(detail::isOpaque(picture, cv::Rect(0, 0, 31, 23)));
    EXPECT_TRUE(detail::isOpaque(picture, cv::Rect(0, 0, 30, 23)));
}

TEST(Vectors, RoundSamplesAsOpenCvDoes) {
    const float values[] = {-1e9f,
                            -1,
                            -0.5f,
                            0.49f,
                            0.5f,
                            1.5f,
                            2.5f,
                            1234.5f,
                            65534.5f,
                            65535.49f,
                            65535.5f,
                            1e9f,
                            std::numeric_limits<float>::quiet_NaN()};
    for (const float v : values) {
        std::uint16_t rounded[4];
        detail::storeRoundedSamples(detail::Float4{v, v, v, v}, rounded);
        EXPECT_EQ(rounded[0], cv::saturate_cast<std::uint16_t>(v)) << v;
        EXPECT_EQ(rounded[3], rounded[0]) << v;
    }
}
