#include "engine/calendar/CalendarPage.h"

#include "engine/calendar/MonthGrid.h"

#include <algorithm>
#include <type_traits>
#include <variant>

namespace quillfen::CalendarRenderer {

namespace {

// A centred text block shrunk by tenths from `size` until it fits the box or is no longer above 8;
// boxes of 4 points or less in either direction stay empty.
void drawFitted(Canvas& canvas, const std::string& text, const std::string& fontName, double size,
                Color color, const Rect& box) {
    if (!(box.size.width > 4 && box.size.height > 4)) return;
    const double fitted = Text::fittedSize(text, fontName, size, box);
    canvas.drawTextBlock(text, {fontName, fitted}, color, box, BlockPlacement::centred);
}

void drawCover(const CalendarPage& page, const CalendarLayout& layout, const CalendarContent& content,
               Canvas& canvas, const Rect& T, const Rect& F, const Rect& S, double m, double dx, double dy) {
    const CalendarSettings& settings = content.settings;
    const double H = layout.trimSize.height;
    const FontSet lettering = fonts(settings.style);
    const RGB cover = rgb(settings.coverColor);
    const Color textColor = isDark(settings.coverColor) ? Color::white() : inkColor;
    canvas.setFillColor({cover.red, cover.green, cover.blue, 1});
    canvas.fillRect(F);

    const double titleBottom = T.maxY() - 0.24 * H;
    const Rect titleBox(S.minX(), titleBottom, S.width(), S.maxY() - titleBottom);
    drawFitted(canvas, settings.displayTitle(), lettering.display, 0.11 * m, textColor, titleBox);

    if (page.picture) {
        const Rect Q = page.picture->offsetBy(dx, dy);
        canvas.save();
        canvas.setShadow({0, -0.004 * m}, 0.02 * m, Color::black(0.25));
        canvas.setFillColor(Color::white());
        canvas.fillRect(Q.insetBy(-0.018 * m, -0.018 * m));
        canvas.restore();
        drawPicture(settings.pictureID(page.content), false, content, canvas, Q);
    }

    if (settings.subtitle.empty()) return;
    const Rect subtitleBox(S.minX(), S.minY(), S.width(), 0.1 * H - 0.03 * m);
    drawFitted(canvas, settings.subtitle, lettering.detail, 0.045 * m, textColor, subtitleBox);
}

}  // namespace

void drawPicture(const std::optional<UUID>& id, bool fill, const CalendarContent& content, Canvas& canvas,
                 const Rect& R) {
    const auto image = id ? content.imageOf(*id) : std::nullopt;
    if (!image || image->isEmpty()) {
        canvas.setFillColor({0.93, 0.93, 0.95, 1});
        canvas.fillRect(R);
        const Font font{"AvenirNext-Regular", std::max(0.05 * std::min(R.width(), R.height()), 8.0)};
        canvas.drawTextLine(placeholderText, font, mutedColor, TextAlignment::center, {R.midX(), R.midY()},
                            0.9 * R.width());
        return;
    }
    if (fill) {
        const double a = static_cast<double>(image->width()) / image->height();
        double w = R.width(), h = w / a;
        if (R.height() > h) {
            h = R.height();
            w = a * h;
        }
        canvas.save();
        canvas.clipToRect(R);
        canvas.setInterpolationQuality(InterpolationQuality::high);
        canvas.drawImage(*image, {R.midX() - w / 2, R.midY() - h / 2, w, h});
        canvas.restore();
        return;
    }
    const double k = std::min(R.width(), R.height());
    canvas.save();
    canvas.setShadow({0, -0.004 * k}, 0.018 * k, Color::black(0.16));
    canvas.setFillColor(Color::white());
    canvas.fillRect(R);
    canvas.restore();
    canvas.save();
    canvas.setInterpolationQuality(InterpolationQuality::high);
    canvas.drawImage(*image, R);
    canvas.restore();
}

void drawPage(const CalendarPage& page, const CalendarLayout& layout, const CalendarContent& content,
              Canvas& canvas, double dx, double dy, bool guides) {
    const CalendarSettings& settings = content.settings;
    const double W = layout.trimSize.width, H = layout.trimSize.height;
    const double b = layout.spec.bleed, s = layout.spec.safe;
    const Rect T(dx, dy, W, H);
    const Rect F(dx - b, dy - b, W + 2 * b, H + 2 * b);
    const Rect S(dx + s, dy + s, W - 2 * s, H - 2 * s);
    const double m = std::min(W, H);

    canvas.save();
    canvas.setFillColor(Color::white());
    canvas.fillRect(F);

    const auto picture = [&] {
        if (!page.picture) return;
        drawPicture(settings.pictureID(page.content), settings.fillPicture, content, canvas,
                    page.picture->offsetBy(dx, dy));
    };
    const auto grid = [&](int month, bool compact) {
        if (page.grid) drawMonthGrid(month, content, compact, canvas, page.grid->offsetBy(dx, dy));
    };
    std::visit(
        [&](const auto& kind) {
            using Kind = std::decay_t<decltype(kind)>;
            if constexpr (std::is_same_v<Kind, CalendarPicturePage>) {
                picture();
            } else if constexpr (std::is_same_v<Kind, CalendarGridPage>) {
                grid(kind.month, false);
            } else if constexpr (std::is_same_v<Kind, CalendarMonthPage>) {
                picture();
                grid(kind.month, isDesk(settings.format));
            } else {
                drawCover(page, layout, content, canvas, T, F, S, m, dx, dy);
            }
        },
        page.content);

    if (guides) {
        canvas.setLineWidth(std::max(0.0015 * m, 0.5));
        canvas.setLineDash({0.01 * m, 0.007 * m}, 0);
        if (b > 0) {
            canvas.setStrokeColor({0.9, 0.2, 0.2, 0.8});
            canvas.strokeRect(T);
        }
        canvas.setStrokeColor({0.2, 0.45, 0.95, 0.7});
        canvas.strokeRect(S);
        canvas.setLineDash({});
    }
    canvas.restore();
}

}  // namespace quillfen::CalendarRenderer
