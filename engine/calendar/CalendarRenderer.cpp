#include "engine/calendar/CalendarRenderer.h"

#include "engine/calendar/CalendarPage.h"
#include "engine/render/Canvas.h"
#include "engine/render/PageFiles.h"

#include <cmath>
#include <variant>

namespace quillfen::CalendarRenderer {

std::optional<Bitmap> thumbnail(const CalendarPage& page, const CalendarLayout& layout,
                                const CalendarContent& content, int width, bool guides) {
    if (width < 1) return std::nullopt;
    const double b = layout.spec.bleed;
    const double mediaWidth = layout.trimSize.width + 2 * b, mediaHeight = layout.trimSize.height + 2 * b;
    if (!(mediaWidth > 0 && mediaHeight > 0)) return std::nullopt;
    const double scale = width / mediaWidth;
    const double height = std::round(mediaHeight * scale);
    if (!(height >= 1 && height <= 1 << 15)) return std::nullopt;
    Canvas canvas(width, static_cast<int>(height));
    if (!canvas.isValid()) return std::nullopt;
    canvas.scale(scale, scale);
    drawPage(page, layout, content, canvas, b, b, guides);
    if (!canvas.isValid()) return std::nullopt;
    return canvas.bitmap();
}

namespace {

PageFiles::DrawPage pagesOf(const CalendarLayout& layout, const CalendarContent& content) {
    return [&layout, &content](std::size_t i, Canvas& canvas, Point origin) {
        drawPage(layout.pages[i], layout, content, canvas, origin.x, origin.y, false);
    };
}

}  // namespace

bool printPDF(const CalendarLayout& layout, const CalendarContent& content,
              const std::filesystem::path& destination, const Progress& progress) {
    return PageFiles::printReady(destination, content.settings.displayTitle(), layout.trimSize,
                                 layout.spec.bleed, layout.pages.size(), pagesOf(layout, content), progress);
}

bool homePrintPDF(const CalendarLayout& layout, const CalendarContent& content,
                  const std::filesystem::path& destination, const Progress& progress) {
    return PageFiles::homePrint(destination, content.settings.displayTitle(), layout.trimSize,
                                layout.pages.size(), pagesOf(layout, content), progress);
}

std::unordered_map<UUID, Size> placedSizes(const CalendarLayout& layout, const CalendarSettings& settings,
                                           const std::unordered_map<UUID, DrawingInfo>& drawings) {
    std::unordered_map<UUID, Size> sizes;
    for (const auto& page : layout.pages) {
        if (!page.picture) continue;
        const auto id = settings.pictureID(page.content);
        if (!id) continue;
        const double w = page.picture->width(), h = page.picture->height();
        Size candidate{w, h};
        const bool cover = std::holds_alternative<CalendarCoverPage>(page.content);
        const auto drawing = drawings.find(*id);
        if (settings.fillPicture && !cover && drawing != drawings.end() && drawing->second.aspect > 0) {
            const double a = drawing->second.aspect;
            candidate = h > w / a ? Size{a * h, h} : Size{w, w / a};
        }
        const auto [slot, inserted] = sizes.try_emplace(*id, candidate);
        if (!inserted && candidate.width * candidate.height > slot->second.width * slot->second.height) {
            slot->second = candidate;
        }
    }
    return sizes;
}

}  // namespace quillfen::CalendarRenderer
