#include "engine/cleanup/detail/PaperEdges.h"

#include "engine/cleanup/detail/PaperSampling.h"


#include <algorithm>
#include <cmath>

namespace quillfen::detail::paper {

cv::Point2d chromaticity(const cv::Scalar& colour, double least) {
    const double r = std::max(colour[0], least), g = std::max(colour[1], least), b = std::max(colour[2], least);
    return {2 * (r - g) / (r + g), 2 * (b - g) / (b + g)};
}

namespace {

// The darkest luma across a side at q, within reach of it, and the luma clear of it on its darker side.
struct LineDip {
    float darkest, clear;
};

LineDip lineDipAt(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, double reach) {
    float darkest = 1;
    for (double d = -reach; d <= reach; d += 1) darkest = std::min(darkest, lumaAt(colour, q + inward * d));
    float inside = 0, outside = 0;
    for (double d : {reach + 4, reach + 6, reach + 8}) {
        inside += lumaAt(colour, q + inward * d) / 3;
        outside += lumaAt(colour, q - inward * d) / 3;
    }
    return {darkest, std::min(inside, outside)};
}

// Whether a dip is a line drawn across the side: well darker than the picture clear of it.
bool drawnLine(const LineDip& dip) {
    return dip.darkest < 0.6f * dip.clear && dip.clear - dip.darkest > 0.15f;
}

}  // namespace

bool drawnLineAt(const cv::Mat& colour, cv::Point2d q, cv::Point2d inward, double reach) {
    return drawnLine(lineDipAt(colour, q, inward, reach));
}

}  // namespace quillfen::detail::paper
