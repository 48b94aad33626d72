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

// Proposes bright, roughly rectangular outlines that stand out from a darker surround, best first,
// at most options.maximumObservations of them, each at least options.minimumConfidence sure.
// Pure; any thread.
std::vector<PaperCandidate> detectRectangles(const Bitmap& image,
                                             const RectangleDetectorOptions& options = {});

// Outlines the one bright region that looks most like a document; empty when there is none.
// Its confidence says how clearly the region stands out. Pure; any thread.
std::vector<PaperCandidate> segmentDocument(const Bitmap& image);

}  // namespace quillfen::Cleaner
