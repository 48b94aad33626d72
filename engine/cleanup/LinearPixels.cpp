#include "engine/cleanup/detail/LinearPixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

namespace quillfen::detail {

namespace {

constexpr double snapTolerance = 1e-6;

double encodedOfLinearExact(double v) {
    v = std::clamp(v, 0.0, 1.0);
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

// Straight-alpha colour over white in linear light, back to an 8-bit code.
std::uint8_t overWhite(std::uint8_t code, float alpha) {
    const float linear = linearOfCode()[code] * alpha + (1 - alpha);
    return static_cast<std::uint8_t>(std::lround(encodedOfLinear(linear) * 255));
}

}  // namespace

double linearOfEncoded(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

const std::array<float, 256>& linearOfCode() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) t[i] = static_cast<float>(linearOfEncoded(i / 255.0));
        return t;
    }();
    return table;
}

const std::array<std::uint16_t, 256>& linear16OfCode() {
    static const std::array<std::uint16_t, 256> table = [] {
        std::array<std::uint16_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<std::uint16_t>(std::lround(linearOfEncoded(i / 255.0) * 65535));
        return t;
    }();
    return table;
}

const std::vector<std::uint8_t>& codeOfLinear16() {
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> t(65536);
        for (int i = 0; i < 65536; ++i)
            t[i] = static_cast<std::uint8_t>(std::lround(encodedOfLinearExact(i / 65535.0) * 255));
        return t;
    }();
    return table;
}

namespace {

// The transfer function at encodeSteps + 1 evenly spaced points of [0, 1], for interpolation.
std::vector<float> tabulated(double (*transfer)(double)) {
    std::vector<float> t(encodeSteps + 1);
    for (int i = 0; i <= encodeSteps; ++i)
        t[i] = static_cast<float>(transfer(static_cast<double>(i) / encodeSteps));
    return t;
}

}  // namespace

const float* encodeTable() {
    static const std::vector<float> table = tabulated(encodedOfLinearExact);
    return table.data();
}

const float* decodeTable() {
    static const std::vector<float> table = tabulated(linearOfEncoded);
    return table.data();
}

const float* encodedOfLinear16() {
    static const std::vector<float> table = [] {
        std::vector<float> t(65536);
        for (int i = 0; i < 65536; ++i) t[i] = static_cast<float>(encodedOfLinearExact(i / 65535.0));
        return t;
    }();
    return table.data();
}

float encodedOfLinear(float linear) {
    return encodedOfLinear(linear, encodeTable());
}

int outwardPixels(double extent) {
    const double whole = std::round(extent);
    return static_cast<int>(std::abs(extent - whole) <= snapTolerance ? whole : std::ceil(extent));
}

int inwardPixels(double coordinate) {
    const double whole = std::round(coordinate);
    return static_cast<int>(std::abs(coordinate - whole) <= snapTolerance ? whole : std::floor(coordinate));
}

void forEachRows(int rows, int columns, const std::function<void(int, int)>& body) {
    if (static_cast<double>(rows) * columns < 256 * 256) {
        body(0, rows);
        return;
    }
    cv::parallel_for_(cv::Range(0, rows), [&](const cv::Range& r) { body(r.start, r.end); });
}

bool allOpaque(const std::uint8_t* rgba, std::size_t count) {
    // Two pixels' alphas at a time, a block of them at once before the test, without a branch a pixel.
    constexpr std::uint8_t alphaBytes[8] = {0, 0, 0, 255, 0, 0, 0, 255};
    std::uint64_t alphas;
    std::memcpy(&alphas, alphaBytes, sizeof alphas);
    const std::size_t pairs = count / 2, block = 512;
    for (std::size_t first = 0; first < pairs; first += block) {
        std::uint64_t all = alphas;
        for (std::size_t i = first; i < std::min(pairs, first + block); ++i) {
            std::uint64_t word;
            std::memcpy(&word, rgba + i * 8, sizeof word);
            all &= word;
        }
        if (all != alphas) return false;
    }
    return count % 2 == 0 || rgba[count * 4 - 1] == 255;
}

cv::Mat rgbFlattened(const cv::Mat& rgba) {
    CV_Assert(rgba.type() == CV_8UC4);
    cv::Mat rgb(rgba.rows, rgba.cols, CV_8UC3);
    forEachRows(rgba.rows, rgba.cols, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const auto* in = rgba.ptr<std::uint8_t>(y);
            auto* out = rgb.ptr<std::uint8_t>(y);
            for (int x = 0; x < rgba.cols; ++x, in += 4, out += 3) {
                if (in[3] == 255) {
                    out[0] = in[0], out[1] = in[1], out[2] = in[2];
                } else {
                    const float alpha = in[3] / 255.0f;
                    for (int c = 0; c < 3; ++c) out[c] = overWhite(in[c], alpha);
                }
            }
        }
    });
    return rgb;
}

cv::Mat linearOfRgb(const cv::Mat& rgb) {
    if (rgb.type() == CV_8UC4) {
        cv::Mat linear(rgb.rows, rgb.cols, CV_16UC3);
        const auto& table = linear16OfCode();
        forEachRows(rgb.rows, rgb.cols, [&](int begin, int end) {
            for (int y = begin; y < end; ++y) {
                const auto* in = rgb.ptr<std::uint8_t>(y);
                auto* out = linear.ptr<std::uint16_t>(y);
                for (int x = 0; x < rgb.cols; ++x, in += 4, out += 3) {
                    const float alpha = in[3] / 255.0f;
                    for (int c = 0; c < 3; ++c) {
                        out[c] = in[3] == 255 ? table[in[c]]
                                              : static_cast<std::uint16_t>(std::lround(
                                                    (linearOfCode()[in[c]] * alpha + 1 - alpha) * 65535));
                    }
                }
            }
        });
        return linear;
    }
    CV_Assert(rgb.type() == CV_8UC3);
    cv::Mat linear(rgb.rows, rgb.cols, CV_16UC3);
    const auto& table = linear16OfCode();
    forEachRows(rgb.rows, rgb.cols, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const auto* in = rgb.ptr<std::uint8_t>(y);
            auto* out = linear.ptr<std::uint16_t>(y);
            for (int i = 0; i < rgb.cols * 3; ++i) out[i] = table[in[i]];
        }
    });
    return linear;
}

cv::Mat linearOfBitmap(const Bitmap& bitmap) {
    return linearOfBitmap(bitmap, cv::Rect(0, 0, bitmap.width, bitmap.height));
}

cv::Mat linearOfBitmap(const Bitmap& bitmap, const cv::Rect& region) {
    cv::Mat linear(region.height, region.width, CV_16UC3);
    forEachRows(region.height, region.width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            linearRowOfBitmap(bitmap, region.x, region.y + y, region.width, linear.ptr<std::uint16_t>(y));
        }
    });
    return linear;
}

void linearRowOfBitmap(const Bitmap& bitmap, int x0, int y, int width, std::uint16_t* out, int samples) {
    const auto& table = linear16OfCode();
    const std::uint8_t* in = bitmap.pixel(x0, y);
    for (int x = 0; x < width; ++x, in += 4, out += samples) {
        const std::uint8_t a = in[3];
        if (a == 255) {
            out[0] = table[in[0]], out[1] = table[in[1]], out[2] = table[in[2]];
            continue;
        }
        const float alpha = a / 255.0f;
        for (int c = 0; c < 3; ++c) {
            const int straight = a == 0 ? 0 : std::min(255, (in[c] * 255 + a / 2) / a);
            const float light = linearOfCode()[straight] * alpha + (1 - alpha);
            out[c] = static_cast<std::uint16_t>(std::lround(light * 65535));
        }
    }
}

Bitmap bitmapOfLinear(const cv::Mat& linear) {
    CV_Assert(linear.type() == CV_16UC3);
    Bitmap bitmap = Bitmap::toBeFilled(linear.cols, linear.rows);
    const auto& table = codeOfLinear16();
    forEachRows(linear.rows, linear.cols, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const auto* in = linear.ptr<std::uint16_t>(y);
            std::uint8_t* out = bitmap.pixel(0, y);
            for (int x = 0; x < linear.cols; ++x, in += 3, out += 4) {
                out[0] = table[in[0]], out[1] = table[in[1]], out[2] = table[in[2]], out[3] = 255;
            }
        }
    });
    return bitmap;
}

Bitmap bitmapOfRgb(const cv::Mat& rgb) {
    CV_Assert(rgb.type() == CV_8UC3);
    Bitmap bitmap = Bitmap::toBeFilled(rgb.cols, rgb.rows);
    forEachRows(rgb.rows, rgb.cols, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const auto* in = rgb.ptr<std::uint8_t>(y);
            std::uint8_t* out = bitmap.pixel(0, y);
            for (int x = 0; x < rgb.cols; ++x, in += 3, out += 4) {
                out[0] = in[0], out[1] = in[1], out[2] = in[2], out[3] = 255;
            }
        }
    });
    return bitmap;
}

}  // namespace quillfen::detail
