#pragma once

#include "engine/core/Bitmap.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// A picture as a page draws it: decoded pixels, or JPEG bytes that a PDF embeds unchanged (the same
// bytes drawn twice become one image object in the file). Immutable and cheap to copy; safe to share
// across threads.
class PageImage {
public:
    static PageImage fromBitmap(Bitmap bitmap);
    // Nothing when the bytes do not start with a JPEG header that gives a positive size.
    static std::optional<PageImage> fromJpeg(std::vector<std::uint8_t> bytes);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isEmpty() const { return m_width <= 0 || m_height <= 0; }
    bool isJpeg() const { return m_jpeg != nullptr; }

    // The decoded pixels: the bitmap itself, or the JPEG decoded (nothing when it does not decode).
    std::optional<Bitmap> decoded() const;
    // Shared so that a PDF can keep the bytes alive while it writes them.
    const std::shared_ptr<const Bitmap>& bitmap() const { return m_bitmap; }
    const std::shared_ptr<const std::vector<std::uint8_t>>& jpeg() const { return m_jpeg; }
    // Names the JPEG bytes: equal bytes give equal identifiers. Empty for a bitmap.
    const std::string& uniqueID() const { return m_uniqueID; }

private:
    int m_width = 0;
    int m_height = 0;
    std::shared_ptr<const Bitmap> m_bitmap;
    std::shared_ptr<const std::vector<std::uint8_t>> m_jpeg;
    std::string m_uniqueID;
};

}  // namespace quillfen
