#include "engine/calendar/CalendarPaginator.h"

#include <string>

namespace quillfen::CalendarPaginator {

namespace {

constexpr double safeMargin = 18;
constexpr double missingAspect = 1.3;

// The rectangle of aspect `a` fitted inside `r` and centred in it.
Rect fit(const Rect& r, double a) {
    double w = r.width();
    double h = w / a;
    if (h > r.height()) {
        h = r.height();
        w = a * r.height();
    }
    return Rect(r.midX() - w / 2, r.midY() - h / 2, w, h);
}

// The size at which a picture of aspect `a` covers `r`.
Size covering(const Rect& r, double a) {
    const double h = r.width() / a;
    if (r.height() > h) return {a * r.height(), r.height()};
    return {r.width(), r.width() / a};
}

struct Geometry {
    double width;   // trim
    double height;  // trim
    Rect content;   // the trim inside the safe margin
    Rect bleed;     // the trim grown by the bleed
};

std::vector<CalendarPageContent> contents(const CalendarSettings& settings) {
    std::vector<CalendarPageContent> out;
    if (settings.cover) out.push_back(CalendarCoverPage{});
    for (int m = 0; m < 12; ++m) {
        if (hasPicturePage(settings.format)) {
            out.push_back(CalendarPicturePage{m});
            out.push_back(CalendarGridPage{m});
        } else {
            out.push_back(CalendarMonthPage{m});
        }
    }
    return out;
}

// The picture and grid rectangles of a page whose picture has aspect `a`.
std::pair<std::optional<Rect>, std::optional<Rect>> rectangles(const CalendarPageContent& content,
                                                               const CalendarSettings& settings,
                                                               const Geometry& g, double a) {
    const Rect& C = g.content;
    const Rect& B = g.bleed;
    const bool fill = settings.fillPicture;
    if (std::holds_alternative<CalendarPicturePage>(content)) return {fill ? B : fit(C, a), std::nullopt};
    if (std::holds_alternative<CalendarGridPage>(content)) return {std::nullopt, C};
    if (std::holds_alternative<CalendarCoverPage>(content)) {
        const Rect box(C.minX() + 0.06 * C.width(), C.minY() + 0.1 * g.height, 0.88 * C.width(),
                       C.height() - 0.24 * g.height - 0.1 * g.height);
        return {fit(box, a), std::nullopt};
    }
    if (isDesk(settings.format)) {
        const double gutter = 0.04 * g.width;
        const double column = (C.width() - gutter) * 0.5;
        const Rect area(C.minX(), C.minY(), column, C.height());
        const Rect grid(area.maxX() + gutter, C.minY(), C.width() - column - gutter, C.height());
        const Rect picture =
            fill ? Rect(B.minX(), B.minY(), area.maxX() - B.minX(), B.height()) : fit(area, a);
        return {picture, grid};
    }
    const Rect grid(C.minX(), C.minY(), C.width(), 0.47 * C.height());
    const double top = C.minY() + 0.47 * C.height();
    const double gap = 0.025 * g.height;
    const Rect area(C.minX(), top + gap, C.width(), C.maxY() - top - gap);
    const Rect picture = fill ? Rect(B.minX(), area.minY(), B.width(), B.maxY() - area.minY()) : fit(area, a);
    return {picture, grid};
}

std::optional<LayoutWarning> warning(const CalendarPage& page, const DrawingInfo& drawing, const UUID& id,
                                     bool fill) {
    Size placed = page.picture->size;
    if (fill && !std::holds_alternative<CalendarCoverPage>(page.content) && drawing.aspect > 0)
        placed = covering(*page.picture, drawing.aspect);
    const double dpi = Resolution::dpi(drawing.pixelSize, placed);
    const Resolution::Grade grade = Resolution::grade(dpi);
    if (grade == Resolution::Grade::good) return std::nullopt;
    const std::string name = drawing.title.empty() ? std::string(untitledPicture) : "“" + drawing.title + "”";
    const std::string where = name + " on page " + std::to_string(page.number);
    const std::string d = std::to_string(Resolution::wholeDPI(dpi));
    if (grade == Resolution::Grade::soft)
        return LayoutWarning{page.number, id,
                             where + " prints at " + d + " dpi (300 looks sharp). It may look a little soft.",
                             false};
    return LayoutWarning{
        page.number, id,
        where + " prints at only " + d + " dpi and will look blurry. Use a sharper photo or scan.", true};
}

}  // namespace

CalendarLayout paginate(const CalendarSettings& settings,
                        const std::unordered_map<UUID, DrawingInfo>& drawings) {
    const Size trim = trimSize(settings.format);
    const PrintSpec spec = settings.spec();
    const double b = spec.bleed;
    const Geometry g{trim.width, trim.height,
                     Rect(safeMargin, safeMargin, trim.width - 2 * safeMargin, trim.height - 2 * safeMargin),
                     Rect(-b, -b, trim.width + 2 * b, trim.height + 2 * b)};

    CalendarLayout layout{{}, trim, spec, {}};
    const auto list = contents(settings);
    layout.pages.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const CalendarPageContent& content = list[i];
        const std::optional<UUID> id = settings.pictureID(content);
        const auto found = id ? drawings.find(*id) : drawings.end();
        const DrawingInfo* drawing = found != drawings.end() ? &found->second : nullptr;
        const double a = !drawing ? missingAspect : drawing->aspect > 0 ? drawing->aspect : 1.0;
        const auto [picture, grid] = rectangles(content, settings, g, a);
        layout.pages.push_back(CalendarPage{static_cast<int>(i) + 1, content, picture, grid});
        if (drawing && picture)
            if (auto w = warning(layout.pages.back(), *drawing, *id, settings.fillPicture))
                layout.warnings.push_back(std::move(*w));
    }
    return layout;
}

}  // namespace quillfen::CalendarPaginator
