#pragma once

#include <opencv2/core.hpp>

#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: the sides of an outline moved onto the sheet's edges among the colour edges of
// the working copy (CV_8UC3 RGB, lightly smoothed). Pure functions.
namespace quillfen::detail::paper {

// Moves each side of the outline onto the edge nearby, keeping sides that show no edge. Of the clear edges
// it takes the outermost, so that colour drawn up to the sheet's edge does not pull a side inwards, but not
// the far edge of a white stripe of a grey wall, or of a mat's light border, that runs along the side, nor the
// outer edge of a light line of a lattice or motif on the surface that runs along it outside the sheet. Past
// drawn lines, the steps of a line drawn near the side do not count in telling a clear edge, so that the
// sheet's fainter edge beyond a frame drawn close inside it is taken.
Corners refine(const cv::Mat& colour, Corners c, double range, bool pastDrawnLines = false);

}  // namespace quillfen::detail::paper
