#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include <libheif/heif.h>
#include <exiv2/exiv2.hpp>

#include "tests/engine/RenderingFixtures.h"

// Image files tagged by exiv2 and HEIC files made by libheif.
namespace quillfen::fixtures {

// The file with its EXIF entries changed by edit, written back by exiv2.
inline Bytes withExif(const Bytes& file, const std::function<void(Exiv2::ExifData&)>& edit) {
    auto image = Exiv2::ImageFactory::open(file.data(), static_cast<long>(file.size()));
    image->readMetadata();
    edit(image->exifData());
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.seek(0, Exiv2::BasicIo::beg);
    const Exiv2::DataBuf buffer = io.read(static_cast<long>(io.size()));
    return Bytes(buffer.pData_, buffer.pData_ + buffer.size_);
}

inline Bytes withOrientation(const Bytes& file, int orientation) {
    return withExif(file, [&](Exiv2::ExifData& exif) {
        exif["Exif.Image.Orientation"] = static_cast<std::uint16_t>(orientation);
    });
}

inline Bytes withDate(const Bytes& file, const std::string& date) {
    return withExif(file, [&](Exiv2::ExifData& exif) { exif["Exif.Photo.DateTimeOriginal"] = date; });
}

// A HEIC file of the picture made with libheif's HEVC encoder, with an optional display orientation
// (irot/imir boxes) and an optional Exif block.
inline Bytes heicOf(const Bitmap& picture, heif_orientation orientation = heif_orientation_normal,
                    const Exiv2::ExifData* exif = nullptr, int bits = 8) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    if (!encoder) throw std::runtime_error("no HEVC encoder");
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image* image = nullptr;
    heif_image_create(picture.width, picture.height, heif_colorspace_RGB,
                      bits > 8 ? heif_chroma_interleaved_RRGGBB_LE : heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, picture.width, picture.height, bits);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const std::uint8_t v = picture.pixel(x, y)[c];
                if (bits > 8) {
                    const int deep = v * ((1 << bits) - 1) / 255;  // little-endian 16-bit samples
                    plane[y * stride + x * 6 + c * 2] = static_cast<std::uint8_t>(deep & 0xFF);
                    plane[y * stride + x * 6 + c * 2 + 1] = static_cast<std::uint8_t>(deep >> 8);
                } else {
                    plane[y * stride + x * 3 + c] = v;
                }
            }
        }
    }
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = orientation;
    heif_image_handle* handle = nullptr;
    heif_context_encode_image(context, image, encoder, options, &handle);
    if (exif) {
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, *exif);
        heif_context_add_exif_metadata(context, handle, blob.data(), static_cast<int>(blob.size()));
    }
    Bytes out;
    heif_writer writer{1, [](heif_context*, const void* data, size_t size, void* sink) {
                           auto* bytes = static_cast<Bytes*>(sink);
                           const auto* p = static_cast<const std::uint8_t*>(data);
                           bytes->insert(bytes->end(), p, p + size);
                           return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
                       }};
    heif_context_write(context, &writer, &out);
    heif_encoding_options_free(options);
    heif_image_handle_release(handle);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return out;
}

}  // namespace quillfen::fixtures
