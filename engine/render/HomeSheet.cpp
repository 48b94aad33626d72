#include "engine/render/HomeSheet.h"

namespace quillfen {

namespace {

// The largest rectangle of the aspect centred in the area, unrounded.
Rect fitted(double aspect, const Rect& area) {
    double width = area.width();
    double height = width / aspect;
    if (height > area.height()) {
        height = area.height();
        width = aspect * height;
    }
    return {area.midX() - width / 2, area.midY() - height / 2, width, height};
}

}  // namespace

BookRenderer::HomeSheet BookRenderer::homeSheet(double trimWidth, double trimHeight) {
    double aspect = trimWidth / trimHeight;
    if (!(aspect > 0)) aspect = 1;
    const Size portrait = letter;
    const Size landscape{letter.height, letter.width};
    const auto place = [&](Size sheet) {
        const Rect area(homeMargin, homeMargin, sheet.width - 2 * homeMargin, sheet.height - 2 * homeMargin);
        return HomeSheet{sheet, fitted(aspect, area)};
    };
    const HomeSheet upright = place(portrait);
    const HomeSheet sideways = place(landscape);
    return upright.page.width() >= sideways.page.width() ? upright : sideways;
}

}  // namespace quillfen
