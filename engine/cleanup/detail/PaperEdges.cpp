#include "engine/cleanup/detail/PaperEdges.h"

#include "engine/cleanup/detail/PaperSampling.h"
#include "engine/cleanup/detail/PaperShadows.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>

namespace quillfen::detail::paper {

cv::Point2d chromaticity(const cv::Scalar& colour, double least) {
    const double r = std::max(colour[0], least), g = std::max(colour[1], least), b = std::max(colour[2], least);
    return {2 * (r - g) / (r + g), 2 * (b - g) / (b + g)};
}

bool drawnLineAt(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, double reach) {
    float darkest = 1;
    for (double d = -reach; d <= reach; d += 1) darkest = std::min(darkest, lumaAt(colour, q + inward * d));
    float inside = 0, outside = 0;
    for (double d : {reach + 4, reach + 6, reach + 8}) {
        inside += lumaAt(colour, q + inward * d) / 3;
        outside += lumaAt(colour, q - inward * d) / 3;
    }
    const float clear = std::min(inside, outside);
    return darkest < 0.6f * clear && clear - darkest > 0.15f;
}

namespace {

// Whether at least the given share of points along a to b shows a clear change of colour across the line
// through them. Sampling stops once the rest of the points cannot change the answer. Built as refineSide is.
[[gnu::target_clones("avx2", "default")]] bool lineSupported(const cv::Mat& colour, cv::Point2d a,
                                                             cv::Point2d b, double spacing, double share) {
    const double length = cv::norm(b - a);
    const int count = std::max(1, static_cast<int>(length / spacing));
    const cv::Point2d normal = cv::Point2d(-(b - a).y, (b - a).x) / std::max(1e-9, length);
    int supported = 0;
    lanes::Floats found{};  // the steps at four points, from the one at a multiple of four on
    for (int k = 0; k < count; ++k) {
        if (static_cast<double>(supported) / count >= share) return true;
        if (static_cast<double>(supported + count - k) / count < share) return false;
        if (k % 4 == 0) {
            const lanes::Doubles along = (lanes::Doubles{0, 1, 2, 3} + k + 0.5) / count;
            found = colourStepsAcross(colour, a, b, along, normal * 3);
        }
        supported += found[k % 4] > 0.1f;
    }
    return static_cast<double>(supported) / count >= share;
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

// Whether the line from a through b runs on as a clear edge past b, for a tenth of its length and at least 15
// pixels, inside the picture.
bool runsOnPastEnd(const cv::Mat& colour, cv::Point2d a, cv::Point2d b) {
    const double length = cv::norm(b - a);
    const cv::Point2d away = (b - a) / length;
    const double reach = std::max(15.0, 0.1 * length);
    const cv::Rect2d picture(4, 4, colour.cols - 9, colour.rows - 9);
    const cv::Point2d from = b + away * 6, to = b + away * (6 + reach);
    return picture.contains(to) && lineSupported(colour, from, to, 3, 0.8);
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

// Whether the side from a to b (clockwise around its outline) runs along a drawn line.
bool drawnSide(const cv::Mat& colour, cv::Point2d a, cv::Point2d b) {
    const double reach = std::max(4.0, std::max(colour.cols, colour.rows) / 100.0);
    const cv::Point2d dir = (b - a) / cv::norm(b - a);
    const cv::Point2d inward(-dir.y, dir.x);
    constexpr int count = 24;
    int lines = 0;
    for (int k = 0; k < count; ++k)
        lines += drawnLineAt(colour, a + (b - a) * (0.1 + 0.8 * (k + 0.5) / count), inward, reach);
    return lines >= count * 0.6;
}

// Whether two lumas differ by less than a tenth of the larger, neither of them black.
bool alike(double x, double y) {
    return std::min(x, y) > 0.02 && std::abs(std::log(x / y)) < 0.1;
}

// The mean colours on either side of a stretch of line, from clear to clear + 4 pixels off it: inside, along
// the normal inward, and outside; and the outside's luma over the inside's at each of the points along it.
struct Across {
    cv::Vec3f inside, outside;
    std::array<double, 16> ratios;

    // The outside's light over the inside's when one side is the other's colour in clearly less light, as where
    // a shadow falls; nothing otherwise.
    std::optional<double> shade() const {
        const double in = luma(inside), out = luma(outside);
        const double brighter = std::max(in, out), darker = std::min(in, out);
        if (darker < 0.02 || darker > 0.85 * brighter) return std::nullopt;
        const cv::Vec3f lit = (in > out ? outside : inside) * static_cast<float>(brighter / darker);
        if (cv::norm(lit - (in > out ? inside : outside)) > 0.1 * brighter) return std::nullopt;
        return out / in;
    }

    // Whether the light steps by about the given share at most points along the stretch, as it does all along
    // a shadow's edge; where the stripes or the pattern of a surface meet a sheet's side aslant, each of
    // their light and dark parts steps by its own share.
    bool stepsSteadily(double share) const {
        const auto near = [&](double r) { return r > 0 && std::abs(std::log(r / share)) < 0.2; };
        return std::count_if(ratios.begin(), ratios.end(), near) >= 0.6 * ratios.size();
    }
};

Across across(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, cv::Point2d inward, double clear) {
    Across sums{{0, 0, 0}, {0, 0, 0}, {}};
    const int count = static_cast<int>(sums.ratios.size());
    for (int k = 0; k < count; ++k) {
        const cv::Point2d on = a + (b - a) * ((k + 0.5) / count);
        cv::Vec3f inside(0, 0, 0), outside(0, 0, 0);
        for (double d : {clear, clear + 2, clear + 4}) {
            const cv::Vec3f in = sampleColour(colour, on + inward * d),
                            out = sampleColour(colour, on - inward * d);
            sums.inside += in / (3 * count);
            sums.outside += out / (3 * count);
            inside += in;
            outside += out;
        }
        sums.ratios[k] = luma(inside) > 0.06 ? luma(outside) / luma(inside) : 0;
    }
    return sums;
}

// Whether the picture beyond the stretch from a to b (inward the normal to its inside) turns as light as lit
// again within reach, along at least half of it: a wall's grey stripe beside a white one ends on the next white
// stripe, where a shadow darkens all that lies beyond its edge. Each point along the stretch is followed out on
// its own: where the stripes cross the stretch aslant, the next white stripe lies at another distance from each.
bool lightAgainBeyond(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, cv::Point2d inward, double lit) {
    const double reach = std::max(colour.cols, colour.rows) * 0.1;
    constexpr int count = 16;
    int light = 0;
    for (int k = 0; k < count; ++k) {
        const cv::Point2d on = a + (b - a) * ((k + 0.5) / count);
        for (double d = 21; d <= reach; d += 4) {
            double beyond = 0;
            for (const double e : {d, d + 2, d + 4}) beyond += lumaAt(colour, on - inward * e) / 3;
            if (beyond > 0.9 * lit) {
                ++light;
                break;
            }
        }
    }
    return light >= count / 2;
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
    return across(colour, p + along * 0.1, q - along * 0.1, normalLeftOf(p, q), 3).inside;
}

// The mean colour from 3 to 7 pixels beyond the stretches from a to b and from c to d, half from each.
cv::Vec3f colourJustBeyond(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, cv::Point2d c,
                           cv::Point2d d) {
    return (across(colour, a, b, normalLeftOf(a, b), 3).outside +
            across(colour, c, d, normalLeftOf(c, d), 3).outside) *
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

// Whether the paper shows again close beyond q (inward the normal to the inside): from some point 16 to 28
// pixels off the outline on, the picture stays as light as nine tenths of inside (the sum of three lumas
// just inside) for 8 pixels, or up to the picture's border. Past a line or a stroke drawn beside a piece of
// a scan's paper it does, and past a frame drawn close to the scan's edge, the paper running on out of the
// picture; past the narrow light lines of a lattice on the surface it does not.
bool lightAgainClose(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, float inside) {
    const cv::Rect2d picture(1, 1, colour.cols - 3, colour.rows - 3);
    int run = 0;  // light points in a row, 2 pixels apart
    for (int d = 16; d <= 36 && (run > 0 || d <= 28); d += 2) {
        const cv::Point2d p = q - inward * static_cast<double>(d);
        if (!picture.contains(p)) return run > 0;
        run = lumaAt(colour, p) > 0.3f * inside ? run + 1 : 0;
        if (run == 5) return true;
    }
    return false;
}

}  // namespace

SteppedSides steppedSides(const cv::Mat& colour, const Corners& c) {
    SteppedSides sides;
    const double paper = paperLuma(colour, c);
    const cv::Rect2d picture(8, 8, colour.cols - 17, colour.rows - 17);
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const double length = cv::norm(b - a);
        const cv::Point2d dir = (b - a) / length, inward(-dir.y, dir.x);
        const cv::Point2d from = a + (b - a) * 0.1, to = b - (b - a) * 0.1;
        const Across near = across(colour, from, to, inward, 3);
        std::optional<double> shade = near.shade();
        double lit = luma(near.inside);
        // The paper in the shadow goes on beyond its edge, where a stripe of a surface would end.
        auto goesOn = [&] {
            const Across wider = across(colour, from, to, inward, 13);
            return alike(luma(wider.inside), luma(near.inside)) && alike(luma(wider.outside), luma(near.outside));
        };
        // Where the drawing crosses the edge, darkening the mean colours of its two sides unevenly, or the light
        // burnt the sunlit paper out, the edge is told point by point.
        if (!shade || std::max(luma(near.inside), luma(near.outside)) < 0.75 * paper ||
            !near.stepsSteadily(*shade) || !goesOn()) {
            shade = shadowShareOverPaper(colour, from, to, inward, 0.75 * paper);
            lit = paper;
        }
        if (!shade) continue;
        // A wall's grey stripe turns light again beyond, where a shadow darkens all beyond its edge.
        const bool stripe = *shade < 1 && lightAgainBeyond(colour, from, to, inward, lit);
        const double reach = std::max(15.0, 0.1 * length);
        for (const auto& [end, away] : {std::pair{a, -dir}, std::pair{b, dir}}) {
            double run = reach;
            while (run >= 12 && !picture.contains(end + away * (6 + run))) run *= 0.8;
            if (run < 12) continue;
            const auto beyond = across(colour, end + away * 6, end + away * (6 + run), inward, 3).shade();
            if (beyond && alike(*beyond, *shade)) {
                (stripe ? sides.stripeEdge : sides.shadowCut).push_back(i);
                break;
            }
        }
    }
    return sides;
}

std::optional<bool> runsOnFarPast(const cv::Mat& colour, cv::Point2d a, cv::Point2d b) {
    const cv::Rect2d picture(4, 4, colour.cols - 9, colour.rows - 9);
    const cv::Point2d away = (b - a) / cv::norm(b - a);
    double run = 0.5 * cv::norm(b - a);
    while (run >= 15 && !picture.contains(b + away * (6 + run))) run *= 0.8;
    if (run < 15) return std::nullopt;
    return lineSupported(colour, b + away * 6, b + away * (6 + run), 3, 0.8);
}

std::vector<int> surfaceLineSides(const cv::Mat& colour, const Corners& c) {
    std::vector<int> sides;
    for (int i = 0; i < 4; ++i) {
        const std::optional<bool> pastEnd = runsOnFarPast(colour, c[i], c[(i + 1) % 4]),
                                  pastStart = runsOnFarPast(colour, c[(i + 1) % 4], c[i]);
        if ((pastEnd || pastStart) && pastEnd.value_or(true) && pastStart.value_or(true)) sides.push_back(i);
    }
    return sides;
}

double shadowLight(const cv::Mat& colour, const Corners& c, int side) {
    const cv::Point2d a = c[side], b = c[(side + 1) % 4];
    const cv::Point2d dir = (b - a) / cv::norm(b - a), inward(-dir.y, dir.x);
    return across(colour, a + (b - a) * 0.1, b - (b - a) * 0.1, inward, 3).shade().value_or(1);
}

int drawnSides(const cv::Mat& colour, const Corners& c) {
    int drawn = 0;
    for (int i = 0; i < 4; ++i) drawn += drawnSide(colour, c[i], c[(i + 1) % 4]);
    return drawn;
}

bool drawnSide(const cv::Mat& colour, const Corners& c, int side) {
    return drawnSide(colour, c[side], c[(side + 1) % 4]);
}

bool cutOffByDrawnLine(const cv::Mat& colour, const Corners& c) {
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        if (!drawnSide(colour, a, b)) continue;
        if (runsOnPastEnd(colour, c[(i + 3) % 4], a) || runsOnPastEnd(colour, c[(i + 2) % 4], b)) return true;
    }
    return false;
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
        if (drawnSide(colour, c[(i + 3) % 4], c[i]) || drawnSide(colour, c[(i + 1) % 4], c[(i + 2) % 4]))
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

// Whether outer's sides run on as clear edges past inner's corners wherever outer reaches beyond a side
// of inner: then inner stopped early, at a band of colour drawn along the sheet's side.
bool runsOnPast(const cv::Mat& colour, const Corners& outer, const Corners& inner) {
    constexpr double near = 6;  // pixels: a corner this close to a side or a corner lies on it
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d corner = outer[i];
        const cv::Point2d nearest = *std::min_element(
            inner.begin(), inner.end(),
            [&](cv::Point2d x, cv::Point2d y) { return cv::norm(x - corner) < cv::norm(y - corner); });
        for (const int side : {i, (i + 3) % 4}) {
            const cv::Point2d a = outer[side], b = outer[(side + 1) % 4];
            const cv::Point2d direction = (b - a) / cv::norm(b - a);
            const cv::Point2d foot = a + direction * (nearest - a).dot(direction);
            if (cv::norm(foot - nearest) > near || cv::norm(foot - corner) < near) continue;
            if (!lineSupported(colour, corner, foot, 3, 0.8)) return false;
        }
    }
    return true;
}

SideColours sideColours(const cv::Mat& colour, const Corners& c, int side) {
    const cv::Point2d a = c[side], b = c[(side + 1) % 4];
    const cv::Point2d dir = (b - a) / cv::norm(b - a), inward(-dir.y, dir.x);
    const Across near = across(colour, a + (b - a) * 0.1, b - (b - a) * 0.1, inward, 4);
    return {near.inside, near.outside, luma(near.inside), luma(near.outside)};
}

double brightestSideStep(const cv::Mat& colour, const Corners& c, bool surfaceBeyond) {
    constexpr int count = 48;
    double brightest = -1;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const cv::Point2d dir = (b - a) / cv::norm(b - a);
        const cv::Point2d inward(-dir.y, dir.x);
        double step = 0, inside = 0;
        for (int k = 0; k < count; ++k) {
            const cv::Point2d q = a + (b - a) * (0.06 + 0.88 * (k + 0.5) / count);
            for (double d : {2.5, 4.5, 6.5}) {
                const float in = lumaAt(colour, q + inward * d);
                step += in - lumaAt(colour, q - inward * d);
                inside += in;
            }
        }
        step /= 3 * count;
        if (step <= brightest || drawnSide(colour, a, b)) continue;
        if (surfaceBeyond && lightAgainBeyond(colour, a + (b - a) * 0.1, b - (b - a) * 0.1, inward, inside / (3 * count)))
            continue;
        brightest = step;
    }
    return brightest;
}

DarkerBeyond darkerBeyond(const cv::Mat& colour, const Corners& c, bool surfaceBeyond) {
    const cv::Rect2d picture(1, 1, colour.cols - 3, colour.rows - 3);
    double perimeter = 0, stepped = 0;
    std::array<double, 4> shares;  // of each side
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const double length = cv::norm(b - a);
        const cv::Point2d dir = (b - a) / length, inward(-dir.y, dir.x);
        const int count = std::max(4, static_cast<int>(length / 4));
        double side = 0, onSurface = 0;
        for (int k = 0; k < count; ++k) {
            const cv::Point2d q = a + (b - a) * (0.06 + 0.88 * (k + 0.5) / count);
            if (!picture.contains(q - inward * 14)) continue;
            float inside = 0, beyond = 0;
            for (const double d : {3.0, 5.0, 7.0}) inside += lumaAt(colour, q + inward * d);
            for (const double d : {10.0, 12.0, 14.0}) beyond += lumaAt(colour, q - inward * d);
            if (!(beyond < 0.875f * inside)) continue;
            side += length / count;
            if (!surfaceBeyond || !lightAgainClose(colour, q, inward, inside)) onSurface += length / count;
        }
        perimeter += length;
        stepped += side;
        shares[i] = onSurface / length;
    }
    std::ranges::sort(shares, std::greater<>());
    return {stepped / perimeter, shares[1]};
}

// How much of each side shows a clear change of colour across it: 0 to 1, weighing the weakest side as
// much as the average, so that an outline is sure only where all four sides are.
double edgeSupport(const cv::Mat& colour, const Corners& c) {
    double total = 0, weakest = 1;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const cv::Point2d dir = (b - a) / cv::norm(b - a);
        const cv::Point2d inward(-dir.y, dir.x);
        constexpr int count = 48;
        int supported = 0;
        for (int k = 0; k < count; ++k) {
            const cv::Point2d q = a + (b - a) * (0.06 + 0.88 * (k + 0.5) / count);
            cv::Vec3f inside(0, 0, 0), outside(0, 0, 0);
            for (double d : {2.5, 4.5, 6.5}) {
                inside += sampleColour(colour, q + inward * d);
                outside += sampleColour(colour, q - inward * d);
            }
            if (cv::norm(inside - outside) / 3 > 0.08) ++supported;
        }
        const double share = static_cast<double>(supported) / count;
        total += share / 4;
        weakest = std::min(weakest, share);
    }
    return 0.5 * total + 0.5 * weakest;
}

}  // namespace quillfen::detail::paper
