#include "engine/render/PageImage.h"

#include <turbojpeg.h>

#include <cstdio>
#include <string_view>

namespace quillfen {

namespace {

struct JpegHandle {
    tjhandle handle = tjInitDecompress();
    ~JpegHandle() {
        if (handle) tjDestroy(handle);
    }
};

// FNV-1a over the bytes; with the length it names a JPEG stream for the PDF's image sharing.
std::uint64_t fingerprint(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return hash;
}

}  // namespace

PageImage PageImage::fromBitmap(Bitmap bitmap) {
    PageImage image;
    if (bitmap.isEmpty() || bitmap.pixels.size() != Bitmap::byteCount(bitmap.width, bitmap.height)) {
        return image;
    }
    image.m_width = bitmap.width;
    image.m_height = bitmap.height;
    image.m_bitmap = std::make_shared<const Bitmap>(std::move(bitmap));
    return image;
}

std::optional<PageImage> PageImage::fromJpeg(std::vector<std::uint8_t> bytes) {
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) return std::nullopt;
    JpegHandle decoder;
    if (!decoder.handle) return std::nullopt;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(decoder.handle, bytes.data(), static_cast<unsigned long>(bytes.size()), &width,
                            &height, &subsampling, &colorspace) != 0 ||
        width <= 0 || height <= 0) {
        return std::nullopt;
    }
    PageImage image;
    image.m_width = width;
    image.m_height = height;
    char id[64];
    std::snprintf(id, sizeof id, "jpeg-%016llx-%zu", static_cast<unsigned long long>(fingerprint(bytes)),
                  bytes.size());
    image.m_uniqueID = id;
    image.m_jpeg = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    return image;
}

std::optional<Bitmap> PageImage::decoded() const {
    if (m_bitmap) return *m_bitmap;
    if (!m_jpeg) return std::nullopt;
    JpegHandle decoder;
    if (!decoder.handle) return std::nullopt;
    Bitmap bitmap(m_width, m_height);
    if (tjDecompress2(decoder.handle, m_jpeg->data(), static_cast<unsigned long>(m_jpeg->size()),
                      bitmap.pixels.data(), m_width, static_cast<int>(bitmap.stride()), m_height, TJPF_RGBA,
                      0) != 0 &&
        tjGetErrorCode(decoder.handle) == TJERR_FATAL) {
        return std::nullopt;
    }
    return bitmap;
}

}  // namespace quillfen
