#include "engine/book/AboutPage.h"
#include "engine/book/BookCover.h"
#include "engine/book/BookRenderer.h"
#include "engine/book/Caption.h"
#include "engine/book/SlotGeometry.h"
#include "engine/core/TextTrimming.h"

#include <algorithm>
#include <string>

namespace quillfen {

namespace {

constexpr Color placeholderColor{0.93, 0.93, 0.94, 1};
constexpr Color trimGuideColor{0.9, 0.2, 0.2, 0.8};
constexpr Color safeGuideColor{0.2, 0.45, 0.95, 0.7};

// The rectangles of one page drawn with its trim at an origin.
struct PageFrame {
    Rect trim;
    Rect bleed;
    Rect safe;  // null when the safe margin leaves no room
    double m;   // the shorter trim side
};

PageFrame frameOf(const BookLayout& layout, Point origin) {
    const Rect trim(origin.x, origin.y, layout.trimSize.width, layout.trimSize.height);
    const double b = layout.spec.bleed, s = layout.spec.safe;
    return {trim, trim.insetBy(-b, -b), trim.insetBy(s, s),
            std::min(layout.trimSize.width, layout.trimSize.height)};
}

// A centred block of text in an area of the safe rectangle; areas of 4 points or less stay empty.
void drawBlock(Canvas& canvas, const std::string& text, const Font& font, const Rect& area) {
    if (!(area.size.width > 4 && area.size.height > 4)) return;
    canvas.drawTextBlock(text, font, BookRenderer::inkColor, area, BlockPlacement::centred);
}

void drawDrawings(const BookPage& page, const BookContent& content, const FontSet& lettering, Canvas& canvas,
                  const PageFrame& frame, Point origin) {
    const auto metrics = CaptionMetrics::forPage(content.settings, static_cast<int>(page.slots.size()),
                                                 frame.trim.width(), frame.trim.height());
    const double t = metrics.titleSize, d = metrics.detailSize;
    for (const Slot& slot : page.slots) {
        const auto record = content.drawings.find(slot.drawing);
        if (record == content.drawings.end()) continue;
        const DrawingInfo& drawing = record->second;
        const Rect I = slot.image.offsetBy(origin.x, origin.y);
        const double k = std::min(I.width(), I.height());
        const auto image = content.imageOf(drawing.id);

        canvas.save();
        canvas.setShadow({0, -0.004 * k}, 0.018 * k, Color::black(0.16));
        canvas.setFillColor(Color::white());
        canvas.fillRect(I);
        canvas.restore();
        if (image) {
            canvas.setInterpolationQuality(InterpolationQuality::high);
            canvas.drawImage(*image, I);
        } else {
            canvas.setFillColor(placeholderColor);
            canvas.fillRect(I);
        }

        if (content.settings.caption == CaptionStyle::none) continue;
        const Rect C = slot.caption.offsetBy(origin.x, origin.y);
        const double top = C.maxY();
        double detailBaseline = top - 1.6 * d;
        if (!drawing.title.empty()) {
            const double titleBaseline = top - 1.45 * t;
            canvas.drawTextLine(drawing.title, {lettering.title, t}, BookRenderer::inkColor,
                                TextAlignment::center, {C.midX(), titleBaseline}, C.width());
            detailBaseline = titleBaseline - 1.4 * d;
        }
        const auto child = content.child(drawing.childID);
        const std::string detail = Caption::lines(drawing, child ? &*child : nullptr, content.settings);
        if (detail.empty()) continue;
        canvas.drawTextLine(detail, {lettering.detail, d}, BookRenderer::mutedColor, TextAlignment::center,
                            {C.midX(), detailBaseline}, C.width());
    }
}

void drawGuides(const BookLayout& layout, Canvas& canvas, const PageFrame& frame) {
    canvas.setLineWidth(std::max(0.0015 * frame.m, 0.5));
    canvas.setLineDash({0.01 * frame.m, 0.007 * frame.m}, 0);
    if (layout.spec.bleed > 0) {
        canvas.setStrokeColor(trimGuideColor);
        canvas.strokeRect(frame.trim);
    }
    if (!frame.safe.isNull()) {
        canvas.setStrokeColor(safeGuideColor);
        canvas.strokeRect(frame.safe);
    }
    canvas.setLineDash({});
}

}  // namespace

void BookRenderer::drawPage(const BookPage& page, const BookLayout& layout, const BookContent& content,
                            Canvas& canvas, bool guides, Point origin) {
    const PageFrame frame = frameOf(layout, origin);
    const Rect& S = frame.safe;
    canvas.save();
    canvas.setFillColor(Color::white());
    canvas.fillRect(frame.bleed);
    const FontSet lettering = fonts(content.settings.caption);

    if (const auto* about = std::get_if<AboutPage>(&page.content)) {
        const auto child = content.child(about->child);
        if (child && !S.isNull()) drawAboutPage(*child, content, lettering, canvas, S, frame.m);
    } else if (std::holds_alternative<DrawingsPage>(page.content)) {
        drawDrawings(page, content, lettering, canvas, frame, origin);
    } else if (std::holds_alternative<CoverPage>(page.content)) {
        drawCover(content, layout, canvas, frame.trim, frame.bleed);
    } else if (std::holds_alternative<DedicationPage>(page.content)) {
        drawBlock(canvas, content.settings.dedication, {lettering.title, 0.05 * frame.m},
                  S.insetBy(0.1 * S.width(), 0.2 * S.height()));
    } else if (std::holds_alternative<BackPage>(page.content)) {
        const std::string closing = trimmingWhitespaceAndNewlines(content.settings.closing);
        if (!closing.empty()) {
            drawBlock(canvas, closing, {lettering.title, 0.04 * frame.m},
                      S.insetBy(0.1 * S.width(), 0.25 * S.height()));
        }
    }

    if (guides) drawGuides(layout, canvas, frame);
    canvas.restore();
}

}  // namespace quillfen
