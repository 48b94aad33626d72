#include "engine/cleanup/detail/PaperRefining.h"

#include "engine/cleanup/detail/PaperEdges.h"
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

// The step to take along a normal at q instead of the outermost clear one, i: a step further in, at least a
// quarter as strong, from the outline's paper to a band nearly as bright as it, hardly coloured and of another
// tint, that ends outwards at step i on something clearly darker, either colourless or of another colour than
// the paper in less light and darker for half as far again as the band is wide. A white stripe of a grey wall
// running along the sheet's side is such a band, its far edge against the grey the stronger step, and so is the
// light border of a mat between the sheet and the darker cloth or wood it lies on; a band of colour drawn up to
// the sheet's edge is darker than the paper or clearly coloured, and the step outwards from it stays taken, as
// does a sheet's edge on a cloth whose light checks lie between coloured lines (past a line of colour as wide
// as a check the next light check follows) and a side of a sheet's part whose paper goes on beyond it in less
// light, a table's edge under the sheet or a shadow's. Steps lie at first + k * stride along the normal, each
// between colours half either side of it.
std::size_t stripeCleared(const cv::Mat& colour, cv::Vec3f paper, cv::Point2d q, cv::Point2d inward,
                          const std::vector<double>& steps, std::size_t i, double first, double stride,
                          double half) {
    const float strongest = *std::max_element(steps.begin(), steps.end());
    auto colourOf = [&](double s) { return sampleColour(colour, q + inward * s); };
    auto tint = [](cv::Vec3f c) { return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}); };
    const double outer = first + static_cast<double>(i) * stride;
    const cv::Vec3f beyond = colourOf(outer - half - 1);
    // Whether the picture stays clearly darker than the band from its outer edge on for one and a half times
    // its width: the band is the last light thing along the side, not one light part of a repeating pattern.
    auto darkerOnward = [&](cv::Vec3f band, double width) {
        for (const double share : {0.25, 0.5, 0.75, 1.0, 1.25, 1.5})
            if (luma(colourOf(outer - half - 1 - share * width)) >= 0.8 * luma(band)) return false;
        return true;
    };
    // A colour beyond of the paper's chromaticity is paper in less light.
    constexpr float least = 1.0f / 255;
    const bool otherColour =
        cv::norm(chromaticity(cv::Scalar(beyond), least) - chromaticity(cv::Scalar(paper), least)) >= 0.1;
    for (std::size_t j = i + 1; j + 1 < steps.size(); ++j) {
        if (steps[j] < 0.25f * strongest || steps[j] < steps[j - 1] || steps[j] < steps[j + 1]) continue;
        const double inner = first + static_cast<double>(j) * stride;
        const cv::Vec3f band = colourOf((outer + inner) / 2);
        if (inner - outer >= 2 * half + 2 && cv::norm(colourOf(inner + half + 1) - paper) < 0.1 &&
            cv::norm(band - paper) > 0.04 && tint(band) < 0.2f && luma(paper) > 0.02 &&
            std::abs(std::log(luma(band) / luma(paper))) < 0.1 && luma(beyond) < 0.8 * luma(band) &&
            (tint(beyond) < 0.1f || (otherColour && darkerOnward(band, inner - outer))))
            return j;
    }
    return i;
}

// Where, going inward from an edge at q past a band clearly lighter than the colour just beyond the edge (by a
// fifth of the range) yet clearly darker than the paper, that colour is seen again within reach: the edge is
// then the outer edge of a light line of the surface, a lattice's or a motif's, with the surface on both sides
// of it. Nothing where the light goes on inward, as a sheet's paper does, where the band is as light as the
// paper (paper between strokes of the drawing), or where it is a faint streak (the grain of wood).
std::optional<double> surfaceLineEnd(const cv::Mat& colour, double paper, cv::Point2d q, cv::Point2d inward,
                                     double reach) {
    auto colourOf = [&](double s) { return sampleColour(colour, q + inward * s); };
    const cv::Vec3f beyond = colourOf(-2.5);
    double lightest = 0;
    for (double s = -1; s <= reach; s += 1) {
        const cv::Vec3f at = colourOf(s);
        if (s >= 2 && cv::norm(at - beyond) < 0.08)
            return lightest >= luma(beyond) + 0.2 ? std::optional<double>(s) : std::nullopt;
        lightest = std::max(lightest, luma(at));
        if (lightest > 0.9 * paper) return std::nullopt;
    }
    return std::nullopt;
}

// The step to take along a normal at q instead of the outermost clear one, i: where step i is the outer edge
// of a light line of the surface running along the side outside the sheet, as straight and as clear an edge as
// the sheet's own, the next clear step past the line (and past any further such line), the paper's edge; i
// where there is none. Clear as the outermost is: at least half as strong as the strongest and no weaker than
// the one after it. Steps as stripeCleared takes them; paper is the luma of the outline's paper.
std::size_t surfaceLineCleared(const cv::Mat& colour, double paper, cv::Point2d q, cv::Point2d inward,
                               const std::vector<double>& steps, std::size_t i, double first, double stride,
                               double reach) {
    const float strongest = *std::max_element(steps.begin(), steps.end());
    auto clear = [&](std::size_t k) {
        return steps[k] >= 0.5f * strongest && (k + 1 == steps.size() || steps[k] >= steps[k + 1]);
    };
    for (;;) {
        const double outer = first + static_cast<double>(i) * stride;
        const auto end = surfaceLineEnd(colour, paper, q + inward * outer, inward, reach);
        if (!end) return i;
        std::size_t next = i + 1;
        while (next < steps.size() && (first + static_cast<double>(next) * stride < outer + *end || !clear(next)))
            ++next;
        if (next == steps.size()) return i;
        i = next;
    }
}

// The strongest of the steps along the normal at q (step k at first + k * stride) that is not the border of a
// drawn line: a line drawn near the sheet's edge, dark on the paper, steps far more than the paper does onto a
// light surface beyond it and would make the sheet's own edge look faint. The strongest step of all where no
// clear step is left beside the drawn lines.
float clearestStep(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, const std::vector<double>& steps,
                   double first, double stride) {
    const double reach = std::max(4.0, std::max(colour.cols, colour.rows) / 100.0);
    const float strongest = *std::max_element(steps.begin(), steps.end());
    std::array<double, 3> lines{};  // where the drawn lines found lie along the normal
    std::size_t found = 0;
    while (found < lines.size()) {
        std::optional<std::size_t> best;
        for (std::size_t k = 0; k < steps.size(); ++k) {
            const double at = first + static_cast<double>(k) * stride;
            if (std::any_of(lines.begin(), lines.begin() + found,
                            [&](double line) { return std::abs(at - line) <= reach + 2; }))
                continue;
            if (!best || steps[k] > steps[*best]) best = k;
        }
        if (!best || steps[*best] < 0.06) return strongest;
        const double at = first + static_cast<double>(*best) * stride;
        if (!drawnLineAt(colour, q + inward * at, inward, reach)) return static_cast<float>(steps[*best]);
        lines[found++] = at;
    }
    return strongest;
}

// The straight edge near the side a-b where the colour changes most, found along the side's normal
// within range pixels and fitted robustly, on the outline whose paper has the given colour; nothing when too
// little of it shows. Built for processors with AVX2 as well as for any other, picked when the program loads,
// with the colour steps taken in line: AVX2's three-operand forms of the same operations save copies of
// registers, and neither fuses a multiplication with an addition, so both find the same edges bit for bit.
[[gnu::target_clones("avx2", "default")]] std::optional<Line> refineSide(const cv::Mat& colour,
                                                                         cv::Vec3f paper, cv::Point2d a,
                                                                         cv::Point2d b, double range,
                                                                         bool pastDrawnLines) {
    const double length = cv::norm(b - a);
    if (length < 8) return std::nullopt;
    const cv::Point2d dir = (b - a) / length;
    const cv::Point2d inward(-dir.y, dir.x);
    const int count = std::clamp(static_cast<int>(length / 12), 12, 48);
    constexpr double half = 1.5;
    const double stride = std::max(0.5, range / 20);
    const double lineReach = std::max(4.0, std::max(colour.cols, colour.rows) / 100.0);
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
        // The outermost clear edge: colour bands drawn up to the sheet's edge must not pull it inwards.
        const float largest = *std::max_element(steps.begin(), steps.end());
        if (largest < 0.06) continue;
        const float strongest = pastDrawnLines ? clearestStep(colour, q, inward, steps, -range, stride) : largest;
        std::size_t i = 0;
        while (!(steps[i] >= 0.5f * strongest && (i + 1 == steps.size() || steps[i] >= steps[i + 1]))) ++i;
        i = stripeCleared(colour, paper, q, inward, steps, i, -range, stride, half);
        i = surfaceLineCleared(colour, luma(paper), q, inward, steps, i, -range, stride, lineReach);
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

// Moves each side of the outline onto the edge nearby, keeping sides that show no edge, never onto the far
// edge of a white stripe of a grey wall along it nor onto a light line of the surface outside it.
Corners refine(const cv::Mat& colour, Corners c, double range, bool pastDrawnLines) {
    std::array<Line, 4> lines;
    const cv::Vec3f paper = paperColour(colour, c);
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const auto found = refineSide(colour, paper, a, b, range, pastDrawnLines);
        lines[i] = found ? *found : Line{a, (b - a) / cv::norm(b - a)};
    }
    const auto out = cornersOf(lines);
    if (!out) return c;
    for (int i = 0; i < 4; ++i)
        if (cv::norm((*out)[i] - c[i]) > range * 4) return c;
    return *out;
}

}  // namespace quillfen::detail::paper
