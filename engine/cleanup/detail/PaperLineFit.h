#pragma once

#include <opencv2/core.hpp>

#include <vector>

// Internal to paper detection: the robust line through the edge points found along an outline's side.
// A pure function.
namespace quillfen::detail::paper {

// What cv::fitLine gives for the points with DIST_HUBER, its own parameter and 0.01 for both accuracies,
// bit for bit: (vx, vy, x0, y0). It reweights least squares from 20 starts of 10 of the points drawn by
// OpenCV's generator seeded alike for every call, and keeps the line of least total distance that any
// start reached, the first such. The starts are independent, so four of them are followed side by side in
// the lanes of vectors, each lane's sums in the order of one start alone; only where a start comes within a
// rounding error of the points, whose end then depends on the starts before it, are they followed one after
// another as OpenCV does.
cv::Vec4f huberLine(const std::vector<cv::Point2f>& points);

}  // namespace quillfen::detail::paper
