#pragma once

#include <opencv2/core.hpp>

// Internal to paper detection: the opening of the analysis copy's 8-bit planes by a wide ellipse. A pure
// function.
namespace quillfen::detail::paper {

// The picture (CV_8U, one channel) eroded, then dilated, by the ellipse of the given odd side that
// cv::getStructuringElement draws: what cv::morphologyEx's MORPH_OPEN gives, pixels beyond the picture
// taking no part. Each row of the ellipse is a run of pixels centred on its middle, so the least value over
// it is the least over each row's run, which the rows share: runs of every width across each row once,
// then the kernel's rows down each column. A wide ellipse takes far fewer steps so than pixel by pixel.
cv::Mat opened(const cv::Mat& picture, int side);

}  // namespace quillfen::detail::paper
