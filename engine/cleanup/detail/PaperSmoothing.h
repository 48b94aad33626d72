#pragma once

#include <opencv2/core.hpp>

// Internal to paper detection: the light smoothing of the working copy's colour, on which outlines are
// refined. A pure function.
namespace quillfen::detail::paper {

// The 8-bit picture (channels side by side) smoothed as cv::GaussianBlur with sigma 1 smooths it, into out,
// which is made the picture's size and type unless it is. OpenCV weighs seven pixels each way by 1, 14, 62,
// 102, 62, 14 and 1 in 256ths, first across, then down, every sum exact in its fixed-point steps, and rounds
// the sum of 65536ths halfway up; pixels beyond the picture mirror those inside it, the border pixel
// unrepeated. The sums are whole numbers, so they are added down first, sixteen values at a time, and then
// across, and give the same bytes. Pictures smaller than 4 x 4 pixels, and processors without AVX2, are
// smoothed by OpenCV.
void smoothLightly(const cv::Mat& picture, cv::Mat& out);

}  // namespace quillfen::detail::paper
