#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/Bitmap.h"
#include "engine/core/Date.h"
#include "engine/core/Geometry.h"

namespace quillfen {

// The image file types the application reads, recognised by content or by file name extension.
enum class ImageType { jpeg, png, tiff, heic, heif };

}  // namespace quillfen

// The photo cleanup's edge towards files and pixels: decoding upright pictures, the capture date,
// scaled renders and JPEG coding. Every function is pure and safe on any thread, any number at once;
// failure is reported by returning nothing.
namespace quillfen::Cleaner {

using Bytes = std::span<const std::uint8_t>;

// Pictures with more pixels than this are refused as unreadable, whatever their file claims.
inline constexpr double maximumPixelCount = 200'000'000;

// The type of image data by its leading bytes; nothing when it is none of the known types.
std::optional<ImageType> imageType(Bytes data);
// The type a file name extension (without the dot, any case) names; nothing for other extensions.
std::optional<ImageType> imageTypeForExtension(std::string_view extension);
// The preferred file name extension of a type: "jpeg", "png", "tiff", "heic", "heif"; "jpg" for none.
std::string fileExtension(std::optional<ImageType> type);

// The picture in image file data, standing the right way up (the file's orientation applied) and
// flattened onto white. With a maximum side, a larger picture is scaled down so that its longer
// side is at most that many pixels (JPEG files are decoded at reduced size where possible).
// Nothing for data that is not a readable image, truncated data, or more than maximumPixelCount.
std::optional<Bitmap> decode(Bytes data, std::optional<double> maximumSide = std::nullopt);
// A decoded picture for the cleanup to read directly, not yet stood upright: its pixels as stored
// and the EXIF orientation (1 to 8) that stands them upright. A plain value.
struct SourcePicture {
    Bitmap pixels;
    int orientation = 1;
};
// The picture decode gives for the same arguments as a source: JPEG files keep their stored
// orientation, for the cleanup to fold into its own turns; other formats come upright, as decode
// gives them. Nothing where decode gives nothing.
std::optional<SourcePicture> decodeSource(Bytes data, std::optional<double> maximumSide = std::nullopt);
// The upright pixel size of the picture in image file data, read from its header without decoding
// the pixels; nothing when decode would refuse the header.
std::optional<Size> imageSize(Bytes data);

// When the photo was taken: the EXIF original date and time read as local time of ICU's default
// time zone; nothing without such an entry or when it is not "yyyy:MM:dd HH:mm:ss".
std::optional<Date> photoDate(Bytes data);

// The picture rendered at most maximumSide pixels on its longer side, scaled down with Lanczos
// resampling on linear light and never enlarged; without a maximum, at its own size. Transparency
// is flattened onto white. Nothing for an empty picture or a maximum side below one pixel.
std::optional<Bitmap> downscaled(const Bitmap& image, std::optional<double> maximumSide);

// The picture as JPEG data at a quality from 0 to 1 (transparency flattened onto white).
std::optional<std::vector<std::uint8_t>> jpegData(const Bitmap& image, double quality);
// The pixels of JPEG data as stored (no orientation applied); nothing when it is not a JPEG image.
std::optional<Bitmap> imageFromJpeg(Bytes data);

}  // namespace quillfen::Cleaner
