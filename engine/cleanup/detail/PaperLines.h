#pragma once

#include <vector>

#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: outlines put together from straight edges, for sheets whose region
// does not stand out as a whole from a busy surface. Pure functions.
namespace quillfen::detail::paper {

// Collinear pieces of edge with the same bright side: a line, the normal that points to its bright
// side, and the stretches along the line that the pieces cover.
struct EdgeLine {
    cv::Point2d point, direction, bright;
    std::vector<std::pair<double, double>> stretches;
    double length = 0;
};

// The count longest lines of joined edge pieces with a clear step in luma across them, in pixels of the luma
// copy (CV_8U), longest first.
std::vector<EdgeLine> edgeLines(const cv::Mat& luma8, std::size_t count);
// Whether other runs parallel to l (within 2 degrees) and apart from it, as a stripe's other edges and a sheet's
// opposite side do.
bool parallelApart(const EdgeLine& l, const EdgeLine& other);
// Whether a line is an edge of a wall's stripes: ten other lines at least run parallel to it and apart from it,
// where a sheet's side has one, its opposite side, and a room's edges, a hard shadow's edge crossing a drawing
// or the strokes drawn along it a few.
bool stripeEdge(const EdgeLine& l, const std::vector<EdgeLine>& lines);
// The lines that are no edges of a wall's stripes, in their order.
std::vector<EdgeLine> stripesSetAside(std::vector<EdgeLine> lines);
// Whether some of the lines, in a picture of the given size, are edges of a wall's stripes (stripeEdge): a few of
// them run on out to the picture's border, as a wall's stripes do beyond the sheet, where the parallel strokes of
// a field of grass drawn on a sheet lying on a white table end inside it.
bool stripedSurface(const std::vector<EdgeLine>& lines, cv::Size picture);
// Outlines of four of the 28 longest of the edge lines of the analysis copy, longest first, each brighter on its
// inside, in full-size pixels and best first: pairs of roughly opposite lines that face each other are paired,
// and the quads that two such pairs make are ranked by how much of their sides the lines cover.
std::vector<Corners> lineProposals(const Analysis& a, std::vector<EdgeLine> lines,
                                   const RectangleDetectorOptions& options, int count);

}  // namespace quillfen::detail::paper
