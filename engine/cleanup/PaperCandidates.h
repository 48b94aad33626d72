#pragma once

#include <vector>

#include "engine/core/Bitmap.h"
#include "engine/library/CleanupRecords.h"

namespace quillfen {

// A proposed sheet: four corners in unit coordinates of the picture (origin at the bottom left,
// y upwards) and how sure the detector is of it, 0 to 1.
struct PaperCandidate {
    Quad quad;
    double confidence = 0;

    bool operator==(const PaperCandidate&) const = default;
};

// Limits of the rectangle detector. Sizes are fractions of the picture's shorter side; the
// quadrature tolerance is the largest departure of a corner angle from 90 degrees.
struct RectangleDetectorOptions {
    int maximumObservations = 4;
    double minimumSize = 0.25;
    double minimumAspectRatio = 0.3;
    double quadratureTolerance = 30;
    double minimumConfidence = 0.5;
};

}  // namespace quillfen

namespace quillfen::Cleaner {

// The sheet that the paper segmentation network marks in the picture, its corners refined on the picture's
// edges, where it keeps the limits and is at least options.minimumConfidence sure; at most one. Pure; any thread.
std::vector<PaperCandidate> detectRectangles(const Bitmap& image,
                                             const RectangleDetectorOptions& options = {});

// The sheet that the network marks, whatever its shape, with how sure the network is of it; empty when it
// marks none. Pure; any thread.
std::vector<PaperCandidate> segmentDocument(const Bitmap& image);

}  // namespace quillfen::Cleaner
