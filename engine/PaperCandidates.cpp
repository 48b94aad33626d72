#include "engine/PaperCandidates.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace quillfen::Cleaner {

namespace {

using Corners = std::array<cv::Point2d, 4>;  // pixel centres, y downwards, clockwise from top left

constexpr int analysisSide = 384;  // outlines are proposed on a copy this large, then refined

// The picture prepared once for every outline: smoothed luma and "whiteness" (bright and colourless
// scores high) at full size, and texture-suppressed copies at the analysis size.
struct Analysis {
    cv::Mat luma;        // CV_32F, 0...1, lightly smoothed
    cv::Mat smallLuma;   // CV_8U, analysis size, median filtered
    cv::Mat smallWhite;  // CV_8U, analysis size, median filtered
    double smallScale = 1;
    cv::Size size;
};

Analysis analyse(const Bitmap& image) {
    Analysis a;
    a.size = cv::Size(image.width, image.height);
    const cv::Mat rgba(image.height, image.width, CV_8UC4, const_cast<std::uint8_t*>(image.pixels.data()));
    cv::Mat rgb;
    rgba.convertTo(rgb, CV_32F, 1.0 / 255);
    std::vector<cv::Mat> ch;
    cv::split(rgb, ch);
    cv::Mat luma = 0.2126 * ch[0] + 0.7152 * ch[1] + 0.0722 * ch[2];
    cv::Mat high = cv::max(cv::max(ch[0], ch[1]), ch[2]);
    cv::Mat low = cv::min(cv::min(ch[0], ch[1]), ch[2]);
    cv::Mat white = luma - (high - low);
    cv::GaussianBlur(luma, a.luma, cv::Size(), 1.0);

    a.smallScale = std::min(1.0, static_cast<double>(analysisSide) / std::max(image.width, image.height));
    const cv::Size small(std::max(1, static_cast<int>(std::lround(image.width * a.smallScale))),
                         std::max(1, static_cast<int>(std::lround(image.height * a.smallScale))));
    a.smallScale = static_cast<double>(small.width) / image.width;
    auto shrink = [&](const cv::Mat& m) {
        cv::Mat s, bytes;
        cv::resize(m, s, small, 0, 0, cv::INTER_AREA);
        s.convertTo(bytes, CV_8U, 255);
        cv::medianBlur(bytes, bytes, 5);
        return bytes;
    };
    a.smallLuma = shrink(luma);
    a.smallWhite = shrink(cv::max(white, 0));
    return a;
}

double polygonArea(const Corners& c) {
    double sum = 0;
    for (int i = 0; i < 4; ++i) sum += c[i].cross(c[(i + 1) % 4]);
    return std::abs(sum) / 2;
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

// The four hull vertices that keep the most area: vertices are dropped, least loss first.
std::optional<Corners> quadFromContour(const std::vector<cv::Point>& contour) {
    std::vector<cv::Point> hullPoints;
    cv::convexHull(contour, hullPoints);
    if (hullPoints.size() < 4) return std::nullopt;
    std::vector<cv::Point2d> hull(hullPoints.begin(), hullPoints.end());
    while (hull.size() > 4) {
        std::size_t drop = 0;
        double least = 1e300;
        for (std::size_t i = 0; i < hull.size(); ++i) {
            const auto& p = hull[(i + hull.size() - 1) % hull.size()];
            const auto& q = hull[(i + 1) % hull.size()];
            const double loss = std::abs((hull[i] - p).cross(q - p));
            if (loss < least) least = loss, drop = i;
        }
        hull.erase(hull.begin() + static_cast<std::ptrdiff_t>(drop));
    }
    return Corners{hull[0], hull[1], hull[2], hull[3]};
}

float sample(const cv::Mat& m, cv::Point2d p) {
    const double x = std::clamp(p.x, 0.0, m.cols - 1.001), y = std::clamp(p.y, 0.0, m.rows - 1.001);
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const double fx = x - x0, fy = y - y0;
    const float* r0 = m.ptr<float>(y0);
    const float* r1 = m.ptr<float>(y0 + 1);
    return static_cast<float>((r0[x0] * (1 - fx) + r0[x0 + 1] * fx) * (1 - fy) +
                              (r1[x0] * (1 - fx) + r1[x0 + 1] * fx) * fy);
}

struct Line {
    cv::Point2d point, direction;
};

std::optional<cv::Point2d> intersect(const Line& a, const Line& b) {
    const double d = a.direction.cross(b.direction);
    if (std::abs(d) < 1e-9) return std::nullopt;
    const double t = (b.point - a.point).cross(b.direction) / d;
    return a.point + a.direction * t;
}

// The straight edge near the side a-b where the picture steps up from outside to inside, found
// along the side's normal within range pixels and fitted robustly; nothing when too little of it shows.
std::optional<Line> refineSide(const cv::Mat& luma, cv::Point2d a, cv::Point2d b, double range) {
    const double length = cv::norm(b - a);
    if (length < 8) return std::nullopt;
    const cv::Point2d dir = (b - a) / length;
    const cv::Point2d inward(-dir.y, dir.x);
    const int count = std::clamp(static_cast<int>(length / 5), 16, 120);
    constexpr double half = 1.5, stride = 0.5;
    std::vector<cv::Point2f> points;
    std::vector<double> steps;
    for (int k = 0; k < count; ++k) {
        const cv::Point2d q = a + (b - a) * (0.05 + 0.9 * (k + 0.5) / count);
        steps.clear();
        for (double s = -range; s <= range; s += stride)
            steps.push_back(sample(luma, q + inward * (s + half)) - sample(luma, q + inward * (s - half)));
        const auto best = std::max_element(steps.begin(), steps.end());
        if (*best < 0.03) continue;
        const std::size_t i = static_cast<std::size_t>(best - steps.begin());
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
    cv::Vec4f fit;
    cv::fitLine(points, fit, cv::DIST_HUBER, 0, 0.01, 0.01);
    Line line{{fit[2], fit[3]}, {fit[0], fit[1]}};
    std::vector<cv::Point2f> inliers;
    for (const auto& p : points)
        if (std::abs((cv::Point2d(p) - line.point).cross(line.direction)) < 1.5) inliers.push_back(p);
    if (inliers.size() < points.size() / 2 || inliers.size() < 6) return std::nullopt;
    cv::fitLine(inliers, fit, cv::DIST_L2, 0, 0.01, 0.01);
    return Line{{fit[2], fit[3]}, {fit[0], fit[1]}};
}

// Moves each side of the outline onto the edge nearby, keeping sides that show no edge.
Corners refine(const cv::Mat& luma, Corners c, double range) {
    std::array<Line, 4> lines;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const auto found = refineSide(luma, a, b, range);
        lines[i] = found ? *found : Line{a, (b - a) / cv::norm(b - a)};
    }
    Corners out;
    for (int i = 0; i < 4; ++i) {
        const auto p = intersect(lines[(i + 3) % 4], lines[i]);
        if (!p || cv::norm(*p - c[i]) > range * 4) return c;
        out[i] = *p;
    }
    return isConvex(out) ? out : c;
}

// How much of each side shows the picture stepping up from outside to inside: 0 to 1, weighing the
// weakest side as much as the average, so that an outline is sure only where all four sides are.
double edgeSupport(const cv::Mat& luma, const Corners& c) {
    double total = 0, weakest = 1;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const double length = cv::norm(b - a);
        const cv::Point2d dir = (b - a) / length;
        const cv::Point2d inward(-dir.y, dir.x);
        constexpr int count = 48;
        int supported = 0;
        for (int k = 0; k < count; ++k) {
            const cv::Point2d q = a + (b - a) * (0.06 + 0.88 * (k + 0.5) / count);
            double contrast = 0;
            for (double d : {2.5, 4.5, 6.5})
                contrast += sample(luma, q + inward * d) - sample(luma, q - inward * d);
            if (contrast / 3 > 0.04) ++supported;
        }
        const double share = static_cast<double>(supported) / count;
        total += share / 4;
        weakest = std::min(weakest, share);
    }
    return 0.5 * total + 0.5 * weakest;
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

double overlap(const Corners& a, const Corners& b) {
    std::vector<cv::Point2f> pa, pb, meet;
    for (const auto& p : a) pa.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    for (const auto& p : b) pb.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    const double inter = std::max(0.0f, cv::intersectConvexConvex(pa, pb, meet, true));
    const double uni = polygonArea(a) + polygonArea(b) - inter;
    return uni > 0 ? inter / uni : 0;
}

// Outlines of bright regions and of closed edges in the analysis copy, in full-size pixels.
std::vector<Corners> proposals(const Analysis& a) {
    std::vector<std::vector<cv::Point>> contours;
    const double minimumArea = 0.03 * a.smallLuma.total();
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(5, 5));
    auto collect = [&](const cv::Mat& binary, int mode) {
        std::vector<std::vector<cv::Point>> found;
        cv::findContours(binary, found, mode, cv::CHAIN_APPROX_SIMPLE);
        for (auto& f : found)
            if (cv::contourArea(f) >= minimumArea || cv::minAreaRect(f).size.area() >= minimumArea)
                contours.push_back(std::move(f));
    };
    for (const cv::Mat* channel : {&a.smallWhite, &a.smallLuma}) {
        cv::Mat binary;
        const double otsu = cv::threshold(*channel, binary, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
        for (double shift : {0.0, 20.0, 40.0}) {
            cv::threshold(*channel, binary, otsu + shift, 255, cv::THRESH_BINARY);
            cv::morphologyEx(binary, binary, cv::MORPH_OPEN, kernel);
            cv::morphologyEx(binary, binary, cv::MORPH_CLOSE, kernel);
            collect(binary, cv::RETR_EXTERNAL);
        }
    }
    cv::Mat edges;
    cv::Canny(a.smallLuma, edges, 30, 80);
    cv::dilate(edges, edges, cv::Mat());
    collect(edges, cv::RETR_LIST);

    std::vector<Corners> out;
    const double back = 1 / a.smallScale;
    for (const auto& contour : contours) {
        const auto quad = quadFromContour(contour);
        if (!quad) continue;
        Corners c;
        for (int i = 0; i < 4; ++i)
            c[i] = ((*quad)[i] + cv::Point2d(0.5, 0.5)) * back - cv::Point2d(0.5, 0.5);
        c = ordered(c);
        if (isConvex(c)) out.push_back(c);
    }
    return out;
}

Quad unitQuad(const Corners& c, cv::Size size) {
    auto unit = [&](const cv::Point2d& p) {
        return Point{(p.x + 0.5) / size.width, 1 - (p.y + 0.5) / size.height};
    };
    return Quad{unit(c[0]), unit(c[1]), unit(c[2]), unit(c[3])};
}

bool usable(const Bitmap& image) {
    return !image.isEmpty() && image.pixels.size() == Bitmap::byteCount(image.width, image.height) &&
           image.width >= 16 && image.height >= 16;
}

}  // namespace

std::vector<PaperCandidate> detectRectangles(const Bitmap& image, const RectangleDetectorOptions& options) {
    if (!usable(image) || options.maximumObservations <= 0) return {};
    const Analysis a = analyse(image);
    const double reach = std::max(a.size.width, a.size.height);

    struct Scored {
        Corners corners;
        double confidence;
    };
    std::vector<Scored> scored;
    for (Corners c : proposals(a)) {
        if (std::any_of(scored.begin(), scored.end(),
                        [&](const Scored& s) { return overlap(s.corners, c) > 0.97; }))
            continue;
        c = refine(a.luma, c, std::max(6.0, reach * 0.015));
        c = refine(a.luma, c, 3);
        if (!withinLimits(c, a.size, options)) continue;
        scored.push_back({c, edgeSupport(a.luma, c)});
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const Scored& x, const Scored& y) { return x.confidence > y.confidence; });

    std::vector<PaperCandidate> out;
    std::vector<Corners> kept;
    for (const auto& s : scored) {
        if (s.confidence < options.minimumConfidence || s.confidence < scored.front().confidence - 0.2) break;
        if (std::any_of(kept.begin(), kept.end(),
                        [&](const Corners& k) { return overlap(k, s.corners) > 0.8; }))
            continue;
        kept.push_back(s.corners);
        out.push_back({unitQuad(s.corners, a.size), s.confidence});
        if (static_cast<int>(out.size()) == options.maximumObservations) break;
    }
    return out;
}

std::vector<PaperCandidate> segmentDocument(const Bitmap& image) {
    if (!usable(image)) return {};
    const Analysis a = analyse(image);
    cv::Mat binary;
    cv::threshold(a.smallWhite, binary, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(7, 7));
    cv::morphologyEx(binary, binary, cv::MORPH_OPEN, kernel);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(binary, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    const auto largest = std::max_element(contours.begin(), contours.end(), [](const auto& x, const auto& y) {
        return cv::contourArea(x) < cv::contourArea(y);
    });
    if (largest == contours.end()) return {};
    const auto quad = quadFromContour(*largest);
    if (!quad) return {};
    Corners c;
    const double back = 1 / a.smallScale;
    for (int i = 0; i < 4; ++i) c[i] = ((*quad)[i] + cv::Point2d(0.5, 0.5)) * back - cv::Point2d(0.5, 0.5);
    c = ordered(c);
    if (!isConvex(c)) return {};
    c = refine(a.luma, c, 3);

    // Confidence: how much brighter the region is than a band around it, and how fully it fills its outline.
    cv::Mat inside(a.size, CV_8U, cv::Scalar(0)), around;
    std::vector<cv::Point> polygon;
    for (const auto& p : c) polygon.emplace_back(cv::Point(p));
    cv::fillConvexPoly(inside, polygon, cv::Scalar(255));
    const int band = std::max(3, std::max(a.size.width, a.size.height) / 40);
    cv::dilate(inside, around,
               cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * band + 1, 2 * band + 1)));
    around -= inside;
    if (cv::countNonZero(inside) == 0 || cv::countNonZero(around) == 0) return {};
    const double contrast = cv::mean(a.luma, inside)[0] - cv::mean(a.luma, around)[0];
    const double solidity = cv::contourArea(*largest) / std::max(1.0, polygonArea(*quad));
    const double confidence = std::clamp(contrast / 0.25, 0.0, 1.0) * std::clamp(solidity, 0.0, 1.0);
    return {PaperCandidate{unitQuad(c, a.size), confidence}};
}

}  // namespace quillfen::Cleaner
