#pragma once

#include <opencv2/imgproc.hpp>

#include "engine/cleanup/detail/PaperGeometry.h"

// Small pictures of sheets for the tests of the detection's parts, drawn in float colours and
// photographed into the 8-bit working copy the analysis reads.
namespace quillfen::paperscenes {

// A picture of float colours 0...1 as the working copy holds it: 8-bit, smoothed as a lens does.
inline cv::Mat photographed(const cv::Mat& picture) {
    cv::Mat bytes;
    picture.convertTo(bytes, CV_8UC3, 255);
    cv::GaussianBlur(bytes, bytes, cv::Size(), 1.0);
    return bytes;
}

// The outline of an upright rectangle, corners from the top left round clockwise.
inline detail::paper::Corners box(double left, double top, double right, double bottom) {
    return {cv::Point2d(left, top), cv::Point2d(right, top), cv::Point2d(right, bottom),
            cv::Point2d(left, bottom)};
}

}  // namespace quillfen::paperscenes
