#pragma once

#include <opencv2/core.hpp>

#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: lines drawn across an outline's side and the tint of paper, in the working copy
// (CV_8UC3 RGB, lightly smoothed). Pure functions.
namespace quillfen::detail::paper {

// Whether the picture across the side at q is a drawn line: the darkest point near the side is much
// darker than the picture clear of it on both sides. Reach is how far a thick line may lie from the
// side, which may have settled on either of its borders.
bool drawnLineAt(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, double reach);

// The chromaticity of a colour, red and blue against green over their sums, each channel taken as at least
// least: the strength of the light leaves it alone, so the same paper in less light keeps it.
cv::Point2d chromaticity(const cv::Scalar& colour, double least);

}  // namespace quillfen::detail::paper
