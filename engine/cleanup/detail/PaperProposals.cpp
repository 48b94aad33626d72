#include "engine/cleanup/detail/PaperProposals.h"

#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperJudging.h"
#include "engine/cleanup/detail/PaperOutlines.h"
#include "engine/cleanup/detail/PaperRefining.h"
#include "engine/cleanup/detail/PaperRegions.h"
#include "engine/cleanup/detail/PaperShadows.h"
#include "engine/cleanup/detail/PaperStrokes.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace quillfen::detail::paper {

Surface surfaceOf(const Analysis& a) {
    Surface s;
    s.colourful = colourfulPixels(a);
    s.colourless = colourlessSurface(s.colourful);
    s.straightEdges = edgeLines(a.smallLuma, 120);
    s.striped = stripedSurface(s.straightEdges, a.smallLuma.size());
    return s;
}

namespace {

// Refines proposed outlines onto the sheet's edges, judges them, and keeps the scores of those that can be a
// sheet's, once each.
class Proposer {
public:
    Proposer(const Analysis& a, const RectangleDetectorOptions& options, const Surface& surface)
        : a_(a), options_(options), surface_(surface) {
        const double reach = std::max(a.size.width, a.size.height);
        wideRange_ = std::max(8.0, reach * 0.03);
        closeRange_ = std::max(6.0, reach * 0.012);
    }

    void consider(const Corners& proposed, double partsRegion = 0, double leastEdges = 0);
    void considerInsets();
    void considerCompletions();
    void considerAcrossLines();
    void considerPastSides();
    void considerJoined();

    const std::vector<ScoredOutline>& scored() const { return scored_; }
    std::vector<ScoredOutline> takeScored() { return std::move(scored_); }

private:
    Corners settled(Corners c) const;
    void judge(Corners c, const Corners& proposed, double partsRegion, double leastEdges);
    bool onSteppedSide(const Corners& c) const;

    const Analysis& a_;
    const RectangleDetectorOptions& options_;
    const Surface& surface_;
    double wideRange_, closeRange_;
    std::vector<ScoredOutline> scored_;
    std::vector<Corners> seen_;         // after the first, coarse refinement: proposals often meet there
    std::vector<Corners> completions_;  // of outlines that ran on from a corner to the picture's border
    std::vector<Corners> acrossLines_;  // of parts of a sheet that a line across it cuts off
};

// Moves the outline's sides onto the sheet's edges, out to the real edge where a side stopped early.
Corners Proposer::settled(Corners c) const {
    c = refine(a_.colour, c, 3);
    if (const Corners wide = widenedToSheetEdges(a_.colour, c, surface_.colourless); wide != c)
        c = refine(a_.colour, wide, 3);
    return c;
}

void Proposer::judge(Corners c, const Corners& proposed, double partsRegion, double leastEdges) {
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
        return drawn >= 2 || (drawn == 1 && (unseenParts(outline, a_.size) >= 1 ||
                                             cutOffByDrawnLine(a_.colour, outline)));
    };
    int drawn = drawnSides(a_.colour, c);
    if (artwork(c, drawn)) {
        // A part of the sheet that a line across it cuts off, as a table's edge seen through the paper: the wide
        // steps put its other sides on the sheet's edges, which run on past that line to the whole sheet's
        // corners, and the whole is proposed as well.
        if (const auto whole = reachedPastDrawnLine(a_.colour, c)) acrossLines_.push_back(*whole);
        Corners near = refine(a_.colour, proposed, 3);
        drawn = drawnSides(a_.colour, near);
        if (artwork(near, drawn)) {
            // A frame drawn near the sheet's edge: with the drawn lines' steps set aside, the sides reach
            // on past it to the sheet's edge, where the paper meets the surface close by.
            near = settled(refine(a_.colour, refine(a_.colour, proposed, wideRange_, true), closeRange_, true));
            drawn = drawnSides(a_.colour, near);
            if (artwork(near, drawn)) return;
        }
        c = near;
    }
    if (!withinLimits(c, a_.size, options_)) {
        if (const auto sheet = completedAtBorder(c, a_.size, options_)) completions_.push_back(*sheet);
        return;
    }
    const double region = std::max({regionSupport(a_, c), paperSupport(a_, c), partsRegion});
    const double edges = edgeSupport(a_.colour, c);
    if (edges < leastEdges) return;
    scored_.push_back({c, std::sqrt(edges * region), edges, edges >= 0.97 && drawn == 0, region, drawn > 0});
}

void Proposer::consider(const Corners& proposed, double partsRegion, double leastEdges) {
    Corners c = refine(a_.colour, proposed, wideRange_);
    if (std::any_of(seen_.begin(), seen_.end(), [&](const Corners& s) { return overlap(s, c) > 0.97; }))
        return;
    seen_.push_back(c);
    c = settled(refine(a_.colour, c, closeRange_));
    // The wide first step may have jumped past the sheet's edge to a mat's or a book's close by, as
    // clear an edge, when the outline went on beyond two of the proposal's sides over darker surface:
    // refined only close by, the proposal stays on the sheet, which is judged too when it lies inside,
    // and the mat is dropped later for enclosing a brighter sheet.
    if (covered(proposed, c) >= 0.9 && sidesReachedAcross(c, proposed, closeRange_) >= 2 &&
        brighterWithin(a_, c, proposed)) {
        const Corners close = settled(refine(a_.colour, proposed, closeRange_));
        if (overlap(close, c) < 0.97 && covered(close, c) >= 0.97) judge(close, proposed, partsRegion, leastEdges);
    }
    judge(c, proposed, partsRegion, leastEdges);
}

bool Proposer::onSteppedSide(const Corners& c) const {
    const SteppedSides sides = steppedSides(a_.colour, c);
    return !sides.shadowCut.empty() || !sides.stripeEdge.empty();
}

// A sheet on a light mat or book, nearly as bright as the paper, makes no region of its own, and refining
// an outline near it takes the mat's edge, the outermost clear one. The sheet's edges lie inside the
// mat's sure outline, along its sides: each sure outline with clear edges, none of them a shadow's edge
// or a wall stripe's edge that looks like one, is proposed again with its sides moved in, each to the
// outermost clear edge some way inside it, clear of its own edge. Such an outline is judged only where it
// is a sheet's, its sides along the mat's, clear along nearly all of their length, along no drawn line
// and no shadow's edge: inside a sheet, the lines and bands of the drawing and a hard shadow's edge make
// outlines too. A mat holding a brighter sheet is dropped later.
void Proposer::considerInsets() {
    const std::size_t insetFrom = scored_.size();
    for (std::size_t i = 0; i < insetFrom; ++i) {
        if (scored_[i].confidence < options_.minimumConfidence || scored_[i].edges < 0.9 ||
            onSteppedSide(scored_[i].corners))
            continue;
        const Corners outer = scored_[i].corners;
        const double depth = std::min(cv::norm(outer[0] + outer[1] - outer[2] - outer[3]),
                                      cv::norm(outer[1] + outer[2] - outer[3] - outer[0])) / 2;
        constexpr double clearOfEdge = 6;  // pixels inside the outer edge, past its blur
        for (const double share : {0.05, 0.1, 0.15}) {
            const double distance = share * depth;
            const auto moved = inset(outer, distance);
            if (distance < 2 * clearOfEdge || !moved) continue;
            const Corners c = settled(refine(a_.colour, *moved, distance - clearOfEdge));
            auto repeats = [&](const Corners& s) { return overlap(s, c) > 0.97; };
            if (std::any_of(seen_.begin(), seen_.end(), repeats) ||
                std::any_of(scored_.begin(), scored_.end(),
                            [&](const ScoredOutline& k) { return repeats(k.corners); }))
                continue;
            seen_.push_back(c);
            if (sidesAlong(outer, c, 10) && edgeSupport(a_.colour, c) >= 0.95 && drawnSides(a_.colour, c) == 0 &&
                !onSteppedSide(c))
                judge(c, *moved, 0, 0);
        }
    }
}

// A sheet's outline that ran on from one of its corners along a table's edge to the picture's border is too
// far from a sheet's shape to be judged; completed from its other three corners it is proposed again, and
// counts only with clear edges all round: a guessed corner is the sheet's only where its sides show it.
void Proposer::considerCompletions() {
    const std::vector<Corners> completed = std::move(completions_);
    for (const Corners& c : completed) consider(c, 0, 0.97);
}

void Proposer::considerAcrossLines() {
    const std::vector<Corners> wholes = std::exchange(acrossLines_, {});
    for (const Corners& c : wholes) consider(c);
}

// A sheet lying across a table's edge shows the table's edge through it as a step of light, as clear as its
// own edges, and its edges over a table nearly as light as its paper are faint: the sure outline found may
// be the part on one side of that step, or of a line drawn across the sheet, or of a hard shadow's edge. Where
// both neighbours of a side of a sure outline go on past it as the sheet's edge, the outline reaching to where
// they end is judged too: relit across a shadow's edge, a band drawn along the sheet's side in the shadow may
// still stop the outline found short of the sheet's edge.
void Proposer::considerPastSides() {
    const std::size_t partsFrom = scored_.size();
    for (std::size_t i = 0; i < partsFrom; ++i) {
        if (scored_[i].confidence < options_.minimumConfidence) continue;
        std::optional<SteppedSides> stepped;  // worked out once, where a side is first reached past
        for (int side = 0; side < 4; ++side) {
            const auto whole = reachedPastSide(a_.colour, scored_[i].corners, side);
            if (!whole) continue;
            if (!stepped) stepped = steppedSides(a_.colour, scored_[i].corners);
            const bool lighterBeyond = shadowLight(a_.colour, scored_[i].corners, side) > 1;
            if (reachablePast(*stepped, side, lighterBeyond)) consider(*whole);
        }
    }
}

// A hard shadow across a sheet splits it into a sunlit and a shadowed outline, and the whole sheet's
// paper does not look like one paper: the whole is as sure a sheet as its parts are.
void Proposer::considerJoined() {
    const std::size_t single = scored_.size();
    for (std::size_t i = 0; i < single; ++i)
        for (std::size_t j = i + 1; j < single; ++j) {
            const auto whole = joined(scored_[i].corners, scored_[j].corners);
            if (!whole) continue;
            const double first = polygonArea(scored_[i].corners), second = polygonArea(scored_[j].corners);
            const double partsRegion = (first * scored_[i].region + second * scored_[j].region) / (first + second);
            const auto same = std::find_if(scored_.begin(), scored_.end(), [&](const ScoredOutline& s) {
                return overlap(s.corners, *whole) > 0.9;
            });
            if (same == scored_.end()) {
                consider(*whole, partsRegion);
            } else if (partsRegion > same->region) {
                same->region = partsRegion;
                same->confidence = std::sqrt(same->edges * partsRegion);
            }
        }
}

}  // namespace

std::vector<ScoredOutline> scoredOutlines(const Analysis& a, const RectangleDetectorOptions& options,
                                          const Surface& surface, bool stripesAside) {
    Proposer proposer(a, options, surface);
    const std::vector<Corners> regions = regionProposals(a);
    for (const Corners& c : regions) proposer.consider(c);
    auto proposedByRegion = [&](const Corners& c, double same) {
        return std::any_of(regions.begin(), regions.end(), [&](const Corners& r) { return overlap(r, c) > same; });
    };
    // Outlines of straight edges find sheets whose region does not stand out from a busy room; the
    // best two that the regions did not already propose are judged like them, and the next four as well
    // when nothing else is sure enough to be a sheet.
    const std::vector<Corners> lines = lineProposals(a, surface.straightEdges, options, 6);
    auto considerLines = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < std::min(to, lines.size()); ++i)
            if (!proposedByRegion(lines[i], 0.95)) proposer.consider(lines[i]);
    };
    considerLines(0, 2);
    // The opening that cuts a wall's stripes off the sheet also rounds a bright surround into an outline
    // of its own, whose edges show along little of its sides: these outlines count only with clear edges
    // along half of their sides, on average and on the weakest. No more: stripes as bright as the paper hide
    // the sheet's edge where they meet it, and stripes covering at most half of the wall leave it showing
    // along at least half of each side they cross.
    const std::vector<Corners> openedPastStripes = colourlessSurfaceProposals(a, surface.colourful);
    for (const Corners& c : openedPastStripes)
        if (!proposedByRegion(c, 0.9)) proposer.consider(c, 0, 0.5);
    if (stripesAside)
        for (const Corners& c : lineProposals(a, stripesSetAside(surface.straightEdges), options, 2))
            if (!proposedByRegion(c, 0.95) &&
                std::any_of(openedPastStripes.begin(), openedPastStripes.end(),
                            [&](const Corners& r) { return covered(r, c) >= 0.5; }))
                proposer.consider(c, 0, 0.5);
    if (std::none_of(proposer.scored().begin(), proposer.scored().end(),
                     [&](const ScoredOutline& s) { return s.confidence >= options.minimumConfidence; }))
        considerLines(2, lines.size());
    proposer.considerInsets();
    proposer.considerCompletions();
    proposer.considerAcrossLines();
    proposer.considerPastSides();
    proposer.considerJoined();
    std::vector<ScoredOutline> scored = proposer.takeScored();
    std::erase_if(scored, [&](const ScoredOutline& s) { return s.confidence < options.minimumConfidence; });
    return scored;
}

}  // namespace quillfen::detail::paper
