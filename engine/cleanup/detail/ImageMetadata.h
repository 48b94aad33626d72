#pragma once

#include <optional>
#include <span>
#include <string>

#include "engine/core/Date.h"
#include "engine/core/Geometry.h"

// Internal to the engine's image code: what the decoders need from a file's metadata, read with exiv2.
namespace quillfen::detail {

struct ImageMetadata {
    int orientation = 1;  // EXIF/TIFF orientation 1...8
    std::optional<std::string> dateTimeOriginal;
    std::optional<Size> pixelSize;  // as stored, before orientation
};

// Metadata of a JPEG, PNG or TIFF file; defaults for anything exiv2 cannot read.
ImageMetadata readMetadata(std::span<const std::uint8_t> data);
// Metadata of a bare Exif block starting at its TIFF header, as HEIF files carry it.
ImageMetadata readExifBlock(std::span<const std::uint8_t> tiff);
// An EXIF date "yyyy:MM:dd HH:mm:ss" as local time of ICU's default time zone.
std::optional<Date> parseExifDate(const std::string& text);

}  // namespace quillfen::detail
