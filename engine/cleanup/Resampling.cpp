#include "engine/cleanup/detail/Resampling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/Vectors.h"

namespace quillfen::detail {

namespace {

constexpr int taps = 8;

// The eight weights of a sample, each spread over four floats.
using Weights = std::array<Float4, 8>;

// The eight taps summed by their weights, in order.
Float4 weighted(Float4 a, Float4 b, Float4 c, Float4 d, Float4 e, Float4 f, Float4 g, Float4 h,
                const Weights& w) {
    return a * w[0] + b * w[1] + c * w[2] + d * w[3] + e * w[4] + f * w[5] + g * w[6] + h * w[7];
}

// The eight weights of a sample at fraction x past its fourth tap, as OpenCV computes them
// (sin(pi x / 4) sin(pi x) / (pi x)^2 / 4 by angle sums, normalised to a sum of one).
Weights lanczosWeights(float x) {
    constexpr double s45 = std::numbers::sqrt2 / 2;
    static constexpr double cs[taps][2] = {{1, 0},  {-s45, -s45}, {0, 1},  {s45, -s45},
                                           {-1, 0}, {s45, s45},   {0, -1}, {-s45, s45}};
    std::array<float, taps> weights{};
    float sum = 0;
    const double y0 = -(x + 3) * std::numbers::pi * 0.25, s0 = std::sin(y0), c0 = std::cos(y0);
    for (int i = 0; i < taps; ++i) {
        const float distance = x + 3 - static_cast<float>(i);
        if (std::fabs(distance) >= 1e-6f) {
            const double y = -distance * std::numbers::pi * 0.25;
            weights[i] = static_cast<float>((cs[i][0] * s0 + cs[i][1] * c0) / (y * y));
        } else {
            weights[i] = 1e30f;
        }
        sum += weights[i];
    }
    Weights spread;
    for (int i = 0; i < taps; ++i) spread[i] = Float4{} + weights[i] * (1 / sum);
    return spread;
}

// For each target position along one axis: its eight source positions (held to the picture) and
// their weights.
struct Axis {
    std::vector<std::array<int, taps>> sources;
    std::vector<Weights> weights;
};

Axis axis(int from, int to) {
    Axis out;
    out.sources.resize(to);
    out.weights.resize(to);
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const auto position = static_cast<float>((i + 0.5) * scale - 0.5);
        const int first = static_cast<int>(std::floor(position));
        out.weights[i] = lanczosWeights(position - static_cast<float>(first));
        for (int k = 0; k < taps; ++k) out.sources[i][k] = std::clamp(first - 3 + k, 0, from - 1);
    }
    return out;
}

// The width x height picture of source scaled to targetWidth x targetHeight, without antialiasing.
void lanczosResampled(int width, int height, const SourceRows& source, int targetWidth, int targetHeight,
                      const TargetRows& target) {
    const Axis across = axis(width, targetWidth), down = axis(height, targetHeight);
    // One band per thread: a band scales the source rows it shares with the band above once more.
    const bool large = static_cast<double>(targetWidth) * targetHeight >= 256 * 256;
    const int bands = std::clamp(large ? cv::getNumThreads() : 1, 1, targetHeight);
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range& range) {
        const int begin = static_cast<int>(static_cast<long>(targetHeight) * range.start / bands);
        const int end = static_cast<int>(static_cast<long>(targetHeight) * range.end / bands);
        // The source rows a band needs, scaled across, in a ring of eight: the rows one target row
        // reads are eight consecutive ones (held to the picture), so each has a slot of its own.
        std::vector<float> sourceRow(static_cast<std::size_t>(width) * 4);
        std::vector<float> ring(static_cast<std::size_t>(targetWidth) * 4 * taps);
        std::array<int, taps> held;
        held.fill(-1);
        std::vector<float> out(static_cast<std::size_t>(targetWidth) * 4);
        for (int y = begin; y < end; ++y) {
            std::array<const float*, taps> rows{};
            for (int k = 0; k < taps; ++k) {
                const int sy = down.sources[y][k];
                float* slot = &ring[static_cast<std::size_t>(sy % taps) * targetWidth * 4];
                rows[k] = slot;
                if (held[sy % taps] == sy) continue;
                held[sy % taps] = sy;
                source(sy, sourceRow.data());
                for (int x = 0; x < targetWidth; ++x) {
                    const auto& at = across.sources[x];
                    const auto& w = across.weights[x];
                    const float* in = sourceRow.data();
                    store4(slot + x * 4,
                           weighted(load4(in + at[0] * 4), load4(in + at[1] * 4), load4(in + at[2] * 4),
                                    load4(in + at[3] * 4), load4(in + at[4] * 4), load4(in + at[5] * 4),
                                    load4(in + at[6] * 4), load4(in + at[7] * 4), w));
                }
            }
            const Weights w = down.weights[y];  // a copy the stores below cannot touch
            for (int i = 0; i < targetWidth * 4; i += 4) {
                store4(&out[i], weighted(load4(rows[0] + i), load4(rows[1] + i), load4(rows[2] + i),
                                         load4(rows[3] + i), load4(rows[4] + i), load4(rows[5] + i),
                                         load4(rows[6] + i), load4(rows[7] + i), w));
            }
            target(y, out.data());
        }
    });
}

// The rows of a working picture (CV_16UC3).
SourceRows rowsOfLinear(const cv::Mat& linear) {
    CV_Assert(linear.type() == CV_16UC3);
    return [&linear](int y, float* row) {
        const auto* in = linear.ptr<std::uint16_t>(y);
        for (int x = 0; x < linear.cols; ++x, in += 3, row += 4) {
            row[0] = in[0], row[1] = in[1], row[2] = in[2], row[3] = 0;
        }
    };
}

// A target writing 8-bit sRGB codes into opaque RGBA rows (a CV_8UC4 picture of the scaled size).
TargetRows rowsIntoRgba(cv::Mat& rgba) {
    CV_Assert(rgba.type() == CV_8UC4);
    return [&rgba](int y, const float* row) {
        const auto& codes = codeOfLinear16();
        auto* out = rgba.ptr<std::uint8_t>(y);
        for (int x = 0; x < rgba.cols; ++x, out += 4, row += 4) {
            std::uint16_t light[4];
            storeRoundedSamples(load4(row), light);
            out[0] = codes[light[0]], out[1] = codes[light[1]], out[2] = codes[light[2]], out[3] = 255;
        }
    };
}

// Whether scaling from -> to shrinks by more than half, and Lanczos alone would alias.
bool needsAreaFirst(cv::Size from, cv::Size to) {
    return to.width * 2 < from.width && to.height * 2 < from.height;
}

cv::Mat areaAveraged(const cv::Mat& linear, cv::Size to) {
    cv::Mat out;
    cv::resize(linear, out, cv::Size(to.width * 2, to.height * 2), 0, 0, cv::INTER_AREA);
    return out;
}

}  // namespace

SourceRows rowsOfOpaqueRgb(const cv::Mat& rgb) {
    CV_Assert(rgb.type() == CV_8UC3 || rgb.type() == CV_8UC4);
    return [&rgb](int y, float* row) {
        const auto& table = linear16OfCode();
        const int step = rgb.channels();
        const auto* in = rgb.ptr<std::uint8_t>(y);
        for (int x = 0; x < rgb.cols; ++x, in += step, row += 4) {
            row[0] = table[in[0]], row[1] = table[in[1]], row[2] = table[in[2]], row[3] = 0;
        }
    };
}

SourceRows rowsOfBitmap(const Bitmap& bitmap) {
    return [&bitmap](int y, float* row) {
        const auto& table = linear16OfCode();
        const std::uint8_t* in = bitmap.pixel(0, y);
        for (int x = 0; x < bitmap.width; ++x, in += 4, row += 4) {
            std::uint16_t light[3] = {table[in[0]], table[in[1]], table[in[2]]};
            if (in[3] != 255) linearRowOfBitmap(bitmap, x, y, 1, light);
            row[0] = light[0], row[1] = light[1], row[2] = light[2], row[3] = 0;
        }
    };
}

void resizeInto(const SourceRows& rows, cv::Size from, const std::function<cv::Mat()>& whole, cv::Mat& rgba) {
    if (!needsAreaFirst(from, rgba.size())) {
        lanczosResampled(from.width, from.height, rows, rgba.cols, rgba.rows, rowsIntoRgba(rgba));
        return;
    }
    const cv::Mat source = areaAveraged(whole(), rgba.size());
    lanczosResampled(source.cols, source.rows, rowsOfLinear(source), rgba.cols, rgba.rows,
                     rowsIntoRgba(rgba));
}

}  // namespace quillfen::detail
