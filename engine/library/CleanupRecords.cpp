#include "engine/library/CleanupRecords.h"

#include <algorithm>
#include <cmath>

namespace quillfen {

namespace {

double distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

Point clampedPoint(Point p) {
    return Point{std::clamp(p.x, 0.0, 1.0), std::clamp(p.y, 0.0, 1.0)};
}

}  // namespace

const Quad& Quad::full() {
    static const Quad quad{{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    return quad;
}

std::array<Point, 4> Quad::points() const {
    return {topLeft, topRight, bottomRight, bottomLeft};
}

Quad Quad::fromPoints(const std::vector<Point>& points) {
    return Quad{points.at(0), points.at(1), points.at(2), points.at(3)};
}

Quad Quad::fromPoints(const std::array<Point, 4>& points) {
    return Quad{points[0], points[1], points[2], points[3]};
}

std::array<Point, 4> Quad::scaled(Size size) const {
    std::array<Point, 4> out = points();
    for (auto& p : out) p = Point{p.x * size.width, p.y * size.height};
    return out;
}

Size Quad::edgeLengths(Size size) const {
    const auto [tl, tr, br, bl] = scaled(size);
    return Size{std::max(distance(tl, tr), distance(bl, br)), std::max(distance(tl, bl), distance(tr, br))};
}

double Quad::area() const {
    const auto p = points();
    double sum = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Point a = p[i];
        const Point b = p[(i + 1) % p.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return std::abs(sum) / 2;
}

Quad Quad::clamped() const {
    return Quad{clampedPoint(topLeft), clampedPoint(topRight), clampedPoint(bottomRight),
                clampedPoint(bottomLeft)};
}

const CleanupSettings& CleanupSettings::defaults() {
    static const CleanupSettings settings{};
    return settings;
}

Quad Coding<Quad>::read(const Json& v) {
    return Quad{required<Point>(v, "topLeft"), required<Point>(v, "topRight"),
                required<Point>(v, "bottomRight"), required<Point>(v, "bottomLeft")};
}

Json Coding<Quad>::write(const Quad& q) {
    Json out = Json::object();
    put(out, "topLeft", q.topLeft);
    put(out, "topRight", q.topRight);
    put(out, "bottomRight", q.bottomRight);
    put(out, "bottomLeft", q.bottomLeft);
    return out;
}

CleanupSettings Coding<CleanupSettings>::read(const Json& v) {
    return CleanupSettings{optional<Quad>(v, "crop"),
                           required<bool>(v, "autoCropped"),
                           required<std::int64_t>(v, "quarterTurns"),
                           required<double>(v, "straighten"),
                           required<bool>(v, "flatten"),
                           required<double>(v, "whiten")};
}

Json Coding<CleanupSettings>::write(const CleanupSettings& s) {
    Json out = Json::object();
    putOptional(out, "crop", s.crop);
    put(out, "autoCropped", s.autoCropped);
    put(out, "quarterTurns", s.quarterTurns);
    put(out, "straighten", s.straighten);
    put(out, "flatten", s.flatten);
    put(out, "whiten", s.whiten);
    return out;
}

}  // namespace quillfen
