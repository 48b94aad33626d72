#pragma once

#include "engine/core/Bitmap.h"
#include "engine/core/UUID.h"

#include <turbojpeg.h>

#include <array>
#include <cstdint>
#include <vector>

namespace quillfen::fixtures {

// An identifier that is all zeros but its last byte.
inline UUID idNumber(std::uint8_t n) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[15] = n;
    return UUID(bytes);
}

// An opaque picture with a diagonal colour ramp, so that every region differs.
inline Bitmap rampBitmap(int width, int height) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = bitmap.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 255 / std::max(width - 1, 1));
            p[1] = static_cast<std::uint8_t>(y * 255 / std::max(height - 1, 1));
            p[2] = static_cast<std::uint8_t>((x + y) % 256);
            p[3] = 255;
        }
    }
    return bitmap;
}

// The picture compressed as a real JPEG file.
inline std::vector<std::uint8_t> jpegBytes(const Bitmap& bitmap, int quality = 90) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, bitmap.pixels.data(), bitmap.width, static_cast<int>(bitmap.stride()), bitmap.height,
                TJPF_RGBA, &out, &size, TJSAMP_420, quality, 0);
    std::vector<std::uint8_t> bytes(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return bytes;
}

}  // namespace quillfen::fixtures
