#include "app/calendar/CalendarPages.h"

#include "engine/book/PrintGeometry.h"

#include <QSettings>

#include <algorithm>
#include <cmath>
#include <variant>

namespace quillfen::CalendarPages {

namespace {

const QString zoomKey = QStringLiteral("calendarZoom");


// The month slot a page shows; none for the cover.
std::optional<int> slotOf(const CalendarPageContent& content) {
    return std::visit(
        [](const auto& c) -> std::optional<int> {
            if constexpr (requires { c.month; }) return c.month;
            return std::nullopt;
        },
        content);
}

QString pictureDescription(const AppModel& model, int slot) {
    const auto& pictures = model.calendar().pictures;
    const auto id = pictures.find(slot);
    if (id == pictures.end()) return QStringLiteral("no picture yet");
    for (const auto& d : model.drawings()) {
        if (d.info.id != id->second) continue;
        return d.info.title.empty() ? QStringLiteral("untitled picture") : QString::fromStdString(d.info.title);
    }
    return QStringLiteral("no picture yet");
}

}  // namespace

double clampedZoom(double zoom) {
    if (!std::isfinite(zoom)) return defaultZoom;
    return std::clamp(zoom, minimumZoom, maximumZoom);
}

double storedZoom() {
    bool ok = false;
    const double zoom = QSettings().value(zoomKey, defaultZoom).toDouble(&ok);
    return ok ? clampedZoom(zoom) : defaultZoom;
}

void storeZoom(double zoom) { QSettings().setValue(zoomKey, clampedZoom(zoom)); }

std::vector<std::vector<int>> sheets(const CalendarLayout& layout) {
    std::vector<std::vector<int>> result;
    for (int i = 0; i < static_cast<int>(layout.pages.size()); ++i) {
        const bool grid = std::holds_alternative<CalendarGridPage>(layout.pages[i].content);
        if (grid && !result.empty()) result.back().push_back(i);
        else result.push_back({i});
    }
    return result;
}

QSizeF cellSize(const CalendarLayout& layout, double zoom) {
    const Rect media = PageBoxes(layout.spec, layout.trimSize).media;
    const double longer = std::max(media.size.width, media.size.height);
    if (!(longer > 0)) return {zoom, zoom};
    const double scale = zoom / longer;
    return {media.size.width * scale, media.size.height * scale};
}

QString monthLabel(const CalendarSettings& calendar, int slot) {
    const auto months = calendar.months();
    if (slot < 0 || slot >= static_cast<int>(months.size())) return {};
    const auto& m = months[static_cast<std::size_t>(slot)];
    return QString::fromStdString(monthNames(calendar.language, m.month)) + ' ' + QString::number(m.year);
}

QString summaryText(const CalendarLayout& layout, const CalendarSettings& calendar) {
    return monthLabel(calendar, 0) + QStringLiteral(" – ") + monthLabel(calendar, 11) + QStringLiteral(" · ") +
           QString::number(layout.pages.size()) + QStringLiteral(" pages");
}

QString accessibilityText(const AppModel& model, const CalendarPage& page) {
    const auto& calendar = model.calendar();
    const QString number = QStringLiteral("Page ") + QString::number(page.number);
    const auto slot = slotOf(page.content);
    if (!slot) return number + QStringLiteral(", the cover: ") + QString::fromStdString(calendar.displayTitle());
    const QString month = monthLabel(calendar, *slot);
    if (std::holds_alternative<CalendarPicturePage>(page.content))
        return number + QStringLiteral(", picture for ") + month + QStringLiteral(": ") +
               pictureDescription(model, *slot);
    if (std::holds_alternative<CalendarGridPage>(page.content))
        return number + QStringLiteral(", ") + month + QStringLiteral(" grid");
    return number + QStringLiteral(", ") + month + QStringLiteral(": ") + pictureDescription(model, *slot) +
           QStringLiteral(" and the month grid");
}

}  // namespace quillfen::CalendarPages
