#include "engine/cleanup/PaperCandidates.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace quillfen::Cleaner {

namespace {

using Corners = std::array<cv::Point2d, 4>;  // pixel centres, y downwards, clockwise from top left

constexpr int analysisSide = 384;  // outlines are proposed on a copy this large, then refined

// The picture prepared once for every outline. At full size: lightly smoothed colour. At the
// analysis size, with texture suppressed: luma, "whiteness" (bright and colourless scores high) and how
// far each pixel stands out from the surface, which is modelled from the picture's border as a smooth
// function of position so that uneven light does not count as standing out.
struct Analysis {
    cv::Size size;
    cv::Mat colour;      // CV_8UC3 RGB
    cv::Mat smallLuma;   // CV_8U
    cv::Mat smallWhite;  // CV_8U
    cv::Mat standOut;  // CV_32F: above 1 where a pixel is clearly brighter or more colourful than the surface
    cv::Mat foreground;  // CV_8U: standOut above 1
    double smallScale = 1;
};

// Per channel, the quadratic in position that best fits the border pixels, ignoring outliers, evaluated
// over the whole picture.
cv::Mat surfaceModel(const cv::Mat& lab) {
    const int band = std::max(2, std::min(lab.cols, lab.rows) / 25);
    std::vector<cv::Point> border;
    for (int y = 0; y < lab.rows; y += 2)
        for (int x = 0; x < lab.cols; x += 2)
            if (x < band || y < band || x >= lab.cols - band || y >= lab.rows - band)
                border.emplace_back(x, y);
    auto terms = [&](double x, double y) {
        const double u = 2 * x / lab.cols - 1, v = 2 * y / lab.rows - 1;
        return std::array<double, 6>{1, u, v, u * v, u * u, v * v};
    };
    std::vector<char> keep(border.size(), 1);
    cv::Mat coefficients(6, 3, CV_64F, cv::Scalar(0));
    for (int pass = 0; pass < 3; ++pass) {
        const int rows = static_cast<int>(std::count(keep.begin(), keep.end(), 1));
        if (rows < 12) break;
        cv::Mat A(rows, 6, CV_64F), B(rows, 3, CV_64F);
        for (std::size_t i = 0, row = 0; i < border.size(); ++i) {
            if (!keep[i]) continue;
            const auto t = terms(border[i].x, border[i].y);
            const cv::Vec3f c = lab.at<cv::Vec3f>(border[i]);
            for (int j = 0; j < 6; ++j) A.at<double>(static_cast<int>(row), j) = t[j];
            for (int k = 0; k < 3; ++k) B.at<double>(static_cast<int>(row), k) = c[k];
            ++row;
        }
        cv::solve(A, B, coefficients, cv::DECOMP_QR);
        std::vector<double> residuals(border.size());
        for (std::size_t i = 0; i < border.size(); ++i) {
            const auto t = terms(border[i].x, border[i].y);
            const cv::Vec3f c = lab.at<cv::Vec3f>(border[i]);
            double r = 0;
            for (int k = 0; k < 3; ++k) {
                double m = 0;
                for (int j = 0; j < 6; ++j) m += t[j] * coefficients.at<double>(j, k);
                r += (c[k] - m) * (c[k] - m);
            }
            residuals[i] = std::sqrt(r);
        }
        std::vector<double> sorted = residuals;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2),
                         sorted.end());
        const double limit = std::max(3.0, 2.5 * sorted[sorted.size() / 2]);
        for (std::size_t i = 0; i < border.size(); ++i) keep[i] = residuals[i] < limit;
    }
    cv::Mat model(lab.size(), CV_32FC3);
    for (int y = 0; y < lab.rows; ++y)
        for (int x = 0; x < lab.cols; ++x) {
            const auto t = terms(x, y);
            cv::Vec3f m;
            for (int k = 0; k < 3; ++k) {
                double v = 0;
                for (int j = 0; j < 6; ++j) v += t[j] * coefficients.at<double>(j, k);
                m[k] = static_cast<float>(v);
            }
            model.at<cv::Vec3f>(y, x) = m;
        }
    return model;
}

Analysis analyse(const Bitmap& image) {
    Analysis a;
    a.size = cv::Size(image.width, image.height);
    const cv::Mat rgba(image.height, image.width, CV_8UC4, const_cast<std::uint8_t*>(image.pixels.data()));
    cv::Mat rgb8;
    cv::cvtColor(rgba, rgb8, cv::COLOR_RGBA2RGB);
    cv::GaussianBlur(rgb8, a.colour, cv::Size(), 1.0);

    a.smallScale = std::min(1.0, static_cast<double>(analysisSide) / std::max(image.width, image.height));
    const cv::Size small(std::max(1, static_cast<int>(std::lround(image.width * a.smallScale))),
                         std::max(1, static_cast<int>(std::lround(image.height * a.smallScale))));
    a.smallScale = static_cast<double>(small.width) / image.width;
    cv::Mat smallRgb;
    cv::resize(rgb8, smallRgb, small, 0, 0, cv::INTER_AREA);
    smallRgb.convertTo(smallRgb, CV_32F, 1.0 / 255);
    std::vector<cv::Mat> ch;
    cv::split(smallRgb, ch);
    const cv::Mat luma = 0.2126 * ch[0] + 0.7152 * ch[1] + 0.0722 * ch[2];
    const cv::Mat high = cv::max(cv::max(ch[0], ch[1]), ch[2]);
    const cv::Mat low = cv::min(cv::min(ch[0], ch[1]), ch[2]);
    auto bytes = [](const cv::Mat& m, int median) {
        cv::Mat out;
        m.convertTo(out, CV_8U, 255);
        cv::medianBlur(out, out, median);
        return out;
    };
    a.smallLuma = bytes(luma, 5);
    a.smallWhite = bytes(cv::max(luma - (high - low), 0), 5);

    cv::Mat lab8, lab;
    cv::cvtColor(bytes(smallRgb, 5), lab8, cv::COLOR_RGB2Lab);
    cv::GaussianBlur(lab8, lab8, cv::Size(), std::max(1.0, small.width / 120.0));
    lab8.convertTo(lab, CV_32F);
    const cv::Mat model = surfaceModel(lab);
    a.standOut = cv::Mat(small, CV_32F);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            const cv::Vec3f c = lab.at<cv::Vec3f>(y, x), m = model.at<cv::Vec3f>(y, x);
            const double brighter = (c[0] - m[0]) / 25.0;  // 8-bit L: 25 is about 10 L* units
            const double colourful = std::hypot(c[1] - m[1], c[2] - m[2]) / 14.0;
            a.standOut.at<float>(y, x) = static_cast<float>(std::max(brighter, colourful));
        }
    cv::compare(a.standOut, 1.0, a.foreground, cv::CMP_GT);
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

cv::Vec3f sampleColour(const cv::Mat& m, cv::Point2d p) {
    const double x = std::clamp(p.x, 0.0, m.cols - 1.001), y = std::clamp(p.y, 0.0, m.rows - 1.001);
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const float fx = static_cast<float>(x - x0), fy = static_cast<float>(y - y0);
    const std::uint8_t* r0 = m.ptr<std::uint8_t>(y0) + x0 * 3;
    const std::uint8_t* r1 = m.ptr<std::uint8_t>(y0 + 1) + x0 * 3;
    const float w00 = (1 - fx) * (1 - fy) / 255, w01 = fx * (1 - fy) / 255, w10 = (1 - fx) * fy / 255,
                w11 = fx * fy / 255;
    cv::Vec3f out;
    for (int k = 0; k < 3; ++k) out[k] = r0[k] * w00 + r0[k + 3] * w01 + r1[k] * w10 + r1[k + 3] * w11;
    return out;
}

float colourStep(const cv::Mat& colour, cv::Point2d inside, cv::Point2d outside) {
    return static_cast<float>(cv::norm(sampleColour(colour, inside) - sampleColour(colour, outside)));
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

// The straight edge near the side a-b where the colour changes most, found along the side's normal
// within range pixels and fitted robustly; nothing when too little of it shows.
std::optional<Line> refineSide(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, double range) {
    const double length = cv::norm(b - a);
    if (length < 8) return std::nullopt;
    const cv::Point2d dir = (b - a) / length;
    const cv::Point2d inward(-dir.y, dir.x);
    const int count = std::clamp(static_cast<int>(length / 12), 12, 48);
    constexpr double half = 1.5;
    const double stride = std::max(0.5, range / 20);
    std::vector<cv::Point2f> points;
    std::vector<double> steps;
    for (int k = 0; k < count; ++k) {
        const cv::Point2d q = a + (b - a) * (0.05 + 0.9 * (k + 0.5) / count);
        steps.clear();
        for (double s = -range; s <= range; s += stride)
            steps.push_back(colourStep(colour, q + inward * (s + half), q + inward * (s - half)));
        // The outermost clear edge: colour bands drawn up to the sheet's edge must not pull it inwards.
        const float strongest = *std::max_element(steps.begin(), steps.end());
        if (strongest < 0.06) continue;
        std::size_t i = 0;
        while (!(steps[i] >= 0.5f * strongest && (i + 1 == steps.size() || steps[i] >= steps[i + 1]))) ++i;
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
Corners refine(const cv::Mat& colour, Corners c, double range) {
    std::array<Line, 4> lines;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const auto found = refineSide(colour, a, b, range);
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

// How well an outline separates what stands out from the surface: the share of its inside that stands
// out times the share of a band around it that does not.
double regionSupport(const Analysis& a, const Corners& c) {
    std::vector<cv::Point> polygon;
    for (const auto& p : c)
        polygon.emplace_back(
            cv::Point(cvRound((p.x + 0.5) * a.smallScale - 0.5), cvRound((p.y + 0.5) * a.smallScale - 0.5)));
    cv::Mat inside(a.foreground.size(), CV_8U, cv::Scalar(0)), around;
    cv::fillConvexPoly(inside, polygon, cv::Scalar(255));
    const int band = std::max(3, std::max(inside.cols, inside.rows) / 30);
    cv::dilate(inside, around,
               cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * band + 1, 2 * band + 1)));
    around -= inside;
    const double insideCount = cv::countNonZero(inside), aroundCount = cv::countNonZero(around);
    if (insideCount == 0) return 0;
    const double standing = cv::countNonZero(a.foreground & inside) / insideCount;
    const double plain = aroundCount == 0 ? 1 : 1 - cv::countNonZero(a.foreground & around) / aroundCount;
    return standing * plain;
}

// How well an outline holds a sheet on a busy surface, judged only near it: the share of its inside
// that is as white as its paper (the brighter part of the inside, so that drawing does not count
// against it), times the share of a thin band around it that is clearly less white. Busy surroundings
// do not lower it, unlike regionSupport.
double paperSupport(const Analysis& a, const Corners& c) {
    std::vector<cv::Point> polygon;
    for (const auto& p : c)
        polygon.emplace_back(
            cv::Point(cvRound((p.x + 0.5) * a.smallScale - 0.5), cvRound((p.y + 0.5) * a.smallScale - 0.5)));
    cv::Mat inside(a.smallWhite.size(), CV_8U, cv::Scalar(0)), around;
    cv::fillConvexPoly(inside, polygon, cv::Scalar(255));
    const int band = std::max(2, std::max(inside.cols, inside.rows) / 80);
    cv::dilate(inside, around, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * band + 1, 2 * band + 1)));
    around -= inside;
    int histogram[256] = {};
    int insideCount = 0;
    for (int y = 0; y < inside.rows; ++y) {
        const auto* m = inside.ptr<std::uint8_t>(y);
        const auto* w = a.smallWhite.ptr<std::uint8_t>(y);
        for (int x = 0; x < inside.cols; ++x)
            if (m[x]) ++histogram[w[x]], ++insideCount;
    }
    if (insideCount == 0) return 0;
    int paper = 255;
    for (int seen = 0; paper > 0 && seen < insideCount / 4; --paper) seen += histogram[paper];
    const int floor = paper - 30;
    int whiteInside = 0;
    for (int v = std::max(0, floor); v < 256; ++v) whiteInside += histogram[v];
    int aroundCount = 0, darkerAround = 0;
    for (int y = 0; y < around.rows; ++y) {
        const auto* m = around.ptr<std::uint8_t>(y);
        const auto* w = a.smallWhite.ptr<std::uint8_t>(y);
        for (int x = 0; x < around.cols; ++x)
            if (m[x]) ++aroundCount, darkerAround += w[x] < floor;
    }
    const double white = std::min(1.0, static_cast<double>(whiteInside) / insideCount / 0.8);
    return aroundCount == 0 ? 0 : white * darkerAround / aroundCount;
}

// The share of points along a to b where the colour changes clearly across the line through them.
double lineSupport(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, double spacing) {
    const double length = cv::norm(b - a);
    const int count = std::max(1, static_cast<int>(length / spacing));
    const cv::Point2d normal = cv::Point2d(-(b - a).y, (b - a).x) / std::max(1e-9, length);
    int supported = 0;
    for (int k = 0; k < count; ++k) {
        const cv::Point2d on = a + (b - a) * ((k + 0.5) / count);
        supported += colourStep(colour, on + normal * 3, on - normal * 3) > 0.1f;
    }
    return static_cast<double>(supported) / count;
}

// The outline with each side pushed outwards to the sheet's real edge when the side stopped early, at a
// band of colour drawn up to the edge or at the edge of a hard shadow falling across the sheet: the two
// neighbouring sides must go on as clear edges past the old corners, and the farthest parallel line
// they reach that shows a clear edge along its length becomes the side.
Corners widenedToSheetEdges(const cv::Mat& colour, const Corners& c) {
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
        double best = 0;
        for (double d = 4; d <= 0.7 * depth; d += 2) {
            const Line shifted{side.point - inward * d, side.direction};
            const auto p = intersect(before, shifted), q = intersect(after, shifted);
            if (!p || !q) break;
            if (lineSupport(colour, c[i], *p, 3) < 0.6 || lineSupport(colour, c[(i + 1) % 4], *q, 3) < 0.6)
                break;
            const cv::Point2d along = *q - *p;
            if (lineSupport(colour, *p + along * 0.1, *q - along * 0.1, 6) >= 0.6) best = d;
        }
        if (best > 0) {
            widened[i].point = side.point - inward * best;
            changed = true;
        }
    }
    if (!changed) return c;
    Corners out;
    for (int i = 0; i < 4; ++i) {
        const auto corner = intersect(widened[(i + 3) % 4], widened[i]);
        if (!corner) return c;
        out[i] = *corner;
    }
    return isConvex(out) ? out : c;
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

// The share of a's area that b covers.
double covered(const Corners& a, const Corners& b) {
    std::vector<cv::Point2f> pa, pb, meet;
    for (const auto& p : a) pa.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    for (const auto& p : b) pb.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    const double area = polygonArea(a);
    return area > 0 ? std::max(0.0f, cv::intersectConvexConvex(pa, pb, meet, true)) / area : 0;
}

// Whether outer holds, clear of all four of its sides, a smaller outline that is brighter than the rest
// of outer: then outer is the surface the sheet lies on (a placemat, a book, a table top), not the
// sheet. A colour band along some of the sheet's sides leaves an inner outline touching those sides.
bool enclosesBrighterSheet(const Analysis& a, const Corners& outer, const Corners& inner) {
    if (covered(inner, outer) < 0.9 || polygonArea(inner) > 0.9 * polygonArea(outer)) return false;
    const double margin = 0.02 * std::max(a.size.width, a.size.height);
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d p = outer[i], q = outer[(i + 1) % 4];
        const cv::Point2d inward = cv::Point2d(-(q - p).y, (q - p).x) / cv::norm(q - p);
        const double sign = (outer[(i + 2) % 4] - p).dot(inward) > 0 ? 1 : -1;
        for (const auto& corner : inner)
            if (sign * (corner - p).dot(inward) < margin) return false;
    }
    auto mask = [&](const Corners& c) {
        std::vector<cv::Point> polygon;
        for (const auto& p : c)
            polygon.emplace_back(cvRound((p.x + 0.5) * a.smallScale - 0.5), cvRound((p.y + 0.5) * a.smallScale - 0.5));
        cv::Mat m(a.smallLuma.size(), CV_8U, cv::Scalar(0));
        cv::fillConvexPoly(m, polygon, cv::Scalar(255));
        return m;
    };
    const cv::Mat sheet = mask(inner);
    const cv::Mat ring = mask(outer) & ~sheet;
    if (cv::countNonZero(ring) == 0 || cv::countNonZero(sheet) == 0) return false;
    return cv::mean(a.smallLuma, sheet)[0] > cv::mean(a.smallLuma, ring)[0] + 15;
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
    for (double level : {0.6, 1.0, 1.8}) {
        cv::Mat binary;
        cv::compare(a.standOut, level, binary, cv::CMP_GT);
        cv::morphologyEx(binary, binary, cv::MORPH_OPEN, kernel);
        cv::morphologyEx(binary, binary, cv::MORPH_CLOSE, kernel);
        collect(binary, cv::RETR_EXTERNAL);
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
    std::vector<Corners> seen;  // after the first, coarse refinement: proposals often meet there
    for (Corners c : proposals(a)) {
        c = refine(a.colour, c, std::max(8.0, reach * 0.03));
        if (std::any_of(seen.begin(), seen.end(), [&](const Corners& s) { return overlap(s, c) > 0.97; }))
            continue;
        seen.push_back(c);
        c = refine(a.colour, c, std::max(6.0, reach * 0.012));
        c = refine(a.colour, c, 3);
        if (const Corners wide = widenedToSheetEdges(a.colour, c); wide != c) c = refine(a.colour, wide, 3);
        for (const Corners& outline : {c}) {
            if (!withinLimits(outline, a.size, options)) continue;
            const double region = std::max(regionSupport(a, outline), paperSupport(a, outline));
            scored.push_back({outline, std::sqrt(edgeSupport(a.colour, outline) * region)});
        }
    }
    std::erase_if(scored, [&](const Scored& s) { return s.confidence < options.minimumConfidence; });
    const std::vector<Scored> sure = scored;
    std::erase_if(scored, [&](const Scored& outer) {
        return std::any_of(sure.begin(), sure.end(),
                           [&](const Scored& inner) { return enclosesBrighterSheet(a, outer.corners, inner.corners); });
    });
    std::stable_sort(scored.begin(), scored.end(),
                     [](const Scored& x, const Scored& y) { return x.confidence > y.confidence; });

    // A less sure outline that repeats a surer one is dropped, and so is a clearly less sure one that
    // swallows it: the largest passing outline wins later, so an outline that runs past the sheet onto
    // the table must not stand beside the sheet's own.
    struct Kept {
        Corners corners;
        double confidence;
    };
    std::vector<PaperCandidate> out;
    std::vector<Kept> kept;
    for (const auto& s : scored) {
        if (s.confidence < scored.front().confidence - 0.2) break;
        if (std::any_of(kept.begin(), kept.end(), [&](const Kept& k) {
                return overlap(k.corners, s.corners) > 0.8 ||
                       (covered(k.corners, s.corners) > 0.8 && s.confidence < k.confidence - 0.1);
            }))
            continue;
        kept.push_back({s.corners, s.confidence});
        out.push_back({unitQuad(s.corners, a.size), s.confidence});
        if (static_cast<int>(out.size()) == options.maximumObservations) break;
    }
    return out;
}

std::vector<PaperCandidate> segmentDocument(const Bitmap& image) {
    if (!usable(image)) return {};
    const Analysis a = analyse(image);
    cv::Mat binary;
    cv::morphologyEx(a.foreground, binary, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(7, 7)));
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
    c = refine(a.colour, c, 3);
    // A sheet, not any bright blob: a stripe of wallpaper or a small shape is too small or too slender.
    if (!withinLimits(c, a.size, RectangleDetectorOptions{})) return {};
    // Sure when the region fills its outline and stands alone on a plain surface.
    const double solidity = cv::contourArea(*largest) / std::max(1.0, polygonArea(*quad));
    return {PaperCandidate{unitQuad(c, a.size), std::clamp(solidity, 0.0, 1.0) * regionSupport(a, c)}};
}

}  // namespace quillfen::Cleaner
