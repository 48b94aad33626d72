#pragma once

#include <array>
#include <optional>
#include <vector>

#include <opencv2/core.hpp>

#include "engine/cleanup/PaperCandidates.h"
#include "engine/library/CleanupRecords.h"

// Internal to paper detection: outlines of four corners in pixels of the working copy, and the plane
// geometry that proposing and judging them needs. Pure functions on values.
namespace quillfen::detail::paper {

using Corners = std::array<cv::Point2d, 4>;  // pixel centres, y downwards, clockwise from top left

struct Line {
    cv::Point2d point, direction;
};

// Where two lines cross; nothing for parallel lines.
std::optional<cv::Point2d> intersect(const Line& a, const Line& b);

// Puts four points in clockwise order on screen, starting with the one nearest the top left.
Corners ordered(Corners c);
bool isConvex(const Corners& c);
// The outline whose side i lies along sides[i], each corner where the sides before and after it cross;
// nothing where two neighbouring sides are parallel or the outline is not convex.
std::optional<Corners> cornersOf(const std::array<Line, 4>& sides);
// The four vertices of the contour's hull that enclose the most area.
std::optional<Corners> quadEnclosingMost(const std::vector<cv::Point>& contour);
// Whether an outline has the size, proportions and corner angles asked for.
bool withinLimits(const Corners& c, cv::Size size, const RectangleDetectorOptions& options);
// The convex outline with each side moved the given distance towards its inside, parallel to itself; nothing
// when the sides would pass each other.
std::optional<Corners> inset(const Corners& c, double distance);
// Corners in unit coordinates of a picture of that size, origin at the bottom left, y upwards.
Quad unitQuad(const Corners& c, cv::Size size);
// Corners in pixels of a picture of that size of a quad in unit coordinates: the inverse of unitQuad.
Corners pixelCorners(const Quad& q, cv::Size size);

}  // namespace quillfen::detail::paper
