#include "engine/cleanup/PaperCandidates.h"

#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperDetectors.h"
#include "engine/cleanup/detail/PaperKeeping.h"
#include "engine/cleanup/detail/PaperParts.h"
#include "engine/cleanup/detail/PaperProposals.h"
#include "engine/cleanup/detail/PaperShadows.h"

#include <algorithm>

namespace quillfen::detail::paper {

namespace {

// The outlines of sheets in the analysed picture; where relighting, a part of a sheet that a hard shadow's edge
// cut off, held by no sure outline, is looked for again in the picture relit across that edge.
std::vector<PaperCandidate> outlinesIn(const Analysis& a, const RectangleDetectorOptions& options, bool relighting,
                                      bool stripesAside = false) {
    if (options.maximumObservations <= 0) return {};
    const Surface surface = surfaceOf(a);
    std::vector<ScoredOutline> scored = scoredOutlines(a, options, surface, stripesAside);
    const SheetsIn sheetsInRelit = [&](const Bitmap& picture) { return outlinesIn(analyse(picture), options, false); };
    handOverParts(a, scored, relighting ? sheetsInRelit : SheetsIn());
    dropMatsAndPieces(a, scored);
    std::vector<PaperCandidate> sheets = keptSheets(a, options, surface, std::move(scored));
    // Where no sheet is found, a hard shadow's edge across the picture may have split one into parts of which
    // none stands out as a sheet: the sheets found in the picture relit across such an edge are proposed, the
    // longest edge's first.
    if (!sheets.empty() || !relighting) return sheets;
    const std::vector<ShadowEdge> shadowEdges = hardShadowEdges(a, surface.straightEdges);
    for (const ShadowEdge& edge : shadowEdges) {
        const cv::Point2d along = edge.line.direction.cross(edge.lit) > 0 ? edge.line.direction : -edge.line.direction;
        sheets = outlinesIn(analyse(relitBeyond(a.colour, edge.line.point, along, edge.light)), options, false);
        if (!sheets.empty()) break;
    }
    // On a colourless wall the edges of its stripes, many and long, may crowd the sheet's own sides out of
    // the lines the outlines are put together from: where still no sheet is found, in the picture as it is or
    // relit across a hard shadow's edge, and no such edge stands alone, the best two outlines of the lines left
    // when they are set aside are judged as well, with the same bar as the regions opened past the stripes, each
    // only where it holds half of such a region at least: a line drawn across the sheet, as the edge of a shape,
    // cuts off a piece of it. Only then: the edges of bands drawn along the sheet and of a shadow across it are
    // left too, and an outline along them would take the place of the sheet's own, less clear where the stripes
    // meet it, or pass for a sheet in the shadow's stead, the sunlit part between its edge and a stroke of the
    // drawing. A shadow's edge beside other lines parallel to it may be a sheet's side beside a stripe's edge or
    // a stroke, and the picture relit across it then shows no sheet; one standing alone is a shadow's.
    if (sheets.empty() && surface.colourless && surface.striped &&
        std::none_of(shadowEdges.begin(), shadowEdges.end(), [](const ShadowEdge& e) { return e.alone; }))
        sheets = outlinesIn(a, options, false, true);
    return sheets;
}

}  // namespace

std::vector<PaperCandidate> rectanglesIn(const Analysis& a, const RectangleDetectorOptions& options) {
    return outlinesIn(a, options, true);
}

}  // namespace quillfen::detail::paper

namespace quillfen::Cleaner {

std::vector<PaperCandidate> detectRectangles(const Bitmap& image, const RectangleDetectorOptions& options) {
    using namespace detail::paper;
    return analysable(image) ? rectanglesIn(analyse(image), options) : std::vector<PaperCandidate>{};
}

}  // namespace quillfen::Cleaner
