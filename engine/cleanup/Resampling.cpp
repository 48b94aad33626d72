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

// The eight weights of a sample.
using Weights = std::array<float, taps>;

// The eight taps summed by their weights, in order.
Float4 weighted(Float4 a, Float4 b, Float4 c, Float4 d, Float4 e, Float4 f, Float4 g, Float4 h,
                const float* weights) {
    const Float4 low = load4(weights), high = load4(weights + 4);
    return a * lane<0>(low) + b * lane<1>(low) + c * lane<2>(low) + d * lane<3>(low) + e * lane<0>(high) +
           f * lane<1>(high) + g * lane<2>(high) + h * lane<3>(high);
}

// The eight weights of a sample at fraction x past its fourth tap, as OpenCV computes them
// (sin(pi x / 4) sin(pi x) / (pi x)^2 / 4 by angle sums, normalised to a sum of one).
Weights lanczosWeights(float x) {
    constexpr double s45 = std::numbers::sqrt2 / 2;
    static constexpr double cs[taps][2] = {{1, 0},  {-s45, -s45}, {0, 1},  {s45, -s45},
                                           {-1, 0}, {s45, s45},   {0, -1}, {-s45, s45}};
    Weights weights{};
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
    // Plus 0 as when each is spread over four floats: a weight of -0 becomes 0.
    for (float& w : weights) w = 0.0f + w * (1 / sum);
    return weights;
}

// For each target position along one axis: its eight source positions (held to the picture),
// the first of them when the eight follow one another (-1 where the picture's edge holds them), and
// their weights.
struct Axis {
    std::vector<std::array<int, taps>> sources;
    std::vector<int> runs;
    std::vector<Weights> weights;
};

Axis axis(int from, int to) {
    Axis out;
    out.sources.resize(to);
    out.runs.resize(to);
    out.weights.resize(to);
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const auto position = static_cast<float>((i + 0.5) * scale - 0.5);
        const int first = static_cast<int>(std::floor(position));
        out.weights[i] = lanczosWeights(position - static_cast<float>(first));
        for (int k = 0; k < taps; ++k) out.sources[i][k] = std::clamp(first - 3 + k, 0, from - 1);
        out.runs[i] = first - 3 >= 0 && first + 4 <= from - 1 ? first - 3 : -1;
    }
    return out;
}

// The two passes below are built twice, for processors with AVX and for any other, and the loader
// picks one: AVX's forms of the same four-float multiplications and additions save the copies of
// registers that SSE's two-operand forms need. Neither fuses a multiplication with an addition, so
// both give the same sums bit for bit.

// One source row (four floats a pixel) scaled across into out, three floats a pixel and three floats
// more: each pixel's four samples are stored at once, the fourth under its right-hand neighbour's
// first, which is stored after it.
[[gnu::target_clones("avx", "default")]] void scaledAcross(const float* in, const Axis& across, float* out) {
    const int targetWidth = static_cast<int>(across.runs.size());
    for (int x = 0; x < targetWidth; ++x, out += 3) {
        const float* w = across.weights[x].data();
        if (const int run = across.runs[x]; run >= 0) {
            const float* p = in + run * 4;
            store4(out, weighted(load4(p), load4(p + 4), load4(p + 8), load4(p + 12), load4(p + 16),
                                 load4(p + 20), load4(p + 24), load4(p + 28), w));
            continue;
        }
        const auto& at = across.sources[x];
        store4(out, weighted(load4(in + at[0] * 4), load4(in + at[1] * 4), load4(in + at[2] * 4),
                             load4(in + at[3] * 4), load4(in + at[4] * 4), load4(in + at[5] * 4),
                             load4(in + at[6] * 4), load4(in + at[7] * 4), w));
    }
}

// The count floats of eight rows summed by their weights, in order, into out.
[[gnu::target_clones("avx", "default")]] void scaledDown(const std::array<const float*, taps>& rows,
                                                         const Weights& weights, int count, float* out) {
    // Held in locals: the stores below could otherwise alias the weights and the rows.
    const Float4 low = load4(weights.data()), high = load4(weights.data() + 4);
    const Float4 w0 = lane<0>(low), w1 = lane<1>(low), w2 = lane<2>(low), w3 = lane<3>(low);
    const Float4 w4 = lane<0>(high), w5 = lane<1>(high), w6 = lane<2>(high), w7 = lane<3>(high);
    const float *r0 = rows[0], *r1 = rows[1], *r2 = rows[2], *r3 = rows[3], *r4 = rows[4], *r5 = rows[5],
                *r6 = rows[6], *r7 = rows[7];
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        store4(out + i, load4(r0 + i) * w0 + load4(r1 + i) * w1 + load4(r2 + i) * w2 + load4(r3 + i) * w3 +
                            load4(r4 + i) * w4 + load4(r5 + i) * w5 + load4(r6 + i) * w6 +
                            load4(r7 + i) * w7);
    }
    for (; i < count; ++i) {
        out[i] = r0[i] * w0[0] + r1[i] * w1[0] + r2[i] * w2[0] + r3[i] * w3[0] + r4[i] * w4[0] +
                 r5[i] * w5[0] + r6[i] * w6[0] + r7[i] * w7[0];
    }
}

// The width x height picture of source scaled to targetWidth x targetHeight, without antialiasing.
void lanczosResampled(int width, int height, const SourceRows& source, int targetWidth, int targetHeight,
                      const TargetRows& target) {
    const Axis across = axis(width, targetWidth), down = axis(height, targetHeight);
    // One band per thread: a band scales the source rows it shares with the band above once more.
    const bool large = static_cast<double>(targetWidth) * targetHeight >= 256 * 256;
    const int bands = std::clamp(large ? cv::getNumThreads() : 1, 1, targetHeight);
    const std::size_t samples = static_cast<std::size_t>(targetWidth) * 3, slot = samples + 3;
    cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range& range) {
        const int begin = static_cast<int>(static_cast<long>(targetHeight) * range.start / bands);
        const int end = static_cast<int>(static_cast<long>(targetHeight) * range.end / bands);
        // The source rows a band needs, scaled across, in a ring of eight: the rows one target row
        // reads are eight consecutive ones (held to the picture), so each has a slot of its own.
        std::vector<float> sourceRow(static_cast<std::size_t>(width) * 4);
        std::vector<float> ring(slot * taps);
        std::array<int, taps> held;
        held.fill(-1);
        std::vector<float> out(slot);
        for (int y = begin; y < end; ++y) {
            std::array<const float*, taps> rows{};
            for (int k = 0; k < taps; ++k) {
                const int sy = down.sources[y][k];
                float* row = &ring[static_cast<std::size_t>(sy % taps) * slot];
                rows[k] = row;
                if (held[sy % taps] == sy) continue;
                held[sy % taps] = sy;
                source(sy, sourceRow.data());
                scaledAcross(sourceRow.data(), across, row);
            }
            scaledDown(rows, down.weights[y], static_cast<int>(samples), out.data());
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

// A target writing 8-bit sRGB codes into opaque RGBA rows (a CV_8UC4 picture of the scaled size):
// a stretch of the row's samples is rounded four at a time, then coded a pixel at a time.
TargetRows rowsIntoRgba(cv::Mat& rgba) {
    CV_Assert(rgba.type() == CV_8UC4);
    return [&rgba](int y, const float* row) {
        // Held in locals: the stores below could otherwise alias the table's pointer and the width.
        const std::uint8_t* codes = codeOfLinear16().data();
        const int columns = rgba.cols;
        auto* out = rgba.ptr<std::uint8_t>(y);
        constexpr int stretch = 64;
        std::uint16_t light[stretch * 3 + 4];
        for (int from = 0; from < columns; from += stretch) {
            const int count = std::min(stretch, columns - from);
            const float* samples = row + from * 3;
            for (int i = 0; i < count * 3; i += 4) storeRoundedSamples(load4(samples + i), light + i);
            for (int x = 0; x < count; ++x, out += 4) {
                const std::uint8_t pixel[4] = {codes[light[x * 3]], codes[light[x * 3 + 1]],
                                               codes[light[x * 3 + 2]], 255};
                std::memcpy(out, pixel, sizeof pixel);
            }
        }
    };
}

// The 16-bit linear value of each 8-bit sRGB code, as a float.
const std::array<float, 256>& lightOfCode() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int code = 0; code < 256; ++code) t[code] = linear16OfCode()[code];
        return t;
    }();
    return table;
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
        const auto& table = lightOfCode();
        const int step = rgb.channels();
        const auto* in = rgb.ptr<std::uint8_t>(y);
        for (int x = 0; x < rgb.cols; ++x, in += step, row += 4) {
            store4(row, Float4{table[in[0]], table[in[1]], table[in[2]], 0});
        }
    };
}

SourceRows rowsOfBitmap(const Bitmap& bitmap) {
    return [&bitmap](int y, float* row) {
        const auto& table = lightOfCode();
        const std::uint8_t* in = bitmap.pixel(0, y);
        for (int x = 0; x < bitmap.width; ++x, in += 4, row += 4) {
            if (in[3] == 255) {
                store4(row, Float4{table[in[0]], table[in[1]], table[in[2]], 0});
                continue;
            }
            std::uint16_t light[3];
            linearRowOfBitmap(bitmap, x, y, 1, light);
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
