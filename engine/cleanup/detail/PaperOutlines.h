#pragma once

#include <optional>
#include <vector>

#include <opencv2/core.hpp>

#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: how the outlines proposed for one picture stand to one another (joined parts,
// how far one reaches past another's sides, what lies between them) and an outline completed where it ran
// to the picture's border. Pure functions on values.
namespace quillfen::detail::paper {

// The outline that two outlines make together when they lie side by side and meet along a whole side,
// as the sunlit and the shadowed part of a sheet that a hard shadow crosses do; nothing otherwise.
std::optional<Corners> joined(const Corners& x, const Corners& y);
// How far outer reaches beyond inner's side from inner[side] to inner[side + 1], at least 0.
double reachBeyond(const Corners& outer, const Corners& inner, int side);
// Whether outer reaches no more than margin beyond any side of inner but those listed (i for the side from
// inner[i] to inner[i + 1]).
bool reachesOnlyAcross(const Corners& outer, const Corners& inner, const std::vector<int>& sides,
                       double margin);
// Whether each corner of inner that ends none of the listed sides (i for the side from inner[i] to inner[i + 1])
// lies inside outer or no more than margin beyond it.
bool holdsCornersOff(const Corners& outer, const Corners& inner, const std::vector<int>& sides, double margin);
// How many sides of inner outer reaches more than margin beyond.
int sidesReachedAcross(const Corners& outer, const Corners& inner, double margin);
// Whether outer holds inner and reaches more than margin beyond it across one of its sides only.
bool reachesAcrossOneSide(const Corners& outer, const Corners& inner, double margin);
// Whether the part of outer beyond inner is inner's paper in a shadow or over something showing through: the
// colour of inner's paper (the brighter half of inner, not the drawing), however much darker, and in one
// light beyond the side that outer reaches furthest past. A shadow leaves the paper's colour, and a coloured
// surface has its own; the grey and white stripes of a colourless wall have a white paper's colour too, but
// are light and dark in turn. Chromaticities as in the lighting's paper mask.
bool restIsPaper(const cv::Mat& colour, const Corners& outer, const Corners& inner);
// Whether outer holds inner and reaches more than margin beyond it across one side only, one along a drawn line:
// a line drawn on the sheet has its paper on both sides, so the sheet goes on beyond it.
bool reachesPastDrawnLine(const cv::Mat& colour, const Corners& outer, const Corners& inner, double margin);
// Whether a side of inner that crosses outer's inside, clear of its outline, runs on past a corner of inner lying
// on that outline, out beyond outer, as the edge between two surfaces (as far as surfaceLineSides asks): inner is
// then a part of the sheet that outer is, cut off by a table's or a shadow's edge crossing the sheet and the
// surface alike. A sheet's own sides end at its corners; a sheet on a mat keeps clear of the mat's outline, and a
// side of it flush with the mat's runs along that outline.
bool crossedBySurfaceLine(const cv::Mat& colour, const Corners& outer, const Corners& inner);
// Whether strokes of the drawing cross a side of inner on into outer, inner then being a part of the sheet that
// outer is: three strokes at least, each darker than the colours along the side both just inside and just outside
// it, in one ink on both, or its tint in another light. A sheet's drawing ends at its own edge, where a mat or a
// book around it begins; marks on a mat seldom meet the drawing's strokes in their ink.
bool drawingRunsOnAcross(const cv::Mat& colour, const Corners& outer, const Corners& inner);
// Whether outer holds inner and reaches more than margin beyond it across one side only, where a table's or a
// shadow's edge crossing the sheet and the surface alike cuts inner off, as crossedBySurfaceLine tells: outer is
// then the whole sheet around that part, whichever of the two is the surer.
bool reachesPastSurfaceLine(const cv::Mat& colour, const Corners& outer, const Corners& inner, double margin);
// How far inside the side of outer from outer[side] to outer[side + 1] the two corners of inner nearest to it
// lie, on average: negative where they lie beyond it.
double insideBy(const Corners& outer, const Corners& inner, int side);
// Whether inner stopped early, at a band of colour drawn along the sheet's side, where outer reaches beyond
// it: outer's sides run on as clear edges past inner's corners there, or, where outer reaches as far past
// inner's side at both ends, what lies just beyond outer's side is the surface just beyond each of its other
// sides and what lies just inside it is not (of one tint, in nearly one light). A sheet lies on one surface
// all round, though on a mat the band's edge may show along too little of its sides; a strip of a mat beside
// a sheet is the mat, and ends at the mat's edge, beyond which lies the table.
bool stoppedAtDrawnBand(const cv::Mat& colour, const Corners& outer, const Corners& inner);
// Whether what outer holds beyond inner, clear of both outlines' edges, is of the tint of the surface just beyond
// any one of outer's sides, past its edge's blur, on the mean or for the most part: then outer took in a strip of
// the surface beside inner, as of a mat between the sheet and a table of another tint. A patterned surface averages
// to one tint over a strip and over a ring alike; a band drawn on the sheet is of a tint of its own.
bool surfaceBetween(const cv::Mat& colour, const Corners& outer, const Corners& inner);
// Whether outer holds inner and reaches more than margin beyond it across one side only, where inner stopped at a
// band of colour drawn along the sheet's side, as stoppedAtDrawnBand tells, and what outer holds beyond inner is
// not of the surface's tint just beyond outer: outer is then the whole sheet around that part, whose edges need
// not be clear all round. Along a pattern's lines, sides that run on past a sheet's corners may take in a strip
// of the surface beside it.
bool reachesPastDrawnBand(const cv::Mat& colour, const Corners& outer, const Corners& inner, double margin);
// The outline of a sheet that an outline ran on from along a straight edge of the surface to the picture's
// border, as from a sheet's corner over a table's edge the table's edge runs on past the sheet: the one
// corner at the border is put where the other three make a parallelogram with it, a sheet's shape seen nearly
// face on. Nothing when no corner, or more than one, lies at the border, or when the outline so completed
// does not have a sheet's size and shape inside the picture.
std::optional<Corners> completedAtBorder(const Corners& c, cv::Size size,
                                         const RectangleDetectorOptions& options);

// Whether the picture as it is may show the rest of a sheet that an outline is a part of past its side from
// c[side] to c[side + 1], given the outline's stepped sides and whether the picture just beyond that side is
// its paper in more light (as shadowLight tells): not where that side or a neighbour lies along a wall
// stripe's edge, beyond which lies more wall, not more sheet. Past a hard shadow's edge, into the shadow, it
// may: the sheet's sides run on in the shadow, and on a table nearly as light as the paper, the table looks
// like the paper in less light, so that the sunlit part's own sides pass for a shadow's edges as well as the
// one that is. Not from a shaded part out into the light: the sunlit part's clear sides are reached past from
// there, and the shaded part's faint ones may have been taken along strokes of the drawing.
bool reachablePast(const SteppedSides& stepped, int side, bool lighterBeyond);
// The outline of the whole sheet around a part of it cut off along the side from c[side] to c[side + 1], as a
// table's edge seen through the sheet or a line drawn across it cuts it: both neighbouring
// sides followed on past that side as far as they show the sheet's edge, however faint over a surface nearly as
// light as the paper, each free to turn a little about its far corner to keep to the edge. Nothing where either
// runs on by less than a fifth of the outline's depth, as a sheet's own sides end at its corners, or where the
// side between their ends runs more than 6 degrees off the opposite side, unless it shows as the sheet's edge
// along nine tenths of its length and runs within 15 degrees of it, as a sheet seen aslant does. Failing that,
// where the farther end lies half the depth past the side, the sheet's far side is followed from it, running as
// the opposite side does, to where it ends past the other neighbour's line.
std::optional<Corners> reachedPastSide(const cv::Mat& colour, const Corners& c, int side);
// The outline of the whole sheet around a part of it that a line across the sheet cuts off, a table's edge seen
// through the paper as a dark line or a line drawn across it: where one side of the outline, and only one, runs
// along a drawn line, as drawnSides tells, the outline reached past that side as reachedPastSide follows the
// sheet's edges on. Nothing otherwise: an outline with two drawn sides is a shape drawn on the sheet.
std::optional<Corners> reachedPastDrawnLine(const cv::Mat& colour, const Corners& c);

}  // namespace quillfen::detail::paper
