#include "engine/book/BookRenderer.h"

#include "engine/book/SlotGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace quillfen {

namespace {

bool isBlank(const BookPage& page) {
    return std::holds_alternative<BlankPage>(page.content);
}

}  // namespace

std::optional<Bitmap> BookRenderer::thumbnail(const BookPage& page, const BookLayout& layout,
                                              const BookContent& content, int width, bool guides) {
    const double b = layout.spec.bleed;
    const double mediaWidth = layout.trimSize.width + 2 * b, mediaHeight = layout.trimSize.height + 2 * b;
    const double scale = width / mediaWidth;
    const double height = std::round(mediaHeight * scale);
    if (!(width > 0 && height >= 1 && height <= std::numeric_limits<int>::max())) return std::nullopt;
    Canvas canvas(width, static_cast<int>(height));
    if (!canvas.isValid()) return std::nullopt;
    canvas.scale(scale, scale);
    drawPage(page, layout, content, canvas, guides, {b, b});
    Bitmap bitmap = canvas.bitmap();
    if (bitmap.width == 0) return std::nullopt;
    return bitmap;
}

bool BookRenderer::printPDF(const BookLayout& layout, const BookContent& content,
                            const std::filesystem::path& destination, const PageProgress& progress) {
    const auto draw = [&](std::size_t i, Canvas& canvas, Point origin) {
        drawPage(layout.pages[i], layout, content, canvas, false, origin);
    };
    return PageFiles::printReady(destination, content.settings.title, layout.trimSize, layout.spec.bleed,
                                 layout.pages.size(), draw, progress);
}

bool BookRenderer::coverPDF(const BookLayout& layout, const BookContent& content,
                            const std::filesystem::path& destination) {
    const BookPage cover{1, CoverPage{}, {}};
    const auto draw = [&](std::size_t, Canvas& canvas, Point origin) {
        drawPage(cover, layout, content, canvas, false, origin);
    };
    return PageFiles::printReady(destination, content.settings.title + " (cover)", layout.trimSize,
                                 layout.spec.bleed, 1, draw, {});
}

bool BookRenderer::homePrintPDF(const BookLayout& layout, const BookContent& content,
                                const std::filesystem::path& destination, const PageProgress& progress) {
    std::vector<const BookPage*> kept;
    for (const auto& page : layout.pages) {
        if (!isBlank(page)) kept.push_back(&page);
    }
    const auto draw = [&](std::size_t i, Canvas& canvas, Point origin) {
        drawPage(*kept[i], layout, content, canvas, false, origin);
    };
    return PageFiles::homePrint(destination, content.settings.title, layout.trimSize, kept.size(), draw,
                                progress);
}

BookRenderer::PlacedSizes BookRenderer::placedSizes(const BookLayout& layout, const BookContent& content) {
    PlacedSizes sizes;
    const auto recordCover = [&] {
        const auto id = content.coverDrawing();
        if (!id) return;
        const auto record = content.drawings.find(*id);
        if (record == content.drawings.end()) return;
        const Rect picture = Paginator::coverPictureRect(layout.trimSize.width, layout.trimSize.height,
                                                         layout.spec.safe, record->second.aspect);
        recordLargest(*id, picture.size, sizes);
    };
    for (const auto& page : layout.pages) {
        for (const auto& slot : page.slots) recordLargest(slot.drawing, slot.image.size, sizes);
        if (std::holds_alternative<CoverPage>(page.content)) recordCover();
    }
    if (!content.settings.coverInInterior) recordCover();
    return sizes;
}

void BookRenderer::recordLargest(const UUID& id, Size size, PlacedSizes& into) {
    const auto found = into.find(id);
    if (found != into.end() && found->second.width * found->second.height >= size.width * size.height) return;
    into[id] = size;
}

double BookRenderer::targetLongSide(Size placed, Size pixelSize, double dpi) {
    const double target = std::max(placed.width, placed.height) / 72 * dpi;
    const double side = placed.width >= placed.height ? pixelSize.width : pixelSize.height;
    const double scale = std::min(side >= 1 ? target / side : target, 1.0);
    return std::round(std::max(pixelSize.width, pixelSize.height) * scale);
}

}  // namespace quillfen
