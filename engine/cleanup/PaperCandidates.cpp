#include "engine/cleanup/PaperCandidates.h"

#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperDetectors.h"
#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperGeometry.h"
#include "engine/cleanup/detail/PaperJudging.h"
#include "engine/cleanup/detail/PaperLines.h"
#include "engine/cleanup/detail/PaperOutlines.h"
#include "engine/cleanup/detail/PaperRefining.h"
#include "engine/cleanup/detail/PaperRegions.h"
#include "engine/cleanup/detail/PaperShadows.h"
#include "engine/cleanup/detail/PaperStrokes.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace quillfen::detail::paper {

namespace {

// The share of a band just outside an outline, clear of the blur of its edge, that holds colour inside
// another outline: on a colourless surface that colour is the drawing's, which the other outline holds and
// this one cut off.
double drawingLeftOut(const Analysis& a, const cv::Mat& colourful, const Corners& outline,
                      const Corners& other) {
    const std::vector<cv::Point> polygon = smallPolygon(a, outline);
    cv::Mat band(colourful.size(), CV_8U, cv::Scalar(0)), near(colourful.size(), CV_8U, cv::Scalar(0));
    cv::Mat held(colourful.size(), CV_8U, cv::Scalar(0));
    cv::polylines(band, polygon, true, cv::Scalar(255), 13);  // up to 6 pixels outside
    cv::polylines(near, polygon, true, cv::Scalar(255), 5);   // the edge's blur: up to 2 pixels outside
    cv::fillConvexPoly(near, polygon, cv::Scalar(255));
    cv::fillConvexPoly(held, smallPolygon(a, other), cv::Scalar(255));
    band &= ~near;
    const int pixels = cv::countNonZero(band);
    return pixels ? static_cast<double>(cv::countNonZero(band & colourful & held)) / pixels : 0;
}

// The picture relit across the side from c[side] to c[side + 1], a hard shadow's edge, by the shadow's share of
// light along that side.
Bitmap relit(const cv::Mat& colour, const Corners& c, int side) {
    return relitBeyond(colour, c[side], c[(side + 1) % 4] - c[side], shadowLight(colour, c, side));
}

std::vector<PaperCandidate> outlinesIn(const Analysis& a, const RectangleDetectorOptions& options, bool relighting,
                                      bool stripesAside = false);

}  // namespace

std::vector<PaperCandidate> rectanglesIn(const Analysis& a, const RectangleDetectorOptions& options) {
    return outlinesIn(a, options, true);
}

namespace {

// The outlines of sheets in the analysed picture; where relighting, a part of a sheet that a hard shadow's edge
// cut off, held by no sure outline, is looked for again in the picture relit across that edge.
std::vector<PaperCandidate> outlinesIn(const Analysis& a, const RectangleDetectorOptions& options, bool relighting,
                                      bool stripesAside) {
    if (options.maximumObservations <= 0) return {};
    const double reach = std::max(a.size.width, a.size.height);

    struct Scored {
        Corners corners;
        double confidence;
        double edges;
        bool crisp;  // clear edges along all four sides, none of them a drawn line
        double region;
        bool drawnSide;  // a side along a drawn line
    };
    std::vector<Scored> scored;
    std::vector<Corners> seen;  // after the first, coarse refinement: proposals often meet there
    std::vector<Corners> completions;  // of outlines that ran on from a corner to the picture's border
    const cv::Mat colourful = colourfulPixels(a);
    const bool colourless = colourlessSurface(colourful);
    // Moves the outline's sides onto the sheet's edges, out to the real edge where a side stopped early.
    auto settled = [&](Corners c) {
        c = refine(a.colour, c, 3);
        if (const Corners wide = widenedToSheetEdges(a.colour, c, colourless); wide != c)
            c = refine(a.colour, wide, 3);
        return c;
    };
    const double wideRange = std::max(8.0, reach * 0.03), closeRange = std::max(6.0, reach * 0.012);
    auto judge = [&](Corners c, const Corners& proposed, double partsRegion, double leastEdges) {
        // An outline drawn in the artwork (a frame, a white shape, the paper above a horizon) lies
        // inside the sheet and is never the sheet. Two drawn sides are enough: a hard shadow across
        // the shape hides its line along the others. Beside a drawn side, a side along the picture's border
        // or a corner beyond it counts as one too: no sheet's edge is seen there, as where a scan's paper
        // above a horizon runs out of the picture; and so does a neighbour of the drawn side running on past
        // their corner as a clear edge, the sheet's own edge going on past a line drawn across it. The wide
        // steps may have pulled the sides off the sheet's edge onto a frame drawn near it, whose edge is the
        // stronger on a light table: refined only close by, a proposal that lay on the sheet's edge stays
        // there.
        auto artwork = [&](const Corners& outline, int drawn) {
            return drawn >= 2 || (drawn == 1 && (unseenParts(outline, a.size) >= 1 ||
                                                 cutOffByDrawnLine(a.colour, outline)));
        };
        int drawn = drawnSides(a.colour, c);
        if (artwork(c, drawn)) {
            Corners near = refine(a.colour, proposed, 3);
            drawn = drawnSides(a.colour, near);
            if (artwork(near, drawn)) {
                // A frame drawn near the sheet's edge: with the drawn lines' steps set aside, the sides reach
                // on past it to the sheet's edge, where the paper meets the surface close by.
                near = settled(refine(a.colour, refine(a.colour, proposed, wideRange, true), closeRange, true));
                drawn = drawnSides(a.colour, near);
                if (artwork(near, drawn)) return;
            }
            c = near;
        }
        if (!withinLimits(c, a.size, options)) {
            if (const auto sheet = completedAtBorder(c, a.size, options)) completions.push_back(*sheet);
            return;
        }
        const double region = std::max({regionSupport(a, c), paperSupport(a, c), partsRegion});
        const double edges = edgeSupport(a.colour, c);
        if (edges < leastEdges) return;
        scored.push_back(
            {c, std::sqrt(edges * region), edges, edges >= 0.97 && drawn == 0, region, drawn > 0});
    };
    auto consider = [&](const Corners& proposed, double partsRegion = 0, double leastEdges = 0) {
        Corners c = refine(a.colour, proposed, wideRange);
        if (std::any_of(seen.begin(), seen.end(), [&](const Corners& s) { return overlap(s, c) > 0.97; }))
            return;
        seen.push_back(c);
        c = settled(refine(a.colour, c, closeRange));
        // The wide first step may have jumped past the sheet's edge to a mat's or a book's close by, as
        // clear an edge, when the outline went on beyond two of the proposal's sides over darker surface:
        // refined only close by, the proposal stays on the sheet, which is judged too when it lies inside,
        // and the mat is dropped later for enclosing a brighter sheet.
        if (covered(proposed, c) >= 0.9 && sidesReachedAcross(c, proposed, closeRange) >= 2 &&
            brighterWithin(a, c, proposed)) {
            const Corners close = settled(refine(a.colour, proposed, closeRange));
            if (overlap(close, c) < 0.97 && covered(close, c) >= 0.97)
                judge(close, proposed, partsRegion, leastEdges);
        }
        judge(c, proposed, partsRegion, leastEdges);
    };
    const std::vector<Corners> regions = regionProposals(a);
    for (const Corners& c : regions) consider(c);
    // Outlines of straight edges find sheets whose region does not stand out from a busy room; the
    // best two that the regions did not already propose are judged like them, and the next four as well
    // when nothing else is sure enough to be a sheet.
    const std::vector<EdgeLine> straightEdges = edgeLines(a.smallLuma, 120);  // a wall's stripes make many
    const bool plainColourless = colourless && !stripedSurface(straightEdges);
    const std::vector<Corners> lines = lineProposals(a, straightEdges, options, 6);
    auto considerLines = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < std::min(to, lines.size()); ++i)
            if (std::none_of(regions.begin(), regions.end(),
                             [&](const Corners& r) { return overlap(r, lines[i]) > 0.95; }))
                consider(lines[i]);
    };
    considerLines(0, 2);
    // The opening that cuts a wall's stripes off the sheet also rounds a bright surround into an outline
    // of its own, whose edges show along little of its sides: these outlines count only with clear edges
    // along half of their sides, on average and on the weakest. No more: stripes as bright as the paper hide
    // the sheet's edge where they meet it, and stripes covering at most half of the wall leave it showing
    // along at least half of each side they cross.
    const std::vector<Corners> openedPastStripes = colourlessSurfaceProposals(a, colourful);
    for (const Corners& c : openedPastStripes)
        if (std::none_of(regions.begin(), regions.end(), [&](const Corners& r) { return overlap(r, c) > 0.9; }))
            consider(c, 0, 0.5);
    if (stripesAside)
        for (const Corners& c : lineProposals(a, stripesSetAside(straightEdges), options, 2))
            if (std::none_of(regions.begin(), regions.end(),
                             [&](const Corners& r) { return overlap(r, c) > 0.95; }) &&
                std::any_of(openedPastStripes.begin(), openedPastStripes.end(),
                            [&](const Corners& r) { return covered(r, c) >= 0.5; }))
                consider(c, 0, 0.5);
    if (std::none_of(scored.begin(), scored.end(),
                     [&](const Scored& s) { return s.confidence >= options.minimumConfidence; }))
        considerLines(2, lines.size());
    // A sheet on a light mat or book, nearly as bright as the paper, makes no region of its own, and refining
    // an outline near it takes the mat's edge, the outermost clear one. The sheet's edges lie inside the
    // mat's sure outline, along its sides: each sure outline with clear edges, none of them a shadow's edge
    // or a wall stripe's edge that looks like one, is proposed again with its sides moved in, each to the
    // outermost clear edge some way inside it, clear of its own edge. Such an outline is judged only where it
    // is a sheet's, its sides along the mat's, clear along nearly all of their length, along no drawn line
    // and no shadow's edge: inside a sheet, the lines and bands of the drawing and a hard shadow's edge make
    // outlines too. A mat holding a brighter sheet is dropped later.
    auto onSteppedSide = [&](const Corners& c) {
        const SteppedSides sides = steppedSides(a.colour, c);
        return !sides.shadowCut.empty() || !sides.stripeEdge.empty();
    };
    const std::size_t insetFrom = scored.size();
    for (std::size_t i = 0; i < insetFrom; ++i) {
        if (scored[i].confidence < options.minimumConfidence || scored[i].edges < 0.9 ||
            onSteppedSide(scored[i].corners))
            continue;
        const Corners outer = scored[i].corners;
        const double depth = std::min(cv::norm(outer[0] + outer[1] - outer[2] - outer[3]),
                                      cv::norm(outer[1] + outer[2] - outer[3] - outer[0])) / 2;
        constexpr double clearOfEdge = 6;  // pixels inside the outer edge, past its blur
        for (const double share : {0.05, 0.1, 0.15}) {
            const double distance = share * depth;
            const auto moved = inset(outer, distance);
            if (distance < 2 * clearOfEdge || !moved) continue;
            const Corners c = settled(refine(a.colour, *moved, distance - clearOfEdge));
            auto repeats = [&](const Corners& s) { return overlap(s, c) > 0.97; };
            if (std::any_of(seen.begin(), seen.end(), repeats) ||
                std::any_of(scored.begin(), scored.end(), [&](const Scored& k) { return repeats(k.corners); }))
                continue;
            seen.push_back(c);
            if (sidesAlong(outer, c, 10) && edgeSupport(a.colour, c) >= 0.95 &&
                drawnSides(a.colour, c) == 0 && !onSteppedSide(c))
                judge(c, *moved, 0, 0);
        }
    }
    // A sheet's outline that ran on from one of its corners along a table's edge to the picture's border is too
    // far from a sheet's shape to be judged; completed from its other three corners it is proposed again, and
    // counts only with clear edges all round: a guessed corner is the sheet's only where its sides show it.
    const std::vector<Corners> completed = std::move(completions);
    for (const Corners& c : completed) consider(c, 0, 0.97);
    // A sheet lying across a table's edge shows the table's edge through it as a step of light, as clear as its
    // own edges, and its edges over a table nearly as light as its paper are faint: the sure outline found may
    // be the part on one side of that step, or of a line drawn across the sheet, or of a hard shadow's edge. Where
    // both neighbours of a side of a sure outline go on past it as the sheet's edge, the outline reaching to where
    // they end is judged too: relit across a shadow's edge, a band drawn along the sheet's side in the shadow may
    // still stop the outline found short of the sheet's edge.
    const std::size_t partsFrom = scored.size();
    for (std::size_t i = 0; i < partsFrom; ++i) {
        if (scored[i].confidence < options.minimumConfidence) continue;
        std::optional<SteppedSides> stepped;  // worked out once, where a side is first reached past
        for (int side = 0; side < 4; ++side) {
            const auto whole = reachedPastSide(a.colour, scored[i].corners, side);
            if (!whole) continue;
            if (!stepped) stepped = steppedSides(a.colour, scored[i].corners);
            const bool lighterBeyond = shadowLight(a.colour, scored[i].corners, side) > 1;
            if (reachablePast(*stepped, side, lighterBeyond)) consider(*whole);
        }
    }
    // A hard shadow across a sheet splits it into a sunlit and a shadowed outline, and the whole sheet's
    // paper does not look like one paper: the whole is as sure a sheet as its parts are.
    const std::size_t single = scored.size();
    for (std::size_t i = 0; i < single; ++i)
        for (std::size_t j = i + 1; j < single; ++j) {
            const auto whole = joined(scored[i].corners, scored[j].corners);
            if (!whole) continue;
            const double first = polygonArea(scored[i].corners), second = polygonArea(scored[j].corners);
            const double partsRegion =
                (first * scored[i].region + second * scored[j].region) / (first + second);
            const auto same = std::find_if(scored.begin(), scored.end(),
                                           [&](const Scored& s) { return overlap(s.corners, *whole) > 0.9; });
            if (same == scored.end()) {
                consider(*whole, partsRegion);
            } else if (partsRegion > same->region) {
                same->region = partsRegion;
                same->confidence = std::sqrt(same->edges * partsRegion);
            }
        }
    std::erase_if(scored, [&](const Scored& s) { return s.confidence < options.minimumConfidence; });
    // The edge of a hard shadow across the sheet is as clear an edge as the sheet's own, and the sunlit part
    // stands out from the shaded paper beside it more clearly than the whole sheet from the surface: the
    // smallest sure outline that holds such a part, reaches on across the shadow's edge and is none itself is
    // the whole sheet, as sure as its part, and the part is dropped. A stripe's edge of a wall, white beside
    // grey as paper in full light beside paper in the shadow, looks like a shadow's edge: an outline stopped
    // short of it, inside the sheet, holds none of the paper beyond it. Where no outline reaches across, the
    // edge is a stripe's beyond the sheet, and the smallest outline holding the part is the sheet, if it keeps to
    // the part's other sides: past them lies no more of the sheet the part was cut from, only more of the surface,
    // so an outline reaching on past them is no such sheet, and the part is judged as one held by none.
    constexpr double across = 3;  // pixels past the edge: more than refining the same edge strays
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
                return reachBeyond(scored[j].corners, scored[i].corners, side) > across;
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
            if (reachesAcross(j) && (!beyond || area < polygonArea(scored[*beyond].corners))) beyond = j;
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
            if (!relighting) continue;
            // The surest outline holding the part with clear edges all round in the picture as it is, none of
            // them a drawn line, is one the relit picture's outlines would give the part's place to: it takes
            // that place without relighting.
            if (clear) {
                scored[i] = {scored[*clear].corners, scored[i].confidence, scored[*clear].edges, true,
                             scored[i].region, false};
                continue;
            }
            const int side = shaded[i].front();
            for (const PaperCandidate& found : outlinesIn(analyse(relit(a.colour, scored[i].corners, side)),
                                                          options, false)) {
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
    std::vector<Scored> wholes;
    for (std::size_t i = 0; i < scored.size(); ++i)
        if (!dropped[i]) wholes.push_back(scored[i]);
    scored = std::move(wholes);
    // A drawn line lies on the sheet, not along its edge: an outline with a side along one that a crisp
    // outline holds, reaching to one of its sides, is a piece of the drawing that the line cuts off (the
    // paper above a horizon, between a line and a band of colour), and the crisp outline is the sheet. A
    // sheet on a mat keeps clear of all of the mat's sides.
    auto pieceOfTheDrawing = [&](const Scored& piece, const std::vector<Scored>& outlines) {
        return piece.drawnSide && std::any_of(outlines.begin(), outlines.end(), [&](const Scored& sheet) {
                   return sheet.crisp && covered(piece.corners, sheet.corners) >= 0.9 &&
                          polygonArea(piece.corners) < 0.9 * polygonArea(sheet.corners) &&
                          sidesReachedAcross(sheet.corners, piece.corners, across) < 4;
               });
    };
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
    const std::vector<Scored> sure = scored;
    std::erase_if(scored, [&](const Scored& outer) {
        return std::any_of(sure.begin(), sure.end(), [&](const Scored& inner) {
            const bool crisp = inner.crisp || (inner.edges >= 0.97 && !pieceOfTheDrawing(inner, sure));
            return inner.edges >= 0.5 && enclosesBrighterSheet(a, outer.corners, inner.corners, crisp) &&
                   !crossedBySurfaceLine(a.colour, outer.corners, inner.corners) &&
                   !inkedAllRound(a.colour, inner.corners) &&
                   !drawingRunsOnAcross(a.colour, outer.corners, inner.corners);
        });
    });
    // A mat that a brighter sheet inside it names is dropped by now, so a mat never takes a sheet's place here.
    const std::vector<Scored> held = scored;
    std::erase_if(scored, [&](const Scored& piece) { return pieceOfTheDrawing(piece, held); });
    std::stable_sort(scored.begin(), scored.end(),
                     [](const Scored& x, const Scored& y) { return x.confidence > y.confidence; });

    // A less sure outline that repeats a surer one is dropped, and so is any less sure one that swallows it,
    // however little less sure (a side that runs on along the straight lines of a lattice, a stripe or a mat
    // scores nearly as well as the sheet's own): the largest passing outline wins later, so an outline that
    // runs past the sheet onto the table must not stand beside the sheet's own. One whose four sides all show
    // clear edges stays when it swallows the surer one: it is the whole sheet around the sunlit part of a
    // sheet that a hard shadow crosses, or, when the surer one stopped at a band of colour drawn along the
    // sheet's side (its sides run on as clear edges past the surer one's corners, or the surface beyond it is
    // the one all round), around the part inside that band; where the surer one is not crisp itself, however
    // little the crisp one adds, as a side that stopped at a thin band is all that left it short of clear
    // edges all round. One that reaches beyond a less crisp surer one across a single side, over paper of its
    // colour, stays too: the whole sheet around a part that a shadow's edge cut off, whose edges in the
    // shadow are too faint for all four sides to be clear; so does one across a single side along a line drawn on
    // the sheet, whose paper goes on beyond it, as where a sheet lies across a table's edge, its edges not clear all
    // round, and its paper above a drawn horizon is surer. So does one across a single side of a surer one, crisp
    // or not, along which a table's or a shadow's edge cuts that part off the sheet: the side runs on past the
    // part's corner, out beyond the one holding it, as the edge between two surfaces, where a sheet's sides end at
    // its corners; the part may be the sheet's paper over the darker floor, which does not stand out as a sheet,
    // and the whole sheet dropped for it was lost too. Not on a colourless surface, where the edge of a wall's
    // stripe may run on from a sheet's own side by chance, and an outline out along the stripes beyond that side
    // would stand beside the sheet. There, where colour belongs to the drawing, a less sure outline that leaves
    // out colour a surer one holds, along a tenth of the band around it, is dropped as well: a side stopped at a
    // band of grass drawn along the sheet, another on a stripe's edge of the wall beyond the sheet, makes an
    // outline that holds neither the sheet nor only wall, and may be the larger. So is a less sure outline across
    // the sides of a surer one clear all round, overlapping it by half, neither holding the other: it holds a part
    // of that sheet and the surface beside it, out from a shadow's edge across the sheet along the stripes of the
    // mat it lies on.
    struct Kept {
        Corners corners;
        double confidence;
        bool crisp;
        bool part = false;  // a crisp outline kept later around it is the whole sheet
    };
    const double margin = 0.05 * reach;  // how far an outline may stray past a side it shares
    std::vector<PaperCandidate> out;
    std::vector<Kept> kept;
    for (const auto& s : scored) {
        auto widens = [&](const Kept& k) {
            return s.crisp && covered(k.corners, s.corners) > 0.97 &&
                   (covered(s.corners, k.corners) < 0.95 || !k.crisp) &&
                   stoppedAtDrawnBand(a.colour, s.corners, k.corners);
        };
        // An outline far less sure than the surest is no sheet, unless it widens a kept one: then it is the whole
        // sheet around a part, and in a busy room the edge of a hard shadow across the sheet may stand out more
        // clearly than the sheet's own edges, so that the sunlit part is far the surer.
        if (s.confidence < scored.front().confidence - 0.2 && std::none_of(kept.begin(), kept.end(), widens))
            continue;
        // A sheet lies on a darker surface, so along one of its sides at least its paper is clearly brighter
        // than what lies just beyond; paper cut out of a larger sheet, between bands drawn along a scan's
        // sides, is nowhere. Such an outline still takes part in judging the others; it is only not proposed. On a
        // colourless surface a grey stripe of a wall turns white again beyond a sheet's side as a drawn band does.
        // A little way beyond, past its contact shadow, the surface is darker along much of the outline too.
        // Paper between strokes of the drawing may step down along two sides to the strokes; with paper
        // beyond them on both, it is a piece of a scan's paper or of a sheet's on a white table.
        // Nor, on a coloured surface or a white table, is an outline with clear edges along less than nine tenths
        // of it whose paper runs on outside it to the picture's border: a piece of a scan's paper, or of a sheet's
        // on a white table, bounded by strokes and bands of the drawing and a shadow's edge. A striped wall's
        // white stripes are as light as the paper.
        if (brightestSideStep(a.colour, s.corners, s.edges < doubtfulEdges && !colourless) < sheetStep ||
            !stepsDownBeyond(a.colour, s.corners, colourless, s.edges < doubtfulEdges, plainColourless) ||
            betweenStrokes(a.colour, s.corners, colourless) ||
            ((!colourless || plainColourless) && s.edges < unclearEdges && paperReachesBorder(a.colour, s.corners)))
            continue;
        // A surer outline that is not crisp, holding a crisp one with no side along a line of the surface and
        // reaching past it over what is not its paper, is that sheet with a strip of a busy room beside it:
        // the crisp one takes its place, as sure. A part that a table's or a shadow's edge cuts off has a
        // side along it. On a colourless surface, whose white stripes hide the sheet's edges where they meet
        // it, the one held need not be crisp where the surer one has a side running on along a stripe's edge
        // past its corners, if it shows clear edges along four fifths as much of its outline as the surer
        // one; nor need it be held there, where it overlaps the surer one by half: an outline across the
        // sheet's side and on along a stripe onto the wall holds only part of the sheet, and may be the larger.
        const auto strip = std::find_if(kept.begin(), kept.end(), [&](const Kept& k) {
            auto surerAlongStripe = [&] {
                return colourless && s.edges >= 0.8 * edgeSupport(a.colour, k.corners) &&
                       !surfaceLineSides(a.colour, k.corners).empty();
            };
            const bool holds = covered(s.corners, k.corners) > 0.97 && (s.crisp || surerAlongStripe()) &&
                               !restIsPaper(a.colour, k.corners, s.corners);
            const bool crosses = overlap(s.corners, k.corners) > 0.5 && surerAlongStripe();
            return !k.crisp && (holds || crosses) && surfaceLineSides(a.colour, s.corners).empty();
        });
        if (strip != kept.end()) {
            *strip = {s.corners, strip->confidence, s.crisp, strip->part};
            out[strip - kept.begin()].quad = unitQuad(s.corners, a.size);
            continue;
        }
        if (std::any_of(kept.begin(), kept.end(), [&](const Kept& k) {
                // A surer part that is not crisp, stopped at a band of colour drawn along the sheet's side: the
                // band's edge is as clear as the sheet's own, and an outline reaching past it across that side
                // only is the whole sheet, however much of it the part holds, whose edges need not be clear all
                // round. Not on a colourless surface, where a stripe's edge may run on from a sheet's side.
                auto aroundBand = [&] {
                    return !colourless && !k.crisp && reachesPastDrawnBand(a.colour, s.corners, k.corners, margin);
                };
                auto completes = [&] {
                    return (!k.crisp && ((reachesAcrossOneSide(s.corners, k.corners, margin) &&
                                          restIsPaper(a.colour, s.corners, k.corners)) ||
                                         reachesPastDrawnLine(a.colour, s.corners, k.corners, margin))) ||
                           (!colourless && reachesPastSurfaceLine(a.colour, s.corners, k.corners, margin)) ||
                           aroundBand();
                };
                const bool crossesCrisp = k.crisp && overlap(k.corners, s.corners) > 0.5 &&
                                          covered(k.corners, s.corners) < 0.9 &&
                                          covered(s.corners, k.corners) < 0.9;
                return (overlap(k.corners, s.corners) > 0.8 && !widens(k) && !aroundBand()) || crossesCrisp ||
                       (covered(k.corners, s.corners) > 0.8 && s.edges < 0.97 && !completes()) ||
                       (colourless && drawingLeftOut(a, colourful, s.corners, k.corners) > 0.1);
            }))
            continue;
        for (Kept& k : kept) k.part = k.part || widens(k);
        kept.push_back({s.corners, s.confidence, s.crisp});
        // Refining takes the outermost clear edge, which may be a mat's or a book's edge a little way beyond
        // the sheet's side: the outline proposed keeps to the sheet's own corners. A side widened onto the
        // blur beside the sheet's edge was refined only as far as the end of its reach, on the slope of the
        // edge a pixel or two beyond it: refined once more close by, each side lies on the edge itself.
        Corners sheet = s.corners;
        if (const Corners narrow = narrowedToSheetCorners(a.colour, sheet); narrow != sheet)
            sheet = refine(a.colour, narrow, 3);
        out.push_back({unitQuad(refine(a.colour, sheet, 3), a.size), s.confidence});
        if (static_cast<int>(out.size()) == options.maximumObservations) break;
    }
    // The part that a whole sheet kept around it widens is no sheet: were it the largest outline that looks
    // like paper, the whole sheet, no brighter than a white table around it, would not be, and the part would
    // pass for it.
    std::vector<PaperCandidate> sheets;
    for (std::size_t i = 0; i < out.size(); ++i)
        if (!kept[i].part) sheets.push_back(out[i]);
    // Where no sheet is found, a hard shadow's edge across the picture may have split one into parts of which
    // none stands out as a sheet: the sheets found in the picture relit across such an edge are proposed, the
    // longest edge's first.
    if (!sheets.empty() || !relighting) return sheets;
    const std::vector<ShadowEdge> shadowEdges = hardShadowEdges(a, straightEdges);
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
    if (sheets.empty() && colourless &&
        std::none_of(shadowEdges.begin(), shadowEdges.end(), [](const ShadowEdge& e) { return e.alone; }) &&
        stripedSurface(straightEdges))
        sheets = outlinesIn(a, options, false, true);
    return sheets;
}

}  // namespace

}  // namespace quillfen::detail::paper

namespace quillfen::Cleaner {

std::vector<PaperCandidate> detectRectangles(const Bitmap& image, const RectangleDetectorOptions& options) {
    using namespace detail::paper;
    return analysable(image) ? rectanglesIn(analyse(image), options) : std::vector<PaperCandidate>{};
}

}  // namespace quillfen::Cleaner
