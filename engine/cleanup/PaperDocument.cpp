#include "engine/cleanup/PaperCandidates.h"

#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperDetectors.h"
#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperGeometry.h"
#include "engine/cleanup/detail/PaperJudging.h"
#include "engine/cleanup/detail/PaperLines.h"
#include "engine/cleanup/detail/PaperRefining.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace quillfen::detail::paper {

std::vector<PaperCandidate> documentIn(const Analysis& a) {
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
    // A sheet shows its edges along some of its outline, and its paper brighter than what lies beyond along
    // one side at least; a region of paper opened out of a larger sheet of one colour, a scan's, shows next
    // to no edge, and beside the bands drawn along a scan's sides no brighter paper.
    const double edges = edgeSupport(a.colour, c);
    const bool colourless = colourlessSurface(colourfulPixels(a));
    if (edges < 0.2 || brightestSideStep(a.colour, c, edges < doubtfulEdges && !colourless) < sheetStep)
        return {};
    const bool plain = colourless && !stripedSurface(edgeLines(a.smallLuma, 120), a.smallLuma.size());
    if (!stepsDownBeyond(a.colour, c, colourless, edges < doubtfulEdges, plain)) return {};
    // Sure when the region fills its outline and stands alone on a plain surface.
    const double solidity = cv::contourArea(*largest) / std::max(1.0, polygonArea(*quad));
    return {PaperCandidate{unitQuad(c, a.size), std::clamp(solidity, 0.0, 1.0) * regionSupport(a, c)}};
}

}  // namespace quillfen::detail::paper

namespace quillfen::Cleaner {

std::vector<PaperCandidate> segmentDocument(const Bitmap& image) {
    using namespace detail::paper;
    return analysable(image) ? documentIn(analyse(image)) : std::vector<PaperCandidate>{};
}

}  // namespace quillfen::Cleaner
