#pragma once

#include <opencv2/core.hpp>
#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: colours and lumas taken between the pixels of the working copy (CV_8UC3 RGB),
// as the edge judgements and the refining of sides take them. Inline, so that the AVX2 builds of their callers
// take them in line.
namespace quillfen::detail::paper {

// The three channels of the pixel at p, and a fourth lane that no caller reads.
inline cv::v_float32x4 pixelAt(const std::uint8_t* p) {
    return cv::v_cvt_f32(cv::v_reinterpret_as_s32(cv::v_load_expand_q(p)));
}

// The pixel after p: its bytes are loaded from one before it, so that the load stays inside the row.
inline cv::v_float32x4 nextPixelAt(const std::uint8_t* p) {
    return cv::v_cvt_f32(cv::v_reinterpret_as_s32(cv::v_rotate_right<1>(cv::v_load_expand_q(p + 2))));
}

// The bilinear colour at p, 0...1 per channel, in the first three lanes. The four weights are taken in
// the lanes of one vector and the channels weighed in the lanes of another, in the float steps of one
// weight and one channel at a time.
[[gnu::always_inline]] inline cv::v_float32x4 colourAt(const cv::Mat& m, cv::Point2d p) {
    const double x = std::clamp(p.x, 0.0, m.cols - 1.001), y = std::clamp(p.y, 0.0, m.rows - 1.001);
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const float fx = static_cast<float>(x - x0), fy = static_cast<float>(y - y0);
    const std::uint8_t* r0 = m.ptr<std::uint8_t>(y0) + x0 * 3;
    const std::uint8_t* r1 = r0 + m.step[0];
    // (1 - fx)(1 - fy), fx(1 - fy), (1 - fx)fy and fx fy, each over 255.
    const cv::v_float32x4 weights = cv::v_float32x4(1 - fx, fx, 1 - fx, fx) *
                                    cv::v_float32x4(1 - fy, 1 - fy, fy, fy) / cv::v_setall_f32(255.0f);
    return pixelAt(r0) * cv::v_broadcast_element<0>(weights) +
           nextPixelAt(r0) * cv::v_broadcast_element<1>(weights) +
           pixelAt(r1) * cv::v_broadcast_element<2>(weights) +
           nextPixelAt(r1) * cv::v_broadcast_element<3>(weights);
}

[[gnu::always_inline]] inline cv::Vec3f sampleColour(const cv::Mat& m, cv::Point2d p) {
    float lanes[4];
    cv::v_store(lanes, colourAt(m, p));
    return {lanes[0], lanes[1], lanes[2]};
}

// Asks for the rows of the pixels that a colour at p is taken from to be fetched into the cache.
inline void prefetchColour(const cv::Mat& m, cv::Point2d p) {
    const int x0 = static_cast<int>(std::clamp(p.x, 0.0, m.cols - 1.001));
    const int y0 = static_cast<int>(std::clamp(p.y, 0.0, m.rows - 1.001));
    const std::uint8_t* r0 = m.ptr<std::uint8_t>(y0) + x0 * 3;
    __builtin_prefetch(r0);
    __builtin_prefetch(r0 + m.step[0]);
}

// The length of the difference of the colours at inside and outside, summed in doubles channel by channel.
[[gnu::always_inline]] inline float colourStep(const cv::Mat& colour, cv::Point2d inside,
                                               cv::Point2d outside) {
    float d[4];
    cv::v_store(d, colourAt(colour, inside) - colourAt(colour, outside));
    double sum = 0;
    for (int c = 0; c < 3; ++c) sum += static_cast<double>(d[c]) * d[c];
    return static_cast<float>(std::sqrt(sum));
}

inline double luma(cv::Vec3f c) { return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]; }

// The luma of a colour in floats, as the edges and the paper are compared.
inline float lumaOf(cv::Vec3f c) { return 0.2126f * c[0] + 0.7152f * c[1] + 0.0722f * c[2]; }

// The colour of the outline's paper: that of the brighter quarter of points spread over its inside.
inline cv::Vec3f paperColour(const cv::Mat& colour, const Corners& c) {
    std::vector<std::pair<float, cv::Vec3f>> samples;
    for (int u = 0; u < 8; ++u)
        for (int v = 0; v < 8; ++v) {
            const double s = 0.1 + 0.8 * u / 7, t = 0.1 + 0.8 * v / 7;
            const cv::Point2d p = (c[0] * (1 - s) + c[1] * s) * (1 - t) + (c[3] * (1 - s) + c[2] * s) * t;
            const cv::Vec3f at = sampleColour(colour, p);
            samples.emplace_back(lumaOf(at), at);
        }
    const auto byLuma = [](const auto& x, const auto& y) { return x.first < y.first; };
    std::nth_element(samples.begin(), samples.begin() + 48, samples.end(), byLuma);
    return samples[48].second;
}

// The luma of the outline's paper, as lumaAt takes it.
inline double paperLuma(const cv::Mat& colour, const Corners& c) {
    return lumaOf(paperColour(colour, c));
}

// The luma of the colour at p, in floats.
inline float lumaAt(const cv::Mat& colour, cv::Point2d p) {
    return lumaOf(sampleColour(colour, p));
}

}  // namespace quillfen::detail::paper
