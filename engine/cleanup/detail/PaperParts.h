#pragma once

#include <functional>
#include <vector>

#include "engine/cleanup/PaperCandidates.h"
#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperProposals.h"

// Internal to paper detection: how the sure outlines found in one picture stand for the sheet when some of them
// are parts of it, mats around it or pieces of its drawing. Pure functions.
namespace quillfen::detail::paper {

// The sheets found in a picture; used on the picture relit across a hard shadow's edge.
using SheetsIn = std::function<std::vector<PaperCandidate>(const Bitmap& picture)>;

// Drops the outlines that are parts of a sheet, cut off by a hard shadow's edge or a wall stripe's edge, giving
// their surety to the whole sheet's outline, and those that took in the surface beside a sheet along two
// straight lines of the surface. A part held by no outline of the whole sheet is replaced by one that
// sheetsInRelit finds across the shadow's edge, where sheetsInRelit is given.
void handOverParts(const Analysis& a, std::vector<ScoredOutline>& scored, const SheetsIn& sheetsInRelit);
// Drops the outlines around a brighter sheet, the mats and books it lies on, and then those that are pieces of
// the drawing inside a crisp sheet's outline.
void dropMatsAndPieces(const Analysis& a, std::vector<ScoredOutline>& scored);

}  // namespace quillfen::detail::paper
