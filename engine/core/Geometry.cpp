#include "engine/core/Geometry.h"

#include <algorithm>
#include <cmath>

namespace quillfen {

Rect Rect::null() {
    const double inf = std::numeric_limits<double>::infinity();
    return Rect{inf, inf, 0, 0};
}

bool Rect::isNull() const {
    return std::isinf(origin.x) || std::isinf(origin.y);
}

bool Rect::isEmpty() const {
    return isNull() || size.width == 0 || size.height == 0;
}

double Rect::minX() const {
    return std::min(origin.x, origin.x + size.width);
}
double Rect::minY() const {
    return std::min(origin.y, origin.y + size.height);
}
double Rect::maxX() const {
    return std::max(origin.x, origin.x + size.width);
}
double Rect::maxY() const {
    return std::max(origin.y, origin.y + size.height);
}
double Rect::midX() const {
    return origin.x + size.width / 2;
}
double Rect::midY() const {
    return origin.y + size.height / 2;
}
double Rect::width() const {
    return std::abs(size.width);
}
double Rect::height() const {
    return std::abs(size.height);
}

Rect Rect::standardized() const {
    if (isNull()) return *this;
    return Rect{minX(), minY(), width(), height()};
}

Rect Rect::insetBy(double dx, double dy) const {
    if (isNull()) return *this;
    const Rect r = standardized();
    const double w = r.size.width - 2 * dx;
    const double h = r.size.height - 2 * dy;
    if (w < 0 || h < 0 || std::isnan(w) || std::isnan(h)) return null();
    return Rect{r.origin.x + dx, r.origin.y + dy, w, h};
}

Rect Rect::offsetBy(double dx, double dy) const {
    if (isNull()) return *this;
    return Rect{origin.x + dx, origin.y + dy, size.width, size.height};
}

Rect Rect::integral() const {
    if (isNull()) return *this;
    const double x0 = std::floor(minX());
    const double y0 = std::floor(minY());
    return Rect{x0, y0, std::ceil(maxX()) - x0, std::ceil(maxY()) - y0};
}

Rect Rect::intersection(const Rect& other) const {
    if (isNull() || other.isNull()) return null();
    const double x0 = std::max(minX(), other.minX());
    const double y0 = std::max(minY(), other.minY());
    const double x1 = std::min(maxX(), other.maxX());
    const double y1 = std::min(maxY(), other.maxY());
    if (x1 < x0 || y1 < y0) return null();
    return Rect{x0, y0, x1 - x0, y1 - y0};
}

bool Rect::contains(Point p) const {
    if (isEmpty()) return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::intersects(const Rect& other) const {
    const Rect r = intersection(other);
    return !r.isNull() && r.size.width > 0 && r.size.height > 0;
}

}  // namespace quillfen
