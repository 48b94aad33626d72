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
const std::array<std::array<float, 4>, subpixels * subpixels>& bilinearWeights() {
    static const auto table = [] {
        std::array<std::array<float, 4>, subpixels * subpixels> t{};
        for (int fy = 0; fy < subpixels; ++fy) {
            for (int fx = 0; fx < subpixels; ++fx) {
                const float x = fx * (1.0f / subpixels), y = fy * (1.0f / subpixels);
                t[fy * subpixels + fx] = {(1 - y) * (1 - x), (1 - y) * x, y * (1 - x), y * x};
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

// The warp of a source of four elements a pixel, rows step elements apart; pixelAt turns the
// elements of one pixel into its linear light.
template <typename Element, typename PixelAt>
cv::Mat warpedFrom(const Element* base, std::size_t step, int columns, int rows, PixelAt pixelAt,
                   const cv::Matx33d& toSource, int width, int height, int samples) {
    CV_Assert(samples == 3 || samples == 4);
    cv::Mat out = largeMat(height, width, CV_MAKETYPE(CV_16U, samples));
    const auto& weights = bilinearWeights();
    const int lastX = columns - 1, lastY = rows - 1;
    const cv::Matx33d& m = toSource;
    forEachRows(height, width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const double x0 = m(0, 1) * y + m(0, 2), y0 = m(1, 1) * y + m(1, 2), w0 = m(2, 1) * y + m(2, 2);
            auto* target = out.ptr<std::uint16_t>(y);
            for (int x = 0; x < width; ++x, target += samples) {
                double w = w0 + m(2, 0) * x;
                w = w != 0 ? subpixels / w : 0;
                const int fixedX =
                    cvRound(std::clamp((x0 + m(0, 0) * x) * w, double{INT_MIN}, double{INT_MAX}));
                const int fixedY =
                    cvRound(std::clamp((y0 + m(1, 0) * x) * w, double{INT_MIN}, double{INT_MAX}));
                const int sx = fixedX >> subpixelBits, sy = fixedY >> subpixelBits;
                const auto& k = weights[(fixedY & (subpixels - 1)) * subpixels + (fixedX & (subpixels - 1))];
                const Element *topLeft, *topRight, *bottomLeft, *bottomRight;
                if (sx >= 0 && sx < lastX && sy >= 0 && sy < lastY) {
                    topLeft = base + sy * step + sx * 4;
                    topRight = topLeft + 4;
                    bottomLeft = topLeft + step;
                    bottomRight = bottomLeft + 4;
                } else {
                    const int left = std::clamp(sx, 0, lastX) * 4, right = std::clamp(sx + 1, 0, lastX) * 4;
                    const Element* top = base + std::clamp(sy, 0, lastY) * step;
                    const Element* bottom = base + std::clamp(sy + 1, 0, lastY) * step;
                    topLeft = top + left, topRight = top + right, bottomLeft = bottom + left,
                    bottomRight = bottom + right;
                }
                const Float4 v = pixelAt(topLeft) * k[0] + pixelAt(topRight) * k[1] +
                                 pixelAt(bottomLeft) * k[2] + pixelAt(bottomRight) * k[3];
                std::uint16_t rounded[4];
                storeRoundedSamples(v, rounded);
                rounded[3] = 0;
                // Sizes the compiler knows: a copy of a size known only at run time calls memcpy.
                if (samples == 4) {
                    std::memcpy(target, rounded, 4 * sizeof rounded[0]);
                } else {
                    std::memcpy(target, rounded, 3 * sizeof rounded[0]);
                }
            }
        }
    });
    return out;
}

}  // namespace

cv::Mat warpedLinear(const cv::Mat& source, const cv::Matx33d& toSource, int width, int height, int samples) {
    CV_Assert(source.type() == CV_16UC4 && !source.empty());
    const auto pixelOfSamples = [](const std::uint16_t* p) { return floatsOfSamples(p); };
    return warpedFrom(source.ptr<std::uint16_t>(0), source.step1(), source.cols, source.rows, pixelOfSamples,
                      toSource, width, height, samples);
}

cv::Mat warpedLinear(const Bitmap& opaque, const cv::Matx33d& toSource, int width, int height, int samples) {
    static const auto light = [] {
        std::array<float, 256> table{};
        for (int code = 0; code < 256; ++code) table[code] = linear16OfCode()[code];
        return table;
    }();
    const auto pixelOfCodes = [](const std::uint8_t* p) {
        return Float4{light[p[0]], light[p[1]], light[p[2]], 0};
    };
    return warpedFrom(opaque.pixels.data(), opaque.stride(), opaque.width, opaque.height, pixelOfCodes,
                      toSource, width, height, samples);
}

bool isOpaque(const Bitmap& bitmap, const cv::Rect& region) {
    for (int y = region.y; y < region.y + region.height; ++y) {
        // A row's alphas all at once, without a branch a pixel.
        const std::uint8_t* in = bitmap.pixel(region.x, y);
        std::uint8_t all = 255;
        for (int x = 0; x < region.width; ++x) all &= in[x * 4 + 3];
        if (all != 255) return false;
    }
    return true;
}

}  // namespace quillfen::detail
