#pragma once

#include "engine/core/Bitmap.h"

#include <QImage>

namespace quillfen {

// Conversions between the engine's pictures and Qt's. Pure; any thread.

// An opaque 8-bit RGB copy (the compact form thumbnails are held in); null for an empty bitmap.
QImage rgbImage(const Bitmap& bitmap);
// The engine's RGBA premultiplied form of any QImage; empty for a null image.
Bitmap bitmapFromImage(const QImage& image);

}  // namespace quillfen
