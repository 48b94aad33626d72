#pragma once

#include <vector>

#include "engine/cleanup/PaperCandidates.h"
#include "engine/cleanup/detail/PaperAnalysis.h"

// Internal to paper detection: the rectangle and document detectors on an analysis of the working copy,
// so that one detection analyses the copy once for both. Pure functions.
namespace quillfen::detail::paper {

std::vector<PaperCandidate> rectanglesIn(const Analysis& a, const RectangleDetectorOptions& options);
std::vector<PaperCandidate> documentIn(const Analysis& a);

}  // namespace quillfen::detail::paper
