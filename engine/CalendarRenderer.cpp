#include "engine/CalendarRenderer.h"

#include "engine/CalendarPage.h"
#include "engine/Canvas.h"
#include "engine/HomeSheet.h"
#include "engine/PdfWriter.h"

#include <cmath>
#include <variant>

namespace quillfen::CalendarRenderer {

namespace {

// The home print's outline around the page on its sheet.
constexpr Color sheetOutlineColor{0.8, 0.8, 0.82, 1};

void report(const Progress& progress, std::size_t done, std::size_t total) {
    if (progress) progress(static_cast<int>(done), static_cast<int>(total));
}

}  // namespace

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

bool printPDF(const CalendarLayout& layout, const CalendarContent& content,
              const std::filesystem::path& destination, const Progress& progress) {
    PdfWriter writer(destination, content.settings.displayTitle());
    if (!writer.isOpen()) return false;
    const double W = layout.trimSize.width, H = layout.trimSize.height, b = layout.spec.bleed;
    const Rect media(0, 0, W + 2 * b, H + 2 * b);
    const PdfPageBoxes boxes{media, media, Rect(b, b, W, H)};
    const std::size_t n = layout.pages.size();
    for (std::size_t i = 0; i < n; ++i) {
        Canvas* canvas = writer.beginPage(boxes);
        if (!canvas) return false;
        drawPage(layout.pages[i], layout, content, *canvas, b, b, false);
        writer.endPage();
        report(progress, i + 1, n);
    }
    return writer.finish();
}

bool homePrintPDF(const CalendarLayout& layout, const CalendarContent& content,
                  const std::filesystem::path& destination, const Progress& progress) {
    const double W = layout.trimSize.width, H = layout.trimSize.height;
    const auto [sheet, R] = BookRenderer::homeSheet(W, H);
    PdfWriter writer(destination, content.settings.displayTitle());
    if (!writer.isOpen()) return false;
    const PdfPageBoxes boxes{Rect(0, 0, sheet.width, sheet.height), std::nullopt, std::nullopt};
    const double s = R.width() / W;
    const std::size_t n = layout.pages.size();
    for (std::size_t i = 0; i < n; ++i) {
        Canvas* canvas = writer.beginPage(boxes);
        if (!canvas) return false;
        canvas->save();
        canvas->translate(R.minX(), R.minY());
        canvas->scale(s, s);
        canvas->clipToRect({0, 0, W, H});
        drawPage(layout.pages[i], layout, content, *canvas, 0, 0, false);
        canvas->restore();
        canvas->setStrokeColor(sheetOutlineColor);
        canvas->setLineWidth(0.4);
        canvas->strokeRect(R);
        writer.endPage();
        report(progress, i + 1, n);
    }
    return writer.finish();
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
