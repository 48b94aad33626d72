#include "engine/book/AboutPage.h"

#include "engine/book/Caption.h"
#include "engine/book/Paginator.h"
#include "engine/core/TextTrimming.h"

#include <algorithm>
#include <cmath>

namespace quillfen {

namespace {

constexpr Color dotColors[6] = {
    {0.86, 0.16, 0.18, 1}, {0.97, 0.52, 0.12, 1}, {0.98, 0.8, 0.1, 1},
    {0.2, 0.66, 0.28, 1},  {0.15, 0.38, 0.86, 1}, {0.52, 0.25, 0.72, 1},
};

std::string replacingAll(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
    return text;
}

}  // namespace

std::vector<DrawingInfo> BookRenderer::drawingsOf(const Child& child, const BookContent& content) {
    std::vector<DrawingInfo> drawings;
    for (const auto& [id, drawing] : content.drawings) {
        if (drawing.childID && *drawing.childID == child.id) drawings.push_back(drawing);
    }
    std::sort(drawings.begin(), drawings.end(), [](const DrawingInfo& a, const DrawingInfo& b) {
        if (Paginator::isEarlier(a, b)) return true;
        if (Paginator::isEarlier(b, a)) return false;
        return a.id < b.id;
    });
    return drawings;
}

std::optional<std::string> BookRenderer::aboutSummary(const Child& child, const BookContent& content) {
    const auto drawings = drawingsOf(child, content);
    if (drawings.empty()) return std::nullopt;
    std::string summary = std::to_string(drawings.size()) + " drawing" + (drawings.size() == 1 ? "" : "s");
    const auto first = Caption::ageText(drawings.front(), &child);
    const auto last = Caption::ageText(drawings.back(), &child);
    if (first && last) {
        if (*first == *last) {
            summary += ", " + *first;
        } else {
            summary +=
                ", " + replacingAll(*first, "age ", "ages ") + " to " + replacingAll(*last, "age ", "");
        }
    }
    return summary;
}

void BookRenderer::drawAboutPage(const Child& child, const BookContent& content, const FontSet& fonts,
                                 Canvas& canvas, const Rect& S, double m) {
    if (S.isNull() || !std::isfinite(m)) return;  // a safe margin past the middle leaves no page to set
    const double midX = S.midX();
    const auto line = [&](const std::string& text, const std::string& font, double size, Color color,
                          double baseline) {
        canvas.drawTextLine(text, {font, size}, color, TextAlignment::center, {midX, baseline}, S.width());
    };

    const double y0 = S.maxY() - 0.18 * S.height();
    line("About the artist", fonts.detail, 0.03 * m, mutedColor, y0);
    line(child.name, fonts.display, 0.09 * m, inkColor, y0 - 0.12 * m);

    const double d = 0.014 * m;
    const double yRow = y0 - 0.17 * m;
    for (int i = 0; i < 6; ++i) {
        const double cx = midX + (i - 2.5) * 2.6 * d;
        canvas.setFillColor(dotColors[i]);
        canvas.fillEllipse({cx - d / 2, yRow - d / 2, d, d});
    }

    double y = yRow - 0.07 * m;
    if (const auto summary = aboutSummary(child, content)) {
        line(*summary, fonts.detail, 0.032 * m, mutedColor, y);
        y -= 0.05 * m;
    }

    const std::string note = trimmingWhitespaceAndNewlines(child.about);
    if (note.empty()) return;
    const Rect area(S.minX() + 0.12 * S.width(), S.minY() + 0.08 * S.height(), 0.76 * S.width(),
                    y - S.minY() - 0.08 * S.height());
    if (!(area.size.width > 4 && area.size.height > 4)) return;  // raw sizes: a negative area is empty
    canvas.drawTextBlock(note, {fonts.title, 0.036 * m}, inkColor, area, BlockPlacement::top);
}

}  // namespace quillfen
