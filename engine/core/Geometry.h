#pragma once

#include <limits>

namespace quillfen {

// A point in points or pixels; origin at the lower left, y upwards.
struct Point {
    double x = 0;
    double y = 0;

    bool operator==(const Point&) const = default;
};

// A width and height in points or pixels; components may be negative, as in a rectangle's size.
struct Size {
    double width = 0;
    double height = 0;

    bool operator==(const Size&) const = default;
};

// A rectangle given by its origin and size, origin at the lower left and y upwards. A negative size
// extends the rectangle to the left or downwards; the accessors report the standardised figures.
// The null rectangle (the result of an empty intersection or an inset past the middle) has an
// infinite origin and a zero size.
struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(Point origin, Size size) : origin(origin), size(size) {}
    Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}

    static Rect null();
    bool isNull() const;
    bool isEmpty() const;  // null, or no width or no height

    double minX() const;
    double minY() const;
    double maxX() const;
    double maxY() const;
    double midX() const;
    double midY() const;
    double width() const;
    double height() const;

    Rect standardized() const;
    // Moves every edge inwards by dx and dy (outwards when negative); the null rectangle when
    // the result would have a negative width or height.
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;
    // The smallest rectangle of whole numbers that holds this one: minimum rounded down and
    // maximum rounded up. The null rectangle stays null.
    Rect integral() const;
    Rect intersection(const Rect& other) const;  // null when they do not meet
    bool contains(Point point) const;  // minimum edges inclusive, maximum edges exclusive
    bool intersects(const Rect& other) const;

    bool operator==(const Rect&) const = default;
};

}  // namespace quillfen
