#include "engine/render/PageImage.h"

#include "engine/core/ContentHash.h"

#include <turbojpeg.h>

#include <string>

namespace quillfen {

namespace {

struct JpegHandle {
    tjhandle handle = tjInitDecompress();
    ~JpegHandle() {
        if (handle) tjDestroy(handle);
    }
};

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
    // The digest with the length names the JPEG stream for the PDF's image sharing.
    image.m_uniqueID =
        "jpeg-" + ContentHash().add(bytes.data(), bytes.size()).hex() + "-" + std::to_string(bytes.size());
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
