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

namespace {

// The darkest luma across a side at q, within reach of it, and the luma clear of it on its darker side.
struct LineDip {
    float darkest, clear;
};

LineDip lineDipAt(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, double reach) {
    float darkest = 1;
    for (double d = -reach; d <= reach; d += 1) darkest = std::min(darkest, lumaAt(colour, q + inward * d));
    float inside = 0, outside = 0;
    for (double d : {reach + 4, reach + 6, reach + 8}) {
        inside += lumaAt(colour, q + inward * d) / 3;
        outside += lumaAt(colour, q - inward * d) / 3;
    }
    return {darkest, std::min(inside, outside)};
}

// Whether a dip is a line drawn across the side: well darker than the picture clear of it.
bool drawnLine(const LineDip& dip) {
    return dip.darkest < 0.6f * dip.clear && dip.clear - dip.darkest > 0.15f;
}

// How many points a drawn line is looked for at along a side.
constexpr int sidePoints = 24;

// How many of the sidePoints spread along the side from a to b (clockwise around its outline) have a dip
// across the side, within reach of it, that passes.
template <typename Passes>
int pointsAlongSide(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, Passes passes) {
    // How far a drawn line may lie from a side of an outline in the picture, which may have settled on either
    // of its borders.
    const double reach = std::max(4.0, std::max(colour.cols, colour.rows) / 100.0);
    const cv::Point2d dir = (b - a) / cv::norm(b - a);
    const cv::Point2d inward(-dir.y, dir.x);
    int passing = 0;
    for (int k = 0; k < sidePoints; ++k)
        passing += passes(lineDipAt(colour, a + (b - a) * (0.1 + 0.8 * (k + 0.5) / sidePoints), inward, reach));
    return passing;
}

}  // namespace

bool drawnLineAt(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, double reach) {
    return drawnLine(lineDipAt(colour, q, inward, reach));
}

bool inkedAllRound(const cv::Mat& colour, const Corners& c) {
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        if (cv::norm(b - a) < 1) return false;
        const int inked =
            pointsAlongSide(colour, a, b, [](const LineDip& dip) { return dip.darkest < 0.85f * dip.clear; });
        if (inked < sidePoints / 2) return false;
    }
    return true;
}

// Sampling stops once the rest of the points cannot change the answer. Built as refineSide is.
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

bool runsOnPastEnd(const cv::Mat& colour, cv::Point2d a, cv::Point2d b) {
    const double length = cv::norm(b - a);
    const cv::Point2d away = (b - a) / length;
    const double reach = std::max(15.0, 0.1 * length);
    const cv::Rect2d picture(4, 4, colour.cols - 9, colour.rows - 9);
    const cv::Point2d from = b + away * 6, to = b + away * (6 + reach);
    return picture.contains(to) && lineSupported(colour, from, to, 3, 0.8);
}

namespace {

// Whether the side from a to b (clockwise around its outline) runs along a drawn line.
bool drawnSide(const cv::Mat& colour, cv::Point2d a, cv::Point2d b) {
    return pointsAlongSide(colour, a, b, drawnLine) >= sidePoints * 0.6;
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

// How far apart the tints of the paper inside an outline and of a light stretch beyond it may be for that
// stretch to be the same paper showing again: the light cells of a coloured cloth's or a tiled table's
// pattern are further off.
constexpr double paperTintApart = 0.05;

// Whether the paper shows again close beyond q (inward the normal to the inside): from some point 16 to 28
// pixels off the outline on, the picture stays as light as nine tenths of inside (the sum of three lumas
// just inside), and of paperTint where one is given, for 8 pixels, or up to the picture's border. Past a line
// or a stroke drawn beside a piece of a scan's paper it does, and past a frame drawn close to the scan's
// edge, the paper running on out of the picture; past the narrow light lines of a lattice on the surface, or
// the light cells of a patterned surface, of another tint than the paper's, it does not.
bool lightAgainClose(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, float inside,
                     std::optional<cv::Point2d> paperTint) {
    const cv::Rect2d picture(1, 1, colour.cols - 3, colour.rows - 3);
    int run = 0;  // light points in a row, 2 pixels apart
    for (int d = 16; d <= 36 && (run > 0 || d <= 28); d += 2) {
        const cv::Point2d p = q - inward * static_cast<double>(d);
        if (!picture.contains(p)) return run > 0;
        const cv::Vec3f at = sampleColour(colour, p);
        const bool paper =
            lumaOf(at) > 0.3f * inside &&
            (!paperTint || cv::norm(chromaticity(cv::Scalar(at), 0.05) - *paperTint) < paperTintApart);
        run = paper ? run + 1 : 0;
        if (run == 5) return true;
    }
    return false;
}

// The mean colours either side of the stretch from a to b (inward the normal to its inside) over bands from 3
// pixels off it out to a twentieth of the picture's size: wide enough to take in light and dark stripes of a
// wall alike on both sides, where a shadow's edge runs on along them and a narrow band on either side of it
// may lie on stripes of different shades.
Across acrossWide(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, cv::Point2d inward) {
    const double width = std::max(colour.cols, colour.rows) / 20.0;
    Across sums{{0, 0, 0}, {0, 0, 0}, {}};
    int bands = 0;
    for (double clear = 3; clear <= 3 + width; clear += 6, ++bands) {
        const Across band = across(colour, a, b, inward, clear);
        sums.inside += band.inside;
        sums.outside += band.outside;
    }
    sums.inside /= bands;
    sums.outside /= bands;
    return sums;
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
        // A shadow's edge runs on past the sheet's corners onto the surface. On a wall whose stripes run along it,
        // the narrow bands either side of it may lie on stripes of different shades: there it runs on where the
        // wide bands step by the paper's share past every end of the side that lies in the picture.
        const double reach = std::max(15.0, 0.1 * length);
        bool runsOn = false;
        int ends = 0, widely = 0;  // ends in the picture; those where it runs on as seen over wide bands
        for (const auto& [end, away] : {std::pair{a, -dir}, std::pair{b, dir}}) {
            double run = reach;
            while (run >= 12 && !picture.contains(end + away * (6 + run))) run *= 0.8;
            if (run < 12) continue;
            ++ends;
            const auto beyond = across(colour, end + away * 6, end + away * (6 + run), inward, 3).shade();
            runsOn = beyond && alike(*beyond, *shade);
            if (runsOn) break;
            if (widely + 1 < ends) continue;  // an end before did not step over wide bands
            const auto wide = acrossWide(colour, end + away * 6, end + away * (6 + run), inward).shade();
            widely += wide && alike(*wide, *shade);
        }
        if (runsOn || (ends > 0 && widely == ends)) (stripe ? sides.stripeEdge : sides.shadowCut).push_back(i);
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

SideColours coloursAcross(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, cv::Point2d inward, double clear) {
    const Across near = across(colour, a, b, inward, clear);
    return {near.inside, near.outside, luma(near.inside), luma(near.outside)};
}

SideColours sideColours(const cv::Mat& colour, const Corners& c, int side) {
    const cv::Point2d a = c[side], b = c[(side + 1) % 4];
    const cv::Point2d dir = (b - a) / cv::norm(b - a), inward(-dir.y, dir.x);
    return coloursAcross(colour, a + (b - a) * 0.1, b - (b - a) * 0.1, inward, 4);
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

DarkerBeyond darkerBeyond(const cv::Mat& colour, const Corners& c, bool surfaceBeyond, bool anyLight,
                          const std::vector<int>& notSteps) {
    const cv::Rect2d picture(1, 1, colour.cols - 3, colour.rows - 3);
    std::optional<cv::Point2d> paperTint;
    if (surfaceBeyond && !anyLight) paperTint = chromaticity(cv::Scalar(paperColour(colour, c)), 0.05);
    double perimeter = 0, stepped = 0;
    std::array<double, 4> shares;  // of each side
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const double length = cv::norm(b - a);
        const cv::Point2d dir = (b - a) / length, inward(-dir.y, dir.x);
        const int count = std::max(4, static_cast<int>(length / 4));
        double side = 0, onSurface = 0;
        const bool counts = std::ranges::find(notSteps, i) == notSteps.end();
        for (int k = 0; k < count && counts; ++k) {
            const cv::Point2d q = a + (b - a) * (0.06 + 0.88 * (k + 0.5) / count);
            if (!picture.contains(q - inward * 14)) continue;
            float inside = 0, beyond = 0;
            for (const double d : {3.0, 5.0, 7.0}) inside += lumaAt(colour, q + inward * d);
            for (const double d : {10.0, 12.0, 14.0}) beyond += lumaAt(colour, q - inward * d);
            if (!(beyond < 0.875f * inside)) continue;
            side += length / count;
            if (!surfaceBeyond || !lightAgainClose(colour, q, inward, inside, paperTint))
                onSurface += length / count;
        }
        perimeter += length;
        stepped += side;
        shares[i] = onSurface / length;
    }
    std::ranges::sort(shares, std::greater<>());
    return {stepped / perimeter, shares[1], shares[3]};
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
