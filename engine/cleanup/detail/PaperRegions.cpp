#include "engine/cleanup/detail/PaperRegions.h"

#include "engine/cleanup/detail/PaperJudging.h"
#include "engine/cleanup/detail/PaperMorphology.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace quillfen::detail::paper {

namespace {

// The convex outlines of four corners that contours of the analysis copy make, in full-size pixels.
std::vector<Corners> outlinesOf(const std::vector<std::vector<cv::Point>>& contours, double smallScale) {
    std::vector<Corners> out;
    const double back = 1 / smallScale;
    for (const auto& contour : contours) {
        const auto quad = quadFromContour(contour);
        if (!quad) continue;
        Corners c;
        for (int i = 0; i < 4; ++i)
            c[i] = ((*quad)[i] + cv::Point2d(0.5, 0.5)) * back - cv::Point2d(0.5, 0.5);
        c = ordered(c);
        if (isConvex(c)) out.push_back(c);
    }
    return out;
}

}  // namespace

std::vector<Corners> regionProposals(const Analysis& a) {
    std::vector<std::vector<cv::Point>> contours;
    const double minimumArea = 0.03 * a.smallLuma.total();
    auto collect = [&](const cv::Mat& binary, int mode) {
        std::vector<std::vector<cv::Point>> found;
        cv::findContours(binary, found, mode, cv::CHAIN_APPROX_SIMPLE);
        for (auto& f : found)
            if (cv::contourArea(f) >= minimumArea || cv::minAreaRect(f).size.area() >= minimumArea)
                contours.push_back(std::move(f));
    };
    // The regions, each opened and then closed by a small ellipse against noise and thin gaps.
    std::vector<cv::Mat> regions;
    for (const cv::Mat* channel : {&a.smallWhite, &a.smallLuma}) {
        cv::Mat binary;
        const double otsu = cv::threshold(*channel, binary, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
        for (double shift : {0.0, 20.0, 40.0}) {
            cv::Mat region;
            cv::threshold(*channel, region, otsu + shift, 255, cv::THRESH_BINARY);
            regions.push_back(region);
        }
    }
    // A hard shadow darkens paper and surface alike and leaves their colours: on a coloured surface the
    // colourless region is the whole sheet across the shadow's edge.
    {
        cv::Mat binary;
        cv::threshold(a.smallNeutral, binary, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
        regions.push_back(binary);
    }
    for (double level : {0.6, 1.0, 1.8}) {
        cv::Mat binary;
        cv::compare(a.standOut, level, binary, cv::CMP_GT);
        regions.push_back(binary);
    }
    for (const cv::Mat& region : openedAndClosed(regions, 5)) collect(region, cv::RETR_EXTERNAL);
    cv::Mat edges;
    cv::Canny(a.smallLuma, edges, 30, 80);
    cv::dilate(edges, edges, cv::Mat());
    collect(edges, cv::RETR_LIST);
    return outlinesOf(contours, a.smallScale);
}

std::vector<Corners> colourlessSurfaceProposals(const Analysis& a, const cv::Mat& colourful) {
    if (!colourlessSurface(colourful)) return {};
    cv::Mat binary;
    cv::threshold(a.smallLuma, binary, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    binary |= colourful;
    auto stripeFor = [](int side) { return std::max(5, side / 18) | 1; };
    const int narrowest = stripeFor(std::min(binary.cols, binary.rows));
    fillDrawnHoles(a.smallLuma, binary, CV_PI / 16 * narrowest * narrowest);
    std::vector<std::vector<cv::Point>> contours;
    for (const int side : {std::min(binary.cols, binary.rows), std::max(binary.cols, binary.rows)}) {
        const int stripe = stripeFor(side);
        std::vector<std::vector<cv::Point>> found;
        cv::findContours(opened(binary, stripe), found, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
        for (auto& f : found)
            if (cv::contourArea(f) >= 0.03 * binary.total()) contours.push_back(std::move(f));
    }
    return outlinesOf(contours, a.smallScale);
}

}  // namespace quillfen::detail::paper
