#include "engine/cleanup/PaperCandidates.h"

#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperDetectors.h"
#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperGeometry.h"
#include "engine/cleanup/detail/PaperJudging.h"
#include "engine/cleanup/detail/PaperLines.h"
#include "engine/cleanup/detail/PaperNetwork.h"
#include "engine/cleanup/detail/PaperStrokes.h"
#include "engine/cleanup/detail/PaperRefining.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace quillfen::detail::paper {

namespace {

// Whether an outline holds a sheet rather than any bright blob or a region of a scan's paper.
bool holdsASheet(const Analysis& a, const Corners& c) {
    // A stripe of wallpaper or a small shape is too small or too slender.
    if (!withinLimits(c, a.size, RectangleDetectorOptions{})) return false;
    // A sheet shows its edges along some of its outline, and its paper brighter than what lies beyond along
    // one side at least; a region of paper opened out of a larger sheet of one colour, a scan's, shows next
    // to no edge, and beside the bands drawn along a scan's sides no brighter paper.
    const double edges = edgeSupport(a.colour, c);
    const bool colourless = colourlessSurface(colourfulPixels(a));
    if (edges < 0.2 || brightestSideStep(a.colour, c, edges < doubtfulEdges && !colourless) < sheetStep)
        return false;
    const bool plain = colourless && !stripedSurface(edgeLines(a.smallLuma, 120), a.smallLuma.size());
    return stepsDownBeyond(a.colour, c, colourless, edges < doubtfulEdges, plain);
}

// Whether an outline the network marks is kept as the rectangle detector keeps its outlines: no piece of paper
// between strokes of the drawing, none with unclear edges whose paper runs on to the picture's border, and on a
// plain colourless surface none as light beyond one of its sides as its paper: a sheet on a white table.
bool keptAsAnOutline(const Analysis& a, const Corners& c) {
    const bool colourless = colourlessSurface(colourfulPixels(a));
    const bool plain = colourless && !stripedSurface(edgeLines(a.smallLuma, 120), a.smallLuma.size());
    return !betweenStrokes(a.colour, c, colourless) &&
           !((!colourless || plain) && edgeSupport(a.colour, c) < unclearEdges && paperReachesBorder(a.colour, c)) &&
           !(plain && asLightBeyondASide(a.colour, c));
}

// The largest region that stands out from the surface, outlined and refined, where it holds a sheet.
std::optional<PaperCandidate> standingOutSheet(const Analysis& a) {
    cv::Mat binary;
    cv::morphologyEx(a.foreground, binary, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(7, 7)));
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(binary, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    const auto largest = std::max_element(contours.begin(), contours.end(), [](const auto& x, const auto& y) {
        return cv::contourArea(x) < cv::contourArea(y);
    });
    if (largest == contours.end()) return std::nullopt;
    const auto quad = quadFromContour(*largest);
    if (!quad) return std::nullopt;
    Corners c;
    const double back = 1 / a.smallScale;
    for (int i = 0; i < 4; ++i) c[i] = ((*quad)[i] + cv::Point2d(0.5, 0.5)) * back - cv::Point2d(0.5, 0.5);
    c = ordered(c);
    if (!isConvex(c)) return std::nullopt;
    c = refine(a.colour, c, 3);
    if (!holdsASheet(a, c)) return std::nullopt;
    // Sure when the region fills its outline and stands alone on a plain surface.
    const double solidity = cv::contourArea(*largest) / std::max(1.0, polygonArea(*quad));
    return PaperCandidate{unitQuad(c, a.size), std::clamp(solidity, 0.0, 1.0) * regionSupport(a, c)};
}

}  // namespace

// The region standing out from the surface where it is a sure sheet; failing that, the sheet the network marks,
// judged as that region is.
std::vector<PaperCandidate> documentIn(const Analysis& a) {
    if (const auto region = standingOutSheet(a); region && region->confidence > 0.5) return {*region};
    const std::vector<PaperCandidate> learned = networkSheetIn(a.colour);
    if (learned.empty()) return {};
    const Corners c = pixelCorners(learned.front().quad, a.size);
    if (!holdsASheet(a, c) || !keptAsAnOutline(a, c)) return {};
    return learned;
}

}  // namespace quillfen::detail::paper

namespace quillfen::Cleaner {

std::vector<PaperCandidate> segmentDocument(const Bitmap& image) {
    using namespace detail::paper;
    return analysable(image) ? documentIn(analyse(image)) : std::vector<PaperCandidate>{};
}

}  // namespace quillfen::Cleaner
