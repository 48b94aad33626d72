#pragma once

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: the sides of an outline judged against the colour edges of the working copy
// (CV_8UC3 RGB, lightly smoothed). Pure functions.
namespace quillfen::detail::paper {

// Whether the picture across the side at q is a drawn line: the darkest point near the side is much
// darker than the picture clear of it on both sides. Reach is how far a thick line may lie from the
// side, which may have settled on either of its borders.
bool drawnLineAt(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, double reach);
// How many sides of the outline run along a drawn line, a narrow band much darker than the picture on
// both sides of it, rather than along a sheet's edge, where the picture steps from paper to surface (a
// contact shadow darkens the surface only a little). An outline drawn all round is a shape in the
// artwork, not the sheet.
int drawnSides(const cv::Mat& colour, const Corners& c);
// Whether a line drawn round the outline, however faint, runs along all four of its sides: at half the points
// along each, the darkest point near the side is below 85 per cent of the luma clear of it on both sides. A
// shape drawn on a sheet is outlined in ink, which the photo may thin and blur until drawnSides no longer sees
// it; a sheet's edge steps from paper to surface, its contact shadow darkening the surface just beyond it only a
// little more than further out.
bool inkedAllRound(const cv::Mat& colour, const Corners& c);
// Whether the side of the outline from c[side] to c[side + 1] runs along a drawn line, as drawnSides tells.
bool drawnSide(const cv::Mat& colour, const Corners& c, int side);
// Whether a neighbour of a side along a drawn line runs on as a clear edge past the corner they share, for
// a tenth of the neighbour's length: the sheet's own edge going on past a line drawn across the sheet, where
// the outline is a part of the sheet that the line cuts off. A sheet's sides end at its corners.
bool cutOffByDrawnLine(const cv::Mat& colour, const Corners& c);
// The sides (i for the side from c[i] to c[i + 1]) along which the outline is a part of a sheet that a hard
// shadow cut off: such a side has the outline's paper on its brighter side and the same colour in clearly
// less light on the other, both for some way, the light stepping by about the same share all along it (told
// point by point where the drawing crosses the edge or the light burnt the sunlit paper out), and past one of
// its ends the line runs on as an edge between the same share of light and full light. Along the
// shadow's edge the line runs on over the surface, along a side of the sunlit part the sheet's own edge runs
// on in the shadow; a whole sheet's sides end at its corners. Apart from them, the sides that pass all of
// this but whose darker side beyond turns as light as the brighter again further out: a stripe's edge of a
// wall, white beside grey, which no shadow's edge is, and along which the outline may have taken in a white
// stripe beside the sheet.
struct SteppedSides {
    std::vector<int> shadowCut, stripeEdge;
};
SteppedSides steppedSides(const cv::Mat& colour, const Corners& c);

// The sides (i for the side from c[i] to c[i + 1]) that lie along a straight line of the surface rather than a
// sheet's edge: past each end of the side that the picture goes on beyond, for half the side's length or as far
// as the picture goes and at least 15 pixels, the line runs on as a clear edge, as a wall's stripe's edge runs
// across the picture. A sheet's sides end at its corners.
std::vector<int> surfaceLineSides(const cv::Mat& colour, const Corners& c);
// Whether the line from a through b runs on as a clear edge past b, as surfaceLineSides asks of a side's end:
// for half the length from a to b, or as far as the picture goes and at least 15 pixels; nothing where the
// picture ends within 15 pixels past b.
std::optional<bool> runsOnFarPast(const cv::Mat& colour, cv::Point2d a, cv::Point2d b);

// The light just beyond the side from c[side] to c[side + 1] over the light just inside it: the shadow's
// share of light along a side cut by a shadow, as steppedSides names it; 1 where the two sides are not one
// colour in two lights.
double shadowLight(const cv::Mat& colour, const Corners& c, int side);
// Whether outer's sides run on as clear edges past inner's corners wherever outer reaches beyond a side
// of inner: then inner stopped early, at a band of colour drawn along the sheet's side.
bool runsOnPast(const cv::Mat& colour, const Corners& outer, const Corners& inner);
// The mean colours just inside and just outside the middle four fifths of the side of c from c[side] to
// c[side + 1], from 4 to 8 pixels off it, and their lumas.
struct SideColours {
    cv::Vec3f inside, outside;
    double insideLuma, outsideLuma;
};
SideColours sideColours(const cv::Mat& colour, const Corners& c, int side);
// The mean colours from clear to clear + 4 pixels off the stretch from a to b, on the side inward points to
// (inside) and on the other, and their lumas.
SideColours coloursAcross(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, cv::Point2d inward, double clear);
// Whether at least the given share of points, spacing pixels apart, along a to b shows a clear change of
// colour across the line through them.
bool lineSupported(const cv::Mat& colour, cv::Point2d a, cv::Point2d b, double spacing, double share);
// Whether the line from a through b runs on as a clear edge past b, for a tenth of its length and at least 15
// pixels, inside the picture.
bool runsOnPastEnd(const cv::Mat& colour, cv::Point2d a, cv::Point2d b);
// The chromaticity of a colour, red and blue against green over their sums, each channel taken as at least
// least: the strength of the light leaves it alone, so the same paper in less light keeps it.
cv::Point2d chromaticity(const cv::Scalar& colour, double least);
// The step of luma from just inside the outline to just beyond it, averaged along each side, on the side
// where it is largest: paper lying on a darker surface is clearly brighter than what lies beyond it along one
// side at least, however much of the others it has drawn over or shows in shadow. A drawn line along a side
// is no such step. With surfaceBeyond, a side counts only where what lies beyond it goes on darker: a band or a
// line drawn beside a piece of a scan's paper turns as light as the paper again within a tenth of the picture.
// -1 when no side counts.
double brightestSideStep(const cv::Mat& colour, const Corners& c, bool surfaceBeyond);
// How much of an outline the picture a little way beyond it, past the contact shadow that darkens the surface
// just beside a sheet's edge, is darker by an eighth than just inside it; beyond the picture's border nothing
// is. With surfaceBeyond, a side's share counts only points where the picture goes on darker for a while:
// past a line or a stroke drawn beside a piece of a scan's paper, the paper shows again close by, of its own
// tint (on a colourless surface a wall's narrow grey stripe does the same beside a sheet); a patterned
// surface's light cells, of the surface's tint, do not, unless anyLight: then whatever is as light counts.
// The sides notSteps names (i for the side from c[i] to c[i + 1]) step down nowhere.
struct DarkerBeyond {
    double share = 0;       // of the whole outline: a sheet on a darker surface steps down so along most of it
    double secondSide = 0;  // of the side second most stepped: a sheet steps down along two sides at least, a
                            // piece of a scan's paper bounded by a horizon, or a sheet by a shadow's edge, along one
    double weakestSide = 0;  // of the side least stepped, where not light again close by: a sheet on a
                             // darker surface steps down along every side, a piece of a scan's paper not
                             // where it runs on past a stroke or out of the picture
};
DarkerBeyond darkerBeyond(const cv::Mat& colour, const Corners& c, bool surfaceBeyond, bool anyLight = false,
                          const std::vector<int>& notSteps = {});
// How much of each side shows a clear change of colour across it: 0 to 1, weighing the weakest side as
// much as the average, so that an outline is sure only where all four sides are.
double edgeSupport(const cv::Mat& colour, const Corners& c);

}  // namespace quillfen::detail::paper
