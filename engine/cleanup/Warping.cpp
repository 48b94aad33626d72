#include "engine/cleanup/detail/Warping.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "engine/cleanup/detail/LargeMats.h"
#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/Vectors.h"

namespace quillfen::detail {

namespace {

constexpr int subpixelBits = 5;
constexpr int subpixels = 1 << subpixelBits;

// The four bilinear weights of each 1/32-pixel position: top left, top right, bottom left, bottom right.
const std::array<Float4, subpixels * subpixels>& bilinearWeights() {
    static const auto table = [] {
        std::array<Float4, subpixels * subpixels> t{};
        for (int fy = 0; fy < subpixels; ++fy) {
            for (int fx = 0; fx < subpixels; ++fx) {
                const float x = fx * (1.0f / subpixels), y = fy * (1.0f / subpixels);
                t[fy * subpixels + fx] = Float4{(1 - y) * (1 - x), (1 - y) * x, y * (1 - x), y * x};
            }
        }
        return t;
    }();
    return table;
}

}  // namespace

cv::Mat linearQuadsOfBitmap(const Bitmap& bitmap, const cv::Rect& region) {
    cv::Mat linear(region.height, region.width, CV_16UC4);
    forEachRows(region.height, region.width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            auto* out = linear.ptr<std::uint16_t>(y);
            linearRowOfBitmap(bitmap, region.x, region.y + y, region.width, out, 4);
        }
    });
    return linear;
}

namespace {

// The elements of one source pixel as its linear light, four floats: red, green, blue and one unused;
// pair reads a pixel and its right-hand neighbour at once.
struct SampleLight {
    Float4 operator()(const std::uint16_t* p) const { return floatsOfSamples(p); }
    void pair(const std::uint16_t* p, Float4& left, Float4& right) const {
#if defined(__SSE2__)
        const __m128i samples = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        left = Float4(_mm_cvtepi32_ps(_mm_unpacklo_epi16(samples, _mm_setzero_si128())));
        right = Float4(_mm_cvtepi32_ps(_mm_unpackhi_epi16(samples, _mm_setzero_si128())));
#else
        left = floatsOfSamples(p), right = floatsOfSamples(p + 4);
#endif
    }
};

// Each code's light in its own lane, so that a pixel's three lanes are put together by or-ing.
struct CodeLight {
    std::array<Float4, 256> red, green, blue;

    CodeLight() {
        for (int code = 0; code < 256; ++code) {
            const auto light = static_cast<float>(linear16OfCode()[code]);
            red[code] = Float4{light, 0, 0, 0}, green[code] = Float4{0, light, 0, 0};
            blue[code] = Float4{0, 0, light, 0};
        }
    }
    // The pixel whose codes are the low three bytes of codes.
    Float4 ofCodes(std::uint32_t codes) const {
        const Float4 r = red[codes & 255], g = green[(codes >> 8) & 255], b = blue[(codes >> 16) & 255];
#if defined(__SSE2__)
        return Float4(_mm_or_ps(_mm_or_ps(__m128(r), __m128(g)), __m128(b)));
#else
        return r + g + b;
#endif
    }
    Float4 operator()(const std::uint8_t* p) const {
        std::uint32_t codes;
        std::memcpy(&codes, p, sizeof codes);
        return ofCodes(codes);
    }
    void pair(const std::uint8_t* p, Float4& left, Float4& right) const {
        std::uint64_t codes;
        std::memcpy(&codes, p, sizeof codes);
        left = ofCodes(static_cast<std::uint32_t>(codes)),
        right = ofCodes(static_cast<std::uint32_t>(codes >> 32));
    }
};

// The pixels of a row a warp computes at once, their positions first, then their samples; the warp
// goes down the rows a strip of them wide, so that a warp that turns the picture reads a part of the
// source that stays in the cache.
constexpr int chunk = 256;

// Rows begin ... end - 1 of the warp into out, from a source of four elements a pixel, rows step
// elements apart; pixelAt turns the elements of one pixel (or two, side by side) into linear light.
// Built twice, for processors with AVX and for any other, and picked when the program loads: AVX's
// three-operand forms of the same operations save copies of registers; neither fuses a
// multiplication with an addition, so both give the same pixels bit for bit.
template <int samples, typename Element, typename PixelAt>
[[gnu::target_clones("avx", "default")]] void warpedRows(const Element* base, std::size_t step, int columns,
                                                         int rows, const PixelAt& pixelAt,
                                                         const cv::Matx33d& toSource, cv::Mat& out, int begin,
                                                         int end) {
    const int width = out.cols;
    const auto& weights = bilinearWeights();
    const auto lastX = static_cast<unsigned>(columns - 1), lastY = static_cast<unsigned>(rows - 1);
    std::array<int, chunk> fixedX, fixedY;
    for (int from = 0; from < width; from += chunk) {
        const int count = std::min(chunk, width - from);
        for (int y = begin; y < end; ++y) {
            auto* target = out.ptr<std::uint16_t>(y) + from * samples;
            samplingPositions(toSource, from, y, count, fixedX.data(), fixedY.data());
            for (int i = 0; i < count; ++i, target += samples) {
                const int sx = fixedX[i] >> subpixelBits, sy = fixedY[i] >> subpixelBits;
                const Float4 k =
                    weights[(fixedY[i] & (subpixels - 1)) * subpixels + (fixedX[i] & (subpixels - 1))];
                Float4 topLeft, topRight, bottomLeft, bottomRight;
                if (static_cast<unsigned>(sx) < lastX && static_cast<unsigned>(sy) < lastY) {
                    const Element* top = base + sy * step + sx * 4;
                    pixelAt.pair(top, topLeft, topRight);
                    pixelAt.pair(top + step, bottomLeft, bottomRight);
                } else {
                    const int maxX = static_cast<int>(lastX), maxY = static_cast<int>(lastY);
                    const int left = std::clamp(sx, 0, maxX) * 4, right = std::clamp(sx + 1, 0, maxX) * 4;
                    const Element* top = base + std::clamp(sy, 0, maxY) * step;
                    const Element* bottom = base + std::clamp(sy + 1, 0, maxY) * step;
                    topLeft = pixelAt(top + left), topRight = pixelAt(top + right);
                    bottomLeft = pixelAt(bottom + left), bottomRight = pixelAt(bottom + right);
                }
                Float4 v = topLeft * lane<0>(k) + topRight * lane<1>(k) + bottomLeft * lane<2>(k) +
                           bottomRight * lane<3>(k);
                // Four samples written at once; with three a pixel the fourth is the next pixel's
                // first, written after it, and only the row's last pixel stops short.
                if (samples == 4) {
                    v *= Float4{1, 1, 1, 0};  // the unused sample is 0
                    storeRoundedSamples(v, target);
                } else if (from + i + 1 < width) {
                    storeRoundedSamples(v, target);
                } else {
                    std::uint16_t rounded[4];
                    storeRoundedSamples(v, rounded);
                    std::memcpy(target, rounded, 3 * sizeof rounded[0]);
                }
            }
        }
    }
}

// The warp of a source of four elements a pixel, in bands of rows.
template <int samples, typename Element, typename PixelAt>
cv::Mat warpedFrom(const Element* base, std::size_t step, int columns, int rows, const PixelAt& pixelAt,
                   const cv::Matx33d& toSource, int width, int height) {
    cv::Mat out = largeMat(height, width, CV_MAKETYPE(CV_16U, samples));
    forEachRows(height, width, [&](int begin, int end) {
        warpedRows<samples>(base, step, columns, rows, pixelAt, toSource, out, begin, end);
    });
    return out;
}

template <typename Element, typename PixelAt>
cv::Mat warpedFrom(const Element* base, std::size_t step, int columns, int rows, const PixelAt& pixelAt,
                   const cv::Matx33d& toSource, int width, int height, int samples) {
    CV_Assert(samples == 3 || samples == 4);
    return samples == 3 ? warpedFrom<3>(base, step, columns, rows, pixelAt, toSource, width, height)
                        : warpedFrom<4>(base, step, columns, rows, pixelAt, toSource, width, height);
}

}  // namespace

void samplingPositions(const cv::Matx33d& toSource, int x, int y, int count, int* fixedX, int* fixedY) {
    const cv::Matx33d& m = toSource;
    const double x0 = m(0, 1) * y + m(0, 2), y0 = m(1, 1) * y + m(1, 2), w0 = m(2, 1) * y + m(2, 2);
    int i = 0;
#if defined(__SSE2__)
    // Two pixels at once, each step as the plain form below takes it: the same doubles, rounded alike.
    const __m128d ax = _mm_set1_pd(m(0, 0)), ay = _mm_set1_pd(m(1, 0)), aw = _mm_set1_pd(m(2, 0));
    const __m128d bx = _mm_set1_pd(x0), by = _mm_set1_pd(y0), bw = _mm_set1_pd(w0);
    const __m128d scale = _mm_set1_pd(subpixels), lowest = _mm_set1_pd(INT_MIN),
                  highest = _mm_set1_pd(INT_MAX);
    // Without perspective the divisor is the row's: w0 + 0 * x is w0, or a zero, which gives 0 either way.
    const bool affine = m(2, 0) == 0;
    const __m128d rowScale = _mm_set1_pd(w0 != 0 ? subpixels / w0 : 0);
    __m128d xs = _mm_set_pd(x + 1, x);
    for (; i + 2 <= count; i += 2, xs = _mm_add_pd(xs, _mm_set1_pd(2))) {
        __m128d w = rowScale;
        if (!affine) {
            w = _mm_add_pd(bw, _mm_mul_pd(aw, xs));
            w = _mm_and_pd(_mm_cmpneq_pd(w, _mm_setzero_pd()), _mm_div_pd(scale, w));
        }
        // The bound first in min: a position that is not a number stays one, which converts to INT_MIN.
        const __m128d px =
            _mm_min_pd(highest, _mm_max_pd(lowest, _mm_mul_pd(_mm_add_pd(bx, _mm_mul_pd(ax, xs)), w)));
        const __m128d py =
            _mm_min_pd(highest, _mm_max_pd(lowest, _mm_mul_pd(_mm_add_pd(by, _mm_mul_pd(ay, xs)), w)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(fixedX + i), _mm_cvtpd_epi32(px));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(fixedY + i), _mm_cvtpd_epi32(py));
    }
#endif
    for (; i < count; ++i) {
        const int column = x + i;
        double w = w0 + m(2, 0) * column;
        w = w != 0 ? subpixels / w : 0;
        fixedX[i] = cvRound(std::clamp((x0 + m(0, 0) * column) * w, double{INT_MIN}, double{INT_MAX}));
        fixedY[i] = cvRound(std::clamp((y0 + m(1, 0) * column) * w, double{INT_MIN}, double{INT_MAX}));
    }
}

cv::Mat warpedLinear(const cv::Mat& source, const cv::Matx33d& toSource, int width, int height, int samples) {
    CV_Assert(source.type() == CV_16UC4 && !source.empty());
    return warpedFrom(source.ptr<std::uint16_t>(0), source.step1(), source.cols, source.rows, SampleLight{},
                      toSource, width, height, samples);
}

cv::Mat warpedLinear(const Bitmap& opaque, const cv::Matx33d& toSource, int width, int height, int samples) {
    static const CodeLight light;
    return warpedFrom(opaque.pixels.data(), opaque.stride(), opaque.width, opaque.height, light, toSource,
                      width, height, samples);
}

bool isOpaque(const Bitmap& bitmap, const cv::Rect& region) {
    for (int y = region.y; y < region.y + region.height; ++y) {
        if (!allOpaque(bitmap.pixel(region.x, y), region.width)) return false;
    }
    return true;
}

}  // namespace quillfen::detail
