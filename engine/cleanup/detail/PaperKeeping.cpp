#include "engine/cleanup/detail/PaperKeeping.h"

#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperJudging.h"
#include "engine/cleanup/detail/PaperOutlines.h"
#include "engine/cleanup/detail/PaperRefining.h"
#include "engine/cleanup/detail/PaperStrokes.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

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

}  // namespace

std::vector<PaperCandidate> keptSheets(const Analysis& a, const RectangleDetectorOptions& options,
                                       const Surface& surface, std::vector<ScoredOutline> scored) {
    const bool colourless = surface.colourless, plainColourless = surface.plainColourless();
    const double reach = std::max(a.size.width, a.size.height);
    std::stable_sort(scored.begin(), scored.end(),
                     [](const ScoredOutline& x, const ScoredOutline& y) { return x.confidence > y.confidence; });

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
        // white stripes are as light as the paper. Nor, on a plain colourless surface, is an outline beyond one of
        // whose sides the picture is as light as its paper nearly all along: a sheet on a white table, or a piece
        // of one, darker beyond its other sides only where a shadow or a band of the drawing lies.
        if (brightestSideStep(a.colour, s.corners, s.edges < doubtfulEdges && !colourless) < sheetStep ||
            !stepsDownBeyond(a.colour, s.corners, colourless, s.edges < doubtfulEdges, plainColourless) ||
            betweenStrokes(a.colour, s.corners, colourless) ||
            ((!colourless || plainColourless) && s.edges < unclearEdges && paperReachesBorder(a.colour, s.corners)) ||
            (plainColourless && asLightBeyondASide(a.colour, s.corners)))
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
                       (colourless && drawingLeftOut(a, surface.colourful, s.corners, k.corners) > 0.1);
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
    return sheets;
}

}  // namespace quillfen::detail::paper
