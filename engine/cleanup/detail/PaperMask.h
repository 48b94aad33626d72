#pragma once

#include <vector>

// Internal to the lighting step: the two halves of the paper estimate on the small copy (RGBA float
// buffers of sRGB-encoded values, width * height * 4 floats). Pure functions, safe on any thread.
namespace quillfen::detail {

// Which pixels are bare paper (1) and which are not (0), one float per pixel. A pixel is paper when it
// is near-neutral and within 14 % of the brightest luma in its 7 x 7 neighbourhood, when its
// chromaticity is close to that of the sheet's paper (so a pale fill, brighter than anything around
// it, is not taken for paper however wide it is), and when the region of such pixels it belongs to
// is not clearly darker than the paper across its sharp edges (a wide grey fill). Paper under a light
// gradient, a lamp's fall-off, vignetting or a soft shadow changes only slowly and stays paper.
std::vector<float> paperMask(const std::vector<float>& rgba, int width, int height);

// The paper colour of every pixel from a paper mask of 0s and 1s: the weighted mean of the clean paper
// nearby at the finest of three scales that has enough of it, else the sheet's mean paper colour, else
// white.
std::vector<float> paperOfMask(const std::vector<float>& rgba, int width, int height,
                               const std::vector<float>& paper);

// The largest value of a plane over the square window of the given radius, clipped to the grid.
std::vector<float> windowMaximum(const std::vector<float>& plane, int width, int height, int radius);

}  // namespace quillfen::detail
