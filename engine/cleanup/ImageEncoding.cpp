#include <algorithm>
#include <cmath>

#include <turbojpeg.h>

#include "engine/cleanup/ImageIO.h"
#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/Resampling.h"

namespace quillfen::Cleaner {

namespace {

bool isOpaque(const Bitmap& image) {
    return detail::allOpaque(image.pixels.data(), image.pixels.size() / 4);
}

bool isWellFormed(const Bitmap& image) {
    return !image.isEmpty() && image.pixels.size() == Bitmap::byteCount(image.width, image.height);
}

Bitmap flattened(const Bitmap& image) {
    return isOpaque(image) ? image : detail::bitmapOfLinear(detail::linearOfBitmap(image));
}

}  // namespace

std::optional<Bitmap> downscaled(const Bitmap& image, std::optional<double> maximumSide) {
    if (!isWellFormed(image)) return std::nullopt;
    if (maximumSide && !(*maximumSide >= 1)) return std::nullopt;
    const double longSide = std::max(image.width, image.height);
    try {
        if (!maximumSide || longSide <= *maximumSide) return flattened(image);
        const double scale = *maximumSide / longSide;
        const int width = std::max(1, detail::outwardPixels(image.width * scale));
        const int height = std::max(1, detail::outwardPixels(image.height * scale));
        Bitmap out = Bitmap::toBeFilled(width, height);
        cv::Mat rgba(height, width, CV_8UC4, out.pixels.data());
        detail::resizeInto(
            detail::rowsOfBitmap(image), cv::Size(image.width, image.height),
            [&] { return detail::linearOfBitmap(image); }, rgba);
        return out;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::vector<std::uint8_t>> jpegData(const Bitmap& image, double quality) {
    if (!isWellFormed(image) || std::isnan(quality)) return std::nullopt;
    // An opaque picture is coded as it is, without a copy.
    std::optional<Bitmap> flat;
    if (!isOpaque(image)) flat = detail::bitmapOfLinear(detail::linearOfBitmap(image));
    const Bitmap& opaque = flat ? *flat : image;
    tjhandle handle = tjInitCompress();
    if (!handle) return std::nullopt;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int level = static_cast<int>(std::clamp(std::lround(quality * 100), 1L, 100L));
    const int failed =
        tjCompress2(handle, opaque.pixels.data(), opaque.width, static_cast<int>(opaque.stride()),
                    opaque.height, TJPF_RGBX, &buffer, &size, TJSAMP_420, level, 0);
    std::optional<std::vector<std::uint8_t>> out;
    if (failed == 0 && buffer) out.emplace(buffer, buffer + size);
    tjFree(buffer);
    tjDestroy(handle);
    return out;
}

}  // namespace quillfen::Cleaner
