#include "engine/cleanup/detail/PaperStrokes.h"

#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperSampling.h"

#include <algorithm>
#include <array>
#include <functional>

namespace quillfen::detail::paper {

namespace {

// Whether the picture across a side at q (inward the normal to the inside) is a stroke drawn on paper, reach
// pixels at most from the side: beyond reach on both sides the picture is one paper, and within it lies a
// point of another tint than that paper or much darker, and clearly of another colour.
bool strokeOnPaperAt(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, double reach,
                     bool tintedOnly) {
    cv::Vec3f inside(0, 0, 0), outside(0, 0, 0);
    for (const double d : {reach + 4, reach + 6, reach + 8}) {
        inside += sampleColour(colour, q + inward * d) / 3;
        outside += sampleColour(colour, q - inward * d) / 3;
    }
    const float insideLuma = lumaOf(inside), outsideLuma = lumaOf(outside);
    if (cv::norm(inside - outside) >= 0.1 * std::max({insideLuma, outsideLuma, 0.02f})) return false;
    const cv::Point2d tint = chromaticity(cv::Scalar((inside + outside) * 0.5f), 0.05);
    for (double d = -reach; d <= reach; d += 1) {
        const cv::Vec3f at = sampleColour(colour, q + inward * d);
        const bool drawn = cv::norm(chromaticity(cv::Scalar(at), 0.05) - tint) > 0.15 ||
                           (!tintedOnly && lumaOf(at) < 0.6f * std::min(insideLuma, outsideLuma));
        if (drawn && std::min(cv::norm(at - inside), cv::norm(at - outside)) > 0.12) return true;
    }
    return false;
}

}  // namespace

bool betweenStrokes(const cv::Mat& colour, const Corners& c, bool colourlessSurface) {
    // Twice the reach of a drawn line: a frame's lines may be thick, and the side may lie on either border.
    const double reach = 2 * std::max(4.0, std::max(colour.cols, colour.rows) / 100.0);
    const cv::Rect2d picture(1, 1, colour.cols - 3, colour.rows - 3);
    constexpr int count = 24;
    std::array<double, 4> shares;
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const cv::Point2d dir = (b - a) / cv::norm(b - a), inward(-dir.y, dir.x);
        int strokes = 0;
        for (int k = 0; k < count; ++k) {
            const cv::Point2d q = a + (b - a) * (0.1 + 0.8 * (k + 0.5) / count);
            strokes += picture.contains(q - inward * (reach + 8)) &&
                       strokeOnPaperAt(colour, q, inward, reach, colourlessSurface);
        }
        shares[i] = static_cast<double>(strokes) / count;
    }
    std::ranges::sort(shares, std::greater<>());
    return shares[1] >= 0.25;
}

}  // namespace quillfen::detail::paper
