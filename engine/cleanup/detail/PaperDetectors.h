#pragma once

#include <optional>
#include <vector>

#include <opencv2/core.hpp>

#include "engine/cleanup/PaperCandidates.h"
#include "engine/core/Bitmap.h"

// Internal to paper detection: the rectangle and document detectors, both on the sheet that the paper
// segmentation network marks in the working copy, which one detection looks for once. Pure functions.
namespace quillfen::detail::paper {

// The sheet the network marks in a picture, refined on the picture's edges; nothing where it marks none.
struct Sighting {
    cv::Size size;
    std::optional<PaperCandidate> sheet;
};

// Whether a picture has pixels enough to look at: at least 16 each way.
bool analysable(const Bitmap& image);
// The sheet the network marks in an analysable picture.
Sighting sight(const Bitmap& image);
// The sighted sheet where it keeps the rectangle detector's limits and is at least as sure as they ask.
std::vector<PaperCandidate> rectanglesIn(const Sighting& s, const RectangleDetectorOptions& options);
// The sighted sheet, whatever its shape.
std::vector<PaperCandidate> documentIn(const Sighting& s);

}  // namespace quillfen::detail::paper
