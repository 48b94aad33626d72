#pragma once

#include <functional>

#include <opencv2/core.hpp>

#include "engine/core/Bitmap.h"

// Internal to the engine's image code: scaling pictures in linear light with Lanczos resampling
// (eight taps, the weights OpenCV's INTER_LANCZOS4 uses), one source row at a time, so that a scaled
// picture is made without a full-size working copy of the source. Safe on any thread; large
// pictures are scaled in bands in parallel.
namespace quillfen::detail {

// Rows of linear light in 16-bit units (0...65535) as floats. A source fills row y of its picture,
// four floats a pixel: red, green, blue and one unused. A target receives row y of the scaled one,
// three a pixel (red, green, blue) followed by three floats more that may be read. Both are called from
// several threads at once, for different rows.
using SourceRows = std::function<void(int y, float* row)>;
using TargetRows = std::function<void(int y, const float* row)>;

// The rows of an opaque 8-bit picture (CV_8UC3 RGB or CV_8UC4 RGBX) and of a Bitmap (flattened
// onto white).
SourceRows rowsOfOpaqueRgb(const cv::Mat& rgb);
SourceRows rowsOfBitmap(const Bitmap& bitmap);

// The rows of a from-sized picture scaled into rgba (CV_8UC4, of the scaled size) as
// opaque 8-bit sRGB: an area average down to twice the size when it shrinks by more than half,
// then Lanczos; whole makes the picture's working copy for the area average when one is needed.
void resizeInto(const SourceRows& rows, cv::Size from, const std::function<cv::Mat()>& whole, cv::Mat& rgba);

}  // namespace quillfen::detail
