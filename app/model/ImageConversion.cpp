#include "app/model/ImageConversion.h"

#include <cstring>

namespace quillfen {

QImage rgbImage(const Bitmap& bitmap) {
    if (bitmap.isEmpty()) return {};
    // The bitmap is premultiplied: drawing it over white keeps transparent parts white.
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB888);
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* in = bitmap.pixel(0, y);
        uchar* out = image.scanLine(y);
        for (int x = 0; x < bitmap.width; ++x, in += 4, out += 3) {
            const int transparent = 255 - in[3];
            out[0] = static_cast<uchar>(in[0] + transparent);
            out[1] = static_cast<uchar>(in[1] + transparent);
            out[2] = static_cast<uchar>(in[2] + transparent);
        }
    }
    return image;
}

Bitmap bitmapFromImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    Bitmap bitmap(rgba.width(), rgba.height());
    for (int y = 0; y < rgba.height(); ++y) {
        std::memcpy(bitmap.pixel(0, y), rgba.constScanLine(y), bitmap.stride());
    }
    return bitmap;
}

}  // namespace quillfen
