#pragma once

#include <opencv2/core.hpp>
#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>
#include <vector>

// Internal to paper detection: colours and colour steps taken between the pixels of the working copy (CV_8UC3
// RGB), as the refining of sides takes them. Inline, so that the AVX2 builds of their callers take them in line.
namespace quillfen::detail::paper {

// The four bytes at p, each in a lane of its own. Copied out first: p need not be aligned as an int is,
// which cv::v_load_expand_q asks of its address.
inline cv::v_uint32x4 bytesAt(const std::uint8_t* p) {
    alignas(4) std::uint8_t bytes[4];
    std::memcpy(bytes, p, sizeof bytes);
    return cv::v_load_expand_q(bytes);
}

// The three channels of the pixel at p, and a fourth lane that no caller reads.
inline cv::v_float32x4 pixelAt(const std::uint8_t* p) {
    return cv::v_cvt_f32(cv::v_reinterpret_as_s32(bytesAt(p)));
}

// The pixel after p: its bytes are loaded from one before it, so that the load stays inside the row.
inline cv::v_float32x4 nextPixelAt(const std::uint8_t* p) {
    return cv::v_cvt_f32(cv::v_reinterpret_as_s32(cv::v_rotate_right<1>(bytesAt(p + 2))));
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

// Lanes of the compiler's own vectors, which each build takes in its widest registers lane by lane, rounding
// each lane's steps as the same steps in scalars do.
namespace lanes {
using Doubles = double __attribute__((vector_size(32)));  // four
using Floats = float __attribute__((vector_size(16)));    // four
using Pairs = float __attribute__((vector_size(32)));     // two of four
using Ints = std::int32_t __attribute__((vector_size(16)));

// The bilinear colours of samples i and i + 1 of four, in the steps of colourAt, from the rows above them
// (the rows below are a row further on) and their shares of the way to the next column and row. Written into
// colours rather than returned: a vector of eight floats is returned in other registers where AVX is enabled.
template <int i>
[[gnu::always_inline]] inline void colourPair(const std::uint8_t* const (&rows)[4], std::size_t step,
                                              Floats fx, Floats fy, Pairs& colours) {
    const Floats gx = 1.0f - fx, gy = 1.0f - fy;
    const Pairs across = __builtin_shufflevector(gx, fx, i, i + 4, i, i + 4, i + 1, i + 5, i + 1, i + 5);
    const Pairs down = __builtin_shufflevector(gy, fy, i, i, i + 4, i + 4, i + 1, i + 1, i + 5, i + 5);
    const Pairs weights = across * down / 255.0f;
    const std::uint8_t *a = rows[i], *b = rows[i + 1];
    const Pairs above = __builtin_shufflevector(pixelAt(a).val, pixelAt(b).val, 0, 1, 2, 3, 4, 5, 6, 7);
    const Pairs aboveNext =
        __builtin_shufflevector(nextPixelAt(a).val, nextPixelAt(b).val, 0, 1, 2, 3, 4, 5, 6, 7);
    const Pairs below =
        __builtin_shufflevector(pixelAt(a + step).val, pixelAt(b + step).val, 0, 1, 2, 3, 4, 5, 6, 7);
    const Pairs belowNext =
        __builtin_shufflevector(nextPixelAt(a + step).val, nextPixelAt(b + step).val, 0, 1, 2, 3, 4, 5, 6, 7);
    colours = above * __builtin_shufflevector(weights, weights, 0, 0, 0, 0, 4, 4, 4, 4) +
              aboveNext * __builtin_shufflevector(weights, weights, 1, 1, 1, 1, 5, 5, 5, 5) +
              below * __builtin_shufflevector(weights, weights, 2, 2, 2, 2, 6, 6, 6, 6) +
              belowNext * __builtin_shufflevector(weights, weights, 3, 3, 3, 3, 7, 7, 7, 7);
}

// Where the four points (pointsX, pointsY) lie between the pixels of m, clamped as colourAt clamps them: the
// rows above them and their shares of the way on.
struct Places {
    const std::uint8_t* rows[4];
    Floats fx, fy;
};

[[gnu::always_inline]] inline Places placesOf(const cv::Mat& m, const Doubles& pointsX,
                                              const Doubles& pointsY) {
    const double right = m.cols - 1.001, bottom = m.rows - 1.001;
    const Doubles x = pointsX < 0.0 ? Doubles{} : right < pointsX ? Doubles{} + right : pointsX;
    const Doubles y = pointsY < 0.0 ? Doubles{} : bottom < pointsY ? Doubles{} + bottom : pointsY;
    const Ints x0 = __builtin_convertvector(x, Ints), y0 = __builtin_convertvector(y, Ints);
    Places p;
    p.fx = __builtin_convertvector(x - __builtin_convertvector(x0, Doubles), Floats);
    p.fy = __builtin_convertvector(y - __builtin_convertvector(y0, Doubles), Floats);
    for (int k = 0; k < 4; ++k) p.rows[k] = m.ptr<std::uint8_t>(y0[k]) + x0[k] * 3;
    return p;
}

// The four floats widened to doubles lane by lane: spelled out, which the AVX2 builds widen in one
// instruction where they split a conversion of the whole vector in two.
[[gnu::always_inline]] inline void widen(Floats v, Doubles& out) { out = Doubles{v[0], v[1], v[2], v[3]}; }

// The colour steps between the four points (insideX, insideY) and the four (outsideX, outsideY), each as
// colourStep takes it between the two in its lane.
[[gnu::always_inline]] inline Floats colourStepsBetween(const cv::Mat& m, const Doubles& insideX,
                                                        const Doubles& insideY, const Doubles& outsideX,
                                                        const Doubles& outsideY) {
    const Places inner = placesOf(m, insideX, insideY), outer = placesOf(m, outsideX, outsideY);
    const std::size_t step = m.step[0];
    Pairs inside[2], outside[2];
    colourPair<0>(inner.rows, step, inner.fx, inner.fy, inside[0]);
    colourPair<2>(inner.rows, step, inner.fx, inner.fy, inside[1]);
    colourPair<0>(outer.rows, step, outer.fx, outer.fy, outside[0]);
    colourPair<2>(outer.rows, step, outer.fx, outer.fy, outside[1]);
    const Pairs first = inside[0] - outside[0], second = inside[1] - outside[1];
    // Channel by channel, the differences of the four steps.
    Doubles red, green, blue;
    widen(__builtin_shufflevector(first, second, 0, 4, 8, 12), red);
    widen(__builtin_shufflevector(first, second, 1, 5, 9, 13), green);
    widen(__builtin_shufflevector(first, second, 2, 6, 10, 14), blue);
    const Doubles sums = red * red + green * green + blue * blue;
    const __m128d low = _mm_sqrt_pd(__builtin_shufflevector(sums, sums, 0, 1));
    const __m128d high = _mm_sqrt_pd(__builtin_shufflevector(sums, sums, 2, 3));
    return __builtin_convertvector(__builtin_shufflevector(low, high, 0, 1, 2, 3), Floats);
}

}  // namespace lanes

// The colour steps along direction from q at the given offsets, each as colourStep takes it between the
// colours half before and half after the offset, into steps (one for each offset). Four offsets are taken at
// a time, the colours of two points in the lanes of one vector.
[[gnu::always_inline]] inline void colourSteps(const cv::Mat& m, cv::Point2d q, cv::Point2d direction,
                                               const std::vector<double>& offsets, double half,
                                               std::vector<double>& steps) {
    using namespace lanes;
    const std::size_t count = offsets.size();
    steps.resize(count + 3);
    for (std::size_t k = 0; k < count; k += 4) {
        // Past the last offset the batch repeats it, and the steps past the last are dropped.
        Doubles at;
        for (std::size_t j = 0; j < 4; ++j) at[j] = offsets[std::min(k + j, count - 1)];
        const Doubles inside = at + half, outside = at - half;
        Doubles lengths;
        widen(colourStepsBetween(m, q.x + direction.x * inside, q.y + direction.y * inside,
                                 q.x + direction.x * outside, q.y + direction.y * outside),
              lengths);
        std::memcpy(steps.data() + k, &lengths, sizeof lengths);
    }
    steps.resize(count);
}

}  // namespace quillfen::detail::paper
