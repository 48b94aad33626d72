#include "engine/cleanup/detail/PaperJudging.h"

#include "engine/cleanup/detail/PaperEdges.h"

#include <opencv2/core.hpp>

#include <algorithm>

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

}  // namespace

bool stepsDownBeyond(const cv::Mat& colour, const Corners& c, bool colourlessSurface) {
    const DarkerBeyond stepped = darkerBeyond(colour, c, !colourlessSurface);
    return stepped.share >= leastSteppedShare && stepped.secondSide >= leastSecondSide;
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
