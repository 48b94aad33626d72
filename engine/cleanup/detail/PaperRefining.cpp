#include "engine/cleanup/detail/PaperRefining.h"

#include "engine/cleanup/detail/PaperLineFit.h"
#include "engine/cleanup/detail/PaperSampling.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace quillfen::detail::paper {

namespace {

// The straight edge near the side a-b where the colour changes most, found along the side's normal within
// range pixels and fitted robustly; nothing when too little of it shows. Built for processors with AVX2 as
// well as for any other, picked when the program loads, with the colour steps taken in line: AVX2's
// three-operand forms of the same operations save copies of registers, and neither fuses a multiplication
// with an addition, so both find the same edges bit for bit.
[[gnu::target_clones("avx2", "default")]] std::optional<Line> refineSide(const cv::Mat& colour,
                                                                         cv::Point2d a, cv::Point2d b,
                                                                         double range) {
    const double length = cv::norm(b - a);
    if (length < 8) return std::nullopt;
    const cv::Point2d dir = (b - a) / length;
    const cv::Point2d inward(-dir.y, dir.x);
    const int count = std::clamp(static_cast<int>(length / 12), 12, 48);
    constexpr double half = 1.5;
    const double stride = std::max(0.5, range / 20);
    std::vector<cv::Point2f> points;
    std::vector<double> offsets, steps;
    for (double s = -range; s <= range; s += stride) offsets.push_back(s);
    auto pointAt = [&](int k) { return a + (b - a) * (0.05 + 0.9 * (k + 0.5) / count); };
    // The colours along a normal are fetched while the steps along the one before are found, so that
    // their reads overlap with work.
    auto fetch = [&](cv::Point2d q) {
        for (double t = -range - half; t <= range + half + 1; t += 1) prefetchColour(colour, q + inward * t);
    };
    fetch(pointAt(0));
    for (int k = 0; k < count; ++k) {
        const cv::Point2d q = pointAt(k);
        if (k + 1 < count) fetch(pointAt(k + 1));
        colourSteps(colour, q, inward, offsets, half, steps);
        // The network's outline lies within range of the sheet's edge, so the strongest step near it is the
        // edge: a shadow's or a surface's fainter edge beyond the sheet is not.
        const auto strongest = std::max_element(steps.begin(), steps.end());
        if (*strongest < 0.06) continue;
        const auto i = static_cast<std::size_t>(strongest - steps.begin());
        double offset = -range + static_cast<double>(i) * stride;
        if (i > 0 && i + 1 < steps.size()) {
            const double l = steps[i - 1], c = steps[i], r = steps[i + 1];
            const double denominator = l - 2 * c + r;
            if (denominator < 0) offset += stride * 0.5 * (l - r) / denominator;
        }
        const cv::Point2d p = q + inward * offset;
        points.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    }
    if (points.size() < static_cast<std::size_t>(count) / 4 || points.size() < 6) return std::nullopt;
    cv::Vec4f fit = huberLine(points);
    Line line{{fit[2], fit[3]}, {fit[0], fit[1]}};
    std::vector<cv::Point2f> inliers;
    for (const auto& p : points)
        if (std::abs((cv::Point2d(p) - line.point).cross(line.direction)) < 1.5) inliers.push_back(p);
    if (inliers.size() < points.size() / 2 || inliers.size() < 6) return std::nullopt;
    cv::fitLine(inliers, fit, cv::DIST_L2, 0, 0.01, 0.01);
    return Line{{fit[2], fit[3]}, {fit[0], fit[1]}};
}

}  // namespace

Corners refine(const cv::Mat& colour, Corners c, double range) {
    std::array<Line, 4> lines;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const auto found = refineSide(colour, a, b, range);
        lines[i] = found ? *found : Line{a, (b - a) / cv::norm(b - a)};
    }
    const auto out = cornersOf(lines);
    if (!out) return c;
    for (int i = 0; i < 4; ++i)
        if (cv::norm((*out)[i] - c[i]) > range * 4) return c;
    return *out;
}

}  // namespace quillfen::detail::paper
