#pragma once

#include "engine/core/Bitmap.h"
#include "engine/core/Geometry.h"
#include "engine/core/UUID.h"

#include <turbojpeg.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

// Pictures made in the tests, their pixels read back, and real JPEG files of them.
namespace quillfen::fixtures {

using Bytes = std::vector<std::uint8_t>;

// An identifier that is all zeros but its last byte.
inline UUID idNumber(std::uint8_t n) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[15] = n;
    return UUID(bytes);
}

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};

// The pixel at (x, y), rows counted from the top.
inline Rgb rgbAt(const Bitmap& image, int x, int y) {
    const std::uint8_t* p = image.pixel(x, y);
    return Rgb{p[0], p[1], p[2]};
}

inline Size sizeOf(const Bitmap& image) {
    return Size{static_cast<double>(image.width), static_cast<double>(image.height)};
}

inline bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// An opaque picture with each pixel's colour given by `colour`.
inline Bitmap filled(int width, int height, const std::function<Rgb(int x, int y)>& colour) {
    Bitmap image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            std::uint8_t* p = image.pixel(x, y);
            p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
        }
    }
    return image;
}

// Top-left red, top-right green, bottom-left blue, bottom-right white.
inline Bitmap quadrants(int width, int height) {
    return filled(width, height, [=](int x, int y) {
        const bool right = x >= width / 2, bottom = y >= height / 2;
        return bottom ? (right ? white : blue) : (right ? green : red);
    });
}

// A diagonal colour ramp, black at the top-left, so that every region differs.
inline Bitmap rampBitmap(int width, int height) {
    return filled(width, height, [=](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1)),
                   static_cast<std::uint8_t>(y * 255 / std::max(height - 1, 1)),
                   static_cast<std::uint8_t>((x + y) % 256)};
    });
}

// The picture compressed as a real JPEG file by libjpeg-turbo.
inline Bytes jpegBytes(const Bitmap& bitmap, int quality = 90) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, bitmap.pixels.data(), bitmap.width, static_cast<int>(bitmap.stride()), bitmap.height,
                TJPF_RGBA, &out, &size, TJSAMP_420, quality, 0);
    Bytes bytes(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return bytes;
}

}  // namespace quillfen::fixtures
