#pragma once

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "bench/PaperPhotoHardScenes.h"
#include "bench/PaperPhotoScenes.h"
#include "engine/core/Bitmap.h"
#include "engine/library/CleanupRecords.h"

// Synthetic phone photos of children's drawings with their true paper corners, deterministic by seed.
// Shared by the paper-detection benchmark and its tests; never part of the application.
namespace quillfen::paperphotos {

enum class Surface {
    wood,
    darkCloth,
    pattern,
    lightTable,
    stone,
    clutter,
    placemat,
    whiteTable,
    flatbed,
    stripedWall,
    hardMotif,
    whiteShape,
    ruledScan,
    tableEdge
};

inline const char* surfaceName(Surface s) {
    switch (s) {
        case Surface::wood:
            return "wood";
        case Surface::darkCloth:
            return "dark cloth";
        case Surface::pattern:
            return "pattern";
        case Surface::lightTable:
            return "light table";
        case Surface::stone:
            return "stone";
        case Surface::clutter:
            return "cluttered";
        case Surface::placemat:
            return "mat or book";
        case Surface::whiteTable:
            return "white table";
        case Surface::flatbed:
            return "flatbed";
        case Surface::stripedWall:
            return "striped wall";
        case Surface::hardMotif:
            return "hard motif";
        case Surface::whiteShape:
            return "white shape";
        case Surface::ruledScan:
            return "ruled scan";
        case Surface::tableEdge:
            return "table edge";
    }
    return "";
}

// A sheet that a detector should find: it lies on a surface darker than itself.
inline bool shouldBeFound(Surface s) {
    return s != Surface::whiteTable && s != Surface::flatbed && s != Surface::ruledScan;
}

// A scan: the sheet is larger than the frame, so the whole picture is the answer.
inline bool isScan(Surface s) {
    return s == Surface::flatbed || s == Surface::ruledScan;
}

struct PaperPhoto {
    Bitmap image;
    Surface surface = Surface::wood;
    Quad truth;  // the sheet's corners in unit coordinates, origin at the bottom left, y upwards
};

namespace detail {

inline cv::Mat woodSurface(Rng& rng, cv::Size size) {
    const double angle = uniform(rng, 0, CV_PI);
    const double period = uniform(rng, 18, 45);
    const double plank = uniform(rng, 220, 420);
    const cv::Mat warp = smoothNoise(rng, size, 160);
    const cv::Mat streaks = smoothNoise(rng, cv::Size(size.width * 2, 8), 3);
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double lightness = uniform(rng, 0.55, 1.15);
    cv::Mat gray(size, CV_32F);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const double u = x * ca + y * sa;
            const double v = -x * sa + y * ca;
            const double ring = std::sin(2 * CV_PI * (v / period + 1.5 * warp.at<float>(y, x)));
            const int su =
                std::clamp(static_cast<int>(std::fmod(std::abs(u), size.width * 2.0)), 0, size.width * 2 - 1);
            const int sv = std::clamp(static_cast<int>(std::fmod(std::abs(v), 8.0)), 0, 7);
            double g = 0.82 + 0.12 * ring + 0.06 * streaks.at<float>(sv, su);
            if (std::fmod(std::abs(v) + 1000 * plank, plank) < 3) g *= 0.55;  // seam between planks
            gray.at<float>(y, x) = static_cast<float>(g * lightness);
        }
    }
    return modulate(gray, bgr(uniform(rng, 0.55, 0.72), uniform(rng, 0.36, 0.48), uniform(rng, 0.2, 0.3)));
}

inline cv::Mat darkClothSurface(Rng& rng, cv::Size size) {
    const cv::Scalar colors[] = {bgr(0.12, 0.14, 0.25), bgr(0.18, 0.18, 0.19), bgr(0.1, 0.2, 0.13),
                                 bgr(0.28, 0.1, 0.12), bgr(0.08, 0.08, 0.09)};
    const cv::Scalar color = colors[uniformInt(rng, 0, 4)];
    const double period = uniform(rng, 3, 6);
    const cv::Mat folds = smoothNoise(rng, size, uniform(rng, 120, 300));
    const cv::Mat fibres = whiteNoise(size, 0.08);
    cv::Mat gray(size, CV_32F);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const double weave = 0.5 * (std::sin(2 * CV_PI * x / period) * std::sin(2 * CV_PI * y / period));
            gray.at<float>(y, x) =
                static_cast<float>(1 + 0.12 * weave + 0.3 * folds.at<float>(y, x) + fibres.at<float>(y, x));
        }
    }
    return modulate(gray, color);
}

inline cv::Mat patternSurface(Rng& rng, cv::Size size) {
    const int kind = uniformInt(rng, 0, 2);
    const double cell = uniform(rng, 30, 90);
    const double angle = uniform(rng, -0.4, 0.4);
    const double ca = std::cos(angle), sa = std::sin(angle);
    const cv::Scalar palettes[][2] = {
        {bgr(0.75, 0.22, 0.2), bgr(0.85, 0.8, 0.75)},   // red gingham
        {bgr(0.2, 0.35, 0.65), bgr(0.7, 0.75, 0.8)},    // blue tiles
        {bgr(0.35, 0.5, 0.3), bgr(0.78, 0.7, 0.45)},    // green and mustard
        {bgr(0.45, 0.42, 0.4), bgr(0.62, 0.58, 0.52)},  // grey floral
    };
    const auto& palette = palettes[uniformInt(rng, 0, 3)];
    cv::Mat out(size, CV_32FC3);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            const double u = (x * ca + y * sa) / cell, v = (-x * sa + y * ca) / cell;
            const double fu = u - std::floor(u), fv = v - std::floor(v);
            double t = 0;
            if (kind == 0) {  // gingham: stripes crossing at half strength
                t = 0.5 * ((fu < 0.5) + (fv < 0.5));
            } else if (kind == 1) {  // tiles with grout
                t = (fu < 0.06 || fv < 0.06) ? 0.0 : 1.0;
            } else {  // dots
                const double d = std::hypot(fu - 0.5, fv - 0.5);
                t = d < 0.28 ? 0.0 : 1.0;
            }
            const cv::Scalar c = palette[0] * (1 - t) + palette[1] * t;
            out.at<cv::Vec3f>(y, x) =
                cv::Vec3f(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]));
        }
    }
    cv::GaussianBlur(out, out, cv::Size(), 0.8);
    return out;
}

inline cv::Mat stoneSurface(Rng& rng, cv::Size size) {
    const double base = uniform(rng, 0.3, 0.55);
    cv::Mat gray = base * (1 + 0.12 * smoothNoise(rng, size, 80) + 0.1 * smoothNoise(rng, size, 12) +
                           0.12 * smoothNoise(rng, size, 3));
    cv::Mat speckle = whiteNoise(size, 1);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const float s = speckle.at<float>(y, x);
            if (s > 2.3f) gray.at<float>(y, x) = static_cast<float>(std::min(0.9, base * 1.7));
            if (s < -2.4f) gray.at<float>(y, x) = static_cast<float>(base * 0.3);
        }
    cv::GaussianBlur(gray, gray, cv::Size(), 0.7);
    return modulate(gray, bgr(1.0, uniform(rng, 0.92, 1.0), uniform(rng, 0.85, 1.0)));
}

// Children's drawing on the sheet: strokes, shapes and colour fills, some reaching the edge.
inline cv::Mat drawing(Rng& rng, cv::Size size, cv::Scalar paper) {
    cv::Mat ink(size, CV_32FC3, cv::Scalar(0, 0, 0));
    cv::Mat alpha(size, CV_32F, cv::Scalar(0));
    const cv::Scalar crayons[] = {bgr(0.85, 0.15, 0.1), bgr(0.1, 0.35, 0.8), bgr(0.15, 0.6, 0.2),
                                  bgr(0.95, 0.8, 0.1),  bgr(0.55, 0.2, 0.6), bgr(0.95, 0.5, 0.1),
                                  bgr(0.1, 0.1, 0.1),   bgr(0.45, 0.25, 0.1)};
    auto pick = [&] { return crayons[uniformInt(rng, 0, 7)]; };
    auto point = [&](double margin) {
        return cv::Point(static_cast<int>(uniform(rng, -margin, 1 + margin) * size.width),
                         static_cast<int>(uniform(rng, -margin, 1 + margin) * size.height));
    };
    auto stroke = [&](const std::vector<cv::Point>& pts, cv::Scalar c, int thickness) {
        cv::polylines(ink, pts, false, c, thickness, cv::LINE_AA);
        cv::polylines(alpha, pts, false, cv::Scalar(1), thickness, cv::LINE_AA);
    };
    auto fill = [&](const std::vector<cv::Point>& pts, cv::Scalar c) {
        cv::fillPoly(ink, std::vector<std::vector<cv::Point>>{pts}, c, cv::LINE_AA);
        cv::fillPoly(alpha, std::vector<std::vector<cv::Point>>{pts}, cv::Scalar(1), cv::LINE_AA);
    };
    const int w = size.width, h = size.height;
    if (chance(rng, 0.4)) {  // grass along the bottom edge, drawn as short upward strokes
        const cv::Scalar green = bgr(0.2, uniform(rng, 0.5, 0.7), 0.2);
        const int top = static_cast<int>(h * uniform(rng, 0.05, 0.18));
        for (int x = -10; x < w + 10; x += uniformInt(rng, 6, 14))
            stroke({{x, h + 5}, {x + uniformInt(rng, -10, 10), h - top - uniformInt(rng, 0, top / 2)}}, green,
                   8);
    }
    if (chance(rng, 0.35)) {  // sky band along the top edge
        const cv::Scalar blue = bgr(0.35, 0.6, uniform(rng, 0.85, 1.0));
        const int bottom = static_cast<int>(h * uniform(rng, 0.05, 0.15));
        for (int y = -5; y < bottom; y += 9)
            stroke({{-10, y}, {w + 10, y + uniformInt(rng, -6, 6)}}, blue, 10);
    }
    if (chance(rng, 0.6)) {  // a sun, sometimes cut by a corner
        const cv::Point c =
            chance(rng, 0.5) ? cv::Point(uniformInt(rng, 0, w / 6), uniformInt(rng, 0, h / 6)) : point(-0.1);
        const int r = static_cast<int>(w * uniform(rng, 0.06, 0.14));
        cv::circle(ink, c, r, bgr(0.98, 0.8, 0.1), cv::FILLED, cv::LINE_AA);
        cv::circle(alpha, c, r, cv::Scalar(1), cv::FILLED, cv::LINE_AA);
        for (int i = 0; i < 10; ++i) {
            const double a = i * CV_PI / 5;
            stroke({c + cv::Point(static_cast<int>(r * 1.2 * std::cos(a)),
                                  static_cast<int>(r * 1.2 * std::sin(a))),
                    c + cv::Point(static_cast<int>(r * 1.8 * std::cos(a)),
                                  static_cast<int>(r * 1.8 * std::sin(a)))},
                   bgr(0.98, 0.7, 0.1), 7);
        }
    }
    if (chance(rng, 0.6)) {  // a house
        const int x0 = uniformInt(rng, w / 8, w / 2), y0 = uniformInt(rng, h / 3, h * 2 / 3);
        const int hw = uniformInt(rng, w / 6, w / 3), hh = uniformInt(rng, h / 8, h / 4);
        fill({{x0, y0}, {x0 + hw, y0}, {x0 + hw, y0 + hh}, {x0, y0 + hh}}, pick());
        fill({{x0 - 15, y0}, {x0 + hw / 2, y0 - hh * 2 / 3}, {x0 + hw + 15, y0}}, pick());
    }
    const int figures = uniformInt(rng, 0, 3);
    for (int i = 0; i < figures; ++i) {  // stick figures
        const cv::Point c = point(-0.2);
        const int s = static_cast<int>(h * uniform(rng, 0.05, 0.1));
        const cv::Scalar col = pick();
        cv::circle(ink, c, s / 2, col, 6, cv::LINE_AA);
        cv::circle(alpha, c, s / 2, cv::Scalar(1), 6, cv::LINE_AA);
        stroke({c + cv::Point(0, s / 2), c + cv::Point(0, s * 2)}, col, 6);
        stroke({c + cv::Point(-s, s), c + cv::Point(s, s)}, col, 6);
        stroke({c + cv::Point(-s / 2, s * 3), c + cv::Point(0, s * 2), c + cv::Point(s / 2, s * 3)}, col, 6);
    }
    const int scribbles = uniformInt(rng, 2, 7);
    for (int i = 0; i < scribbles; ++i) {  // free scribbles, some running off the sheet
        std::vector<cv::Point> pts{point(chance(rng, 0.3) ? 0.1 : -0.05)};
        const int n = uniformInt(rng, 3, 14);
        for (int k = 0; k < n; ++k)
            pts.push_back(pts.back() +
                          cv::Point(uniformInt(rng, -w / 5, w / 5), uniformInt(rng, -h / 5, h / 5)));
        stroke(pts, pick(), uniformInt(rng, 4, 18));
    }
    // Crayon texture: the paper shows through the wax.
    cv::Mat grain = 0.8f + 0.35 * smoothNoise(rng, size, 2.5);
    cv::multiply(alpha, grain, alpha);
    cv::min(alpha, 1.0, alpha);
    cv::max(alpha, 0.0, alpha);
    cv::Mat paperMat(size, CV_32FC3, paper);
    cv::Mat a3;
    cv::merge(std::vector<cv::Mat>{alpha, alpha, alpha}, a3);
    cv::Mat tinted;
    cv::multiply(paperMat, ink, tinted);
    cv::Mat out = paperMat.mul(cv::Scalar::all(1) - a3) + tinted.mul(a3);
    out += modulate(0.012 * smoothNoise(rng, size, 6), cv::Scalar::all(1));  // paper fibre
    return out;
}

}  // namespace detail

// A photo of the given kind; the seed decides everything else.
inline PaperPhoto generate(std::uint32_t seed, Surface surface) {
    using namespace detail;
    Rng rng(seed * 2654435761u + 12345u);
    cv::setRNGSeed(static_cast<int>(seed));
    const bool portrait = chance(rng, 0.5);
    const double aspect = chance(rng, 0.8) ? 4.0 / 3.0 : 3.0 / 2.0;
    const int longSide = 1600;
    const int shortSide = static_cast<int>(std::lround(longSide / aspect));
    const cv::Size size = portrait ? cv::Size(shortSide, longSide) : cv::Size(longSide, shortSide);

    cv::Mat scene;
    std::array<cv::Point2d, 2> edge;  // the table's edge, for Surface::tableEdge
    switch (surface) {
        case Surface::wood:
            scene = woodSurface(rng, size);
            break;
        case Surface::darkCloth:
            scene = darkClothSurface(rng, size);
            break;
        case Surface::pattern:
            scene = patternSurface(rng, size);
            break;
        case Surface::lightTable: {
            const double l = uniform(rng, 0.5, 0.68);
            scene = plainSurface(rng, size, bgr(l * 1.05, l, l * uniform(rng, 0.85, 1.0)), 0.04);
            break;
        }
        case Surface::stone:
            scene = stoneSurface(rng, size);
            break;
        case Surface::clutter:
            scene = clutterSurface(rng, size);
            break;
        case Surface::placemat:
            scene = chance(rng, 0.5) ? woodSurface(rng, size) : darkClothSurface(rng, size);
            break;
        case Surface::whiteTable: {
            const double l = uniform(rng, 0.88, 0.95);
            scene = plainSurface(rng, size, bgr(l, l, l * uniform(rng, 0.97, 1.0)), 0.02);
            break;
        }
        case Surface::flatbed:
        case Surface::ruledScan:
            scene = cv::Mat(size, CV_32FC3, cv::Scalar::all(0.9));
            break;
        case Surface::stripedWall:
            scene = stripedWallpaper(rng, size);
            break;
        case Surface::hardMotif:
            scene = hardMotif(rng, size);
            break;
        case Surface::whiteShape:
            scene = chance(rng, 0.5) ? woodSurface(rng, size) : darkClothSurface(rng, size);
            break;
        case Surface::tableEdge:
            scene = tableEdge(rng, size, edge);
            break;
    }

    // The sheet, drawn in its own pixels.
    const double paperAspect = chance(rng, 0.5) ? 11.0 / 8.5 : std::sqrt(2.0);
    const cv::Size sheet(900, static_cast<int>(std::lround(900 * paperAspect)));
    cv::Scalar paper = bgr(0.96, 0.96, 0.95);
    if (surface == Surface::tableEdge || chance(rng, 0.3)) {
        const cv::Scalar tints[] = {bgr(0.97, 0.93, 0.82), bgr(0.85, 0.92, 0.97), bgr(0.97, 0.87, 0.9),
                                    bgr(0.97, 0.96, 0.75), bgr(0.87, 0.96, 0.86)};
        paper = tints[uniformInt(rng, 0, 4)];
    }
    cv::Mat sheetImage = drawing(rng, sheet, paper);
    if (surface == Surface::whiteShape) whiteShapeArtwork(rng, sheetImage, paper);
    if (surface == Surface::ruledScan || surface == Surface::tableEdge) ruledArtwork(rng, sheetImage);

    // Where the sheet lands: a rectangle in the table's plane seen by a tilted pinhole camera.
    std::array<cv::Point2d, 4> corners;
    {
        const double w = sheet.width, h = sheet.height;
        const double spin = uniform(rng, -25, 25) * CV_PI / 180 + (chance(rng, 0.5) ? CV_PI / 2 : 0);
        const double tilt = uniform(rng, 0, 30) * CV_PI / 180;
        const double axis = uniform(rng, 0, 2 * CV_PI);
        const double distance = 2.2 * h;
        const double focal = size.width * uniform(rng, 0.9, 1.3);
        const cv::Point2d local[4] = {{-w / 2, -h / 2}, {w / 2, -h / 2}, {w / 2, h / 2}, {-w / 2, h / 2}};
        const cv::Vec3d k(std::cos(axis), std::sin(axis), 0);
        for (int i = 0; i < 4; ++i) {
            const cv::Vec3d p(local[i].x * std::cos(spin) - local[i].y * std::sin(spin),
                              local[i].x * std::sin(spin) + local[i].y * std::cos(spin), 0);
            // Rodrigues rotation of p about k by the tilt.
            const cv::Vec3d r =
                p * std::cos(tilt) + k.cross(p) * std::sin(tilt) + k * (k.dot(p)) * (1 - std::cos(tilt));
            corners[i] = cv::Point2d(focal * r[0] / (r[2] + distance), focal * r[1] / (r[2] + distance));
        }
        double area = 0;
        for (int i = 0; i < 4; ++i) area += corners[i].cross(corners[(i + 1) % 4]);
        area = std::abs(area) / 2;
        cv::Point2d lo(1e9, 1e9), hi(-1e9, -1e9);
        for (const auto& c : corners) {
            lo.x = std::min(lo.x, c.x), lo.y = std::min(lo.y, c.y);
            hi.x = std::max(hi.x, c.x), hi.y = std::max(hi.y, c.y);
        }
        double scale = 0;
        cv::Point2d offset;
        if (isScan(surface)) {  // the sheet is larger than the frame
            scale =
                std::max(size.width / (hi.x - lo.x), size.height / (hi.y - lo.y)) * uniform(rng, 1.02, 1.08);
            offset = cv::Point2d(size.width / 2.0, size.height / 2.0) - (lo + hi) * 0.5 * scale;
        } else {
            const double fraction = uniform(rng, 0.2, 0.72);
            scale = std::sqrt(fraction * size.area() / area);
            const double fit =
                std::min(size.width * 0.96 / (hi.x - lo.x), size.height * 0.96 / (hi.y - lo.y));
            scale = std::min(scale, fit);
            const double spanX = size.width - (hi.x - lo.x) * scale,
                         spanY = size.height - (hi.y - lo.y) * scale;
            offset =
                cv::Point2d(uniform(rng, 0.02, 0.98) * spanX, uniform(rng, 0.02, 0.98) * spanY) - lo * scale;
        }
        for (auto& c : corners) c = c * scale + offset;
    }

    // Composite: the sheet's contact shadow on the surface, then the sheet.
    std::vector<cv::Point2f> from{{-0.5f, -0.5f},
                                  {sheet.width - 0.5f, -0.5f},
                                  {sheet.width - 0.5f, sheet.height - 0.5f},
                                  {-0.5f, sheet.height - 0.5f}};
    std::vector<cv::Point2f> to;
    for (const auto& c : corners)
        to.emplace_back(static_cast<float>(c.x - 0.5), static_cast<float>(c.y - 0.5));
    const cv::Mat homography = cv::getPerspectiveTransform(from, to);
    if (surface == Surface::placemat) {  // a placemat or book under the sheet, in the sheet's perspective
        const int margin = static_cast<int>(sheet.width * uniform(rng, 0.06, 0.35));
        const cv::Mat mat = matUnderSheet(rng, sheet, margin);
        const cv::Mat place = (cv::Mat_<double>(3, 3) << 1, 0, -margin + uniform(rng, -0.6, 0.6) * margin, 0, 1,
                               -margin + uniform(rng, -0.6, 0.6) * margin, 0, 0, 1);
        cv::Mat matWarped, matMask;
        cv::warpPerspective(mat, matWarped, homography * place, size, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        cv::warpPerspective(cv::Mat(mat.size(), CV_32F, cv::Scalar(1)), matMask, homography * place, size,
                            cv::INTER_LINEAR, cv::BORDER_CONSTANT, 0);
        const cv::Mat matMask3 = modulate(matMask, cv::Scalar::all(1));
        scene = scene.mul(cv::Scalar::all(1) - matMask3) + matWarped.mul(matMask3);
    }
    cv::Mat warped, mask;
    cv::warpPerspective(sheetImage, warped, homography, size, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    cv::Mat superMask(sheet.height * 2, sheet.width * 2, CV_32F, cv::Scalar(1));
    cv::Mat halfScale = (cv::Mat_<double>(3, 3) << 0.5, 0, -0.25, 0, 0.5, -0.25, 0, 0, 1);
    cv::warpPerspective(superMask, mask, homography * halfScale, size, cv::INTER_LINEAR, cv::BORDER_CONSTANT,
                        0);
    if (!isScan(surface)) {
        cv::Mat shadow;
        const double spread = uniform(rng, 2, 9);
        const cv::Mat shift = (cv::Mat_<double>(2, 3) << 1, 0, uniform(rng, -4, 4), 0, 1, uniform(rng, 0, 6));
        cv::warpAffine(mask, shadow, shift, size);
        cv::GaussianBlur(shadow, shadow, cv::Size(), spread);
        const cv::Mat darken = 1 - uniform(rng, 0.15, 0.4) * shadow;
        scene = scene.mul(modulate(darken, cv::Scalar::all(1)));
    }
    const cv::Mat mask3 = modulate(mask, cv::Scalar::all(1));
    scene = scene.mul(cv::Scalar::all(1) - mask3) + warped.mul(mask3);
    if (surface == Surface::tableEdge) showThrough(scene, mask, edge, uniform(rng, 0.12, 0.3));

    // Light: a gradient across the frame, vignetting, warm or cool light, sometimes a soft shadow.
    {
        const double a = uniform(rng, 0, 2 * CV_PI), strength = uniform(rng, 0, 0.45);
        const double diag = std::hypot(size.width, size.height);
        const double vignette = uniform(rng, 0, 0.25);
        cv::Mat light(size, CV_32F);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const double dx = x - size.width / 2.0, dy = y - size.height / 2.0;
                const double g = 1 + strength * (dx * std::cos(a) + dy * std::sin(a)) / diag;
                const double v = 1 - vignette * (dx * dx + dy * dy) / (diag * diag / 4);
                light.at<float>(y, x) = static_cast<float>(g * v);
            }
        if (chance(rng, 0.5)) {
            // Drawn and blurred at an eighth of the size: the shadow is soft anyway.
            cv::Mat blob(size / 8, CV_32F, cv::Scalar(0));
            const cv::Point2d c(uniform(rng, 0, size.width), uniform(rng, 0, size.height));
            cv::ellipse(blob, cv::Point(c / 8),
                        cv::Size(uniformInt(rng, 150, 500), uniformInt(rng, 100, 400)) / 8,
                        uniform(rng, 0, 180), 0, 360, cv::Scalar(1), cv::FILLED);
            cv::GaussianBlur(blob, blob, cv::Size(), uniform(rng, 30, 80) / 8);
            cv::resize(blob, blob, size, 0, 0, cv::INTER_LINEAR);
            light = light.mul(1 - uniform(rng, 0.15, 0.35) * blob);
        }
        if (!isScan(surface) && chance(rng, 0.3)) light = light.mul(hardLight(rng, size));
        const double exposure = uniform(rng, 0.85, 1.08);
        const cv::Scalar temperature = chance(rng, 0.5) ? bgr(1.04, 1.0, 0.9) : bgr(0.97, 1.0, 1.03);
        scene = scene.mul(modulate(light, temperature * exposure));
    }

    // Camera: blur, sensor noise, JPEG.
    cv::GaussianBlur(scene, scene, cv::Size(), uniform(rng, 0.4, 1.5));
    cv::Mat noise(size, CV_32FC3);
    cv::randn(noise, cv::Scalar::all(0), cv::Scalar::all(uniform(rng, 0.006, 0.025)));
    scene += noise;
    cv::Mat bytes;
    scene.convertTo(bytes, CV_8UC3, 255.0);
    std::vector<std::uint8_t> jpeg;
    cv::imencode(".jpg", bytes, jpeg, {cv::IMWRITE_JPEG_QUALITY, uniformInt(rng, 55, 92)});
    const cv::Mat decoded = cv::imdecode(jpeg, cv::IMREAD_COLOR);
    cv::Mat rgba;
    cv::cvtColor(decoded, rgba, cv::COLOR_BGR2RGBA);

    PaperPhoto photo;
    photo.surface = surface;
    photo.image = Bitmap(size.width, size.height);
    std::copy(rgba.data, rgba.data + photo.image.pixels.size(), photo.image.pixels.begin());
    auto unit = [&](const cv::Point2d& p) { return Point{p.x / size.width, 1 - p.y / size.height}; };
    photo.truth = Quad{unit(corners[0]), unit(corners[1]), unit(corners[2]), unit(corners[3])};
    return photo;
}

// The surface kinds in a fixed rotation, so that any run of 16 seeds covers them all; a quarter of
// the photos are of cluttered rooms.
inline Surface surfaceForSeed(std::uint32_t seed) {
    constexpr Surface order[] = {Surface::clutter,  Surface::wood,       Surface::placemat,  Surface::darkCloth,
                                 Surface::clutter,  Surface::pattern,    Surface::placemat,  Surface::lightTable,
                                 Surface::clutter,  Surface::stone,      Surface::wood,      Surface::whiteTable,
                                 Surface::clutter,  Surface::darkCloth,  Surface::placemat,  Surface::flatbed};
    return order[seed % std::size(order)];
}

// The kinds of photo paper detection once got wrong, in a fixed rotation of their own.
inline Surface hardSurfaceForSeed(std::uint32_t seed) {
    constexpr Surface order[] = {Surface::whiteShape, Surface::stripedWall, Surface::hardMotif, Surface::ruledScan,
                                 Surface::tableEdge};
    return order[seed % std::size(order)];
}

// Intersection over union of two quads in an image of that pixel size (convex quads).
inline double jaccard(const Quad& a, const Quad& b, double width, double height) {
    auto poly = [&](const Quad& q) {
        std::vector<cv::Point2f> p;
        for (const auto& c : q.points())
            p.emplace_back(static_cast<float>(c.x * width), static_cast<float>(c.y * height));
        std::vector<cv::Point2f> hull;
        cv::convexHull(p, hull);
        return hull;
    };
    const auto pa = poly(a), pb = poly(b);
    std::vector<cv::Point2f> meet;
    const double inter = cv::intersectConvexConvex(pa, pb, meet, true);
    const double uni = cv::contourArea(pa) + cv::contourArea(pb) - inter;
    return uni > 0 ? std::max(0.0, inter) / uni : 0;
}

}  // namespace quillfen::paperphotos
