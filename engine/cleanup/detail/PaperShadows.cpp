#include "engine/cleanup/detail/PaperShadows.h"

#include "engine/cleanup/detail/PaperSampling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quillfen::detail::paper {

namespace {

constexpr int samples = 64;  // points along an edge across the picture
// How far apart a sheet's opposite sides lie at least, of the picture's shorter side: a sheet is a fifth of it
// across at least.
constexpr double sheetSidesApart = 0.2;

// The stretch of the line that lies inside the rectangle, as distances along it from its point; empty where
// the line misses the rectangle.
std::pair<double, double> stretchInside(const Line& line, const cv::Rect2d& r) {
    double from = -1e9, to = 1e9;
    const double start[2] = {line.point.x, line.point.y}, step[2] = {line.direction.x, line.direction.y};
    const double low[2] = {r.x, r.y}, high[2] = {r.x + r.width, r.y + r.height};
    for (int k = 0; k < 2; ++k) {
        if (std::abs(step[k]) < 1e-9) {
            if (start[k] < low[k] || start[k] > high[k]) return {0, 0};
            continue;
        }
        const double a = (low[k] - start[k]) / step[k], b = (high[k] - start[k]) / step[k];
        from = std::max(from, std::min(a, b));
        to = std::min(to, std::max(a, b));
    }
    return {from, std::max(from, to)};
}

// The median of the shares of light stepped at points along an edge, where nearly that share is stepped at
// nearly two thirds of them at least, as along a hard shadow's edge; nothing otherwise.
std::optional<double> steadyShare(const std::vector<double>& shares) {
    std::vector<double> sorted = shares;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double share = sorted[sorted.size() / 2];
    const auto steady = std::count_if(shares.begin(), shares.end(),
                                      [&](double s) { return std::abs(std::log(s / share)) < 0.2; });
    if (steady < 0.65 * static_cast<double>(shares.size())) return std::nullopt;
    return share;
}

// The share of light in which dark is bright's colour, within a tenth of bright's strongest channel; nothing
// where it is not. The light may have burnt out a channel of bright (at 0.97 or more), which could have been
// brighter still: the share is taken from the others, and that channel of dark relit need only reach it.
std::optional<double> shareOfLight(const cv::Vec3f& bright, const cv::Vec3f& dark) {
    constexpr float burnt = 0.97f;
    float brightSum = 0, darkSum = 0;
    for (int c = 0; c < 3; ++c)
        if (bright[c] < burnt) {
            brightSum += bright[c];
            darkSum += dark[c];
        }
    const double share = brightSum > 0.02f ? darkSum / brightSum : luma(dark) / luma(bright);
    if (share < 0.02) return std::nullopt;
    cv::Vec3f miss = dark * static_cast<float>(1 / share) - bright;
    for (int c = 0; c < 3; ++c)
        if (bright[c] >= burnt) miss[c] = std::min(0.0f, miss[c]);
    if (cv::norm(miss) > 0.1 * std::max({bright[0], bright[1], bright[2]})) return std::nullopt;
    return share;
}

}  // namespace

std::vector<ShadowEdge> hardShadowEdges(const Analysis& a, const std::vector<EdgeLine>& lines) {
    const double back = 1 / a.smallScale;
    const double apart = sheetSidesApart * std::min(a.smallLuma.cols, a.smallLuma.rows);
    const cv::Rect2d frame(8, 8, a.size.width - 16.0, a.size.height - 16.0);
    std::vector<std::pair<double, ShadowEdge>> found;  // with their lengths in the picture
    for (const EdgeLine& l : lines) {
        auto beside = [&](const EdgeLine& other) { return parallelApart(l, other); };
        const bool sheetSide = std::any_of(lines.begin(), lines.end(), [&](const EdgeLine& other) {
            return beside(other) && (other.point - l.point).dot(l.bright) > apart &&
                   (l.point - other.point).dot(other.bright) > apart;
        });
        if (sheetSide || stripeEdge(l, lines)) continue;
        const Line line{(l.point + cv::Point2d(0.5, 0.5)) * back - cv::Point2d(0.5, 0.5), l.direction};
        const auto [from, to] = stretchInside(line, frame);
        if (to - from < 0.4 * std::max(a.size.width, a.size.height)) continue;
        std::vector<double> shares, litLumas;
        for (int k = 0; k < samples; ++k) {
            const cv::Point2d on = line.point + line.direction * (from + (to - from) * (k + 0.5) / samples);
            cv::Vec3f lit(0, 0, 0), shaded(0, 0, 0);
            for (double d : {4.0, 6.0, 8.0}) {
                lit += sampleColour(a.colour, on + l.bright * d);
                shaded += sampleColour(a.colour, on - l.bright * d);
            }
            const double bright = luma(lit), dark = luma(shaded);
            if (dark < 0.06 || dark > 0.85 * bright) continue;
            if (cv::norm(shaded * static_cast<float>(bright / dark) - lit) > 0.1 * bright) continue;
            shares.push_back(dark / bright);
            litLumas.push_back(bright);
        }
        if (shares.size() < 0.3 * samples) continue;
        const auto share = steadyShare(shares);
        if (!share) continue;
        std::sort(litLumas.begin(), litLumas.end());
        if (litLumas[litLumas.size() * 9 / 10] < 1.3 * litLumas[litLumas.size() / 10]) continue;
        const bool alone = std::none_of(lines.begin(), lines.end(), beside);
        found.push_back({to - from, ShadowEdge{line, l.bright, *share, alone}});
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
    std::vector<ShadowEdge> edges;
    for (const auto& f : found) edges.push_back(f.second);
    return edges;
}

std::optional<double> shadowShareOverPaper(const cv::Mat& colour, cv::Point2d from, cv::Point2d to,
                                           cv::Point2d inward, double lit) {
    constexpr int count = 16;
    auto colourAt = [&](cv::Point2d on, double side, double off) {  // from off to off + 4 pixels on that side
        cv::Vec3f sum(0, 0, 0);
        for (double d : {off, off + 2, off + 4}) sum += sampleColour(colour, on + inward * (side * d)) / 3;
        return sum;
    };
    auto alike = [](double x, double y) { return std::min(x, y) > 0.02 && std::abs(std::log(x / y)) < 0.1; };
    std::vector<double> shares;
    int overPaper = 0;
    for (int k = 0; k < count; ++k) {
        const cv::Point2d on = from + (to - from) * ((k + 0.5) / count);
        const cv::Vec3f inside = colourAt(on, 1, 3), outside = colourAt(on, -1, 3);
        const double in = luma(inside), out = luma(outside);
        const auto share = shareOfLight(in > out ? inside : outside, in > out ? outside : inside);
        if (!share || *share > 0.85) continue;
        if (!alike(luma(colourAt(on, 1, 13)), in) || !alike(luma(colourAt(on, -1, 13)), out)) continue;
        shares.push_back(in > out ? *share : 1 / *share);
        overPaper += std::max(in, out) >= lit;
    }
    if (shares.size() < count / 2 || overPaper < count / 4) return std::nullopt;
    return steadyShare(shares);
}

Bitmap relitBeyond(const cv::Mat& colour, cv::Point2d from, cv::Point2d along, double light) {
    const float gain = static_cast<float>(1 / std::max(0.05, light));
    Bitmap out(colour.cols, colour.rows);
    for (int y = 0; y < colour.rows; ++y) {
        const std::uint8_t* in = colour.ptr<std::uint8_t>(y);
        std::uint8_t* to = out.pixels.data() + static_cast<std::size_t>(y) * colour.cols * 4;
        for (int x = 0; x < colour.cols; ++x, in += 3, to += 4) {
            const bool beyond = along.cross(cv::Point2d(x, y) - from) < 0;
            for (int k = 0; k < 3; ++k) to[k] = beyond ? cv::saturate_cast<std::uint8_t>(in[k] * gain) : in[k];
            to[3] = 255;
        }
    }
    return out;
}

}  // namespace quillfen::detail::paper
