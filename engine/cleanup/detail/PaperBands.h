#pragma once

#include <opencv2/core.hpp>

#include <span>
#include <vector>

// Internal to paper detection: an outline's mask and the band around it as runs of columns, row by row.
// Pure functions on values.
namespace quillfen::detail::paper {

// Columns from up to (not including) to of one row.
struct Run {
    int from, to;
};

// For each row of a mask, the runs of its set pixels and the runs of those that dilating the mask by a
// square of side 2 * band + 1 adds: the band around them.
class BandRows {
public:
    // The rows of a CV_8U mask of 0 and 255 (a filled outline) and of the band of the given width around it,
    // clipped to the mask's size as cv::dilate clips it.
    BandRows(const cv::Mat& mask, int band);
    std::span<const Run> inside(int y) const;
    std::span<const Run> around(int y) const;

private:
    std::vector<Run> runs;
    std::vector<int> starts;  // row y's inside runs from starts[2y], its band's from starts[2y + 1]
};

}  // namespace quillfen::detail::paper
