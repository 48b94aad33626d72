#include "engine/cleanup/detail/PaperJudging.h"

#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperSampling.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <vector>

namespace quillfen::detail::paper {

namespace {

// The least share of its outline along which a sheet's paper is brighter than what lies a little way beyond: a
// piece of a scan's paper steps down only to the strokes drawn beside it, with paper between them, and a sheet on a
// white table only where a shadow falls on the table beside it.
constexpr double leastSteppedShare = 0.3;
// The least share of its second most stepped side: a sheet steps down along two sides at least, a piece
// of a scan's paper bounded by a horizon or a band, or a sheet on a white table by a shadow, along one. A
// frame or strokes drawn beside its other sides, the paper showing again past them, do not count.
constexpr double leastSecondSide = 0.2;
// How much of the picture's border outside an outline is as light as its paper where the paper runs on to it:
// a scan's border is its paper, dimmed toward the corners, and the bands drawn along its sides.
constexpr double paperBorderShare = 0.25;
// How light that border is against the paper: a scan's light falls off toward its corners by a fifth.
constexpr double borderLight = 0.8;
// The least share of the border of the paper's own tint: a few points are enough, where none of a coloured
// surface, however light, is.
constexpr double paperTintShare = 0.015;
// How far apart two tints may be and be the same paper's.
constexpr double sameTint = 0.03;
// The share of its length along which the side least stepped down steps down at most, where the paper runs on.
constexpr double unsteppedSide = 0.1;
// The least share of a side along which a sheet's paper steps down by an eighth to the darker surface beyond it,
// where the picture shows what lies there: strokes of the drawing running out over the edge may hide the step
// in places.
constexpr double leastSideStepped = 0.05;

}  // namespace

bool stepsDownBeyond(const cv::Mat& colour, const Corners& c, bool colourlessSurface, bool inDoubt,
                     bool plainSurface) {
    const DarkerBeyond stepped =
        darkerBeyond(colour, c, !colourlessSurface, inDoubt,
                     colourlessSurface && plainSurface ? surfaceLineSides(colour, c) : std::vector<int>{});
    return stepped.share >= leastSteppedShare && stepped.secondSide >= leastSecondSide;
}

bool paperReachesBorder(const cv::Mat& colour, const Corners& c) {
    const cv::Vec3f paper = paperColour(colour, c);
    const double paperLight = lumaOf(paper);
    const cv::Point2d paperTint = chromaticity(cv::Scalar(paper), 0.05);
    std::vector<cv::Point2f> outline;
    for (const cv::Point2d& p : c) outline.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
    // Points spread evenly round the picture, 4 pixels inside its border, clear of its blur.
    constexpr int count = 200;
    const double w = colour.cols, h = colour.rows, perimeter = 2 * (w + h);
    int outside = 0, light = 0, tinted = 0;
    for (int k = 0; k < count; ++k) {
        const double t = (k + 0.5) / count * perimeter;
        const cv::Point2d p = t < w           ? cv::Point2d(t, 4)
                              : t < w + h     ? cv::Point2d(w - 5, t - w)
                              : t < 2 * w + h ? cv::Point2d(2 * w + h - t, h - 5)
                                              : cv::Point2d(4, perimeter - t);
        if (cv::pointPolygonTest(outline, cv::Point2f(p), false) >= 0) continue;
        ++outside;
        const cv::Vec3f at = sampleColour(colour, p);
        if (lumaOf(at) < borderLight * paperLight) continue;
        ++light;
        tinted += cv::norm(chromaticity(cv::Scalar(at), 0.05) - paperTint) < sameTint;
    }
    // Beyond the side least stepped, whatever is as light as the paper counts as it: the border's tint has been
    // weighed already.
    return outside > 0 && light >= paperBorderShare * outside && tinted >= paperTintShare * outside &&
           darkerBeyond(colour, c, true, true).weakestSide < unsteppedSide;
}

bool asLightBeyondASide(const cv::Mat& colour, const Corners& c) {
    const cv::Rect2d picture(1, 1, colour.cols - 3, colour.rows - 3);
    const double paper = paperLuma(colour, c);
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d a = c[i], b = c[(i + 1) % 4];
        const double length = cv::norm(b - a);
        const cv::Point2d inward = cv::Point2d(a.y - b.y, b.x - a.x) / length;
        const int count = std::max(4, static_cast<int>(length / 4));
        int shown = 0, darker = 0;  // points beyond which the picture shows anything; of them, those darker
        for (int k = 0; k < count; ++k) {
            const cv::Point2d q = a + (b - a) * (0.06 + 0.88 * (k + 0.5) / count);
            if (!picture.contains(q - inward * 14)) continue;
            ++shown;
            float beyond = 0;  // past the contact shadow, as darkerBeyond looks
            for (const double d : {10.0, 12.0, 14.0}) beyond += lumaAt(colour, q - inward * d);
            darker += beyond < 3 * 0.875 * paper;
        }
        // A side running out of the picture along half its length or more shows too little of what lies beyond.
        if (2 * shown >= count && darker < leastSideStepped * shown) return true;
    }
    return false;
}

cv::Mat colourfulPixels(const Analysis& a) {
    cv::Mat colourful;
    cv::compare(a.smallNeutral, 190, colourful, cv::CMP_LT);
    return colourful;
}

bool colourlessSurface(const cv::Mat& colourful) {
    const int band = std::max(1, std::min(colourful.cols, colourful.rows) / 25);
    cv::Mat border(colourful.size(), CV_8U, cv::Scalar(255));
    if (border.cols > 2 * band && border.rows > 2 * band)
        border(cv::Rect(band, band, border.cols - 2 * band, border.rows - 2 * band)).setTo(0);
    return cv::countNonZero(colourful & border) < 0.05 * cv::countNonZero(border);
}

}  // namespace quillfen::detail::paper
