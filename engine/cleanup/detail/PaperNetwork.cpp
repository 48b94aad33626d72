#include "engine/cleanup/detail/PaperNetwork.h"

#include "engine/cleanup/detail/PaperModel.h"
#include "engine/cleanup/detail/PaperRefining.h"

#include <nlohmann/json.hpp>
#include <opencv2/dnn.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>

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
    cv::Vec4f fit;
    cv::fitLine(near, fit, cv::DIST_HUBER, 0, 0.01, 0.01);
    cv::Point2d direction(fit[0], fit[1]);
    if (direction.dot(along) < 0) direction = -direction;
    return {cv::Point2d(fit[2], fit[3]), direction};
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

std::optional<Corners> regionOutline(const cv::Mat& chances, cv::Size picture) {
    cv::Mat fine;
    cv::resize(chances, fine, picture, 0, 0, cv::INTER_LINEAR);
    cv::Mat labels, stats, centres;
    const int count = cv::connectedComponentsWithStats(fine > 0.5, labels, stats, centres, 8, CV_32S);
    int largest = 0;
    for (int i = 1; i < count; ++i)
        if (largest == 0 || stats.at<int>(i, cv::CC_STAT_AREA) > stats.at<int>(largest, cv::CC_STAT_AREA))
            largest = i;
    if (largest == 0) return std::nullopt;
    std::vector<std::vector<cv::Point>> outlines;
    cv::findContours(labels == largest, outlines, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    if (outlines.empty()) return std::nullopt;
    const auto hull = quadEnclosingMost(outlines.front());
    if (!hull) return std::nullopt;
    const Corners c = ordered(*hull);
    std::array<Line, 4> sides;
    for (int i = 0; i < 4; ++i) sides[i] = fittedSide(outlines.front(), c[i], c[(i + 1) % 4]);
    const auto fitted = cornersOf(sides);
    return fitted && isConvex(*fitted) ? fitted : std::optional<Corners>(c);
}

double agreement(const cv::Mat& chances, const Corners& c, cv::Size picture) {
    constexpr int shift = 4;  // corners in sixteenths of a cell
    std::vector<cv::Point> corners;
    for (const auto& p : c) corners.emplace_back(onSquare(p, picture, chances.cols) * (1 << shift));
    cv::Mat inside(chances.size(), CV_8U, cv::Scalar(0));
    cv::fillConvexPoly(inside, corners, cv::Scalar(1), cv::LINE_8, shift);
    double sum = 0;
    for (int y = 0; y < chances.rows; ++y)
        for (int x = 0; x < chances.cols; ++x) {
            const float p = chances.at<float>(y, x);
            sum += inside.at<std::uint8_t>(y, x) ? p : 1 - p;
        }
    return sum / chances.total();
}

std::vector<PaperCandidate> networkSheetIn(const cv::Mat& colour) {
    const cv::Mat chances = sheetChances(colour);
    if (chances.empty()) return {};
    const cv::Size size = colour.size();
    const auto outline = regionOutline(chances, size);
    if (!outline) return {};
    // The region's outline is as sure as a cell of the network's square: the edges are looked for that far.
    const double cell = static_cast<double>(std::max(size.width, size.height)) / chances.cols;
    const Corners c = refine(colour, *outline, std::max(3.0, 1.5 * cell));
    if (!isConvex(c)) return {};
    // Agreement is high wherever most of the picture is plainly surface; below 0.8 the outline is no better
    // than a guess, and at 0.9 as sure as a detector's confidence of one half.
    return {PaperCandidate{unitQuad(c, size), std::clamp((agreement(chances, c, size) - 0.8) / 0.2, 0.0, 1.0)}};
}

}  // namespace quillfen::detail::paper
