#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/core/Geometry.h"
#include "engine/core/Json.h"

namespace quillfen {

// The four corners of a sheet of paper in unit coordinates of the photo as imported (origin at the
// bottom left, y upwards). Holds whatever four points it was given; compares them exactly.
struct Quad {
    Point topLeft;
    Point topRight;
    Point bottomRight;
    Point bottomLeft;

    static const Quad& full();  // the whole image

    // The corners in the order topLeft, topRight, bottomRight, bottomLeft.
    std::array<Point, 4> points() const;
    // Takes the first four points in array order, without sorting; the caller passes at least four.
    static Quad fromPoints(const std::vector<Point>& points);
    static Quad fromPoints(const std::array<Point, 4>& points);
    // The corners in pixel coordinates of an image of that size.
    std::array<Point, 4> scaled(Size pixelSize) const;
    // Width: the longer of the top and bottom edges; height: the longer of the left and right edges;
    // measured in pixels of an image of that size.
    Size edgeLengths(Size pixelSize) const;
    double area() const;   // shoelace formula over the corners in field order
    Quad clamped() const;  // every coordinate limited to 0...1

    bool operator==(const Quad&) const = default;
};

// The cleanup of one drawing: crop, turns, straightening, lighting and whitening. Stored unchanged,
// never validated; compared exactly, so any change of any field counts as a change.
struct CleanupSettings {
    std::optional<Quad> crop;       // absent: the whole photo
    bool autoCropped = false;       // the crop came from paper detection
    std::int64_t quarterTurns = 0;  // clockwise, used modulo 4
    double straighten = 0;          // degrees
    bool flatten = false;           // even out uneven lighting
    double whiten = 0;              // 0 (off) to 1

    static const CleanupSettings& defaults();  // everything off

    bool operator==(const CleanupSettings&) const = default;
};

template <>
struct Coding<Quad> {
    static Quad read(const Json& v);
    static Json write(const Quad& q);
};

template <>
struct Coding<CleanupSettings> {
    static CleanupSettings read(const Json& v);
    static Json write(const CleanupSettings& s);
};

}  // namespace quillfen
