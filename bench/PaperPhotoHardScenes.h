#pragma once

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bench/PaperPhotoScenes.h"

// The photos paper detection once got wrong, for PaperPhotoGenerator.h: striped wallpaper whose white
// stripes meet the sheet, cloths and walls of hard straight motifs, artwork whose strongest outline is
// a white shape inside it, scans ruled by strong lines, and tinted sheets lying across a table's edge
// that shows through them. Everything is drawn here from the seeded generator; no outside material.
namespace quillfen::paperphotos::detail {

inline void setPixel(cv::Mat& m, int x, int y, const cv::Scalar& c) {
    m.at<cv::Vec3f>(y, x) = cv::Vec3f(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]));
}

// Grey wallpaper with white stripes, nearly as white as the paper, at a slight angle.
inline cv::Mat stripedWallpaper(Rng& rng, cv::Size size) {
    const double grey = uniform(rng, 0.4, 0.62), white = uniform(rng, 0.84, 0.94);
    const double period = uniform(rng, 40, 140), share = uniform(rng, 0.2, 0.5);
    const double angle = uniform(rng, -0.12, 0.12) + (chance(rng, 0.3) ? CV_PI / 2 : 0);
    const double ca = std::cos(angle), sa = std::sin(angle);
    const cv::Mat grain = smoothNoise(rng, size, 30);
    cv::Mat out(size, CV_32FC3);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const double u = (x * ca + y * sa) / period;
            const double g = (u - std::floor(u) < share ? white : grey) * (1 + 0.03 * grain.at<float>(y, x));
            setPixel(out, x, y, bgr(g, g, g * 0.98));
        }
    cv::GaussianBlur(out, out, cv::Size(), 0.8);
    return out;
}

// Hexagons, bricks or a lattice of hard straight lines on cloth or wall: light lines on a coloured
// ground, every motif edge as straight and strong as a sheet's.
inline cv::Mat hardMotif(Rng& rng, cv::Size size) {
    const cv::Scalar grounds[] = {bgr(0.62, 0.12, 0.12), bgr(0.55, 0.3, 0.22), bgr(0.2, 0.3, 0.5),
                                  bgr(0.3, 0.3, 0.32), bgr(0.5, 0.42, 0.25)};
    const cv::Scalar ground = grounds[uniformInt(rng, 0, 4)];
    const cv::Scalar line = bgr(uniform(rng, 0.7, 0.92), uniform(rng, 0.68, 0.9), uniform(rng, 0.62, 0.86));
    cv::Mat out(size, CV_32FC3, ground);
    const int kind = uniformInt(rng, 0, 2);
    const double cell = uniform(rng, 40, 130);
    const int thickness = uniformInt(rng, 3, 9);
    const double angle = uniform(rng, -0.4, 0.4);
    const cv::Point2d u(std::cos(angle), std::sin(angle)), v(-std::sin(angle), std::cos(angle));
    const cv::Point2d centre(size.width / 2.0, size.height / 2.0);
    auto at = [&](double a, double b) { return cv::Point(centre + u * a + v * b); };
    const int reach = static_cast<int>(std::hypot(size.width, size.height) / cell) + 2;
    for (int i = -reach; i <= reach; ++i)
        for (int j = -reach; j <= reach; ++j) {
            std::vector<cv::Point> outline;
            if (kind == 0) {  // hexagons
                const double cx = i * cell * 1.5, cy = (j + (i % 2 != 0 ? 0.5 : 0)) * cell * std::sqrt(3.0);
                for (int k = 0; k < 6; ++k)
                    outline.push_back(at(cx + cell * std::cos(k * CV_PI / 3), cy + cell * std::sin(k * CV_PI / 3)));
            } else if (kind == 1) {  // bricks in running bond
                const double bw = cell * 2, bh = cell * 0.8, x0 = i * bw + (j % 2 != 0 ? bw / 2 : 0), y0 = j * bh;
                outline = {at(x0, y0), at(x0 + bw, y0), at(x0 + bw, y0 + bh), at(x0, y0 + bh)};
            } else {  // a lattice of squares
                outline = {at(i * cell, j * cell), at((i + 1) * cell, j * cell), at((i + 1) * cell, (j + 1) * cell),
                           at(i * cell, (j + 1) * cell)};
            }
            cv::polylines(out, outline, true, line, thickness, cv::LINE_AA);
        }
    out = out.mul(modulate(1 + 0.06 * smoothNoise(rng, size, 25), cv::Scalar::all(1)));
    cv::GaussianBlur(out, out, cv::Size(), 0.8);
    return out;
}

// A table top ending in a straight edge across the frame, the floor beyond it darker; returns the
// scene and, in `edge`, two points on the table's edge.
inline cv::Mat tableEdge(Rng& rng, cv::Size size, std::array<cv::Point2d, 2>& edge) {
    const double t = uniform(rng, 0.3, 0.7);
    const bool across = chance(rng, 0.5);
    const double tilt = uniform(rng, -0.15, 0.15);
    edge = across ? std::array<cv::Point2d, 2>{cv::Point2d(0, size.height * (t - tilt)),
                                               cv::Point2d(size.width, size.height * (t + tilt))}
                  : std::array<cv::Point2d, 2>{cv::Point2d(size.width * (t - tilt), 0),
                                               cv::Point2d(size.width * (t + tilt), size.height)};
    const double l = uniform(rng, 0.5, 0.68);
    const cv::Mat table = plainSurface(rng, size, bgr(l * 1.05, l, l * 0.9), 0.04);
    const cv::Mat floor = plainSurface(rng, size, bgr(0.22, 0.18, 0.15), 0.06);
    cv::Mat out = table.clone();
    const cv::Point2d d = edge[1] - edge[0];
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            if (d.cross(cv::Point2d(x, y) - edge[0]) < 0) out.at<cv::Vec3f>(y, x) = floor.at<cv::Vec3f>(y, x);
    return out;
}

// Colours most of the artwork's ground in a light wash, so that the sheet still stands out from the
// table, and leaves a white shape with a dark outline inside it, up to
// two fifths of the sheet: the shape's outline is the strongest in the picture.
inline void whiteShapeArtwork(Rng& rng, cv::Mat& sheet, cv::Scalar paper) {
    const cv::Size size = sheet.size();
    const cv::Scalar wash = anyColour(rng, 0.55, 0.9);
    const double cover = uniform(rng, 0.6, 0.9);
    cv::Mat washed = sheet.mul(modulate(cv::Mat(size, CV_32F, cv::Scalar(1)), wash * cover + cv::Scalar::all(1 - cover)));
    const double share = uniform(rng, 0.15, 0.4), aspect = uniform(rng, 0.6, 1.6);
    const double w = std::min(0.9, std::sqrt(share * aspect)) * size.width,
                 h = std::min(0.9, share * size.width * size.height / w / size.height) * size.height;
    const cv::Point2d c(uniform(rng, w / 2 + 20, size.width - w / 2 - 20), uniform(rng, h / 2 + 20, size.height - h / 2 - 20));
    const double a = uniform(rng, -0.1, 0.1);
    const cv::Point2d u(std::cos(a), std::sin(a)), v(-std::sin(a), std::cos(a));
    std::vector<cv::Point> shape;
    for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
        shape.emplace_back(c + u * (sx * w / 2) + v * (sy * h / 2));
    cv::fillConvexPoly(washed, shape, paper * 1.02, cv::LINE_AA);
    cv::polylines(washed, shape, true, bgr(0.1, 0.1, 0.12), uniformInt(rng, 4, 12), cv::LINE_AA);
    sheet = washed;
}

// Strong straight lines inside the artwork: a frame ruled near the sheet's edges, a horizon from one
// side to the other above pale green ground, or both.
inline void ruledArtwork(Rng& rng, cv::Mat& sheet) {
    const cv::Size size = sheet.size();
    const cv::Scalar ink = bgr(uniform(rng, 0, 0.3), uniform(rng, 0, 0.3), uniform(rng, 0, 0.4));
    const int kind = uniformInt(rng, 0, 2);
    if (kind != 1) {
        const double m = uniform(rng, 0.03, 0.12);
        const cv::Rect frame(static_cast<int>(m * size.width), static_cast<int>(m * size.height),
                             static_cast<int>((1 - 2 * m) * size.width), static_cast<int>((1 - 2 * m) * size.height));
        cv::rectangle(sheet, frame, ink, uniformInt(rng, 5, 14), cv::LINE_AA);
    }
    if (kind != 0) {
        const double y = uniform(rng, 0.3, 0.7) * size.height;
        const cv::Scalar below = bgr(uniform(rng, 0.6, 0.8), uniform(rng, 0.8, 0.95), uniform(rng, 0.55, 0.75));
        cv::Mat ground = sheet(cv::Rect(0, static_cast<int>(y), size.width, size.height - static_cast<int>(y)));
        ground = ground.mul(modulate(cv::Mat(ground.size(), CV_32F, cv::Scalar(1)), below));
        cv::line(sheet, cv::Point(0, static_cast<int>(y)), cv::Point(size.width, static_cast<int>(y)), ink,
                 uniformInt(rng, 4, 10), cv::LINE_AA);
    }
}

// A thin tinted sheet lying across the table's edge: the darker floor shows through where the sheet
// overhangs it. `sheetMask` is 1 on the sheet.
inline void showThrough(cv::Mat& scene, const cv::Mat& sheetMask, const std::array<cv::Point2d, 2>& edge,
                        double strength) {
    const cv::Point2d d = edge[1] - edge[0];
    for (int y = 0; y < scene.rows; ++y)
        for (int x = 0; x < scene.cols; ++x) {
            const float m = sheetMask.at<float>(y, x);
            if (m > 0 && d.cross(cv::Point2d(x, y) - edge[0]) < 0)
                scene.at<cv::Vec3f>(y, x) *= static_cast<float>(1 - strength * m);
        }
}

}  // namespace quillfen::paperphotos::detail
