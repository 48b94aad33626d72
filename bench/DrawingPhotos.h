#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/cleanup/ImageIO.h"
#include "tests/engine/ImageFixtures.h"

// Phone photos of drawings made for the benches: a sheet lit unevenly from one side on a wooden
// table, crossed by strokes, with sensor grain; seeds vary the strokes, the light and the grain.
namespace quillfen::bench {

inline Bitmap photoOfADrawing(int width, int height, std::uint32_t seed = 0) {
    Bitmap image(width, height);
    std::uint32_t noise = 12345 + seed * 7919;
    const int period = 9 + static_cast<int>(seed % 5), slant = 300 + static_cast<int>(seed % 7) * 40;
    const int falloff = 50 + static_cast<int>(seed % 3) * 15;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525 + 1013904223;
            const int grain = static_cast<int>(noise >> 28) - 8;
            const bool sheet = x > width / 8 && x < width * 7 / 8 && y > height / 10 && y < height * 9 / 10;
            const bool stroke = sheet && ((x / 40 + y / 55 + static_cast<int>(seed)) % period == 0 ||
                                          std::abs(x - y) % slant < 6);
            int r = 120, g = 85, b = 60;  // a wooden table
            if (sheet) {
                const int light = 215 - falloff * x / width;
                r = light, g = light - 4, b = light - 14;
            }
            if (stroke)
                r = 40 + static_cast<int>(seed % 4) * 40, g = 70, b = 150 - static_cast<int>(seed % 3) * 40;
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(std::clamp(r + grain, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(g + grain, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(b + grain, 0, 255));
            p[3] = 255;
        }
    }
    return image;
}

// The picture as a phone's JPEG at quality 0.9 with that EXIF orientation written into the file
// (the pixels are stored as given).
inline std::vector<std::uint8_t> phoneJpeg(const Bitmap& picture, int orientation) {
    const auto jpeg = Cleaner::jpegData(picture, 0.9).value();
    return orientation == 1 ? jpeg : fixtures::withOrientation(jpeg, orientation);
}

}  // namespace quillfen::bench
