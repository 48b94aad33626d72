#include "engine/cleanup/detail/ImageMetadata.h"

#include <memory>
#include <mutex>

#include <unicode/locid.h>
#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>
#include <exiv2/exiv2.hpp>

namespace quillfen::detail {

namespace {

// exiv2 keeps process-wide state: its XMP toolkit must be set up once before threads use it, and
// its log must stay silent.
void prepareExiv2() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

ImageMetadata metadataOf(const Exiv2::ExifData& exif) {
    ImageMetadata metadata;
    const auto orientation = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (orientation != exif.end() && orientation->count() > 0) {
        const long value = orientation->toLong();
        if (value >= 1 && value <= 8) metadata.orientation = static_cast<int>(value);
    }
    const auto date = exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
    if (date != exif.end() && date->typeId() == Exiv2::asciiString) {
        std::string text = date->toString();
        while (!text.empty() && text.back() == '\0') text.pop_back();
        metadata.dateTimeOriginal = text;
    }
    return metadata;
}

}  // namespace

ImageMetadata readMetadata(std::span<const std::uint8_t> data) {
    prepareExiv2();
    try {
        auto image = Exiv2::ImageFactory::open(data.data(), static_cast<long>(data.size()));
        if (image.get() == nullptr) return {};
        image->readMetadata();
        ImageMetadata metadata = metadataOf(image->exifData());
        if (image->pixelWidth() > 0 && image->pixelHeight() > 0) {
            metadata.pixelSize =
                Size{static_cast<double>(image->pixelWidth()), static_cast<double>(image->pixelHeight())};
        }
        return metadata;
    } catch (...) {
        return {};
    }
}

ImageMetadata readExifBlock(std::span<const std::uint8_t> tiff) {
    prepareExiv2();
    try {
        Exiv2::ExifData exif;
        if (Exiv2::ExifParser::decode(exif, tiff.data(), static_cast<uint32_t>(tiff.size())) ==
            Exiv2::invalidByteOrder) {
            return {};
        }
        return metadataOf(exif);
    } catch (...) {
        return {};
    }
}

std::optional<Date> parseExifDate(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(icu::UnicodeString("yyyy:MM:dd HH:mm:ss"), icu::Locale("en_US_POSIX"),
                                 status);
    if (U_FAILURE(status)) return std::nullopt;
    format.setLenient(false);
    const icu::UnicodeString input = icu::UnicodeString::fromUTF8(text);
    icu::ParsePosition position(0);
    const UDate parsed = format.parse(input, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != input.length()) return std::nullopt;
    return Date::fromIcuMilliseconds(parsed);
}

}  // namespace quillfen::detail
