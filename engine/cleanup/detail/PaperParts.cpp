#include "engine/cleanup/detail/PaperParts.h"

#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperJudging.h"
#include "engine/cleanup/detail/PaperOutlines.h"
#include "engine/cleanup/detail/PaperShadows.h"
#include "engine/cleanup/detail/PaperStrokes.h"

#include <algorithm>
#include <optional>

namespace quillfen::detail::paper {

namespace {

constexpr double across = 3;  // pixels past an edge: more than refining the same edge strays

// The picture relit across the side from c[side] to c[side + 1], a hard shadow's edge, by the shadow's share of
// light along that side.
Bitmap relit(const cv::Mat& colour, const Corners& c, int side) {
    return relitBeyond(colour, c[side], c[(side + 1) % 4] - c[side], shadowLight(colour, c, side));
}

// A drawn line lies on the sheet, not along its edge: an outline with a side along one that a crisp
// outline holds, reaching to one of its sides, is a piece of the drawing that the line cuts off (the
// paper above a horizon, between a line and a band of colour), and the crisp outline is the sheet. A
// sheet on a mat keeps clear of all of the mat's sides.
bool pieceOfTheDrawing(const ScoredOutline& piece, const std::vector<ScoredOutline>& outlines) {
    return piece.drawnSide && std::any_of(outlines.begin(), outlines.end(), [&](const ScoredOutline& sheet) {
               return sheet.crisp && covered(piece.corners, sheet.corners) >= 0.9 &&
                      polygonArea(piece.corners) < 0.9 * polygonArea(sheet.corners) &&
                      sidesReachedAcross(sheet.corners, piece.corners, across) < 4;
           });
}

}  // namespace

void handOverParts(const Analysis& a, std::vector<ScoredOutline>& scored, const SheetsIn& sheetsInRelit) {
    const double reach = std::max(a.size.width, a.size.height);
    // The edge of a hard shadow across the sheet is as clear an edge as the sheet's own, and the sunlit part
    // stands out from the shaded paper beside it more clearly than the whole sheet from the surface: the
    // smallest sure outline that holds such a part, reaches on across the shadow's edge and is none itself is
    // the whole sheet, as sure as its part, and the part is dropped. A stripe's edge of a wall, white beside
    // grey as paper in full light beside paper in the shadow, looks like a shadow's edge: an outline stopped
    // short of it, inside the sheet, holds none of the paper beyond it. Reaching across takes a hundredth of
    // the picture: an outline of the part itself, refined from another proposal, may stray a few pixels past
    // its side at a corner, and would take the part's place as the whole sheet. Of those reaching across, one
    // with clear edges all round is the sheet before any smaller one: a part reaching a little further into
    // the shadow, its side there along no edge, holds less of the sheet than the outline clear all round.
    // Where no outline reaches across, the edge is a stripe's beyond the sheet, and the smallest outline
    // holding the part is the sheet, if it keeps to the part's other sides: past them lies no more of the
    // sheet the part was cut from, only more of the surface, so an outline reaching on past them is no such
    // sheet, and the part is judged as one held by none.
    std::vector<std::vector<int>> shaded(scored.size()), striped(scored.size());
    std::vector<char> dropped(scored.size());
    for (std::size_t i = 0; i < scored.size(); ++i) {
        SteppedSides sides = steppedSides(a.colour, scored[i].corners);
        shaded[i] = std::move(sides.shadowCut);
        striped[i] = std::move(sides.stripeEdge);
    }
    auto plain = [&](std::size_t j) { return shaded[j].empty() && striped[j].empty(); };
    // Gives outline i's surety to the surest other outline that takes it over, and drops i; where none does,
    // i stays as it is.
    auto handOver = [&](std::size_t i, const auto& takesOver) {
        std::optional<std::size_t> sheet;
        for (std::size_t j = 0; j < scored.size(); ++j)
            if (j != i && takesOver(j) && (!sheet || scored[j].confidence > scored[*sheet].confidence))
                sheet = j;
        if (!sheet) return;
        scored[*sheet].confidence = std::max(scored[*sheet].confidence, scored[i].confidence);
        dropped[i] = 1;
    };
    // A side along a stripe's edge of a wall, the grey beyond it turning white again, may lie on the far edge
    // of a white stripe beside the sheet, as clear an edge as the sheet's own: the surest outline holding
    // that one that stops at or short of such sides, showing clear edges along half of its outline, is the
    // sheet, as sure as the one it holds, which is dropped. Only one that keeps to its other sides, those
    // along no stripe's edge and no line of the surface, lying inside none of them by a hundredth of the
    // picture: one stopping short of such a side, at a band drawn along the sheet's edge, is a part of the
    // sheet, whichever side it reaches past. Held by none, the outline stays as it is.
    auto handOverStriped = [&](std::size_t i) {
        std::vector<int> offSheet = surfaceLineSides(a.colour, scored[i].corners);
        offSheet.insert(offSheet.end(), striped[i].begin(), striped[i].end());
        auto keepsToOtherSides = [&](std::size_t j) {
            for (int side = 0; side < 4; ++side)
                if (std::find(offSheet.begin(), offSheet.end(), side) == offSheet.end() &&
                    insideBy(scored[i].corners, scored[j].corners, side) > 0.01 * reach)
                    return false;
            return true;
        };
        handOver(i, [&](std::size_t j) {
            return plain(j) && scored[j].edges >= 0.5 &&
                   covered(scored[i].corners, scored[j].corners) >= 0.9 &&
                   std::none_of(striped[i].begin(), striped[i].end(), [&](int side) {
                       return reachBeyond(scored[j].corners, scored[i].corners, side) > 0.02 * reach;
                   }) &&
                   keepsToOtherSides(j);
        });
    };
    for (std::size_t i = 0; i < scored.size(); ++i) {
        if (shaded[i].empty()) {
            if (!striped[i].empty()) handOverStriped(i);
            continue;
        }
        auto reachesAcross = [&](std::size_t j) {
            return std::any_of(shaded[i].begin(), shaded[i].end(), [&](int side) {
                return reachBeyond(scored[j].corners, scored[i].corners, side) > 0.01 * reach;
            });
        };
        // The whole sheet holds the part's corners away from the shadow's edge, within a twenty-fifth of the
        // picture: an outline holding nine tenths of the part but cutting off one of them runs aslant across the
        // sheet or along lines of the surface beside it.
        std::optional<std::size_t> whole, beyond, clear;
        for (std::size_t j = 0; j < scored.size(); ++j) {
            if (!plain(j) || covered(scored[i].corners, scored[j].corners) < 0.9 ||
                !holdsCornersOff(scored[j].corners, scored[i].corners, shaded[i], 0.04 * reach))
                continue;
            if (scored[j].crisp && (!clear || scored[j].confidence > scored[*clear].confidence)) clear = j;
            const double area = polygonArea(scored[j].corners);
            if ((!whole || area < polygonArea(scored[*whole].corners)) &&
                reachesOnlyAcross(scored[j].corners, scored[i].corners, shaded[i], 0.02 * reach))
                whole = j;
            if (reachesAcross(j) &&
                (!beyond || (scored[j].crisp != scored[*beyond].crisp
                                 ? scored[j].crisp
                                 : area < polygonArea(scored[*beyond].corners))))
                beyond = j;
        }
        if (beyond) whole = beyond;
        if (!whole) {
            // Held by no sure outline, the lit part is a sheet only when it stands out from what lies in its
            // light as a sheet does: on a white table, or where the part is paper between lines of the
            // drawing, it does not, though the shadow beside it darkens the rest of the picture.
            if (std::any_of(shaded[i].begin(), shaded[i].end(),
                            [&](int side) { return !standsOutInItsLight(a, scored[i].corners, side); })) {
                dropped[i] = 1;
                continue;
            }
            // The sheet's edges in the shadow may be too faint to be followed, and the part a sheet of its
            // own: relit across the shadow's edge, the sheet's outline that holds the part and reaches on
            // across that edge takes its place, with its own edges, as sure as the part. Only one that is half
            // as large again: where the shadow holds less of it, the part is most of the sheet, and an outline
            // reaching on across its side may take in a stripe or a pattern of the surface beside the sheet's
            // own edge. Or one with clear edges all round in the picture as it is, which need hold only half of
            // the part: run on over the surface, its sides would not be clear, and the side taken for a shadow's
            // edge may be a wall stripe's edge along which the part ran on from the sheet onto the wall.
            if (!sheetsInRelit) continue;
            // The surest outline holding the part with clear edges all round in the picture as it is, none of
            // them a drawn line, is one the relit picture's outlines would give the part's place to: it takes
            // that place without relighting.
            if (clear) {
                scored[i] = {scored[*clear].corners, scored[i].confidence, scored[*clear].edges, true,
                             scored[i].region, false};
                continue;
            }
            const int side = shaded[i].front();
            for (const PaperCandidate& found : sheetsInRelit(relit(a.colour, scored[i].corners, side))) {
                const Corners sheet = pixelCorners(found.quad, a.size);
                const double held = covered(scored[i].corners, sheet), edges = edgeSupport(a.colour, sheet);
                if ((held >= 0.9 && reachBeyond(sheet, scored[i].corners, side) > across &&
                     polygonArea(sheet) > 1.5 * polygonArea(scored[i].corners)) ||
                    (held >= 0.5 && edges >= 0.97)) {
                    scored[i].corners = sheet;
                    const int drawn = drawnSides(a.colour, sheet);
                    scored[i].edges = edges;
                    scored[i].crisp = edges >= 0.97 && drawn == 0;
                    scored[i].drawnSide = drawn > 0;
                    break;
                }
            }
            continue;
        }
        scored[*whole].confidence = std::max(scored[*whole].confidence, scored[i].confidence);
        dropped[i] = 1;
    }
    // A straight line of the surface, a wall's stripe's edge, runs on past the corners of an outline along it,
    // where a sheet's sides end at its corners. One side of a sheet may lie along such a line by chance; an
    // outline with two sides along them took in the surface beside the sheet, as far as a stripe's edge on
    // either side of it. Its surety goes to the surest outline it holds, most of it, whose sides lie along no
    // such line and keep a hundredth of the picture inside those two, and it is dropped.
    std::vector<std::vector<int>> alongLines(scored.size());
    for (std::size_t i = 0; i < scored.size(); ++i)
        if (!dropped[i]) alongLines[i] = surfaceLineSides(a.colour, scored[i].corners);
    for (std::size_t i = 0; i < scored.size(); ++i) {
        if (dropped[i] || alongLines[i].size() < 2) continue;
        handOver(i, [&](std::size_t j) {
            return !dropped[j] && alongLines[j].empty() && scored[j].edges >= 0.5 &&
                   covered(scored[j].corners, scored[i].corners) >= 0.9 &&
                   polygonArea(scored[j].corners) >= 0.6 * polygonArea(scored[i].corners) &&
                   std::none_of(alongLines[i].begin(), alongLines[i].end(), [&](int side) {
                       return insideBy(scored[i].corners, scored[j].corners, side) < 0.01 * reach;
                   });
        });
    }
    std::vector<ScoredOutline> wholes;
    for (std::size_t i = 0; i < scored.size(); ++i)
        if (!dropped[i]) wholes.push_back(scored[i]);
    scored = std::move(wholes);
}

void dropMatsAndPieces(const Analysis& a, std::vector<ScoredOutline>& scored) {
    // An outline around a brighter sheet is the mat or book it lies on. The sheet inside shows its own edges
    // along at least half of its outline; paper between lines of the drawing, bounded mostly by the drawing,
    // may be brighter than the rest of the sheet in shadow or drawn over, and does not make the sheet a mat.
    // A sheet with clear edges all round that is no piece of the drawing is crisp here even where a side lies
    // along a narrow darker band: the strip of a book's cover between the sheet and the pale block of its
    // pages looks like a line drawn along that side.
    // A part of a sheet that a table's edge seen through the paper, or a shadow's edge, cuts off names no mat:
    // that edge runs on past the part's corner out over the surface beyond the whole sheet. Nor does a white
    // shape drawn on the sheet, outlined in ink all round, however faintly: a sheet on a mat steps down to it.
    // Nor does a part of a sheet bounded by the drawing, as bare paper between bands of colour or a patch of
    // sunlight is, where strokes of the drawing cross its sides on into the whole sheet.
    const std::vector<ScoredOutline> sure = scored;
    std::erase_if(scored, [&](const ScoredOutline& outer) {
        return std::any_of(sure.begin(), sure.end(), [&](const ScoredOutline& inner) {
            const bool crisp = inner.crisp || (inner.edges >= 0.97 && !pieceOfTheDrawing(inner, sure));
            return inner.edges >= 0.5 && enclosesBrighterSheet(a, outer.corners, inner.corners, crisp) &&
                   !crossedBySurfaceLine(a.colour, outer.corners, inner.corners) &&
                   !inkedAllRound(a.colour, inner.corners) &&
                   !drawingRunsOnAcross(a.colour, outer.corners, inner.corners);
        });
    });
    // A mat that a brighter sheet inside it names is dropped by now, so a mat never takes a sheet's place here.
    const std::vector<ScoredOutline> held = scored;
    std::erase_if(scored, [&](const ScoredOutline& piece) { return pieceOfTheDrawing(piece, held); });
}

}  // namespace quillfen::detail::paper
