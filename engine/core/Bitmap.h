#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/PixelStorage.h"

namespace quillfen {

// A picture in memory: 8-bit sRGB in RGBA byte order with premultiplied alpha, rows stored from the
// top row down, no padding between rows. Decoded photos are opaque; drawn thumbnails may carry alpha.
// A plain value; safe to copy across threads.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t, PixelAllocator<std::uint8_t>> pixels;  // width * height * 4 bytes

    Bitmap() = default;
    // A transparent black picture.
    Bitmap(int width, int height) : width(width), height(height), pixels(byteCount(width, height), 0) {}
    // A picture whose pixels are undefined until its maker writes every one of them.
    static Bitmap toBeFilled(int width, int height) {
        Bitmap bitmap;
        bitmap.width = width, bitmap.height = height;
        bitmap.pixels.resize(byteCount(width, height));
        return bitmap;
    }

    bool isEmpty() const { return width <= 0 || height <= 0 || pixels.empty(); }
    std::size_t stride() const { return static_cast<std::size_t>(width) * 4; }
    // The pixel at column x of row y, counted from the top.
    std::uint8_t* pixel(int x, int y) {
        return pixels.data() + static_cast<std::size_t>(y) * stride() + x * 4;
    }
    const std::uint8_t* pixel(int x, int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * stride() + x * 4;
    }

    static std::size_t byteCount(int width, int height) {
        return width > 0 && height > 0
                   ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4
                   : 0;
    }

    bool operator==(const Bitmap&) const = default;
};

}  // namespace quillfen
