#pragma once

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

// Busy surroundings for the synthetic photos of PaperPhotoGenerator.h: rooms full of furniture,
// boxes, books, other papers and print; placemats and books under a sheet; hard light with sharp
// shadows. Everything is drawn here from the seeded generator; no outside material.
namespace quillfen::paperphotos::detail {

using Rng = std::mt19937;

inline double uniform(Rng& rng, double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
}
inline int uniformInt(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}
inline bool chance(Rng& rng, double p) {
    return uniform(rng, 0, 1) < p;
}
inline cv::Scalar bgr(double r, double g, double b) {
    return cv::Scalar(b, g, r);
}

// Smooth noise in -1...1 with features about `scale` pixels wide.
inline cv::Mat smoothNoise(Rng& rng, cv::Size size, double scale) {
    const int w = std::max(2, static_cast<int>(size.width / scale) + 2);
    const int h = std::max(2, static_cast<int>(size.height / scale) + 2);
    cv::Mat small(h, w, CV_32F);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) small.at<float>(y, x) = static_cast<float>(uniform(rng, -1, 1));
    cv::Mat big;
    cv::resize(small, big, size, 0, 0, cv::INTER_CUBIC);
    return big;
}

// Gaussian noise from OpenCV's generator of this thread, which generate() seeds.
inline cv::Mat whiteNoise(cv::Size size, double sigma) {
    cv::Mat n(size, CV_32F);
    cv::randn(n, 0.0, sigma);
    return n;
}

inline cv::Mat modulate(const cv::Mat& gray, cv::Scalar color) {
    std::vector<cv::Mat> ch(3);
    for (int i = 0; i < 3; ++i) ch[i] = gray * color[i];
    cv::Mat out;
    cv::merge(ch, out);
    return out;
}

inline cv::Mat plainSurface(Rng& rng, cv::Size size, cv::Scalar color, double texture) {
    cv::Mat gray = 1 + texture * smoothNoise(rng, size, 40) + whiteNoise(size, texture * 0.5);
    return modulate(gray, color);
}

inline cv::Scalar anyColour(Rng& rng, double lo, double hi) {
    return bgr(uniform(rng, lo, hi), uniform(rng, lo, hi), uniform(rng, lo, hi));
}

// A shaded box: a colour fading along one direction, with a darker outline.
inline void shadedBox(Rng& rng, cv::Mat& scene, const std::vector<cv::Point>& corners, cv::Scalar colour) {
    cv::Mat mask(scene.size(), CV_8U, cv::Scalar(0));
    cv::fillConvexPoly(mask, corners, cv::Scalar(255), cv::LINE_AA);
    const cv::Rect bounds = cv::boundingRect(corners) & cv::Rect(0, 0, scene.cols, scene.rows);
    if (bounds.empty()) return;
    const double fade = uniform(rng, -0.35, 0.35);
    const bool across = chance(rng, 0.5);
    for (int y = bounds.y; y < bounds.y + bounds.height; ++y)
        for (int x = bounds.x; x < bounds.x + bounds.width; ++x) {
            const double m = mask.at<std::uint8_t>(y, x) / 255.0;
            if (m == 0) continue;
            const double t = across ? static_cast<double>(x - bounds.x) / bounds.width
                                    : static_cast<double>(y - bounds.y) / bounds.height;
            const cv::Scalar c = colour * (1 + fade * (t - 0.5));
            auto& p = scene.at<cv::Vec3f>(y, x);
            for (int k = 0; k < 3; ++k) p[k] = static_cast<float>(p[k] * (1 - m) + c[k] * m);
        }
    cv::polylines(scene, corners, true, colour * 0.5, uniformInt(rng, 1, 4), cv::LINE_AA);
}

// Lines of letters and numbers, as on labels, packaging and other papers.
inline void print(Rng& rng, cv::Mat& scene, cv::Rect area, cv::Scalar ink) {
    const double height = uniform(rng, 12, 40);
    for (double y = area.y + height; y < area.y + area.height; y += height * uniform(rng, 1.3, 2.2)) {
        std::string line;
        const int letters = uniformInt(rng, 3, 30);
        for (int i = 0; i < letters; ++i)
            line += chance(rng, 0.15) ? ' ' : static_cast<char>(uniformInt(rng, 0, 1) ? 'A' + uniformInt(rng, 0, 25)
                                                                                     : '0' + uniformInt(rng, 0, 9));
        cv::putText(scene, line, cv::Point(area.x + uniformInt(rng, 0, 20), static_cast<int>(y)),
                    uniformInt(rng, 0, 1) ? cv::FONT_HERSHEY_SIMPLEX : cv::FONT_HERSHEY_DUPLEX, height / 30,
                    ink, std::max(1, static_cast<int>(height / 12)), cv::LINE_AA);
    }
}

// A room or scenery behind and around the sheet: wall and floor or sky and ground, furniture,
// boxes with print, standing and lying books, other papers cut by the frame, plants, strong edges
// everywhere. Mid-toned on the whole, as such photos are, with a few bright things in it.
inline cv::Mat clutterSurface(Rng& rng, cv::Size size) {
    cv::Mat scene(size, CV_32FC3);
    const double horizon = uniform(rng, 0.15, 0.6) * size.height;
    const cv::Scalar upper = anyColour(rng, 0.25, 0.75), lower = anyColour(rng, 0.15, 0.55);
    const cv::Mat grain = smoothNoise(rng, size, uniform(rng, 20, 120));
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const cv::Scalar c = (y < horizon ? upper * (0.8 + 0.3 * y / horizon) : lower) *
                                 (1 + 0.12 * grain.at<float>(y, x));
            scene.at<cv::Vec3f>(y, x) =
                cv::Vec3f(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]));
        }
    const int w = size.width, h = size.height;
    auto at = [&](double fx, double fy) { return cv::Point(static_cast<int>(fx * w), static_cast<int>(fy * h)); };
    const int things = uniformInt(rng, 14, 34);
    for (int i = 0; i < things; ++i) {
        const int kind = uniformInt(rng, 0, 6);
        const cv::Point c = at(uniform(rng, -0.1, 1.1), uniform(rng, -0.1, 1.1));
        const int bw = static_cast<int>(w * uniform(rng, 0.05, 0.35)), bh = static_cast<int>(h * uniform(rng, 0.05, 0.4));
        const double a = uniform(rng, -0.5, 0.5);
        const cv::Point2d u(std::cos(a), std::sin(a)), v(-std::sin(a), std::cos(a));
        auto rect = [&](int rw, int rh) {
            std::vector<cv::Point> pts;
            for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
                pts.emplace_back(cv::Point2d(c) + u * (sx * rw / 2.0) + v * (sy * rh / 2.0));
            return pts;
        };
        switch (kind) {
            case 0:  // furniture: a large dark or wooden block
                shadedBox(rng, scene, rect(bw * 2, bh * 2), anyColour(rng, 0.05, 0.4));
                break;
            case 1: {  // a box with print on it
                shadedBox(rng, scene, rect(bw, bh), anyColour(rng, 0.2, 0.9));
                print(rng, scene, cv::Rect(c.x - bw / 2, c.y - bh / 2, bw, bh), anyColour(rng, 0, 0.3));
                break;
            }
            case 2: {  // a row of standing books
                int x = c.x - bw;
                while (x < c.x + bw) {
                    const int spine = uniformInt(rng, 12, 45), tall = static_cast<int>(bh * uniform(rng, 0.7, 1.0));
                    shadedBox(rng, scene, {{x, c.y}, {x + spine, c.y}, {x + spine, c.y - tall}, {x, c.y - tall}},
                              anyColour(rng, 0.1, 0.8));
                    x += spine;
                }
                break;
            }
            case 3: {  // another paper, printed, partly off the frame or small
                const bool small = chance(rng, 0.5);
                const cv::Point edge = small ? c : at(chance(rng, 0.5) ? -0.05 : 1.05, uniform(rng, 0, 1));
                const int pw = small ? bw / 2 : bw, ph = small ? bh / 2 : bh;
                std::vector<cv::Point> pts;
                for (const auto& [sx, sy] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
                    pts.emplace_back(cv::Point2d(edge) + u * (sx * pw / 2.0) + v * (sy * ph / 2.0));
                const double l = uniform(rng, 0.75, 0.95);
                shadedBox(rng, scene, pts, bgr(l, l, l * 0.97));
                print(rng, scene, cv::boundingRect(pts), bgr(0.15, 0.15, 0.2));
                break;
            }
            case 4:  // a plant or a round thing
                for (int k = 0; k < 12; ++k)
                    cv::ellipse(scene, c + cv::Point(uniformInt(rng, -bw / 2, bw / 2), uniformInt(rng, -bh / 2, bh / 2)),
                                cv::Size(uniformInt(rng, 10, 60), uniformInt(rng, 6, 30)), uniform(rng, 0, 180), 0,
                                360, bgr(uniform(rng, 0.05, 0.3), uniform(rng, 0.3, 0.6), uniform(rng, 0.05, 0.3)),
                                cv::FILLED, cv::LINE_AA);
                break;
            case 5:  // strong straight edges: shelves, frames, table edges
                cv::line(scene, at(uniform(rng, -0.2, 1.2), uniform(rng, 0, 1)),
                         at(uniform(rng, -0.2, 1.2), uniform(rng, 0, 1)), anyColour(rng, 0, 1), uniformInt(rng, 3, 25),
                         cv::LINE_AA);
                break;
            default:  // a bright window or lamp, mostly outside the frame
                shadedBox(rng, scene, rect(bw, bh), anyColour(rng, 0.8, 1.0));
                break;
        }
    }
    return scene;
}

// A placemat or closed book in the sheet's own coordinates, margin pixels wider on every side than
// the sheet: its picture, to be laid under the sheet with the sheet's perspective.
inline cv::Mat matUnderSheet(Rng& rng, cv::Size sheet, int margin) {
    const cv::Size size(sheet.width + 2 * margin, sheet.height + 2 * margin);
    cv::Mat mat(size, CV_32FC3);
    if (chance(rng, 0.5)) {  // placemat: plastic, cork or woven, light or dark, plain or patterned
        const cv::Scalar colour = chance(rng, 0.4) ? anyColour(rng, 0.55, 0.8) : anyColour(rng, 0.1, 0.55);
        const cv::Mat weave = smoothNoise(rng, size, uniform(rng, 3, 30));
        const double stripes = chance(rng, 0.4) ? uniform(rng, 20, 80) : 0;
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                double g = 1 + 0.08 * weave.at<float>(y, x);
                if (stripes > 0 && std::fmod(x, stripes) < stripes / 4) g *= 0.75;
                const cv::Scalar c = colour * g;
                mat.at<cv::Vec3f>(y, x) =
                    cv::Vec3f(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]));
            }
    } else {  // a closed book: cover with a printed title and a block of page edges along one side
        mat.setTo(anyColour(rng, 0.1, 0.7));
        const int pages = margin / 2;
        mat(cv::Rect(size.width - pages, 0, pages, size.height)).setTo(bgr(0.88, 0.86, 0.8));
        print(rng, mat, cv::Rect(margin, margin / 3, size.width - 2 * margin, margin), anyColour(rng, 0.6, 1.0));
    }
    return mat;
}

// Hard light: a sharp-edged shadow of something outside the frame falling across the scene, the
// light side sometimes burnt out.
inline cv::Mat hardLight(Rng& rng, cv::Size size) {
    cv::Mat light(size, CV_32F, cv::Scalar(1));
    std::vector<cv::Point> shadow;
    const cv::Point2d c(uniform(rng, 0, size.width), uniform(rng, 0, size.height));
    const double a = uniform(rng, 0, 2 * CV_PI), reach = 3.0 * std::max(size.width, size.height);
    const cv::Point2d u(std::cos(a), std::sin(a)), v(-std::sin(a), std::cos(a));
    shadow.emplace_back(c - v * reach);
    if (chance(rng, 0.5)) shadow.emplace_back(c + u * uniform(rng, -300, 300));  // a corner in the shadow's edge
    shadow.emplace_back(c + v * reach);
    shadow.emplace_back(c + v * reach + u * reach);
    shadow.emplace_back(c - v * reach + u * reach);
    cv::fillPoly(light, std::vector<std::vector<cv::Point>>{shadow}, cv::Scalar(uniform(rng, 0.4, 0.65)),
                 cv::LINE_AA);
    cv::GaussianBlur(light, light, cv::Size(), uniform(rng, 1, 4));
    return light * uniform(rng, 1.0, 1.25);  // above 1 the bright side clips
}

}  // namespace quillfen::paperphotos::detail
