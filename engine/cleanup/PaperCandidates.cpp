#include "engine/cleanup/PaperCandidates.h"

#include "engine/cleanup/detail/PaperDetectors.h"
#include "engine/cleanup/detail/PaperGeometry.h"
#include "engine/cleanup/detail/PaperNetwork.h"
#include "engine/cleanup/detail/PaperSmoothing.h"

#include <opencv2/imgproc.hpp>

namespace quillfen::detail::paper {

bool analysable(const Bitmap& image) {
    return !image.isEmpty() && image.pixels.size() == Bitmap::byteCount(image.width, image.height) &&
           image.width >= 16 && image.height >= 16;
}

Sighting sight(const Bitmap& image) {
    const cv::Mat rgba(image.height, image.width, CV_8UC4, const_cast<std::uint8_t*>(image.pixels.data()));
    cv::Mat rgb, colour;
    cv::cvtColor(rgba, rgb, cv::COLOR_RGBA2RGB);
    // Lightly smoothed, so that paper grain and JPEG noise do not pass for the sheet's edges when refining.
    smoothLightly(rgb, colour);
    const std::vector<PaperCandidate> found = networkSheetIn(colour);
    return {colour.size(), found.empty() ? std::nullopt : std::optional(found.front())};
}

std::vector<PaperCandidate> rectanglesIn(const Sighting& s, const RectangleDetectorOptions& options) {
    if (options.maximumObservations <= 0 || !s.sheet || s.sheet->confidence < options.minimumConfidence) return {};
    if (!withinLimits(pixelCorners(s.sheet->quad, s.size), s.size, options)) return {};
    return {*s.sheet};
}

std::vector<PaperCandidate> documentIn(const Sighting& s) {
    return s.sheet ? std::vector<PaperCandidate>{*s.sheet} : std::vector<PaperCandidate>{};
}

}  // namespace quillfen::detail::paper

namespace quillfen::Cleaner {

std::vector<PaperCandidate> detectRectangles(const Bitmap& image, const RectangleDetectorOptions& options) {
    using namespace detail::paper;
    return analysable(image) ? rectanglesIn(sight(image), options) : std::vector<PaperCandidate>{};
}

std::vector<PaperCandidate> segmentDocument(const Bitmap& image) {
    using namespace detail::paper;
    return analysable(image) ? documentIn(sight(image)) : std::vector<PaperCandidate>{};
}

}  // namespace quillfen::Cleaner
