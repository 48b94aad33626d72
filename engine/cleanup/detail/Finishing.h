#pragma once

#include <optional>
#include <vector>

#include <opencv2/core.hpp>

#include "engine/core/Bitmap.h"
#include "engine/cleanup/Lighting.h"

// Internal to the cleanup: the lighting and whitening steps on a working picture (CV_16UC3 linear
// light), fused into the one pass that also turns it back into a Bitmap.
namespace quillfen::detail {

Cleaner::BackgroundMap backgroundMapOfLinear(const cv::Mat& linear);

// The picture divided by the background (when given, in linear light, clamped to 0...1), looked
// up in the colour cube (when given, on encoded values), as an opaque Bitmap.
Bitmap finished(const cv::Mat& linear, const Cleaner::BackgroundMap* background,
                const std::vector<float>* cube);

}  // namespace quillfen::detail
