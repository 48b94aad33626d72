#include "engine/cleanup/detail/PaperOutlines.h"

#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperSampling.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace quillfen::detail::paper {

namespace {

// Whether the stretch from a to b is the edge between two surfaces, as a table's or a shadow's edge is: the
// picture steps clearly across it and stays as it is on either side from 4 to 20 pixels off it, where beside a
// stripe's or a lattice line's edge it turns back.
bool edgeBetweenSurfaces(const cv::Mat& colour, cv::Point2d a, cv::Point2d b) {
    const cv::Point2d normal = cv::Point2d(-(b - a).y, (b - a).x) / cv::norm(b - a);
    constexpr int count = 16;
    double nearLeft = 0, farLeft = 0, nearRight = 0, farRight = 0;
    for (int k = 0; k < count; ++k) {
        const cv::Point2d on = a + (b - a) * ((k + 0.5) / count);
        for (const double d : {4, 6, 8}) {
            nearLeft += lumaAt(colour, on + normal * d);
            nearRight += lumaAt(colour, on - normal * d);
            farLeft += lumaAt(colour, on + normal * (d + 12));
            farRight += lumaAt(colour, on - normal * (d + 12));
        }
    }
    const double step = std::abs(nearLeft - nearRight);
    return step > 0.1 * std::max(nearLeft, nearRight) && std::abs(farLeft - nearLeft) < 0.3 * step &&
           std::abs(farRight - nearRight) < 0.3 * step;
}

// The unit normal of the side of c from c[side] to c[side + 1], pointing away from c's inside.
cv::Point2d outwardNormal(const Corners& c, int side) {
    cv::Point2d centre(0, 0);
    for (const auto& p : c) centre += p * 0.25;
    const cv::Point2d p = c[side], q = c[(side + 1) % 4];
    cv::Point2d outward = cv::Point2d(-(q - p).y, (q - p).x) / cv::norm(q - p);
    if ((centre - p).dot(outward) > 0) outward = -outward;
    return outward;
}

// The pixels of a picture of that size beyond the line of the side of c from c[side] to c[side + 1], away
// from c's inside.
cv::Mat beyondSide(cv::Size size, const Corners& c, int side) {
    const cv::Point2d p = c[side], q = c[(side + 1) % 4], along = (q - p) / cv::norm(q - p);
    const cv::Point2d outward = outwardNormal(c, side);
    const double far = 2.0 * (size.width + size.height);
    const std::vector<cv::Point> halfPlane{cv::Point(p - along * far), cv::Point(q + along * far),
                                           cv::Point(q + along * far + outward * far),
                                           cv::Point(p - along * far + outward * far)};
    cv::Mat out(size, CV_8U, cv::Scalar(0));
    cv::fillConvexPoly(out, halfPlane, cv::Scalar(255));
    return out;
}

// Whether the 8-bit luma under the mask is in one light: the brighter half of it, up to the ninetieth share,
// within a fifth above its middle. Paper in a shadow is, drawn over or not; the light and dark stripes of a
// wall are not. True for an empty mask.
bool inOneLight(const cv::Mat& luma, const cv::Mat& mask) {
    const int pixels = cv::countNonZero(mask);
    if (pixels == 0) return true;
    cv::Mat histogram;
    const int channels[] = {0}, bins[] = {256};
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    cv::calcHist(&luma, 1, channels, mask, histogram, 1, bins, ranges);
    auto percentile = [&](double share) {
        double sum = 0;
        for (int v = 0; v < 256; ++v)
            if ((sum += histogram.at<float>(v)) >= share * pixels) return v;
        return 255;
    };
    return percentile(0.9) <= 1.2 * percentile(0.5);
}

}  // namespace

std::optional<Corners> joined(const Corners& x, const Corners& y) {
    if (overlap(x, y) > 0.05) return std::nullopt;
    std::vector<cv::Point> points;
    for (const Corners* c : {&x, &y})
        for (const auto& p : *c) points.emplace_back(cvRound(p.x), cvRound(p.y));
    const auto hull = quadFromContour(points);
    if (!hull) return std::nullopt;
    const Corners whole = ordered(*hull);
    const double parts = polygonArea(x) + polygonArea(y);
    if (std::abs(polygonArea(whole) - parts) > 0.03 * parts) return std::nullopt;
    if (covered(x, whole) < 0.97 || covered(y, whole) < 0.97) return std::nullopt;
    return whole;
}

double reachBeyond(const Corners& outer, const Corners& inner, int side) {
    const cv::Point2d outward = outwardNormal(inner, side);
    double beyond = 0;
    for (const auto& corner : outer) beyond = std::max(beyond, (corner - inner[side]).dot(outward));
    return beyond;
}

bool reachesOnlyAcross(const Corners& outer, const Corners& inner, const std::vector<int>& sides,
                       double margin) {
    for (int i = 0; i < 4; ++i)
        if (std::ranges::find(sides, i) == sides.end() && reachBeyond(outer, inner, i) > margin) return false;
    return true;
}

bool holdsCornersOff(const Corners& outer, const Corners& inner, const std::vector<int>& sides, double margin) {
    const std::vector<cv::Point2f> outline(outer.begin(), outer.end());
    for (int i = 0; i < 4; ++i) {
        const bool ends = std::ranges::any_of(sides, [&](int side) { return i == side || i == (side + 1) % 4; });
        if (!ends && cv::pointPolygonTest(outline, cv::Point2f(inner[i]), true) < -margin) return false;
    }
    return true;
}

int sidesReachedAcross(const Corners& outer, const Corners& inner, double margin) {
    int across = 0;
    for (int i = 0; i < 4; ++i) across += reachBeyond(outer, inner, i) > margin;
    return across;
}

bool reachesAcrossOneSide(const Corners& outer, const Corners& inner, double margin) {
    return covered(inner, outer) >= 0.97 && sidesReachedAcross(outer, inner, margin) == 1;
}

bool reachesPastDrawnLine(const cv::Mat& colour, const Corners& outer, const Corners& inner, double margin) {
    if (!reachesAcrossOneSide(outer, inner, margin)) return false;
    int side = 0;
    for (int i = 1; i < 4; ++i)
        if (reachBeyond(outer, inner, i) > reachBeyond(outer, inner, side)) side = i;
    return drawnSide(colour, inner, side);
}

bool crossedBySurfaceLine(const cv::Mat& colour, const Corners& outer, const Corners& inner) {
    const double near = 0.02 * std::max(colour.cols, colour.rows);
    const std::vector<cv::Point2f> outline(outer.begin(), outer.end());
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = inner[i], b = inner[(i + 1) % 4];
        if (std::abs(cv::pointPolygonTest(outline, cv::Point2f((a + b) / 2), true)) <= near) continue;
        for (const auto& [from, end] : {std::pair{a, b}, std::pair{b, a}}) {
            if (std::abs(cv::pointPolygonTest(outline, cv::Point2f(end), true)) > near) continue;
            // Where the line leaves outer: a line of a mat's stripes may run on past a corner of the sheet on it.
            const cv::Point2d away = (end - from) / cv::norm(end - from);
            cv::Point2d out = end;
            while (cv::pointPolygonTest(outline, cv::Point2f(out), false) >= 0) out += away;
            const double reach = std::max(15.0, 0.1 * cv::norm(out - from));
            if (runsOnFarPast(colour, from, out).value_or(false) &&
                edgeBetweenSurfaces(colour, out + away * 6, out + away * (6 + reach)))
                return true;
        }
    }
    return false;
}

bool drawingRunsOnAcross(const cv::Mat& colour, const Corners& outer, const Corners& inner) {
    constexpr int count = 64;          // points along each side
    constexpr double off = 8, on = 4;  // pixels off the side to either hand, clear of its blur, and on again
    constexpr double ink = 0.15;       // how far a stroke's colour stands off the middle colour of its line
    constexpr int leastCrossings = 3;
    // One ink, seen in one light or in two: the same colour, or the same tint however much darker.
    auto sameInk = [](cv::Vec3f x, cv::Vec3f y) {
        return cv::norm(x - y) < ink || cv::norm(x / (cv::norm(x) + 1e-3) - y / (cv::norm(y) + 1e-3)) < 0.1;
    };
    const std::vector<cv::Point2f> outline(outer.begin(), outer.end());
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = inner[i], outward = outwardNormal(inner, i);
        const cv::Point2d along = (inner[(i + 1) % 4] - a) * (0.8 / (count - 1));
        auto point = [&](int k, double distance) {
            return a + (inner[(i + 1) % 4] - a) * 0.1 + along * k + outward * distance;
        };
        // The colours along the line at that distance outward from the side, and which of them stand off its
        // middle colour, darker, as ink on paper does.
        struct Line {
            std::array<cv::Vec3f, count> colours;
            std::array<bool, count> marked;
        };
        auto line = [&](double distance) {
            Line l;
            for (int k = 0; k < count; ++k) l.colours[k] = sampleColour(colour, point(k, distance));
            cv::Vec3f middle;
            std::array<float, count> channel;
            for (int c = 0; c < 3; ++c) {
                for (int k = 0; k < count; ++k) channel[k] = l.colours[k][c];
                std::nth_element(channel.begin(), channel.begin() + count / 2, channel.end());
                middle[c] = channel[count / 2];
            }
            for (int k = 0; k < count; ++k)
                l.marked[k] = cv::norm(l.colours[k] - middle) > ink && lumaOf(l.colours[k]) < lumaOf(middle);
            return l;
        };
        const Line in = line(-off), inFar = line(-off - on), out = line(off), outFar = line(off + on);
        // The stroke marked at k inside goes on in the same ink outside, a few points further along where it
        // crosses aslant.
        auto goesOn = [&](const Line& l, int k) {
            for (int j = std::max(0, k - 2); j <= std::min(count - 1, k + 2); ++j)
                if (l.marked[j] && sameInk(l.colours[j], in.colours[k])) return true;
            return false;
        };
        // A stroke is one run of marks along the side inside, counted once however many of its points go on: a
        // broad patch of colour there, a mat's stripe running along the side beside it, is one stroke at most.
        int crossings = 0;
        bool counted = false;
        for (int k = 0; k < count; ++k) {
            if (!in.marked[k]) {
                counted = false;
                continue;
            }
            const bool now = inFar.marked[k] && goesOn(out, k) && goesOn(outFar, k) &&
                             cv::pointPolygonTest(outline, cv::Point2f(point(k, off + on)), true) > on;
            crossings += now && !counted;
            counted = counted || now;
        }
        if (crossings >= leastCrossings) return true;
    }
    return false;
}

bool reachesPastSurfaceLine(const cv::Mat& colour, const Corners& outer, const Corners& inner, double margin) {
    return reachesAcrossOneSide(outer, inner, margin) && crossedBySurfaceLine(colour, outer, inner);
}

bool restIsPaper(const cv::Mat& colour, const Corners& outer, const Corners& inner) {
    std::vector<cv::Point> polygons[2];
    for (int k = 0; k < 2; ++k)
        for (const auto& p : k == 0 ? inner : outer) polygons[k].emplace_back(cvRound(p.x), cvRound(p.y));
    // A filled polygon keeps to the box of its corners: the masks are drawn over the whole picture, as their
    // edges are clipped to it, and only the part of the picture within the box of both outlines is looked at.
    const cv::Rect window = (cv::boundingRect(polygons[0]) | cv::boundingRect(polygons[1])) &
                            cv::Rect(cv::Point(0, 0), colour.size());
    if (window.empty()) return false;
    auto mask = [&](const std::vector<cv::Point>& polygon) {
        cv::Mat m(colour.size(), CV_8U, cv::Scalar(0));
        cv::fillConvexPoly(m, polygon, cv::Scalar(255));
        return m(window);
    };
    const cv::Mat part = mask(polygons[0]), rest = mask(polygons[1]) & ~part;
    const cv::Mat seen = colour(window);
    cv::Mat luma;
    cv::cvtColor(seen, luma, cv::COLOR_RGB2GRAY);
    const cv::Mat paper = part & (luma > cv::mean(luma, part)[0]);
    if (cv::countNonZero(paper) == 0 || cv::countNonZero(rest) == 0) return false;
    // Beyond the side of inner that outer reaches furthest past, paper in a shadow is in one light.
    int side = 0;
    for (int i = 1; i < 4; ++i)
        if (reachBeyond(outer, inner, i) > reachBeyond(outer, inner, side)) side = i;
    if (!inOneLight(luma, rest & beyondSide(colour.size(), inner, side)(window))) return false;
    return cv::norm(chromaticity(cv::mean(seen, paper), 1) - chromaticity(cv::mean(seen, rest), 1)) < 0.1;
}

double insideBy(const Corners& outer, const Corners& inner, int side) {
    const cv::Point2d inward = -outwardNormal(outer, side);
    std::array<double, 4> depths;
    for (int i = 0; i < 4; ++i) depths[i] = (inner[i] - outer[side]).dot(inward);
    std::sort(depths.begin(), depths.end());
    return (depths[0] + depths[1]) / 2;
}

namespace {

// Whether what lies just beyond each side of outer that reaches as far past inner's side at both ends is the
// surface that lies just beyond each of outer's other sides, and what lies just inside that side is not:
// surfaces of one tint, in nearly one light, are taken for one, as the light and dark stripes of a mat are.
bool oneSurfaceAround(const cv::Mat& colour, const Corners& outer, const Corners& inner) {
    auto alike = [](cv::Vec3f x, double xLuma, cv::Vec3f y, double yLuma) {
        constexpr float least = 1.0f / 255;
        constexpr double sameTint = 0.1, sameLight = 0.4;  // chromaticity apart; log of the lumas' ratio
        const cv::Point2d tint = chromaticity(cv::Scalar(x), least) - chromaticity(cv::Scalar(y), least);
        const double light = std::log(std::max(0.01, xLuma) / std::max(0.01, yLuma));
        return cv::norm(tint) < sameTint && std::abs(light) < sameLight;
    };
    constexpr double near = 6;  // pixels: a corner this close to a side lies on it
    std::array<SideColours, 4> sides;
    std::array<bool, 4> reached{};
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = outer[i], b = outer[(i + 1) % 4];
        const cv::Point2d dir = (b - a) / cv::norm(b - a), inward(-dir.y, dir.x);
        std::array<double, 4> depths;
        for (int k = 0; k < 4; ++k) depths[k] = (inner[k] - a).dot(inward);
        std::sort(depths.begin(), depths.end());
        // Inner's side along it lies as deep inside at both ends, the strip between them a band along it.
        reached[i] = depths[0] > near && depths[0] > 0.5 * depths[1];
        sides[i] = sideColours(colour, outer, i);
    }
    if (std::none_of(reached.begin(), reached.end(), [](bool r) { return r; })) return false;
    for (int i = 0; i < 4; ++i) {
        if (!reached[i]) continue;
        const SideColours& s = sides[i];
        if (alike(s.inside, s.insideLuma, s.outside, s.outsideLuma)) return false;
        for (int j = 0; j < 4; ++j)
            if (!reached[j] && !alike(s.outside, s.outsideLuma, sides[j].outside, sides[j].outsideLuma))
                return false;
    }
    return true;
}

}  // namespace

bool surfaceBetween(const cv::Mat& colour, const Corners& outer, const Corners& inner) {
    constexpr double sameTint = 0.05, samePixelTint = 0.1;  // chromaticity apart: of the means, of a pixel
    std::vector<cv::Point> polygons[2];
    for (int k = 0; k < 2; ++k)
        for (const auto& p : k == 0 ? inner : outer) polygons[k].emplace_back(cvRound(p.x), cvRound(p.y));
    // The masks are drawn over the whole picture, as their edges are clipped to it, and only the part within
    // the box of outer's corners and the ring beyond it is looked at.
    cv::Rect window = cv::boundingRect(polygons[1]);
    window = cv::Rect(window.x - 15, window.y - 15, window.width + 30, window.height + 30) &
             cv::Rect(cv::Point(0, 0), colour.size());
    if (window.empty()) return false;
    cv::Mat strip(colour.size(), CV_8U, cv::Scalar(0)), held(colour.size(), CV_8U, cv::Scalar(0));
    cv::Mat ring(colour.size(), CV_8U, cv::Scalar(0)), near(colour.size(), CV_8U, cv::Scalar(0));
    cv::fillConvexPoly(strip, polygons[1], cv::Scalar(255));
    cv::polylines(strip, polygons[1], true, cv::Scalar(0), 13);  // clear of outer's edge by 6 pixels
    cv::fillConvexPoly(held, polygons[0], cv::Scalar(255));
    cv::polylines(held, polygons[0], true, cv::Scalar(255), 13);  // and of inner's
    strip = strip(window) & ~held(window);
    cv::polylines(ring, polygons[1], true, cv::Scalar(255), 29);  // from 7 to 14 pixels beyond outer
    cv::polylines(near, polygons[1], true, cv::Scalar(255), 13);
    cv::fillConvexPoly(near, polygons[1], cv::Scalar(255));
    ring = ring(window) & ~near(window);
    const int stripPixels = cv::countNonZero(strip);
    if (stripPixels == 0) return false;
    // Each pixel's tint, as chromaticity gives it for a mean colour.
    const cv::Mat seen = colour(window);
    cv::Mat channels[3];
    cv::split(seen, channels);
    for (auto& c : channels) {
        c.convertTo(c, CV_32F);
        c = cv::max(c, 1.0);
    }
    const cv::Mat redness = 2 * (channels[0] - channels[1]) / (channels[0] + channels[1]);
    const cv::Mat blueness = 2 * (channels[2] - channels[1]) / (channels[2] + channels[1]);
    // Beyond each of outer's sides on its own: a strip of a mat reaches to the mat's edge, the ring beyond that
    // side on the table, and only beyond outer's other sides does the ring lie on the mat. On the mean, as a
    // patterned surface averages to one tint over a strip and over a ring alike; or pixel by pixel for the most
    // part, as a strip of a book's cover may hold a little of its pages' edges too.
    const cv::Point2d heldTint = chromaticity(cv::mean(seen, strip), 1);
    for (int i = 0; i < 4; ++i) {
        const cv::Mat beyond = ring & beyondSide(colour.size(), outer, i)(window);
        if (cv::countNonZero(beyond) == 0) continue;
        const cv::Point2d tint = chromaticity(cv::mean(seen, beyond), 1);
        if (cv::norm(heldTint - tint) < sameTint) return true;
        const cv::Mat apart = (redness - tint.x).mul(redness - tint.x) + (blueness - tint.y).mul(blueness - tint.y);
        if (cv::countNonZero((apart < samePixelTint * samePixelTint) & strip) > stripPixels / 2) return true;
    }
    return false;
}

bool stoppedAtDrawnBand(const cv::Mat& colour, const Corners& outer, const Corners& inner) {
    return runsOnPast(colour, outer, inner) || oneSurfaceAround(colour, outer, inner);
}

bool reachesPastDrawnBand(const cv::Mat& colour, const Corners& outer, const Corners& inner, double margin) {
    return reachesAcrossOneSide(outer, inner, margin) && stoppedAtDrawnBand(colour, outer, inner) &&
           !surfaceBetween(colour, outer, inner);
}

std::optional<Corners> completedAtBorder(const Corners& c, cv::Size size,
                                         const RectangleDetectorOptions& options) {
    const cv::Rect2d within(3, 3, size.width - 7, size.height - 7);
    std::optional<int> atBorder;
    for (int i = 0; i < 4; ++i) {
        if (within.contains(c[i])) continue;
        if (atBorder) return std::nullopt;
        atBorder = i;
    }
    if (!atBorder) return std::nullopt;
    Corners out = c;
    out[*atBorder] = c[(*atBorder + 1) % 4] + c[(*atBorder + 3) % 4] - c[(*atBorder + 2) % 4];
    if (!within.contains(out[*atBorder]) || !withinLimits(out, size, options)) return std::nullopt;
    return out;
}

bool reachablePast(const SteppedSides& stepped, int side, bool lighterBeyond) {
    const std::array near{side, (side + 1) % 4, (side + 3) % 4};
    auto alongAny = [&](const std::vector<int>& sides) {
        return std::ranges::any_of(near, [&](int s) { return std::ranges::find(sides, s) != sides.end(); });
    };
    return !alongAny(stepped.stripeEdge) && !(lighterBeyond && alongAny(stepped.shadowCut));
}

std::optional<Corners> reachedPastSide(const cv::Mat& colour, const Corners& c, int side) {
    constexpr double faint = 0.04;  // the least colour step of the sheet's edge over a surface nearly its colour
    constexpr double stride = 3;    // pixels between the points followed
    constexpr int missesToEnd = 3;  // points in a row without an edge where the edge ends
    const cv::Rect2d picture(4, 4, colour.cols - 9, colour.rows - 9);
    const cv::Point2d a = c[side], b = c[(side + 1) % 4];
    const double depth = std::min(cv::norm(a - c[(side + 3) % 4]), cv::norm(b - c[(side + 2) % 4]));
    // The strongest colour step across the line with the given normal at point, or a pixel either side of it,
    // and where it lies.
    auto strongestNear = [&](cv::Point2d point, cv::Point2d normal) {
        float strongest = 0;
        cv::Point2d found = point;
        for (const double across : {0.0, -1.0, 1.0}) {
            const cv::Point2d at = point + normal * across;
            if (const float step = colourStep(colour, at + normal * 3, at - normal * 3); step > strongest) {
                strongest = step;
                found = at;
            }
        }
        return std::pair{strongest, found};
    };
    // Where the sheet's edge ends that runs on from the corner at from along the side from its far corner at
    // pivot: each point may lie a pixel across from the line through the last one found, so that a side a
    // degree or two off the sheet's edge keeps to the edge.
    auto edgeEnd = [&](cv::Point2d pivot, cv::Point2d from) {
        cv::Point2d on = from, end = from;
        for (int missed = 0; missed < missesToEnd && cv::norm(on - from) < 3 * depth;) {
            const cv::Point2d direction = (on - pivot) / cv::norm(on - pivot), normal(-direction.y, direction.x);
            const cv::Point2d next = on + direction * stride;
            if (!picture.contains(next)) break;
            const auto [strongest, found] = strongestNear(next, normal);
            missed = strongest > faint ? 0 : missed + 1;
            on = strongest > faint ? found : next;
            if (missed == 0) end = on;
        }
        return end;
    };
    const cv::Point2d p = edgeEnd(c[(side + 3) % 4], a), q = edgeEnd(c[(side + 2) % 4], b);
    // The share of the points a stride apart on the line from from to to that lie on an edge, however faint,
    // each taken a pixel across at most.
    auto edgeShare = [&](cv::Point2d from, cv::Point2d to) {
        const double length = cv::norm(to - from);
        const cv::Point2d direction = (to - from) / length, normal(-direction.y, direction.x);
        int points = 0, onEdge = 0;
        for (double t = stride; t < length - stride; t += stride, ++points)
            onEdge += strongestNear(from + direction * t, normal).first > faint;
        return points ? double(onEdge) / points : 0.0;
    };
    const cv::Point2d facing = c[(side + 2) % 4] - c[(side + 3) % 4];
    // The outline with the side moved out to the ends reached, pa past a and qb past b.
    auto reachedTo = [&](cv::Point2d pa, cv::Point2d qb) -> std::optional<Corners> {
        if (std::min(cv::norm(pa - a), cv::norm(qb - b)) < 0.2 * depth) return std::nullopt;
        // Seen nearly face on, a sheet's far side runs nearly as its near side does; seen aslant, the sheet's far
        // side may turn further from it, but then shows as the sheet's edge all along.
        const double turn = std::abs((qb - pa).cross(facing)) / (cv::norm(qb - pa) * cv::norm(facing));
        if (turn > std::sin(6 * CV_PI / 180) && (turn > std::sin(15 * CV_PI / 180) || edgeShare(pa, qb) < 0.9))
            return std::nullopt;
        Corners whole = c;
        whole[side] = pa;
        whole[(side + 1) % 4] = qb;
        if (!isConvex(whole)) return std::nullopt;
        return whole;
    };
    if (const auto whole = reachedTo(p, q)) return whole;
    // One neighbour may run on to the sheet's far corner while the other stops short, at a line drawn across the
    // sheet or where the sheet's edge fades over the table, or strays off the edge, lying on none of the sheet's
    // own: where the farther end lies half the depth past the side at least, as a part less than two thirds of the
    // sheet leaves it, the far side is followed from there, running as the opposite side does, to where it ends,
    // the sheet's other far corner, where that lies past the line of the other neighbour or short of it by a fifth
    // of the depth at most. Nearer, the neighbour may have run on along a mat's stripe past the sheet's corner,
    // and the far side followed would be the next stripe's edge.
    const bool fromQ = cv::norm(q - b) > cv::norm(p - a);
    const cv::Point2d corner = fromQ ? q : p, towards = (fromQ ? -facing : facing) / cv::norm(facing);
    if (cv::norm(corner - (fromQ ? b : a)) < 0.5 * depth) return std::nullopt;
    const cv::Point2d other = fromQ ? a : b, otherFar = c[(side + (fromQ ? 3 : 2)) % 4];
    const auto meets =
        intersect(Line{corner, towards}, Line{other, (otherFar - other) / cv::norm(otherFar - other)});
    if (!meets) return std::nullopt;
    const cv::Point2d far = edgeEnd(corner - towards * depth, corner);
    if ((far - corner).dot(towards) < (*meets - corner).dot(towards) - 0.2 * depth) return std::nullopt;
    return fromQ ? reachedTo(far, q) : reachedTo(p, far);
}

std::optional<Corners> reachedPastDrawnLine(const cv::Mat& colour, const Corners& c) {
    if (drawnSides(colour, c) > 1) return std::nullopt;  // a shape drawn on the sheet
    for (int side = 0; side < 4; ++side)
        if (drawnSide(colour, c, side)) return reachedPastSide(colour, c, side);
    return std::nullopt;
}

}  // namespace quillfen::detail::paper
