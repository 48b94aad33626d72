#include "engine/cleanup/detail/PaperGeometry.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace quillfen::detail::paper {

std::optional<cv::Point2d> intersect(const Line& a, const Line& b) {
    const double d = a.direction.cross(b.direction);
    if (std::abs(d) < 1e-9) return std::nullopt;
    const double t = (b.point - a.point).cross(b.direction) / d;
    return a.point + a.direction * t;
}

// Puts four points in clockwise order on screen, starting with the one nearest the top left.
Corners ordered(Corners c) {
    cv::Point2d centre(0, 0);
    for (const auto& p : c) centre += p * 0.25;
    std::sort(c.begin(), c.end(), [&](const cv::Point2d& a, const cv::Point2d& b) {
        return std::atan2(a.y - centre.y, a.x - centre.x) < std::atan2(b.y - centre.y, b.x - centre.x);
    });
    const auto first = std::min_element(
        c.begin(), c.end(), [](const cv::Point2d& a, const cv::Point2d& b) { return a.x + a.y < b.x + b.y; });
    std::rotate(c.begin(), first, c.end());
    return c;
}

bool isConvex(const Corners& c) {
    int sign = 0;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d e1 = c[(i + 1) % 4] - c[i], e2 = c[(i + 2) % 4] - c[(i + 1) % 4];
        const double z = e1.cross(e2);
        if (std::abs(z) < 1e-9) return false;
        const int s = z > 0 ? 1 : -1;
        if (sign != 0 && s != sign) return false;
        sign = s;
    }
    return true;
}

std::optional<Corners> cornersOf(const std::array<Line, 4>& sides) {
    Corners out;
    for (int i = 0; i < 4; ++i) {
        const auto corner = intersect(sides[(i + 3) % 4], sides[i]);
        if (!corner) return std::nullopt;
        out[i] = *corner;
    }
    if (!isConvex(out)) return std::nullopt;
    return out;
}

// The four hull vertices that enclose the most area: for each pair of opposite corners, the vertex farthest
// from the diagonal between them on either side. Corners rounded off keep their vertices near the true ones,
// where dropping vertices one at a time may cut a whole side off.
std::optional<Corners> quadEnclosingMost(const std::vector<cv::Point>& contour) {
    // The hull within a pixel by fewer vertices: the search below takes the cube of their number.
    std::vector<cv::Point> hullPoints, fewer;
    cv::convexHull(contour, hullPoints);
    cv::approxPolyDP(hullPoints, fewer, 1.0, true);
    if (fewer.size() < 4) return std::nullopt;
    const std::vector<cv::Point2d> hull(fewer.begin(), fewer.end());
    const std::size_t n = hull.size();
    // The vertex strictly between from and to (going round) farthest from the line through them, and twice
    // the triangle's area.
    auto farthest = [&](std::size_t from, std::size_t to) {
        std::pair<double, std::size_t> best{-1, from};
        for (std::size_t k = (from + 1) % n; k != to; k = (k + 1) % n)
            best = std::max(best, {std::abs((hull[to] - hull[from]).cross(hull[k] - hull[from])), k});
        return best;
    };
    double most = -1;
    Corners out;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 2; j + (i == 0 ? 1 : 0) < n; ++j) {
            const auto [one, k] = farthest(i, j);
            const auto [other, l] = farthest(j, i);
            if (one + other > most) most = one + other, out = {hull[i], hull[k], hull[j], hull[l]};
        }
    return out;
}

// Whether an outline has the size, proportions and corner angles asked for.
bool withinLimits(const Corners& c, cv::Size size, const RectangleDetectorOptions& options) {
    if (!isConvex(c)) return false;
    const double shorterSide = std::min(size.width, size.height);
    double shortest = 1e300, longest = 0;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d e1 = c[(i + 1) % 4] - c[i], e0 = c[i] - c[(i + 3) % 4];
        const double length = cv::norm(e1);
        shortest = std::min(shortest, length);
        longest = std::max(longest, length);
        const double cosine = -e0.dot(e1) / (cv::norm(e0) * length);
        const double angle = std::acos(std::clamp(cosine, -1.0, 1.0)) * 180 / CV_PI;
        if (std::abs(angle - 90) > options.quadratureTolerance) return false;
    }
    return shortest >= options.minimumSize * shorterSide && shortest >= options.minimumAspectRatio * longest;
}

std::optional<Corners> inset(const Corners& c, double distance) {
    cv::Point2d centre(0, 0);
    for (const auto& p : c) centre += p * 0.25;
    std::array<Line, 4> sides;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d p = c[i], direction = (c[(i + 1) % 4] - p) / cv::norm(c[(i + 1) % 4] - p);
        cv::Point2d inward(-direction.y, direction.x);
        if ((centre - p).dot(inward) < 0) inward = -inward;
        sides[i] = Line{p + inward * distance, direction};
    }
    const auto out = cornersOf(sides);
    // Moved past each other, the sides cross over: the corners then go round the other way.
    const auto turn = [](const Corners& q) { return (q[1] - q[0]).cross(q[2] - q[1]); };
    if (!out || turn(*out) * turn(c) < 0) return std::nullopt;
    return out;
}

Quad unitQuad(const Corners& c, cv::Size size) {
    auto unit = [&](const cv::Point2d& p) {
        return Point{(p.x + 0.5) / size.width, 1 - (p.y + 0.5) / size.height};
    };
    return Quad{unit(c[0]), unit(c[1]), unit(c[2]), unit(c[3])};
}

Corners pixelCorners(const Quad& q, cv::Size size) {
    auto pixel = [&](const Point& p) { return cv::Point2d(p.x * size.width - 0.5, (1 - p.y) * size.height - 0.5); };
    return {pixel(q.topLeft), pixel(q.topRight), pixel(q.bottomRight), pixel(q.bottomLeft)};
}

}  // namespace quillfen::detail::paper
