#pragma once

#include <opencv2/core.hpp>

#include <vector>

#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: outlines proposed from the regions of the analysis copy, each a convex quad
// in full-size pixels. Pure functions.
namespace quillfen::detail::paper {

// Outlines of bright regions and of closed edges in the analysis copy.
std::vector<Corners> regionProposals(const Analysis& a);
// On a colourless surface colour belongs to the drawing, so the sheet is its bright paper and its
// colours together, and its lines and shapes drawn without colour are the holes in that region darker than the
// surface or smaller than a quarter of the narrower ellipse it is opened by below; stripes of a wall as bright
// as the paper join that region where they meet the sheet, and opened wider than such a stripe the region is
// the sheet alone. Nothing on a coloured surface.
std::vector<Corners> colourlessSurfaceProposals(const Analysis& a, const cv::Mat& colourful);

}  // namespace quillfen::detail::paper
