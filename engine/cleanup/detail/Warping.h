#pragma once

#include <opencv2/core.hpp>

#include "engine/core/Bitmap.h"

// Internal to the cleanup: the geometric steps on working pictures. Safe on any thread; large
// pictures are warped in bands in parallel.
namespace quillfen::detail {

// The region of a Bitmap (inside it) as a working picture of four samples a pixel (CV_16UC4: red,
// green, blue, one unused), the form warpedLinear reads; transparency is flattened onto white.
cv::Mat linearQuadsOfBitmap(const Bitmap& bitmap, const cv::Rect& region);

// A width x height working picture whose pixel (x, y) is the source (CV_16UC4) at toSource * (x, y, 1),
// pixel indices after the perspective divide: positions are rounded to 1/32 pixel and interpolated
// bilinearly, with the source's edge pixels repeated beyond it. CV_16UC3, or CV_16UC4 with four
// samples a pixel for another warp to read.
cv::Mat warpedLinear(const cv::Mat& source, const cv::Matx33d& toSource, int width, int height,
                     int samples = 3);
// The same warp read straight from an opaque Bitmap, its codes turned into linear light as they are read.
cv::Mat warpedLinear(const Bitmap& opaque, const cv::Matx33d& toSource, int width, int height,
                     int samples = 3);
// The sampling positions of the warp for pixels x ... x + count - 1 of row y, in 1/32 pixels of the
// source: toSource * (x, y, 1) after the perspective divide, rounded half to even, held to the int range
// (not a number: INT_MIN), where a divisor of 0 puts the pixel at the origin.
void samplingPositions(const cv::Matx33d& toSource, int x, int y, int count, int* fixedX, int* fixedY);
// Whether every pixel of the region (inside the bitmap) is opaque.
bool isOpaque(const Bitmap& bitmap, const cv::Rect& region);

}  // namespace quillfen::detail
