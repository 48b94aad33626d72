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
// Outlines of four straight edges of the analysis copy, each brighter on its inside, in full-size
// pixels and best first: collinear pieces of edge are joined, pairs of roughly opposite edges that face
// each other are paired, and the quads that two such pairs make are ranked by how much of their sides
// the edges cover.
std::vector<Corners> lineProposals(const Analysis& a, const RectangleDetectorOptions& options, int count);

}  // namespace quillfen::detail::paper
