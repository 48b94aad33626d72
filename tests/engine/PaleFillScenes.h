#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include <vector>

#include <opencv2/imgproc.hpp>

#include "engine/core/Bitmap.h"
#include "engine/library/CleanupRecords.h"

// Photos of crayon drawings made in the test: the drawing as it would look on white paper (the
// perfect evening of its light), and the same drawing photographed on slightly warm paper under an
// uneven, tinted light with a little sensor noise.
namespace quillfen::palefills {

struct Colour {
    std::uint8_t r = 255, g = 255, b = 255;
};

// How bright the light is at (u, v), both 0...1 across the sheet from the top left, and its tint,
// which may change from the left edge to the right one.
struct Light {
    std::string name;
    std::function<double(double u, double v)> level;
    std::array<double, 3> tint{1, 1, 1};
    std::optional<std::array<double, 3>> rightTint;

    double tintAt(int c, double u) const {
        return rightTint ? tint[c] + ((*rightTint)[c] - tint[c]) * u : tint[c];
    }
};

inline double smoothstep(double lo, double hi, double x) {
    const double t = std::clamp((x - lo) / (hi - lo), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

inline Light fallingLight(std::array<double, 3> tint = {1.0, 0.94, 0.8}) {
    return {"falling to 70 %", [](double u, double) { return 1 - 0.3 * u; }, tint, std::nullopt};
}
inline Light lampLight() {
    return {
        "lamp fall-off",
        [](double u, double v) { return 1 / (1 + 0.35 * ((u + 0.1) * (u + 0.1) + (v + 0.1) * (v + 0.1))); },
        {1.0, 0.9, 0.75},
        std::nullopt};
}
inline Light vignetting() {
    return {"vignetting",
            [](double u, double v) { return 1 - 0.8 * ((u - 0.5) * (u - 0.5) + (v - 0.5) * (v - 0.5)); },
            {0.95, 0.97, 1.0},
            std::nullopt};
}
// A warm lamp on the left and daylight from a window on the right.
inline Light mixedLight() {
    return {"lamp and window",
            [](double u, double) { return 1 - 0.2 * u; },
            {1.0, 0.92, 0.74},
            {{0.9, 0.96, 1.0}}};
}
// A phone's soft shadow over the bottom left, with a wide penumbra, on light falling across the sheet.
inline Light softShadow() {
    return {
        "soft shadow",
        [](double u, double v) { return (1 - 0.2 * u) * (1 - 0.35 * smoothstep(0.35, 0.65, v - u + 0.35)); },
        {1.0, 0.95, 0.85},
        std::nullopt};
}

// A hard-edged shadow (a phone or a hand held over the sheet): the light drops to `depth` of itself
// where `inside` holds, over an edge a few pixels wide, on light falling a little across the sheet.
inline Light hardShadow(std::string name, double depth, std::function<double(double u, double v)> inside) {
    return {std::move(name),
            [depth, inside = std::move(inside)](double u, double v) {
                return (1 - 0.1 * u) * (1 - (1 - depth) * smoothstep(-0.004, 0.004, inside(u, v)));
            },
            {1.0, 0.95, 0.86},
            std::nullopt};
}

// A drawing on white paper: an outlined crayon fill (an ellipse covering `fillArea` of the sheet,
// crayon grain letting some paper through) with a stem and a scribble in thin lines. fillArea 0
// draws the lines alone.
struct Drawing {
    int width = 640, height = 480;
    Colour fill;
    double fillArea = 0;
    bool longLines = false;  // a horizon and a trunk that run on across most of the sheet

    double semiAxisX() const { return std::sqrt(fillArea * width * height / (M_PI * 0.75)); }
    double semiAxisY() const { return 0.75 * semiAxisX(); }
    // The ellipse's own coordinate of (x, y): below 1 inside it.
    double ellipse(int x, int y) const {
        if (fillArea <= 0) return 1e9;
        const double dx = (x + 0.5 - width * 0.45) / semiAxisX(),
                     dy = (y + 0.5 - height * 0.42) / semiAxisY();
        return std::sqrt(dx * dx + dy * dy);
    }
    bool onLine(int x, int y) const {
        const bool stem = std::abs(x - width * 0.45 + 0.2 * (y - height * 0.42)) < 2.5 && y > height * 0.42;
        const double wave = height * 0.85 + 12 * std::sin(x * 0.05);
        const bool scribble = std::abs(y - wave) < 1.5 && x > width * 0.6 && x < width * 0.95;
        const bool horizon = longLines && std::abs(y - height * 0.62 - 0.1 * x) < 2 && x > width * 0.04;
        const bool trunk = longLines && std::abs(x - width * 0.3) < 2.5 && y > height * 0.15;
        return stem || scribble || horizon || trunk;
    }
    bool inFillCentre(int x, int y) const { return ellipse(x, y) < 0.5; }
    Bitmap flat() const {
        Bitmap out(width, height);
        std::mt19937 grain(7);
        std::uniform_real_distribution<double> cover(0.8, 1.0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = out.pixel(x, y);
                const double e = ellipse(x, y);
                const double c = cover(grain);
                Colour colour;
                if (onLine(x, y)) {
                    colour = {40, 70, 45};
                } else if (fillArea > 0 && std::abs(e - 1) * std::min(semiAxisX(), semiAxisY()) < 1.5) {
                    colour = {60, 50, 90};  // the outline
                } else if (e < 1) {
                    const auto blend = [&](std::uint8_t v) {
                        return static_cast<std::uint8_t>(std::lround(c * v + (1 - c) * 255));
                    };
                    colour = {blend(fill.r), blend(fill.g), blend(fill.b)};
                }
                p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 255;
            }
        }
        return out;
    }
};

// The cleanup a book drawing gets by default: evened out and whitened at 0.6.
inline CleanupSettings bookDefault() {
    CleanupSettings settings;
    settings.flatten = true;
    settings.whiten = 0.6;
    return settings;
}

// Where the bare paper of a flat drawing is: white, at least `margin` pixels from anything drawn and
// from the sheet's edge.
inline cv::Mat barePaper(const Bitmap& flat, int margin) {
    cv::Mat paper(flat.height, flat.width, CV_8U, cv::Scalar(0));
    for (int y = margin; y < flat.height - margin; ++y) {
        for (int x = margin; x < flat.width - margin; ++x) {
            const std::uint8_t* p = flat.pixel(x, y);
            paper.at<std::uint8_t>(y, x) = p[0] == 255 && p[1] == 255 && p[2] == 255 ? 255 : 0;
        }
    }
    cv::erode(paper, paper,
              cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * margin + 1, 2 * margin + 1)));
    return paper;
}

inline double linearOf(double encoded) {
    return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}
inline double encodedOf(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}
// encodedOf in 65536 steps, for whole pictures.
inline double encodedOfTable(double linear) {
    static const std::vector<float> table = [] {
        std::vector<float> t(65537);
        for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<float>(encodedOf(i / 65536.0));
        return t;
    }();
    return table[static_cast<std::size_t>(std::clamp(linear, 0.0, 1.0) * 65536 + 0.5)];
}

// The drawing photographed: paper of reflectance (0.92, 0.9, 0.85) at an exposure that shows the
// best-lit paper at about 0.78 linear, under the light, with noise of about 1.5 codes.
inline Bitmap photographed(const Bitmap& flat, const Light& light) {
    static constexpr double paper[3] = {0.92, 0.9, 0.85};
    Bitmap out(flat.width, flat.height);
    std::uint32_t noise = 11;
    const auto sensor = [&] {  // about 1.5 codes: the sum of three uniform draws of -1.5...1.5
        double sum = 0;
        for (int i = 0; i < 3; ++i) {
            noise = noise * 1664525 + 1013904223;
            sum += (noise >> 8) / 16777216.0 * 3 - 1.5;
        }
        return sum;
    };
    double linear[256];
    for (int code = 0; code < 256; ++code) linear[code] = linearOf(code / 255.0);
    for (int y = 0; y < flat.height; ++y) {
        for (int x = 0; x < flat.width; ++x) {
            const double u = (x + 0.5) / flat.width, level = 0.85 * light.level(u, (y + 0.5) / flat.height);
            for (int c = 0; c < 3; ++c) {
                const double lit = linear[flat.pixel(x, y)[c]] * paper[c] * light.tintAt(c, u) * level;
                out.pixel(x, y)[c] = static_cast<std::uint8_t>(
                    std::clamp(std::lround(encodedOfTable(lit) * 255 + sensor()), 0L, 255L));
            }
            out.pixel(x, y)[3] = 255;
        }
    }
    return out;
}

// CIELAB (D65) of an sRGB colour given as encoded 0...255 components.
inline std::array<double, 3> lab(const std::array<double, 3>& rgb) {
    double lin[3];
    for (int c = 0; c < 3; ++c) lin[c] = linearOf(rgb[c] / 255);
    const double X = (0.4124 * lin[0] + 0.3576 * lin[1] + 0.1805 * lin[2]) / 0.95047;
    const double Y = 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2];
    const double Z = (0.0193 * lin[0] + 0.1192 * lin[1] + 0.9505 * lin[2]) / 1.08883;
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
    return {116 * f(Y) - 16, 500 * (f(X) - f(Y)), 200 * (f(Y) - f(Z))};
}

inline double deltaE76(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    const auto p = lab(a), q = lab(b);
    return std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) +
                     (p[2] - q[2]) * (p[2] - q[2]));
}

inline double saturation(const std::array<double, 3>& rgb) {
    const double mx = std::max({rgb[0], rgb[1], rgb[2]}), mn = std::min({rgb[0], rgb[1], rgb[2]});
    return mx > 0 ? (mx - mn) / mx : 0;
}

// The mean colour (encoded 0...255) of the pixels where `where` holds.
inline std::array<double, 3> meanColour(const Bitmap& image, const std::function<bool(int, int)>& where) {
    std::array<double, 3> sum{};
    long count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!where(x, y)) continue;
            for (int c = 0; c < 3; ++c) sum[c] += image.pixel(x, y)[c];
            ++count;
        }
    }
    for (double& s : sum) s /= std::max(count, 1L);
    return sum;
}

// The darkest luma (0...1, on encoded values) of the pixels where `where` holds.
inline double darkestLuma(const Bitmap& image, const std::function<bool(int, int)>& where) {
    double darkest = 1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!where(x, y)) continue;
            const std::uint8_t* p = image.pixel(x, y);
            darkest = std::min(darkest, (0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2]) / 255);
        }
    }
    return darkest;
}

}  // namespace quillfen::palefills
