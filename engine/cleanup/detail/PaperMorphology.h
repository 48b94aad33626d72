#pragma once

#include <opencv2/core.hpp>

#include <vector>

// Internal to paper detection: the opening of the analysis copy's 8-bit planes by a wide ellipse, and the
// opening and closing of its masks by a small one. Pure functions.
namespace quillfen::detail::paper {

// The picture (CV_8U, one channel) eroded, then dilated, by the ellipse of the given odd side that
// cv::getStructuringElement draws: what cv::morphologyEx's MORPH_OPEN gives, pixels beyond the picture
// taking no part. Each row of the ellipse is a run of pixels centred on its middle, so the least value over
// it is the least over each row's run, which the rows share: runs of every width across each row once,
// then the kernel's rows down each column. A wide ellipse takes far fewer steps so than pixel by pixel.
cv::Mat opened(const cv::Mat& picture, int side);
// Each mask (CV_8U, 0 or 255, all of one size) opened, then closed, by the ellipse of the given odd side that
// cv::getStructuringElement draws: what cv::morphologyEx's MORPH_OPEN and then MORPH_CLOSE give, pixels beyond
// the picture taking no part. Over a mask the least value is 255 where every pixel of the ellipse is set and
// the greatest where any is, so eight masks, one to each bit of a byte, are eroded and dilated at once, each
// byte by the bits set in all (or in any) of its ellipse's pixels, in the steps of opened.
std::vector<cv::Mat> openedAndClosed(const std::vector<cv::Mat>& masks, int side);
// Sets in the region (CV_8U, 0 or 255) the pixels of each of its holes, unset pixels that set ones enclose
// (neighbours across sides only), that has fewer than fewestPixels pixels or whose luma (CV_8U, of the region's
// size) is on average below that of the unset pixels along the picture's border, the surface: the gaps between
// strokes and lines drawn without colour on a sheet, not the surface showing between bright stripes of a wall
// that meet it, which runs on along them.
void fillDrawnHoles(const cv::Mat& luma, cv::Mat& region, double fewestPixels);

}  // namespace quillfen::detail::paper
