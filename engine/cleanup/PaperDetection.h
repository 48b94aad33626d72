#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "engine/core/Bitmap.h"
#include "engine/library/CleanupRecords.h"
#include "engine/cleanup/PaperCandidates.h"

namespace quillfen::Cleaner {

// Rows of luma values 0...1; row 0 is the picture's bottom row, value 0 of a row its left end.
using LumaGrid = std::vector<std::vector<double>>;

// The two detectors that propose sheets in a working copy of a photo.
struct PaperDetectors {
    std::function<std::vector<PaperCandidate>(const Bitmap&)> rectangles;
    std::function<std::vector<PaperCandidate>(const Bitmap&)>
        document;  // tried only when rectangles finds none
};

// The copy of a photo that detection works on: at most 1024 pixels on its longer side, never enlarged,
// each pixel the plain average of the photo's pixels under it, transparency flattened onto white. For
// finding outlines only, never for printing. Nothing for a picture without pixels.
std::optional<Bitmap> workingCopy(const Bitmap& image);

// A quad found in the working copy of image, in image's own unit coordinates: the copy's pixels are the
// averages of boxes that start and end on whole pixels of the image, so their centres lie up to half an
// image pixel before where an evenly scaled copy's would.
Quad photoQuad(const Quad& found, const Bitmap& image);

// The corners of the sheet of paper in a decoded photo, or nothing when no sheet stands out from a
// darker surface: detectRectangles with its default limits, and segmentDocument, on the sheet the paper
// segmentation network marks once in the working copy. Pure; any thread, any number at once.
std::optional<Quad> detectPaper(const Bitmap& image);
std::optional<Quad> detectPaper(const Bitmap& image, const PaperDetectors& detectors);

// The picture stretched onto columns x rows cells, as luma. Empty when either count is not positive.
LumaGrid lumaGrid(const Bitmap& image, int columns, int rows);

// Whether the grid cells inside the quad are clearly brighter than those outside it, with enough
// cells on either side to tell.
bool quadLooksLikePaper(const Quad& quad, const LumaGrid& grid);

}  // namespace quillfen::Cleaner
