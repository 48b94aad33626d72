#include "engine/cleanup/detail/PaperMask.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <optional>

#include <opencv2/imgproc.hpp>

namespace quillfen::detail {

namespace {

constexpr float neutralFloor = 0.04f;
constexpr float neutralSaturation = 0.3f;
constexpr int brightestRadius = 3;
constexpr float paperFactor = 0.86f;

// Chromaticity as the differences of red and blue from green over their sums, on encoded values: the
// strength of the light leaves it alone, and for the near-neutral colours that can be paper it is the
// logarithm of the ratio to within a few percent, so that a tint of the light shifts paper and crayon
// alike and the distance between two colours' chromaticities does not depend on the light.
constexpr float chromaFloor = 1.0f / 255;
// How far from the paper's chromaticity a pixel may lie and still be paper: above what noise and JPEG
// leave on a small copy, below the palest crayon fill. The paper's chromaticity may drift across the
// sheet (a warm lamp on one side, daylight on the other): it is fitted as a plane, first to the
// candidates within the wider distance of the sheet's most common paper colour, then to those within
// the paper distance of that plane.
constexpr float paperChromaDistance = 0.05f;
constexpr float driftChromaDistance = 0.12f;
constexpr int planeFits = 2;
constexpr int planeStride = 4;
// The histogram that finds the paper's chromaticity: bins of 0.02 over -0.4...0.4 on each axis, which
// hold every near-neutral colour.
constexpr float histogramReach = 0.4f;
constexpr int histogramBins = 40;

// A region is clearly darker than the paper around it when this share of its pixels sees paper within
// surroundRadius that is brighter by more than 1 / darkerFactor; the radius reaches across a drawn
// outline and the band the 7 x 7 test leaves on either side of a sharp edge.
constexpr int surroundRadius = 8;
constexpr float darkerFactor = 0.75f;
constexpr float darkerShare = 0.05f;
// Darker regions joined across the strokes that cut them (paper within joinFactor of one luma on both
// sides) are a hard shadow when they reach within edgeReach of the border and under bareShare of their
// gaps towards brighter paper hold ink (below inkFactor of their luma), as a fill's outline would.
constexpr float joinFactor = 0.9f;
constexpr int edgeReach = 3;
constexpr float inkFactor = 0.8f;
constexpr float bareShare = 0.5f;

struct Chroma {
    float u = 0, v = 0;
};

Chroma chromaOf(const float* rgb) {
    const float r = std::max(rgb[0], chromaFloor), g = std::max(rgb[1], chromaFloor),
                b = std::max(rgb[2], chromaFloor);
    return {2 * (r - g) / (r + g), 2 * (b - g) / (b + g)};
}

float distanceSquared(Chroma a, Chroma b) {
    return (a.u - b.u) * (a.u - b.u) + (a.v - b.v) * (a.v - b.v);
}

// The paper's chromaticity as a plane over the sheet, x and y from 0 to 1.
struct ChromaPlane {
    cv::Vec3d u, v;  // constant, x and y terms

    Chroma at(double x, double y) const {
        return {static_cast<float>(u[0] + u[1] * x + u[2] * y),
                static_cast<float>(v[0] + v[1] * x + v[2] * y)};
    }
};

// The chromaticity that most of the bright candidates share: the peak of their histogram, weighted
// towards the brightest. The paper is the sheet's largest bright neutral area; a fill is smaller, or
// darker, or both. Nothing without candidates.
std::optional<Chroma> paperChroma(const std::vector<Chroma>& chroma, const std::vector<float>& luma,
                                  const std::vector<std::uint8_t>& candidate) {
    cv::Mat histogram(histogramBins, histogramBins, CV_32F, cv::Scalar(0));
    constexpr float scale = histogramBins / (2 * histogramReach);
    for (std::size_t p = 0; p < chroma.size(); ++p) {
        if (!candidate[p]) continue;
        const float i = (chroma[p].u + histogramReach) * scale, j = (chroma[p].v + histogramReach) * scale;
        if (!(i >= 0 && j >= 0 && i < histogramBins && j < histogramBins)) continue;
        const float l = luma[p] * luma[p];
        histogram.at<float>(static_cast<int>(j), static_cast<int>(i)) += l * l;
    }
    cv::blur(histogram, histogram, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_CONSTANT);
    cv::Point peak;
    double most = 0;
    cv::minMaxLoc(histogram, nullptr, &most, nullptr, &peak);
    if (!(most > 0)) return std::nullopt;
    const float step = 2 * histogramReach / histogramBins;
    return Chroma{-histogramReach + (peak.x + 0.5f) * step, -histogramReach + (peak.y + 0.5f) * step};
}

// The plane fitted by least squares to the candidates within `distance` of the plane before, on every
// fourth pixel of every fourth row (the plane spans the sheet); the plane before when they are too few
// or too close to a line to fix a plane. `across` holds each pixel column's x on the sheet.
ChromaPlane fittedPlane(const ChromaPlane& before, float distance, const std::vector<Chroma>& chroma,
                        const std::vector<std::uint8_t>& candidate, const std::vector<double>& across,
                        int height) {
    const int width = static_cast<int>(across.size());
    double s1 = 0, sx = 0, sy = 0, sxx = 0, sxy = 0, syy = 0;
    cv::Vec3d u(0, 0, 0), v(0, 0, 0);
    for (int y = 0; y < height; y += planeStride) {
        const double fy = (y + 0.5) / height;
        for (int x = 0; x < width; x += planeStride) {
            const std::size_t p = static_cast<std::size_t>(y) * width + x;
            if (!candidate[p]) continue;
            const double fx = across[x];
            if (distanceSquared(chroma[p], before.at(fx, fy)) > distance * distance) continue;
            s1 += 1, sx += fx, sy += fy, sxx += fx * fx, sxy += fx * fy, syy += fy * fy;
            u += cv::Vec3d(chroma[p].u, chroma[p].u * fx, chroma[p].u * fy);
            v += cv::Vec3d(chroma[p].v, chroma[p].v * fx, chroma[p].v * fy);
        }
    }
    const cv::Matx33d normal(s1, sx, sy, sx, sxx, sxy, sy, sxy, syy);
    if (s1 < 8 || std::abs(cv::determinant(normal)) < 1e-9 * s1 * s1 * s1) return before;
    return {normal.solve(u, cv::DECOMP_CHOLESKY), normal.solve(v, cv::DECOMP_CHOLESKY)};
}

// Per region, the gaps (runs of at most surroundRadius non-paper pixels in one of eight directions)
// towards clearly brighter paper and those holding ink; and each region's root once the regions with
// paper of much the same luma across a gap are joined.
struct Gaps {
    std::vector<int> root;
    std::vector<int> facing, inked;
};

Gaps gapsOf(const std::vector<std::uint8_t>& mask, const std::vector<float>& luma, const int* label,
            int regions, int width, int height) {
    Gaps gaps{std::vector<int>(regions), std::vector<int>(regions, 0), std::vector<int>(regions, 0)};
    std::iota(gaps.root.begin(), gaps.root.end(), 0);
    const auto find = [&](int r) {
        while (gaps.root[r] != r) r = gaps.root[r] = gaps.root[gaps.root[r]];
        return r;
    };
    constexpr int directions[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t p = static_cast<std::size_t>(y) * width + x;
            if (!mask[p]) continue;
            for (const auto& [dx, dy] : directions) {
                float darkest = luma[p];
                for (int step = 1; step <= surroundRadius; ++step) {
                    const int gx = x + step * dx, gy = y + step * dy;
                    if (gx < 0 || gy < 0 || gx >= width || gy >= height) break;
                    const std::size_t g = static_cast<std::size_t>(gy) * width + gx;
                    if (!mask[g]) {
                        darkest = std::min(darkest, luma[g]);
                        continue;
                    }
                    if (step == 1) break;  // no gap
                    if (luma[p] < joinFactor * luma[g]) {
                        ++gaps.facing[label[p]];
                        if (darkest < inkFactor * luma[p]) ++gaps.inked[label[p]];
                    } else if (std::min(luma[p], luma[g]) > joinFactor * std::max(luma[p], luma[g])) {
                        gaps.root[find(label[p])] = find(label[g]);
                    }
                    break;
                }
            }
        }
    }
    for (int r = 0; r < regions; ++r) gaps.root[r] = find(r);
    return gaps;
}

// Clears the regions of the mask that are clearly darker than paper they border: a wide fill of a
// neutral colour, which the 7 x 7 test separates from the paper by its sharp edge. A soft shadow
// darkens gradually, so it stays joined to the lit paper and is kept; a hard shadow runs out to the
// sheet's edge without ink along its own edge, and is kept too.
void clearDarkerRegions(std::vector<std::uint8_t>& mask, const std::vector<float>& luma, int width,
                        int height) {
    const std::size_t n = mask.size();
    const cv::Mat maskImage(height, width, CV_8U, mask.data());
    cv::Mat labels;
    const int regions = cv::connectedComponents(maskImage, labels, 8, CV_32S);
    if (regions <= 2) return;  // the background and one region: nothing to compare with
    std::vector<float> paperLuma(n);
    for (std::size_t p = 0; p < n; ++p) paperLuma[p] = mask[p] ? luma[p] : 0;
    const std::vector<float> around = windowMaximum(paperLuma, width, height, surroundRadius);
    std::vector<int> size(regions, 0), overshadowed(regions, 0);
    std::vector<bool> atEdge(regions, false);
    const auto* label = labels.ptr<int>();
    for (int y = 0; y < height; ++y) {
        const bool edgeRow = y < edgeReach || y >= height - edgeReach;
        for (int x = 0; x < width; ++x) {
            const std::size_t p = static_cast<std::size_t>(y) * width + x;
            if (!mask[p]) continue;
            ++size[label[p]];
            if (luma[p] < darkerFactor * around[p]) ++overshadowed[label[p]];
            if (edgeRow || x < edgeReach || x >= width - edgeReach) atEdge[label[p]] = true;
        }
    }
    const Gaps gaps = gapsOf(mask, luma, label, regions, width, height);
    std::vector<int> facing(regions, 0), inked(regions, 0);
    std::vector<bool> joinedAtEdge(regions, false);
    for (int r = 1; r < regions; ++r) {
        facing[gaps.root[r]] += gaps.facing[r];
        inked[gaps.root[r]] += gaps.inked[r];
        joinedAtEdge[gaps.root[r]] = joinedAtEdge[gaps.root[r]] || atEdge[r];
    }
    std::vector<bool> darker(regions, false);
    bool any = false;
    for (int r = 1; r < regions; ++r) {
        const int root = gaps.root[r];
        const bool shadow = joinedAtEdge[root] && inked[root] < bareShare * facing[root];
        darker[r] = overshadowed[r] > darkerShare * size[r] && !shadow;
        any = any || darker[r];
    }
    if (!any) return;
    for (std::size_t p = 0; p < n; ++p) {
        if (mask[p] && darker[label[p]]) mask[p] = 0;
    }
}

}  // namespace

std::vector<float> windowMaximum(const std::vector<float>& plane, int width, int height, int radius) {
    const cv::Mat in(height, width, CV_32F, const_cast<float*>(plane.data()));
    std::vector<float> values(plane.size());
    cv::Mat out(height, width, CV_32F, values.data());
    cv::dilate(in, out, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * radius + 1, 2 * radius + 1)));
    return values;
}

std::vector<float> paperMask(const std::vector<float>& rgba, int width, int height) {
    const std::size_t n = static_cast<std::size_t>(width) * height;
    std::vector<float> luma(n);
    std::vector<std::uint8_t> mask(n);
    std::vector<Chroma> chroma(n);
    for (std::size_t p = 0; p < n; ++p) {
        const float* rgb = &rgba[p * 4];
        luma[p] = 0.2126f * rgb[0] + 0.7152f * rgb[1] + 0.0722f * rgb[2];
        const float mx = std::max({rgb[0], rgb[1], rgb[2]}), mn = std::min({rgb[0], rgb[1], rgb[2]});
        mask[p] = mx > neutralFloor && (mx - mn) / mx < neutralSaturation;
    }
    const std::vector<float> brightest = windowMaximum(luma, width, height, brightestRadius);
    for (std::size_t p = 0; p < n; ++p) {
        mask[p] = mask[p] && luma[p] > paperFactor * brightest[p];
        if (mask[p]) chroma[p] = chromaOf(&rgba[p * 4]);
    }

    if (const auto common = paperChroma(chroma, luma, mask)) {
        std::vector<double> across(width);
        for (int x = 0; x < width; ++x) across[x] = (x + 0.5) / width;
        ChromaPlane paper{{common->u, 0, 0}, {common->v, 0, 0}};
        for (int fit = 0; fit < planeFits; ++fit) {
            paper = fittedPlane(paper, fit == 0 ? driftChromaDistance : paperChromaDistance, chroma, mask,
                                across, height);
        }
        for (int y = 0; y < height; ++y) {
            const double fy = (y + 0.5) / height;
            for (int x = 0; x < width; ++x) {
                const std::size_t p = static_cast<std::size_t>(y) * width + x;
                if (!mask[p]) continue;
                const Chroma expected = paper.at(across[x], fy);
                mask[p] = distanceSquared(chroma[p], expected) <= paperChromaDistance * paperChromaDistance;
            }
        }
        clearDarkerRegions(mask, luma, width, height);
    }
    return std::vector<float>(mask.begin(), mask.end());
}

}  // namespace quillfen::detail
