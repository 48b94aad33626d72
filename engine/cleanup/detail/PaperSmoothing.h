#pragma once

#include <opencv2/core.hpp>

// Internal to paper detection: the Gaussian smoothing of the working copy's colour, on which outlines are
// refined, and of the analysis copy's Lab colour, of which the surface is modelled. Pure functions; any thread.
namespace quillfen::detail::paper {

// The 8-bit picture (channels side by side) smoothed as cv::GaussianBlur with the given sigma smooths it, into
// out, which is made the picture's size and type unless it is. OpenCV weighs the pixels each way by weights in
// 256ths, first across, then down, every sum exact in its fixed-point steps, and rounds the sum of 65536ths
// halfway up; pixels beyond the picture mirror those inside it, the border pixel unrepeated. The sums are
// whole numbers, so they are added down first, sixteen values at a time, and then across, by OpenCV's own
// weights of the sigma, and give the same bytes. Pictures no larger than the weights' reach, sigmas below 1,
// and processors without AVX2 are smoothed by OpenCV.
void smoothGaussian(const cv::Mat& picture, cv::Mat& out, double sigma);
// The picture smoothed with sigma 1, as lightly as the working copy's colour is for refining: OpenCV weighs
// seven pixels each way by 1, 14, 62, 102, 62, 14 and 1 in 256ths.
void smoothLightly(const cv::Mat& picture, cv::Mat& out);

}  // namespace quillfen::detail::paper
