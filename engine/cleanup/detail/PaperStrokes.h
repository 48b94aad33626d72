#pragma once

#include <opencv2/core.hpp>

#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: strokes drawn on paper that an outline's sides may run along, told against the
// colour edges of the working copy (CV_8UC3 RGB, lightly smoothed). Pure functions.
namespace quillfen::detail::paper {

// Whether two sides of the outline run along strokes drawn on paper, each along a quarter of its length at
// least: across the side, clear of a thick stroke on both sides, the picture is one paper, and near the side
// lies a point clearly of another colour, either of another tint or much darker. Such an outline is a piece
// of a scan's paper, or of a sheet's on a white table, between strokes of the drawing: a sheet's side has its
// paper on one side only, and a grey stripe of a wall beside a white sheet is neither tinted nor much darker.
bool betweenStrokes(const cv::Mat& colour, const Corners& c, bool colourlessSurface);

}  // namespace quillfen::detail::paper
