#include "engine/book/SlotGeometry.h"

#include <algorithm>
#include <cmath>

namespace quillfen {

CaptionMetrics CaptionMetrics::forPage(const BookSettings& settings, int count, double width, double height) {
    const double m = std::min(width, height);
    const double base = std::max(std::round(m * 0.03), 9.0);
    const double factor = count <= 1 ? 1.0 : count == 2 ? 0.85 : 0.72;
    CaptionMetrics metrics;
    metrics.titleSize = base * factor;
    metrics.detailSize = 0.72 * metrics.titleSize;
    metrics.height = 1.9 * metrics.titleSize;
    if (settings.showName || settings.showAge || settings.showDate)
        metrics.height += 1.4 * metrics.detailSize;
    return metrics;
}

namespace Paginator {

std::vector<Rect> row(int count, const Rect& rect, double gutter) {
    std::vector<Rect> cells;
    if (count <= 0) return cells;
    const double w = (rect.width() - (count - 1) * gutter) / count;
    for (int i = 0; i < count; ++i)
        cells.emplace_back(rect.minX() + i * (gutter + w), rect.minY(), w, rect.height());
    return cells;
}

std::vector<Rect> column(int count, const Rect& rect, double gutter) {
    std::vector<Rect> cells;
    if (count <= 0) return cells;
    const double h = (rect.height() - (count - 1) * gutter) / count;
    for (int i = 0; i < count; ++i)
        cells.emplace_back(rect.minX(), rect.maxY() - (i + 1) * h - i * gutter, rect.width(), h);
    return cells;
}

Rect aspectFit(double aspect, const Rect& rect) {
    const double a = aspect > 0 ? aspect : 1.0;
    double w = rect.width();
    double h = w / a;
    if (h > rect.height()) {
        h = rect.height();
        w = a * rect.height();
    }
    return Rect{rect.midX() - w * 0.5, rect.midY() - h * 0.5, w, h};
}

std::vector<std::vector<Rect>> candidateCells(int count, const Rect& r) {
    const double x = r.minX(), y = r.minY(), W = r.width(), H = r.height(), maxY = r.maxY();
    const double g = gutter;
    const auto joined = [](std::vector<Rect> first, const std::vector<Rect>& rest) {
        first.insert(first.end(), rest.begin(), rest.end());
        return first;
    };
    switch (count) {
        case 1:
            return {{r}};
        case 2:
            return {row(2, r, g), column(2, r, g)};
        case 3: {
            const double top = (H - g) * 0.58;
            const double left = (W - g) * 0.58;
            const double bottom = (H - g) * 0.42;
            return {
                row(3, r, g),
                column(3, r, g),
                joined({Rect{x, maxY - top, W, top}}, row(2, Rect{x, y, W, H - top - g}, g)),
                joined({Rect{x, y, left, H}}, column(2, Rect{x + left + g, y, W - left - g, H}, g)),
                joined(row(2, Rect{x, maxY - bottom, W, bottom}, g), {Rect{x, y, W, H - bottom - g}}),
            };
        }
        default: {
            const double h = (H - g) * 0.5;
            return {joined(row(2, Rect{x, maxY - h, W, h}, g), row(2, Rect{x, y, W, H - h - g}, g)),
                    row(4, r, g), column(4, r, g)};
        }
    }
}

std::vector<Slot> fit(const std::vector<PlacedDrawing>& drawings, const std::vector<Rect>& cells,
                      double captionHeight) {
    const double c = captionHeight;
    std::vector<Slot> out;
    const std::size_t n = std::min(drawings.size(), cells.size());
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Rect& cell = cells[i];
        const Rect box{cell.minX(), cell.minY() + c, cell.width(), std::max(cell.height() - c, 1.0)};
        const Rect image = aspectFit(drawings[i].aspect, box);
        const Rect caption = c > 0 ? Rect{cell.minX(), image.minY() - c, cell.width(), c} : Rect{0, 0, 0, 0};
        out.push_back(Slot{drawings[i].id, cell, image, caption});
    }
    return out;
}

std::vector<Slot> slots(const std::vector<PlacedDrawing>& drawings, const Rect& rect, double captionHeight) {
    if (drawings.empty()) return {};
    std::vector<Slot> best;
    double bestTotal = -1;
    double bestSmallest = -1;
    for (const auto& candidate :
         candidateCells(static_cast<int>(std::min<std::size_t>(drawings.size(), 4)), rect)) {
        std::vector<Slot> placed = fit(drawings, candidate, captionHeight);
        double total = 0;
        double smallest = 0;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            const double area = placed[i].image.width() * placed[i].image.height();
            total += area;
            smallest = i == 0 ? area : std::min(smallest, area);
        }
        if (total > bestTotal + 1.0 || (std::abs(total - bestTotal) <= 1.0 && smallest > bestSmallest)) {
            best = std::move(placed);
            bestTotal = total;
            bestSmallest = smallest;
        }
    }
    return best;
}

Rect coverPictureRect(double trimWidth, double trimHeight, double safe, double aspect) {
    const Rect content = Rect{0, 0, trimWidth, trimHeight}.insetBy(safe, safe);
    if (content.isNull()) return Rect{0, 0, 0, 0};
    const Rect box{content.minX() + 0.06 * content.width(), content.minY() + 0.1 * trimHeight,
                   0.88 * content.width(), content.height() - 0.24 * trimHeight - 0.1 * trimHeight};
    return aspectFit(aspect, box);
}

}  // namespace Paginator

}  // namespace quillfen
