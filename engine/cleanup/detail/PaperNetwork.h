#pragma once

#include <optional>
#include <vector>

#include <opencv2/core.hpp>

#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: the learned document detector. A segmentation network marks the sheet in the
// working copy; the largest marked region's outline gets four fitted sides, whose corners are then refined on
// the picture's edges. Pure functions; each thread runs a network of its own.
namespace quillfen::detail::paper {

// The chance that each cell shows the sheet, 0 to 1 (CV_32F, the network's square input side each way), for a
// picture (CV_8UC3 RGB) stretched onto that square. Empty when the network cannot be read or run.
cv::Mat sheetChances(const cv::Mat& rgb);
// The sheet's outline from the chances, in pixels of a picture of the given size. For the regions of chances
// above a half, a quarter and three quarters (of each, the one whose outer contour encloses the most area):
// the four hull corners that enclose the most area, the outline with each side fitted to the region's outline
// points along it, and that fitted again. Of these and the picture's frame, the one the chances agree with
// clearly most; the first fitted outline at a half where none does. Nothing without a region above a half.
std::optional<Corners> regionOutline(const cv::Mat& chances, cv::Size picture);
// The outline of the whole picture of that size, along the outer edges of its border pixels.
Corners frameOf(cv::Size picture);
// How far the chances agree with the outline: the mean over cells of their chance by the share of the cell
// inside it and of their complement by the share outside.
double agreement(const cv::Mat& chances, const Corners& c, cv::Size picture);
// The sheet that the network finds in a working copy's colour (lightly smoothed, CV_8UC3 RGB), its corners
// refined on that colour, with a confidence from its agreement; empty when there is none or it fills the
// picture.
std::vector<PaperCandidate> networkSheetIn(const cv::Mat& colour);

}  // namespace quillfen::detail::paper
