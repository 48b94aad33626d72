#pragma once

#include <vector>

#include "engine/cleanup/PaperCandidates.h"
#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperProposals.h"

// Internal to paper detection: which of the sure outlines left in one picture are proposed as sheets. Pure.
namespace quillfen::detail::paper {

// The sheets among the outlines, surest first, at most options.maximumObservations of them: an outline that
// repeats or swallows a surer one, or that does not look like a sheet on a darker surface, is left out, and
// one that is a part of a sheet kept around it is dropped.
std::vector<PaperCandidate> keptSheets(const Analysis& a, const RectangleDetectorOptions& options,
                                       const Surface& surface, std::vector<ScoredOutline> scored);

}  // namespace quillfen::detail::paper
