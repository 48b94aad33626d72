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

// Whether the picture at p steps clearly in colour across the line through it, brighter on the inward
// side unless anyStep: a sheet's edge, which stays one in a shadow. Over a table's edge the paper beyond,
// drawn over, may be darker than the table, and any clear step is the sheet's edge.
bool sheetEdgeAt(const cv::Mat& colour, cv::Point2d p, cv::Point2d inward, bool anyStep) {
    return colourStep(colour, p + inward * 3, p - inward * 3) > 0.1f &&
           (anyStep || lumaAt(colour, p + inward * 3) > lumaAt(colour, p - inward * 3));
}

// The far end of a sheet's edge (anyStep as for sheetEdgeAt) along a side's line (inward its normal to the
// inside), walking from a point on it away from the outline at most reach pixels and never out of the
// picture: the walk ends at two steps in a row without such an edge, so that a busy surface's edges across
// the line do not carry it on.
cv::Point2d edgeEnd(const cv::Mat& colour, const Line& side, cv::Point2d inward, cv::Point2d from,
                    cv::Point2d away, double reach, bool anyStep) {
    constexpr double stride = 3;
    const cv::Point2d direction = side.direction.dot(away) > 0 ? side.direction : -side.direction;
    const cv::Rect2d picture(0, 0, colour.cols - 1, colour.rows - 1);
    cv::Point2d end = from;
    int missed = 0;
    for (double d = stride; d <= reach && missed < 2; d += stride) {
        const cv::Point2d on = from + direction * d;
        if (!picture.contains(on)) break;
        if (sheetEdgeAt(colour, on, inward, anyStep)) {
            end = on;
            missed = 0;
        } else {
            ++missed;
        }
    }
    return end;
}

// Whether the line through a and b runs on as a clear edge past one of its ends, as runsOnPastEnd.
bool runsOnBeyond(const cv::Mat& colour, cv::Point2d a, cv::Point2d b) {
    return runsOnPastEnd(colour, b, a) || runsOnPastEnd(colour, a, b);
}

// The share of points from a to b that show a sheet's edge, inward the normal to the inside.
double sheetEdgeShare(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, cv::Point2d inward,
                      double spacing, bool anyStep) {
    const int count = std::max(1, static_cast<int>(cv::norm(b - a) / spacing));
    int shown = 0;
    for (int k = 0; k < count; ++k)
        shown += sheetEdgeAt(colour, a + (b - a) * ((k + 0.5) / count), inward, anyStep);
    return static_cast<double>(shown) / count;
}

// The unit normal to the stretch from a to b on its left, inward where an outline runs clockwise.
cv::Point2d normalLeftOf(cv::Point2d a, cv::Point2d b) {
    const cv::Point2d d = (b - a) / cv::norm(b - a);
    return {-d.y, d.x};
}

// Whether two mean colours differ by less than the given share of the brighter one's luma.
bool alikeColours(const cv::Vec3f& x, const cv::Vec3f& y, double share) {
    return cv::norm(x - y) < share * std::max({luma(x), luma(y), 0.02});
}

// The mean colour from 3 to 7 pixels inside the middle eight tenths of the stretch from p to q.
cv::Vec3f colourJustInside(const cv::Mat& colour, cv::Point2d p, cv::Point2d q) {
    const cv::Point2d along = q - p;
    return coloursAcross(colour, p + along * 0.1, q - along * 0.1, normalLeftOf(p, q), 3).inside;
}

// The mean colour from 3 to 7 pixels beyond the stretches from a to b and from c to d, half from each.
cv::Vec3f colourJustBeyond(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, cv::Point2d c,
                           cv::Point2d d) {
    return (coloursAcross(colour, a, b, normalLeftOf(a, b), 3).outside +
            coloursAcross(colour, c, d, normalLeftOf(c, d), 3).outside) *
           0.5f;
}

// Whether the picture just inside the stretch from p to q, a line the side from a to b is widened to, is the
// surface beyond the neighbouring sides along their runs from a to p and from b to q: the colours from 3 to 7
// pixels off differ by less than eight hundredths of the brighter one's luma. A side widened that far has
// taken in a strip of a mat or a cloth beyond the sheet, whose stripes' edges run on along the neighbours,
// where a band drawn along the sheet's side, or the sheet's paper in a shadow, is not the surface beside it.
bool surfaceWithin(const cv::Mat& colour, cv::Point2d a, cv::Point2d p, cv::Point2d b, cv::Point2d q) {
    return alikeColours(colourJustInside(colour, p, q), colourJustBeyond(colour, a, p, q, b), 0.08);
}

// Where the picture just inside the side from c[side] to c[side + 1] is the surface that lies just beyond the
// neighbouring sides next to it (along their last quarter, 40 pixels at most), the side lies on a stripe's
// edge of a mat or a cloth beyond the sheet, whose stripes run on along the neighbours past its corners: the
// sheet's edge is then the nearest line parallel to the side, within a quarter of the outline's depth, that
// shows a clear edge along its length and just inside which the picture is not that surface. Colours are
// taken from 3 to 7 pixels off and alike within twelve hundredths of the brighter one's luma.
std::optional<Line> sheetEdgeInsideSurfaceStrip(const cv::Mat& colour, const Corners& c, int side) {
    const cv::Point2d a = c[side], b = c[(side + 1) % 4], before = c[(side + 3) % 4],
                      after = c[(side + 2) % 4];
    const double reachA = std::min(40.0, 0.25 * cv::norm(a - before)),
                 reachB = std::min(40.0, 0.25 * cv::norm(after - b));
    const cv::Point2d fromA = a + (before - a) / cv::norm(before - a) * reachA;
    const cv::Point2d toB = b + (after - b) / cv::norm(after - b) * reachB;
    const cv::Vec3f beyond = colourJustBeyond(colour, fromA, a, b, toB);
    auto surfaceJustInside = [&](cv::Point2d p, cv::Point2d q) {
        return alikeColours(colourJustInside(colour, p, q), beyond, 0.12);
    };
    if (!surfaceJustInside(a, b)) return std::nullopt;
    const Line beforeLine{before, (a - before) / cv::norm(a - before)},
        afterLine{b, (after - b) / cv::norm(after - b)};
    const cv::Point2d direction = (b - a) / cv::norm(b - a), inward = normalLeftOf(a, b);
    const double depth = std::min(cv::norm(a - before), cv::norm(after - b));
    for (double d = 4; d <= 0.25 * depth; d += 2) {
        const Line shifted{a + inward * d, direction};
        const auto p = intersect(beforeLine, shifted), q = intersect(afterLine, shifted);
        if (!p || !q) break;
        if (lineSupported(colour, *p + (*q - *p) * 0.1, *q - (*q - *p) * 0.1, 6, 0.6) &&
            !surfaceJustInside(*p, *q))
            return shifted;
    }
    return std::nullopt;
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

// The outline with each side pushed outwards to the sheet's real edge when the side stopped early, at a
// band of colour drawn up to the edge or at the edge of a hard shadow falling across the sheet: the two
// neighbouring sides must go on as clear edges past the old corners, and the farthest line parallel to the
// side, or to the opposite side where the side lies on an edge crossing the sheet aslant, that they reach
// and that shows a clear edge along its length, holding no strip of the surface beside them, becomes the
// side.
Corners widenedToSheetEdges(const cv::Mat& colour, const Corners& c, bool colourlessSurface) {
    std::array<Line, 4> lines;
    for (int i = 0; i < 4; ++i) lines[i] = Line{c[i], (c[(i + 1) % 4] - c[i]) / cv::norm(c[(i + 1) % 4] - c[i])};
    std::array<Line, 4> widened = lines;
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        const Line& side = lines[i];
        const Line& before = lines[(i + 3) % 4];
        const Line& after = lines[(i + 1) % 4];
        const cv::Point2d inward(-side.direction.y, side.direction.x);
        const cv::Point2d far = (c[(i + 2) % 4] + c[(i + 3) % 4]) * 0.5;
        const double depth = (far - (c[i] + c[(i + 1) % 4]) * 0.5).dot(inward);
        // The part found may be a quarter of the sheet, cut off by a horizon or a shadow's edge across it.
        // The farthest line of the given direction, d pixels past the side's middle, that the neighbours
        // reach as clear edges, that shows a clear edge along its length and that holds no strip of the
        // surface beside the sheet; 0 when there is none.
        const cv::Point2d middle = (c[i] + c[(i + 1) % 4]) * 0.5;
        auto farthest = [&](cv::Point2d direction) {
            double best = 0;
            for (double d = 4; d <= 3 * depth; d += 2) {
                const Line shifted{middle - inward * d, direction};
                const auto p = intersect(before, shifted), q = intersect(after, shifted);
                if (!p || !q) break;
                if ((*p - c[i]).dot(inward) > 0 || (*q - c[(i + 1) % 4]).dot(inward) > 0) continue;
                if (!lineSupported(colour, c[i], *p, 3, 0.6) ||
                    !lineSupported(colour, c[(i + 1) % 4], *q, 3, 0.6)) {
                    // A white stripe of a colourless wall, as bright as the paper, hides the sheet's edge
                    // where it meets the sheet: over as much as a stripe's width past a corner.
                    if (colourlessSurface && d <= 0.1 * depth) continue;
                    break;
                }
                // On a colourless surface a white stripe beside the sheet is as bright as its paper and a
                // grey one as its paper in a shadow, so the surface's colour tells nothing of where the sheet
                // ends.
                const cv::Point2d along = *q - *p;
                if (lineSupported(colour, *p + along * 0.1, *q - along * 0.1, 6, 0.6) &&
                    (colourlessSurface || !surfaceWithin(colour, c[i], *p, c[(i + 1) % 4], *q)))
                    best = d;
            }
            return best;
        };
        if (const double best = farthest(side.direction); best > 0) {
            widened[i] = Line{middle - inward * best, side.direction};
            changed = true;
            continue;
        }
        // A side that stopped at an edge crossing the sheet aslant, the edge of a table it reaches over or of
        // a shadow, lies on a line that runs on past one of its ends as that edge, where a sheet's own side
        // ends at its corners; the sheet's far side then runs nearly as its near side does.
        const cv::Point2d opposite = c[(i + 2) % 4] - c[(i + 3) % 4];
        const cv::Point2d facing = opposite / cv::norm(opposite);
        const bool crossing = runsOnBeyond(colour, c[i], c[(i + 1) % 4]);
        if (std::abs(facing.cross(side.direction)) > std::sin(CV_PI / 90) && crossing) {
            if (const double best = farthest(facing); best > 0) {
                widened[i] = Line{middle - inward * best, facing};
                changed = true;
                continue;
            }
        }
        // A hard shadow's edge that crosses the sheet aslant cuts it along no parallel line: the new side
        // joins where the neighbouring sides' own edges, paper inside, end past the old corners, when one
        // of them runs on by a fifth of the depth at least and the new side shows such an edge too. A
        // neighbour along a drawn line (a horizon) is no sheet's edge, and where it leads is the artwork's.
        // Past an edge that runs on beyond the side, as a table's does, the paper need not be the brighter.
        auto inwardOf = [](const Line& l) { return cv::Point2d(-l.direction.y, l.direction.x); };
        const cv::Point2d p = edgeEnd(colour, before, inwardOf(before), c[i], -inward, 3 * depth, crossing);
        const cv::Point2d q =
            edgeEnd(colour, after, inwardOf(after), c[(i + 1) % 4], -inward, 3 * depth, crossing);
        if (std::max(cv::norm(p - c[i]), cv::norm(q - c[(i + 1) % 4])) < 0.2 * depth) continue;
        const cv::Point2d along = q - p;
        if (cv::norm(along) < 8) continue;
        const cv::Point2d newInward(-along.y / cv::norm(along), along.x / cv::norm(along));
        if (sheetEdgeShare(colour, p + along * 0.1, q - along * 0.1, newInward, 6, crossing) < 0.6) continue;
        if (drawnSide(colour, c, (i + 3) % 4) || drawnSide(colour, c, (i + 1) % 4))
            continue;
        widened[i] = Line{p, along / cv::norm(along)};
        changed = true;
    }
    if (!changed) return c;
    return cornersOf(widened).value_or(c);
}

Corners narrowedToSheetCorners(const cv::Mat& colour, const Corners& c) {
    std::array<Line, 4> lines;
    std::array<double, 4> lengths;
    for (int i = 0; i < 4; ++i) {
        lengths[i] = cv::norm(c[(i + 1) % 4] - c[i]);
        lines[i] = Line{c[i], (c[(i + 1) % 4] - c[i]) / lengths[i]};
    }
    // How far from the corner at p, along a side of that length going the given way, its clear edge starts:
    // the first of three points in a row, 2 pixels apart, that show one, within a quarter of the side.
    auto edgeStart = [&](cv::Point2d p, cv::Point2d away, double length) -> std::optional<double> {
        const cv::Point2d normal(-away.y, away.x);
        int run = 0;
        for (double d = 3; d <= 0.25 * length; d += 2) {
            const cv::Point2d on = p + away * d;
            run = colourStep(colour, on + normal * 3, on - normal * 3) > 0.1f ? run + 1 : 0;
            if (run == 3) return d - 4;
        }
        return std::nullopt;
    };
    constexpr double past = 8;  // pixels: nearer the corner lies the blur of the side's own edge
    std::array<Line, 4> narrowed = lines;
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const Line &before = lines[(i + 3) % 4], &after = lines[(i + 1) % 4];
        const auto fromA = edgeStart(a, -before.direction, lengths[(i + 3) % 4]);
        const auto fromB = edgeStart(b, after.direction, lengths[(i + 1) % 4]);
        if (!fromA || !fromB || *fromA < past || *fromB < past) {
            if (const auto edge = sheetEdgeInsideSurfaceStrip(colour, c, i)) {
                narrowed[i] = *edge;
                changed = true;
            }
            continue;
        }
        const cv::Point2d p = a - before.direction * *fromA, q = b + after.direction * *fromB;
        const cv::Point2d along = q - p;
        if (std::abs(lines[i].direction.cross(along / cv::norm(along))) > std::sin(CV_PI / 36) ||
            !lineSupported(colour, a + (b - a) * 0.1, b - (b - a) * 0.1, 3, 0.6) ||
            !lineSupported(colour, p + along * 0.1, q - along * 0.1, 3, 0.6))
            continue;
        narrowed[i] = Line{p, along / cv::norm(along)};
        changed = true;
    }
    if (!changed) return c;
    return cornersOf(narrowed).value_or(c);
}

}  // namespace quillfen::detail::paper
