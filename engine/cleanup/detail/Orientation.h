#pragma once

#include <opencv2/core.hpp>

// Internal to the engine's image code: turning stored pixels upright by their EXIF orientation
// (1 to 8; any other value leaves them as stored). Safe on any thread.
namespace quillfen::detail {

// Whether the orientation turns or mirrors the stored pixels at all.
bool reorients(int orientation);

// Whether the upright picture's width is the stored height.
bool swapsSides(int orientation);

// The picture turned upright, written into out (which may hold a buffer of the right size already).
// Pixels of 3, 4 or 6 bytes; large pictures are turned in tiles on OpenCV's threads.
void oriented(const cv::Mat& image, int orientation, cv::Mat& out);

}  // namespace quillfen::detail
