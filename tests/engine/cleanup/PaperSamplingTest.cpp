#include "engine/cleanup/detail/PaperSampling.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quillfen;

// Four steps taken at a time must each be the step colourStep takes alone, bit for bit: the refined sides
// and every judgement after them hang on the order of the steps' sizes.
TEST(PaperSampling, ColourStepsAreColourStepsBitForBit) {
    struct Case {
        const char* name;
        cv::Point2d q, direction;
        double range, stride;
    };
    const cv::Point2d aslant(0.6, 0.8);
    const Case cases[] = {
        {"down a column, on whole and half pixels", {40, 30}, {0, 1}, 3, 0.5},
        {"across a row, steps not four to a batch", {50, 20}, {1, 0}, 12.288, 0.6144},
        {"aslant", {37.3, 41.9}, aslant, 30.72, 1.536},
        {"off the top and left edges, clamped onto the picture", {2.5, 1.2}, -aslant, 8, 0.4},
        {"off the bottom and right edges, clamped onto the picture", {78.6, 58.7}, aslant, 9, 0.45},
    };
    cv::Mat picture(60, 80, CV_8UC3);
    cv::RNG random(3);
    random.fill(picture, cv::RNG::UNIFORM, 0, 256);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        constexpr double half = 1.5;
        std::vector<double> offsets, steps;
        for (double s = -c.range; s <= c.range; s += c.stride) offsets.push_back(s);
        detail::paper::colourSteps(picture, c.q, c.direction, offsets, half, steps);
        ASSERT_EQ(steps.size(), offsets.size());
        for (std::size_t k = 0; k < offsets.size(); ++k) {
            const double s = offsets[k];
            const double alone = detail::paper::colourStep(picture, c.q + c.direction * (s + half),
                                                           c.q + c.direction * (s - half));
            EXPECT_EQ(std::memcmp(&steps[k], &alone, sizeof alone), 0) << "step " << k;
        }
    }
}

// A row's pixels start three bytes apart, so most lie off an int's alignment: each pixel, and the pixel after
// it, must come out as its bytes however its address lies.
TEST(PaperSampling, PixelsOffAnIntsAlignmentAreTheirBytes) {
    alignas(16) std::uint8_t row[16];
    for (int i = 0; i < 16; ++i) row[i] = static_cast<std::uint8_t>(200 + 7 * i);
    for (int offset = 0; offset < 4; ++offset) {
        SCOPED_TRACE(offset);
        const std::uint8_t* p = row + offset;
        float pixel[4], next[4];
        cv::v_store(pixel, detail::paper::pixelAt(p));
        cv::v_store(next, detail::paper::nextPixelAt(p));
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(pixel[c], p[c]) << "channel " << c;
            EXPECT_EQ(next[c], p[3 + c]) << "channel " << c << " of the next pixel";
        }
    }
}
