#include "engine/cleanup/PaperDetection.h"

#include "engine/cleanup/ImageIO.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace quillfen::Cleaner {

namespace {

constexpr double workingSide = 1024;
constexpr int gridColumns = 64;
constexpr int gridRows = 48;
constexpr double areaLimit = 0.97;
constexpr double documentConfidence = 0.5;
constexpr std::size_t minimumSamples = 11;
constexpr double minimumContrast = 0.12;

std::vector<Quad> quadsOf(const std::vector<PaperCandidate>& candidates) {
    std::vector<Quad> quads;
    for (const auto& c : candidates) quads.push_back(c.quad);
    return quads;
}

}  // namespace

PaperDetectors PaperDetectors::standard() {
    return PaperDetectors{[](const Bitmap& image) { return detectRectangles(image); }, &segmentDocument};
}

std::optional<Quad> detectPaper(const Bitmap& image) {
    return detectPaper(image, PaperDetectors::standard());
}

std::optional<Quad> detectPaper(const Bitmap& image, const PaperDetectors& detectors) {
    const auto working = downscaled(image, workingSide);
    if (!working) return std::nullopt;

    std::vector<Quad> candidates = quadsOf(detectors.rectangles(*working));
    if (candidates.empty()) {
        const auto documents = detectors.document(*working);
        if (!documents.empty() && documents.front().confidence > documentConfidence)
            candidates.push_back(documents.front().quad);
    }

    const LumaGrid grid = lumaGrid(*working, gridColumns, gridRows);
    std::optional<Quad> best;
    double bestArea = 0;
    for (const auto& quad : candidates) {
        const double area = quad.area();
        if (!(area < areaLimit) || !quadLooksLikePaper(quad, grid)) continue;
        if (!best || area > bestArea) {
            best = quad;
            bestArea = area;
        }
    }
    if (!best) return std::nullopt;
    return best->clamped();
}

LumaGrid lumaGrid(const Bitmap& image, int columns, int rows) {
    if (columns <= 0 || rows <= 0) return {};
    cv::Mat cells(rows, columns, CV_8UC4, cv::Scalar::all(0));
    if (!image.isEmpty() && image.pixels.size() == Bitmap::byteCount(image.width, image.height)) {
        const cv::Mat source(image.height, image.width, CV_8UC4,
                             const_cast<std::uint8_t*>(image.pixels.data()));
        cv::resize(source, cells, cells.size(), 0, 0, cv::INTER_AREA);
    }
    LumaGrid grid(static_cast<std::size_t>(rows), std::vector<double>(static_cast<std::size_t>(columns)));
    for (int i = 0; i < rows; ++i) {
        const auto* row = cells.ptr<std::uint8_t>(rows - 1 - i);
        for (int j = 0; j < columns; ++j) {
            const std::uint8_t* px = row + j * 4;
            grid[i][j] = (0.2126 * px[0] + 0.7152 * px[1] + 0.0722 * px[2]) / 255.0;
        }
    }
    return grid;
}

bool quadLooksLikePaper(const Quad& quad, const LumaGrid& grid) {
    const std::size_t rows = grid.size();
    const std::size_t columns = rows == 0 ? 0 : grid.front().size();
    if (rows == 0 || columns == 0) return false;

    // Sides in the order the crossing rule walks them: each pair is (from, to).
    const Point sides[4][2] = {{quad.topLeft, quad.bottomLeft},
                               {quad.topRight, quad.topLeft},
                               {quad.bottomRight, quad.topRight},
                               {quad.bottomLeft, quad.bottomRight}};
    double insideSum = 0, outsideSum = 0;
    std::size_t insideCount = 0, outsideCount = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        const double y = (static_cast<double>(i) + 0.5) / static_cast<double>(rows);
        for (std::size_t j = 0; j < std::min(columns, grid[i].size()); ++j) {
            const double x = (static_cast<double>(j) + 0.5) / static_cast<double>(columns);
            bool inside = false;
            for (const auto& [a, b] : sides) {
                if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y))
                    inside = !inside;
            }
            if (inside) {
                insideSum += grid[i][j];
                ++insideCount;
            } else {
                outsideSum += grid[i][j];
                ++outsideCount;
            }
        }
    }
    if (insideCount < minimumSamples || outsideCount < minimumSamples) return false;
    return insideSum / static_cast<double>(insideCount) - outsideSum / static_cast<double>(outsideCount) >
           minimumContrast;
}

}  // namespace quillfen::Cleaner
