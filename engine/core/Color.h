#pragma once

namespace quillfen {

// A colour as sRGB components from 0 to 1 with an alpha, not premultiplied. A plain value.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static constexpr Color white() { return {1, 1, 1, 1}; }
    static constexpr Color black(double alpha = 1) { return {0, 0, 0, alpha}; }

    bool operator==(const Color&) const = default;
};

}  // namespace quillfen
