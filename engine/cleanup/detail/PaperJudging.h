#pragma once

#include <opencv2/core.hpp>

#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperGeometry.h"

// Internal to paper detection: the judgements both detectors make of whether an outline they found can be a
// sheet lying on a darker surface. Pure functions.
namespace quillfen::detail::paper {

// How much brighter than what lies just beyond it a sheet's paper is along one of its sides at least.
inline constexpr double sheetStep = 0.1;
// Clear edges along less of its outline than this leave an outline in doubt: its brighter side must show the
// surface going on beyond it, not a band or a line drawn beside a piece of a scan's paper.
inline constexpr double doubtfulEdges = 0.6;
// Clear edges along less of its outline than this leave an outline whose paper runs on to the picture's border
// in doubt: a sheet on a busy surface as light as its paper in places shows them along nearly all of it.
inline constexpr double unclearEdges = 0.9;
// Whether the picture a little way beyond the outline is darker than its paper along enough of it; on a
// coloured surface, along a second side where the paper does not show again close by. Beside an outline in
// doubt, anything as light as the paper counts as the paper showing again: a patterned surface's light cells
// are told from the paper by their tint only beside an outline with clear edges along most of it, which a
// stretch of the pattern, or a part of the sheet run on over it, lacks. On a plain colourless surface, a white
// table, a side along a straight line of the surface that runs on past its corners is no step down: it is a
// hard shadow's edge across the table, and a sheet's side ends at its corners.
bool stepsDownBeyond(const cv::Mat& colour, const Corners& c, bool colourlessSurface, bool inDoubt,
                     bool plainSurface = false);
// Whether the outline's paper runs on outside it out to the picture's border, as a scan's paper or a white
// table does, where a sheet lies on a darker surface: along a quarter of the picture's border outside the
// outline, the picture is nearly as light as the paper, some of it of the paper's own tint, and one side of
// the outline at least does not step down to anything darker beyond it.
bool paperReachesBorder(const cv::Mat& colour, const Corners& c);
// Whether beyond one side of the outline at least, a little way past the contact shadow, the picture is hardly
// anywhere darker than the outline's paper, along the part of that side beyond which it shows anything: what lies
// there is as light as the paper. A sheet on a darker surface steps down beyond every side the picture shows, bands
// drawn along it or not; on a plain colourless surface, an outline as light beyond a side is a sheet on a white
// table or a piece of one.
bool asLightBeyondASide(const cv::Mat& colour, const Corners& c);
// The pixels of the analysis copy that hold colour.
cv::Mat colourfulPixels(const Analysis& a);
// Whether the surface is colourless: the picture's border, which shows the surface, holds hardly any colour.
bool colourlessSurface(const cv::Mat& colourful);

}  // namespace quillfen::detail::paper
