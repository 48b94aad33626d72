#include "engine/cleanup/detail/PaperNetwork.h"

#include "engine/cleanup/detail/PaperLineFit.h"
#include "engine/cleanup/detail/PaperModel.h"
#include "engine/cleanup/detail/PaperRefining.h"

#include <nlohmann/json.hpp>
#include <opencv2/dnn.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace quillfen::detail::paper {

namespace {

// A network read from the library's bytes, with the side of its square input; empty when unreadable.
struct Network {
    cv::dnn::Net net;
    int side = 0;
};

Network readNetwork() {
    try {
        const auto settings = segmentationSettings();
        Network n;
        n.side = nlohmann::json::parse(settings.begin(), settings.end()).at("size").get<int>();
        const auto model = segmentationModel();
        n.net = cv::dnn::readNetFromONNX(reinterpret_cast<const char*>(model.data()), model.size());
        n.net.setPreferableBackend(cv::dnn::DNN_BACKEND_OPENCV);
        n.net.setPreferableTarget(cv::dnn::DNN_TARGET_CPU);
        return n.side > 0 ? n : Network{};
    } catch (const std::exception&) {
        return {};
    }
}

// Where a point in pixels of a picture of that size lies on the network's square of side cells.
cv::Point2d onSquare(cv::Point2d p, cv::Size picture, int side) {
    return {(p.x + 0.5) * side / picture.width - 0.5, (p.y + 0.5) * side / picture.height - 0.5};
}

// The line fitted to the outline's points along the side from a to b, away from its ends; the side itself
// where too few points lie along it.
Line fittedSide(const std::vector<cv::Point>& outline, cv::Point2d a, cv::Point2d b) {
    const double length = cv::norm(b - a);
    const cv::Point2d along = (b - a) / length, across(-along.y, along.x);
    const double reach = std::max(3.0, 0.03 * length);
    std::vector<cv::Point2f> near;
    for (const cv::Point& p : outline) {
        const cv::Point2d d = cv::Point2d(p) - a;
        const double t = d.dot(along) / length;
        if (t > 0.1 && t < 0.9 && std::abs(d.dot(across)) < reach) near.emplace_back(p);
    }
    if (near.size() < 8) return {a, along};
    const cv::Vec4f fit = huberLine(near);
    cv::Point2d direction(fit[0], fit[1]);
    if (direction.dot(along) < 0) direction = -direction;
    return {cv::Point2d(fit[2], fit[3]), direction};
}

// The outline of a region's contour: the hull's four corners that enclose the most area, then each side
// fitted to the contour's points along it, twice over; every convex stage is one outline.
std::vector<Corners> outlinesOf(const std::vector<cv::Point>& contour) {
    const auto hull = contour.empty() ? std::nullopt : quadEnclosingMost(contour);
    if (!hull) return {};
    std::vector<Corners> outlines{ordered(*hull)};
    for (int pass = 0; pass < 2; ++pass) {
        const Corners& c = outlines.back();
        std::array<Line, 4> sides;
        for (int i = 0; i < 4; ++i) sides[i] = fittedSide(contour, c[i], c[(i + 1) % 4]);
        const auto fitted = cornersOf(sides);
        if (!fitted || !isConvex(*fitted)) break;
        outlines.push_back(*fitted);
    }
    return outlines;
}

// The outer contour of a mask's region that encloses the most area; empty without one.
std::vector<cv::Point> largestContour(const cv::Mat& mask) {
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    std::size_t largest = contours.size();
    double most = -1;
    for (std::size_t i = 0; i < contours.size(); ++i)
        if (const double area = cv::contourArea(contours[i]); area > most) most = area, largest = i;
    return largest < contours.size() ? std::move(contours[largest]) : std::vector<cv::Point>{};
}

}  // namespace

cv::Mat sheetChances(const cv::Mat& rgb) {
    thread_local Network network = readNetwork();
    if (network.net.empty() || rgb.empty()) return {};
    cv::Mat square;
    cv::resize(rgb, square, cv::Size(network.side, network.side), 0, 0, cv::INTER_AREA);
    try {
        network.net.setInput(cv::dnn::blobFromImage(square, 1 / 255.0), "image");
        const cv::Mat out = network.net.forward("mask");
        const cv::Mat logits(network.side, network.side, CV_32F, const_cast<float*>(out.ptr<float>()));
        cv::Mat chances;
        cv::exp(-logits, chances);
        return 1 / (1 + chances);
    } catch (const cv::Exception&) {
        return {};
    }
}

Corners frameOf(cv::Size picture) {
    const double right = picture.width - 0.5, bottom = picture.height - 0.5;
    return {{{-0.5, -0.5}, {right, -0.5}, {right, bottom}, {-0.5, bottom}}};
}

std::optional<Corners> regionOutline(const cv::Mat& chances, cv::Size picture) {
    cv::Mat fine;
    cv::resize(chances, fine, picture, 0, 0, cv::INTER_LINEAR);
    std::vector<Corners> outlines = outlinesOf(largestContour(fine > 0.5));
    if (outlines.empty()) return std::nullopt;
    // A spur of the region can pull a hull corner, and a side fitted from it, away from the sheet; where the
    // network is unsure of what joins the sheet (a mat, a shadow, a glowing panel), the region of chances
    // above a quarter or three quarters may follow the sheet better; a region that fills nearly all of a scan
    // is the whole sheet. The first fitted outline at a half stands unless the chances agree clearly better
    // with another.
    std::size_t best = std::min<std::size_t>(1, outlines.size() - 1);
    for (const double level : {0.25, 0.75})
        for (const Corners& c : outlinesOf(largestContour(fine > level))) outlines.push_back(c);
    outlines.push_back(frameOf(picture));
    double most = agreement(chances, outlines[best], picture);
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        if (i == best) continue;
        if (const double a = agreement(chances, outlines[i], picture); a > most + 0.001) best = i, most = a;
    }
    return outlines[best];
}

double agreement(const cv::Mat& chances, const Corners& c, cv::Size picture) {
    // The share of each cell inside the outline, from a square of four sub-cells each way to a cell. Filling
    // takes in the sub-cells whose centres lie within half of one outside, so the outline is drawn that much
    // in.
    constexpr int fine = 4, shift = 4;
    Corners sub;
    for (int i = 0; i < 4; ++i)
        sub[i] =
            (onSquare(c[i], picture, chances.cols) + cv::Point2d(0.5, 0.5)) * fine - cv::Point2d(0.5, 0.5);
    // Only the cells around the outline are filled: those beyond lie wholly outside it. Corners more than a
    // square's side beyond it are held there, so that every index stays small.
    auto drawn = inset(sub, 0.5).value_or(sub);
    const double reach = fine * static_cast<double>(std::max(chances.cols, chances.rows));
    for (auto& p : drawn) p = {std::clamp(p.x, -reach, 2 * reach), std::clamp(p.y, -reach, 2 * reach)};
    cv::Point2d low = drawn[0], high = drawn[0];
    for (const auto& p : drawn) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    auto cellOf = [&](double at) { return static_cast<int>(std::floor(at / fine)); };
    const cv::Rect cells = cv::Rect(cv::Point(cellOf(low.x) - 1, cellOf(low.y) - 1),
                                    cv::Point(cellOf(high.x) + 2, cellOf(high.y) + 2)) &
                           cv::Rect(cv::Point(), chances.size());
    // Each cell agrees by its chance where inside and by its complement where outside: the complements' total
    // and, for the share inside, the chance less its complement.
    double total = static_cast<double>(chances.total()) - cv::sum(chances)[0];
    if (!cells.empty()) {
        std::vector<cv::Point> corners;
        for (const auto& p : drawn) corners.emplace_back((p - cv::Point2d(cells.tl() * fine)) * (1 << shift));
        cv::Mat inside(cells.size() * fine, CV_8U, cv::Scalar(0)), share;
        cv::fillConvexPoly(inside, corners, cv::Scalar(255), cv::LINE_8, shift);
        cv::resize(inside, share, cells.size(), 0, 0, cv::INTER_AREA);
        share.convertTo(share, CV_32F, 1 / 255.0);
        total += share.dot(2 * chances(cells) - 1);
    }
    return total / static_cast<double>(chances.total());
}

std::vector<PaperCandidate> networkSheetIn(const cv::Mat& colour) {
    const cv::Mat chances = sheetChances(colour);
    if (chances.empty()) return {};
    const cv::Size size = colour.size();
    const auto outline = regionOutline(chances, size);
    // A sheet that fills the picture has no outline in it, as on a scan or a plain table.
    if (!outline || *outline == frameOf(size)) return {};
    // The region's outline is as sure as a cell of the network's square: the edges are looked for that far.
    const double cell = static_cast<double>(std::max(size.width, size.height)) / chances.cols;
    const Corners c = refine(colour, *outline, std::max(3.0, 1.5 * cell));
    if (!isConvex(c)) return {};
    // Agreement is high wherever most of the picture is plainly surface; below 0.8 the outline is no better
    // than a guess, and at 0.9 as sure as a detector's confidence of one half.
    return {
        PaperCandidate{unitQuad(c, size), std::clamp((agreement(chances, c, size) - 0.8) / 0.2, 0.0, 1.0)}};
}

}  // namespace quillfen::detail::paper
