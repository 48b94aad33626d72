#pragma once

#include <opencv2/core.hpp>

#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: the sides of an outline moved onto the sheet's edges among the colour edges of
// the working copy (CV_8UC3 RGB, lightly smoothed). Pure functions.
namespace quillfen::detail::paper {

// Moves each side of the outline onto the strongest straight colour edge within range pixels of it, keeping
// sides that show no edge and the outline itself where the sides would move its corners far.
Corners refine(const cv::Mat& colour, Corners c, double range);

}  // namespace quillfen::detail::paper
