#include "engine/render/PageFiles.h"

#include "engine/render/HomeSheet.h"
#include "engine/render/PdfWriter.h"

namespace quillfen {

namespace {

constexpr Color sheetOutline{0.8, 0.8, 0.82, 1};
constexpr double sheetOutlineWidth = 0.4;

// Writes `count` pages with the same boxes; `place` draws one page on its canvas. Stops at the first
// page the writer refuses.
bool writePages(const std::filesystem::path& destination, const std::string& title, const PdfPageBoxes& boxes,
                std::size_t count, const std::function<void(std::size_t, Canvas&)>& place,
                const PageProgress& progress) {
    PdfWriter writer(destination, title);
    if (!writer.isOpen()) return false;
    const int total = static_cast<int>(count);
    for (std::size_t i = 0; i < count; ++i) {
        Canvas* canvas = writer.beginPage(boxes);
        if (!canvas) return false;
        place(i, *canvas);
        writer.endPage();
        if (!writer.isOpen()) return false;
        if (progress) progress(static_cast<int>(i) + 1, total);
    }
    return writer.finish();
}

}  // namespace

bool PageFiles::printReady(const std::filesystem::path& destination, const std::string& title, Size trimSize,
                           double bleed, std::size_t count, const DrawPage& draw,
                           const PageProgress& progress) {
    const Rect media(0, 0, trimSize.width + 2 * bleed, trimSize.height + 2 * bleed);
    const PdfPageBoxes boxes{media, media, Rect(bleed, bleed, trimSize.width, trimSize.height)};
    return writePages(
        destination, title, boxes, count,
        [&](std::size_t i, Canvas& canvas) {
            draw(i, canvas, {bleed, bleed});
        },
        progress);
}

bool PageFiles::homePrint(const std::filesystem::path& destination, const std::string& title, Size trimSize,
                          std::size_t count, const DrawPage& draw, const PageProgress& progress) {
    const auto [sheet, page] = BookRenderer::homeSheet(trimSize.width, trimSize.height);
    const double scale = page.width() / trimSize.width;
    const PdfPageBoxes boxes{Rect(0, 0, sheet.width, sheet.height), std::nullopt, std::nullopt};
    const auto place = [&](std::size_t i, Canvas& canvas) {
        canvas.save();
        canvas.translate(page.minX(), page.minY());
        canvas.scale(scale, scale);
        canvas.clipToRect({0, 0, trimSize.width, trimSize.height});
        draw(i, canvas, {0, 0});
        canvas.restore();
        canvas.setStrokeColor(sheetOutline);
        canvas.setLineWidth(sheetOutlineWidth);
        canvas.strokeRect(page);
    };
    return writePages(destination, title, boxes, count, place, progress);
}

}  // namespace quillfen
