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
// The outline with each side pushed outwards to the sheet's real edge when the side stopped early, at a
// band of colour drawn up to the edge or at the edge of a hard shadow falling across the sheet: the two
// neighbouring sides must go on as clear edges past the old corners, and the farthest parallel line
// they reach that shows a clear edge along its length, and just inside which the picture is not of the
// surface's colour beyond them (a mat's stripe's edge beyond the sheet), becomes the side; failing that,
// where the side lies on an edge that runs on past its end (a table's or a shadow's edge crossing the sheet
// aslant), the farthest such line parallel to the opposite side; failing that, the line between the far ends
// of their edges, where a shadow's or a table's edge crossed the sheet aslant. On a colourless surface, whose
// white stripes may hide the sheet's edge where they meet it, a neighbour is not given up for a missing edge
// within a tenth of the outline's depth past its corner, and the surface's colour is not asked.
Corners widenedToSheetEdges(const cv::Mat& colour, const Corners& c, bool colourlessSurface);
// The outline with a side pulled in to the sheet's edge where it lies on the edge of the surface beyond the
// sheet, a mat's or a book's a little way outside the sheet's: a sheet's sides are edges right up to its
// corners, so where both neighbours of a side that shows a clear edge show none next to it and then one,
// within a quarter of their length, the side lies past the sheet's corners, and the clear edge between where
// the neighbours' edges start is the sheet's side. A band drawn along the sheet's side keeps it: the band's
// edge on the surface beyond is the sheet's, and runs on along the neighbours. Where the neighbours show
// edges up to the side, along stripes of the mat that run on past the sheet's corners, a side just inside
// which lies the surface beyond the neighbours is pulled in to the nearest clear edge with no such surface
// inside it.
Corners narrowedToSheetCorners(const cv::Mat& colour, const Corners& c);

}  // namespace quillfen::detail::paper
