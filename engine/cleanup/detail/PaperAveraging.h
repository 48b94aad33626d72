#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>

// Internal to paper detection: pictures averaged down over boxes to exactly the bytes that cv::resize's
// INTER_AREA gives, faster for the sizes detection uses. Pure functions.
namespace quillfen::detail::paper {

// The sums of count bytes of each of rows rows, step bytes apart from first, down each column, in 16 bits:
// exact for at most 257 rows.
void columnSums(const std::uint8_t* first, std::size_t step, int rows, int count, std::uint16_t* sums);
// An 8-bit RGB picture averaged over boxes down to the given size, what cv::resize's INTER_AREA gives. Where
// the picture's sides are 8/3 of the size's, as for the analysis copy of a working copy of 1024 x 768, each
// pixel weighs the picture's pixels it covers in eighths, so its sum is a whole number of 64ths, which the
// floats of INTER_AREA also hold exactly; rounded halfway to even, as they are, the bytes are the same.
cv::Mat areaAveraged(const cv::Mat& rgb, cv::Size size);
// A picture of 8-bit channels averaged down to the given size, what cv::resize's INTER_AREA gives. Where the
// size divides the picture into whole boxes, INTER_AREA takes each channel's whole sum over a box times the
// float of one over the box's pixels, rounded halfway to even, and so does this; it adds a box's rows down
// each column at once, in 16 bits, rather than a box's pixels one by one. Pictures of four channels in boxes that
// are not whole take INTER_AREA's float weights of each pixel in its order, a pixel's channels at once. Other
// pictures are resized by OpenCV.
cv::Mat boxAveraged(const cv::Mat& picture, cv::Size size);

}  // namespace quillfen::detail::paper
