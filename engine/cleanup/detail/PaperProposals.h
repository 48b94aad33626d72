#pragma once

#include <vector>

#include <opencv2/core.hpp>

#include "engine/cleanup/PaperCandidates.h"
#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperGeometry.h"
#include "engine/cleanup/detail/PaperLines.h"

// Internal to paper detection: the outlines the rectangle detector proposes in one picture, each judged as a
// sheet's. Pure functions.
namespace quillfen::detail::paper {

// What the surface around the sheet is like, worked out once for all the outlines judged in one picture.
struct Surface {
    cv::Mat colourful;                    // the pixels that hold colour (colourfulPixels)
    bool colourless = false;              // the picture's border holds hardly any colour
    std::vector<EdgeLine> straightEdges;  // the longest straight edges; a wall's stripes make many
    bool striped = false;                 // some of them are edges of a wall's stripes

    // Colourless and without stripes: a white or grey table.
    bool plainColourless() const { return colourless && !striped; }
};

Surface surfaceOf(const Analysis& a);

// An outline proposed in the picture and how surely it is a sheet's.
struct ScoredOutline {
    Corners corners;
    double confidence;
    double edges;  // the share of its outline along which clear edges show
    bool crisp;    // clear edges along all four sides, none of them a drawn line
    double region;
    bool drawnSide;  // a side along a drawn line
};

// The sure outlines that the picture's regions and straight edges propose, and those they lead to: a sheet's
// outline inside a mat's, one completed where it ran to the picture's border, one reaching on past a side of a
// part, and two parts joined across a hard shadow's edge. With stripesAside, outlines of the straight edges left
// when a wall's stripes are set aside are proposed too.
std::vector<ScoredOutline> scoredOutlines(const Analysis& a, const RectangleDetectorOptions& options,
                                          const Surface& surface, bool stripesAside);

}  // namespace quillfen::detail::paper
