#pragma once

#include <opencv2/core.hpp>

// Internal to the engine's image code: the large working pictures of the cleanup, stored as large
// Bitmaps are (engine/core/PixelStorage.h). Safe on any thread.
namespace quillfen::detail {

// An uninitialised rows x columns picture of that type; a large one is a mapping of its own.
cv::Mat largeMat(int rows, int columns, int type);

}  // namespace quillfen::detail
