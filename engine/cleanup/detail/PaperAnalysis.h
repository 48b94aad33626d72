#pragma once

#include <opencv2/core.hpp>

#include "engine/cleanup/detail/PaperGeometry.h"
#include "engine/core/Bitmap.h"

// Internal to paper detection: the working copy prepared once for every outline, and the judgements
// of an outline's inside and surroundings made on it. Pure functions on values.
namespace quillfen::detail::paper {

// The picture prepared once for every outline. At full size: lightly smoothed colour. At the
// analysis size, with texture suppressed: luma, "whiteness" (bright and colourless scores high),
// "neutrality" (colourless scores high however dark, so that a shadow leaves it alone) and how far each
// pixel stands out from the surface, which is modelled from the picture's border as a smooth function
// of position so that uneven light does not count as standing out.
struct Analysis {
    cv::Size size;
    cv::Mat colour;      // CV_8UC3 RGB
    cv::Mat smallLuma;   // CV_8U
    cv::Mat smallWhite;  // CV_8U
    cv::Mat smallNeutral;  // CV_8U
    cv::Mat standOut;  // CV_32F: above 1 where a pixel is clearly brighter or more colourful than the surface
    cv::Mat foreground;  // CV_8U: standOut above 1
    double smallScale = 1;
};

// The outline's polygon in pixels of the analysis size.
std::vector<cv::Point> smallPolygon(const Analysis& a, const Corners& c);
// Whether a picture has pixels enough to analyse: at least 16 each way.
bool analysable(const Bitmap& image);
// The analysis of an analysable picture.
Analysis analyse(const Bitmap& image);

// How well an outline separates what stands out from the surface: the share of its inside that stands
// out times the share of a band around it that does not.
double regionSupport(const Analysis& a, const Corners& c);
// How well an outline holds a sheet on a busy surface, judged only near it: the share of its inside
// that is as white as its paper (the brighter part of the inside, so that drawing does not count
// against it), times the share of a thin band around it that is clearly less white. Busy surroundings
// do not lower it, unlike regionSupport.
double paperSupport(const Analysis& a, const Corners& c);
// Whether outer holds a smaller outline whose paper is brighter than the rest of outer: then outer is the
// surface the sheet lies on (a placemat, a book, a table top), not the sheet. The inner outline keeps
// clear of all four of outer's sides (a colour band drawn along a sheet's side leaves a brighter outline
// touching the others); a crisp one (clear edges on all four sides, none of them a drawn line) of two, or
// of one where inner did not stop at a band drawn along the sheet's side (a strip of the mat beside it).
bool enclosesBrighterSheet(const Analysis& a, const Corners& outer, const Corners& inner, bool crisp);
// Whether an outline lit more brightly than the picture beyond its side from c[side] to c[side + 1] (a part
// of a sheet that a hard shadow's edge along that side cut off) stands out from the rest of the picture in
// its own light: on its side of that line its inside must be brighter on average than the rest by as much as
// the selection asks of a sheet over the whole picture. An outline darker than the picture beyond that side
// stands out.
bool standsOutInItsLight(const Analysis& a, const Corners& c, int side);
// Whether the paper inside inner (its brighter quarter, not the drawing) is clearly brighter than most of
// the rest of outer.
bool brighterWithin(const Analysis& a, const Corners& outer, const Corners& inner);

}  // namespace quillfen::detail::paper
