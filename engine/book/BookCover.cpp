#include "engine/book/BookCover.h"

#include "engine/book/SlotGeometry.h"

#include <algorithm>
#include <string>

namespace quillfen {

namespace {

// Text centred in a band, shrunk by tenths from `size` until it fits or is no longer above 8; bands of
// 4 points or less in either direction stay empty.
void drawFitted(Canvas& canvas, const std::string& text, const std::string& fontName, double size,
                Color color, const Rect& band) {
    if (!(band.size.width > 4 && band.size.height > 4)) return;  // raw sizes: a negative band is empty
    const double fitted = Text::fittedSize(text, fontName, size, band);
    canvas.drawTextBlock(text, {fontName, fitted}, color, band, BlockPlacement::centred);
}

}  // namespace

Color BookRenderer::coverTextColor(CoverColor color) {
    return isDark(color) ? Color::white() : Color{0.14, 0.14, 0.17, 1};
}

void BookRenderer::drawCover(const BookContent& content, const BookLayout& layout, Canvas& canvas,
                             const Rect& trim, const Rect& bleed) {
    const BookSettings& settings = content.settings;
    const double W = layout.trimSize.width, H = layout.trimSize.height, s = layout.spec.safe;
    const Rect T = trim.standardized();
    const Rect S = T.insetBy(s, s);
    const double m = std::min(T.width(), T.height());
    const FontSet lettering = fonts(settings.caption);
    const Color textColor = coverTextColor(settings.coverColor);

    const RGB fill = rgb(settings.coverColor);
    canvas.setFillColor({fill.red, fill.green, fill.blue, 1});
    canvas.fillRect(bleed);

    if (!S.isNull()) {
        const double titleBottom = T.maxY() - 0.24 * H;
        const Rect titleBand(S.minX(), titleBottom, S.width(), S.maxY() - titleBottom);
        const std::string title = settings.title.empty() ? std::string(" ") : settings.title;
        drawFitted(canvas, title, lettering.display, 0.085 * m, textColor, titleBand);
    }

    if (const auto id = content.coverDrawing()) {
        const auto record = content.drawings.find(*id);
        const Rect P =
            Paginator::coverPictureRect(W, H, s, record->second.aspect).offsetBy(T.minX(), T.minY());
        if (!P.isEmpty()) {  // no room inside the safe margin: no mat either
            const Rect mat = P.insetBy(-0.018 * m, -0.018 * m);
            canvas.save();
            canvas.setShadow({0, -0.004 * m}, 0.02 * m, Color::black(0.25));
            canvas.setFillColor(Color::white());
            canvas.fillRect(mat);
            canvas.restore();
            if (const auto image = content.imageOf(*id)) canvas.drawImage(*image, P);
        }
    }

    if (settings.subtitle.empty() || S.isNull()) return;
    const Rect subtitleBand(S.minX(), S.minY(), S.width(), 0.1 * H - 0.03 * m);
    drawFitted(canvas, settings.subtitle, lettering.detail, 0.038 * m, textColor, subtitleBand);
}

}  // namespace quillfen
