#include "engine/calendar/MonthGrid.h"

#include "engine/calendar/CalendarLanguage.h"
#include "engine/calendar/CalendarMath.h"

#include <algorithm>

namespace quillfen::CalendarRenderer {

namespace {

// The first two characters of a weekday name, counted as characters rather than bytes.
std::string firstTwoCharacters(const std::string& name) {
    std::size_t end = 0;
    for (int count = 0; count < 2 && end < name.size(); ++count) {
        ++end;
        while (end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) ++end;
    }
    return name.substr(0, end);
}

}  // namespace

Rect MonthGridMetrics::cell(int r, int c) const {
    return {body.minX() + c * cellWidth, body.maxY() - (r + 1) * cellHeight, cellWidth, cellHeight};
}

MonthGridMetrics monthGridMetrics(const Rect& rect, int rows, bool compact) {
    MonthGridMetrics m;
    m.band = (compact ? 0.17 : 0.15) * rect.height();
    m.row = 0.06 * rect.height();
    m.body = Rect(rect.minX(), rect.minY(), rect.width(), rect.height() - m.band - m.row);
    m.rows = std::max(rows, 1);
    m.cellWidth = m.body.width() / 7;
    m.cellHeight = m.body.height() / m.rows;
    m.numberSize = std::min(0.32 * m.cellWidth, (compact ? 0.5 : 0.28) * m.cellHeight);
    m.eventSize = std::max(std::min(0.11 * m.cellWidth, 0.13 * m.cellHeight), 4.5);
    m.pad = 0.07 * m.cellWidth;
    m.textWidth = m.cellWidth - 2 * m.pad;
    return m;
}

std::vector<EventLine> eventLines(std::span<const CalendarEvent> events, const Rect& cell,
                                  const MonthGridMetrics& m) {
    std::vector<EventLine> lines;
    double y = cell.maxY() - m.pad - 0.8 * m.numberSize - 1.35 * m.eventSize;
    for (std::size_t i = 0; i < std::min<std::size_t>(3, events.size()); ++i) {
        if (!(y > cell.minY() + 0.2 * m.eventSize)) break;
        lines.push_back({events[i].title, kindColor(events[i].kind), y});
        y -= 1.2 * m.eventSize;
    }
    return lines;
}

std::string monthTitle(const CalendarSettings& settings, int monthIndex) {
    const auto months = settings.months();
    if (monthIndex < 0 || monthIndex >= static_cast<int>(months.size())) return {};
    const auto [year, month] = months[monthIndex];
    return monthNames(settings.language, month) + " " + std::to_string(year);
}

void drawMonthGrid(int monthIndex, const CalendarContent& content, bool compact, Canvas& canvas,
                   const Rect& R) {
    const CalendarSettings& settings = content.settings;
    const auto months = settings.months();
    if (monthIndex < 0 || monthIndex >= static_cast<int>(months.size())) return;
    const auto [year, month] = months[monthIndex];
    const auto weeks = CalendarMath::monthGrid(year, month, settings.weekStart);
    const MonthGridMetrics m = monthGridMetrics(R, static_cast<int>(weeks.size()), compact);
    const FontSet lettering = fonts(settings.style);
    const Rect& B = m.body;

    const Font titleFont{lettering.display, std::min(0.62 * m.band, 0.1 * R.width())};
    canvas.drawTextLine(monthTitle(settings, monthIndex), titleFont, inkColor, TextAlignment::center,
                        {R.midX(), R.maxY() - 0.72 * m.band}, R.width());

    const auto names = weekdayNames(settings.language, settings.weekStart);
    const Font weekdayFont{lettering.detail, std::min(0.62 * m.row, 0.3 * m.cellWidth)};
    for (std::size_t j = 0; j < std::min<std::size_t>(names.size(), 7); ++j) {
        const std::string label = compact ? firstTwoCharacters(names[j]) : names[j];
        canvas.drawTextLine(label, weekdayFont, mutedColor, TextAlignment::center,
                            {B.minX() + (j + 0.5) * m.cellWidth, B.maxY() + 0.28 * m.row}, m.cellWidth);
    }

    Path rules;
    for (int r = 0; r <= m.rows; ++r) {
        const double y = B.minY() + r * m.cellHeight;
        rules.moveTo({B.minX(), y});
        rules.lineTo({B.maxX(), y});
    }
    if (!compact) {
        for (int c = 0; c <= 7; ++c) {
            const double x = B.minX() + c * m.cellWidth;
            rules.moveTo({x, B.minY()});
            rules.lineTo({x, B.maxY()});
        }
    }
    canvas.setStrokeColor(ruleColor);
    canvas.setLineWidth(std::max(0.012 * std::min(m.cellWidth, m.cellHeight), 0.4));
    canvas.stroke(rules);

    const Font numberFont{compact ? lettering.detail : lettering.title, m.numberSize};
    const Font eventFont{lettering.detail, m.eventSize};
    for (int r = 0; r < m.rows; ++r) {
        for (int c = 0; c < 7; ++c) {
            const auto d = weeks[r][c];
            if (!d) continue;
            const Rect cell = m.cell(r, c);
            const auto& events = content.eventsOn(Day{year, month, *d});
            const Color numberColor = events.empty() ? inkColor : kindColor(events.front().kind);
            const std::string number = std::to_string(*d);
            if (compact) {
                canvas.drawTextLine(number, numberFont, numberColor, TextAlignment::center,
                                    {cell.midX(), cell.midY() - 0.35 * m.numberSize}, m.cellWidth);
                continue;
            }
            canvas.drawTextLine(number, numberFont, numberColor, TextAlignment::left,
                                {cell.minX() + m.pad, cell.maxY() - m.pad - 0.8 * m.numberSize}, m.textWidth);
            for (const auto& line : eventLines(events, cell, m)) {
                canvas.drawTextLine(line.title, eventFont, line.color, TextAlignment::left,
                                    {cell.minX() + m.pad, line.baseline}, m.textWidth);
            }
        }
    }
}

}  // namespace quillfen::CalendarRenderer
