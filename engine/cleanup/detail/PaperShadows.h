#pragma once

#include <optional>
#include <vector>

#include "engine/core/Bitmap.h"
#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperGeometry.h"
#include "engine/cleanup/detail/PaperLines.h"

// Internal to paper detection: the edge of a hard shadow falling across the picture, and the picture relit
// across such an edge. Pure functions on values.
namespace quillfen::detail::paper {

// A straight edge of a hard shadow in pixels of the working copy: the line, the normal that points to the
// lit side, and the share of light that the shadow leaves.
struct ShadowEdge {
    Line line;
    cv::Point2d lit;
    double light = 1;
    // Whether no other straight edge of the picture runs parallel to it: a sheet's side taken for a shadow's edge
    // runs beside a stripe's edge or a stroke of the drawing.
    bool alone = true;
};

// The straight edges across the picture, longest first, along which the light steps by one share over whatever
// it crosses: on most of the edge the shaded side is the lit side's colour in clearly less light, by nearly the
// same share all along, while the lit side itself turns lighter and darker, from a wall's stripe to the next
// and from the surface to a sheet. A stripe's edge of a wall runs beside many others parallel to it (stripeEdge),
// and a sheet's side faces its opposite side, parallel to it, across a fifth of the picture at least: neither is
// such an edge. A shadow's edge may run beside a few others, lines of the drawing or of the room across which it
// falls. Looked for among the picture's straight edges, lines: edgeLines of its luma copy, 120 of them, as a
// wall's stripes make many.
std::vector<ShadowEdge> hardShadowEdges(const Analysis& a, const std::vector<EdgeLine>& lines);

// The outside's light over the inside's along the stretch from `from` to `to` (inward the normal to the inside)
// where it is a hard shadow's edge across paper, told point by point: at half of 16 points at least, one side
// is the other's colour in clearly less light, both for some way (as light 13 pixels off as 3 pixels off), the
// brighter side as light as lit at a quarter of them at least, and at most of them the light steps by nearly
// one share. A line or a shape of the drawing crossing the edge darkens the mean colours of the two sides
// unevenly, but leaves the points where it crosses in one share of light too; where the light burnt out a
// channel of the sunlit paper, the share is taken from the others. Nothing where the stretch is no such edge.
std::optional<double> shadowShareOverPaper(const cv::Mat& colour, cv::Point2d from, cv::Point2d to,
                                           cv::Point2d inward, double lit);

// The picture (CV_8UC3 RGB) with the light on the shaded side of the line through from along along (its left
// as the picture is shown) raised by one over the given share: a hard shadow darkens all it falls on by about
// the same share, so a sheet across its edge stands out whole again, its edges in the shadow as clear as in
// full light.
Bitmap relitBeyond(const cv::Mat& colour, cv::Point2d from, cv::Point2d along, double light);

}  // namespace quillfen::detail::paper
