#include "engine/cleanup/detail/PaperLines.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>

namespace quillfen::detail::paper {

namespace {

double lumaAt(const cv::Mat& m, cv::Point2d p) {
    const int x = std::clamp(cvRound(p.x), 0, m.cols - 1), y = std::clamp(cvRound(p.y), 0, m.rows - 1);
    return m.at<std::uint8_t>(y, x);
}

// The share of the side from p to q on the line that its pieces cover.
double coverage(const EdgeLine& l, cv::Point2d p, cv::Point2d q) {
    double s = (p - l.point).dot(l.direction), e = (q - l.point).dot(l.direction);
    if (s > e) std::swap(s, e);
    std::vector<std::pair<double, double>> parts;
    for (const auto& [from, to] : l.stretches)
        if (to > s && from < e) parts.emplace_back(std::max(from, s), std::min(to, e));
    std::sort(parts.begin(), parts.end());
    double covered = 0, reached = s;
    for (const auto& [from, to] : parts) {
        if (to <= reached) continue;
        covered += to - std::max(from, reached);
        reached = to;
    }
    return e > s ? covered / (e - s) : 0;
}

}  // namespace

// Pieces are found on a copy smaller still: sheet sides are long, and the segment detector's cost grows with
// the area.
std::vector<EdgeLine> edgeLines(const cv::Mat& luma8, std::size_t count) {
    std::vector<cv::Vec4f> segments;
    cv::createLineSegmentDetector(cv::LSD_REFINE_NONE, 0.6)->detect(luma8, segments);
    const double shortest = 0.04 * std::max(luma8.cols, luma8.rows);
    struct Piece {
        cv::Point2d a, b, bright;
        double length;
    };
    std::vector<Piece> pieces;
    for (const auto& s : segments) {
        const cv::Point2d a(s[0], s[1]), b(s[2], s[3]);
        const double length = cv::norm(b - a);
        if (length < shortest) continue;
        const cv::Point2d direction = (b - a) / length, normal(-direction.y, direction.x);
        double contrast = 0;
        for (double t : {0.25, 0.5, 0.75}) {
            const cv::Point2d on = a + (b - a) * t;
            contrast += lumaAt(luma8, on + normal * 3) - lumaAt(luma8, on - normal * 3);
        }
        if (std::abs(contrast) < 3 * 12) continue;  // a step of about 5 % of white on average
        pieces.push_back({a, b, contrast > 0 ? normal : -normal, length});
    }
    std::sort(pieces.begin(), pieces.end(), [](const Piece& x, const Piece& y) { return x.length > y.length; });

    std::vector<EdgeLine> lines;
    for (const auto& p : pieces) {
        auto joins = [&](const EdgeLine& l) {
            return l.bright.dot(p.bright) > 0.998 && std::abs((p.a - l.point).dot(l.bright)) < 2.0 &&
                   std::abs((p.b - l.point).dot(l.bright)) < 2.0;
        };
        auto line = std::find_if(lines.begin(), lines.end(), joins);
        if (line == lines.end()) {
            const cv::Point2d direction = (p.b - p.a) / p.length;
            lines.push_back({p.a, direction, p.bright, {}, 0});
            line = std::prev(lines.end());
        }
        double s = (p.a - line->point).dot(line->direction), e = (p.b - line->point).dot(line->direction);
        line->stretches.emplace_back(std::min(s, e), std::max(s, e));
        line->length += p.length;
    }
    std::sort(lines.begin(), lines.end(), [](const EdgeLine& x, const EdgeLine& y) { return x.length > y.length; });
    if (lines.size() > count) lines.resize(count);
    return lines;
}

bool parallelApart(const EdgeLine& l, const EdgeLine& other) {
    return std::abs(other.direction.cross(l.direction)) < std::sin(2 * CV_PI / 180) &&
           std::abs((other.point - l.point).dot(l.bright)) > 3;
}

bool stripeEdge(const EdgeLine& l, const std::vector<EdgeLine>& lines) {
    return std::ranges::count_if(lines, [&](const EdgeLine& other) { return parallelApart(l, other); }) >= 10;
}

std::vector<EdgeLine> stripesSetAside(std::vector<EdgeLine> lines) {
    const std::vector<EdgeLine> all = lines;
    std::erase_if(lines, [&](const EdgeLine& l) { return stripeEdge(l, all); });
    return lines;
}

bool stripedSurface(const std::vector<EdgeLine>& lines, cv::Size picture) {
    constexpr double nearBorder = 2;  // pixels: the segment detector stops a pixel or so short of it
    constexpr long few = 3;
    auto reachesBorder = [&](const EdgeLine& l) {
        return std::ranges::any_of(l.stretches, [&](const std::pair<double, double>& stretch) {
            return std::ranges::any_of(std::array{stretch.first, stretch.second}, [&](double t) {
                const cv::Point2d p = l.point + l.direction * t;
                return std::min({p.x, p.y, picture.width - 1 - p.x, picture.height - 1 - p.y}) < nearBorder;
            });
        });
    };
    auto wallStripe = [&](const EdgeLine& l) { return stripeEdge(l, lines) && reachesBorder(l); };
    return std::ranges::count_if(lines, wallStripe) >= few;
}

std::vector<Corners> lineProposals(const Analysis& a, std::vector<EdgeLine> lines,
                                   const RectangleDetectorOptions& options, int count) {
    if (lines.size() > 28) lines.resize(28);  // enough for a sheet's four among a room's edges
    const cv::Size small = a.smallLuma.size();
    const double apart = 0.8 * options.minimumSize * std::min(small.width, small.height);

    // Pairs of roughly parallel lines whose bright sides face each other, far enough apart.
    struct Pair {
        int first, second;
        cv::Point2d direction;
    };
    std::vector<Pair> pairs;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i)
        for (int j = i + 1; j < static_cast<int>(lines.size()); ++j) {
            const EdgeLine &x = lines[i], &y = lines[j];
            if (x.bright.dot(y.bright) > -std::cos(25 * CV_PI / 180)) continue;
            if ((y.point - x.point).dot(x.bright) < apart || (x.point - y.point).dot(y.bright) < apart) continue;
            const cv::Point2d d = x.direction.dot(y.direction) > 0 ? x.direction + y.direction : x.direction - y.direction;
            pairs.push_back({i, j, d / cv::norm(d)});
        }

    struct Ranked {
        Corners corners;
        double score;
    };
    std::vector<Ranked> ranked;
    const cv::Rect2d frame(-0.05 * small.width, -0.05 * small.height, 1.1 * small.width, 1.1 * small.height);
    for (std::size_t i = 0; i < pairs.size(); ++i)
        for (std::size_t j = i + 1; j < pairs.size(); ++j) {
            if (std::abs(pairs[i].direction.dot(pairs[j].direction)) > std::cos(55 * CV_PI / 180)) continue;
            const int ids[4] = {pairs[i].first, pairs[j].first, pairs[i].second, pairs[j].second};
            Corners c;
            bool inFrame = true;
            for (int k = 0; k < 4 && inFrame; ++k) {
                const EdgeLine &p = lines[ids[k]], &q = lines[ids[(k + 1) % 4]];
                const auto corner = intersect({p.point, p.direction}, {q.point, q.direction});
                inFrame = corner && frame.contains(*corner);
                if (inFrame) c[k] = *corner;
            }
            if (!inFrame || !isConvex(c)) continue;
            // Every side's bright side must face the inside.
            cv::Point2d centre(0, 0);
            for (const auto& p : c) centre += p * 0.25;
            double total = 0, weakest = 1;
            bool facing = true;
            for (int k = 0; k < 4 && facing; ++k) {
                const EdgeLine& l = lines[ids[k]];
                facing = (centre - l.point).dot(l.bright) > 0;
                const double share = coverage(l, c[(k + 3) % 4], c[k]);
                total += share / 4;
                weakest = std::min(weakest, share);
            }
            if (!facing || !withinLimits(ordered(c), small, options)) continue;
            ranked.push_back({ordered(c), 0.5 * total + 0.5 * weakest});
        }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& x, const Ranked& y) { return x.score > y.score; });

    std::vector<Corners> out, chosen;
    const double back = 1 / a.smallScale;
    for (const auto& r : ranked) {
        if (static_cast<int>(out.size()) == count || r.score < 0.3) break;
        if (std::any_of(chosen.begin(), chosen.end(), [&](const Corners& c) { return overlap(c, r.corners) > 0.9; }))
            continue;
        chosen.push_back(r.corners);
        Corners c;
        for (int k = 0; k < 4; ++k) c[k] = (r.corners[k] + cv::Point2d(0.5, 0.5)) * back - cv::Point2d(0.5, 0.5);
        out.push_back(c);
    }
    return out;
}

}  // namespace quillfen::detail::paper
