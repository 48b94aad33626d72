#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include <libheif/heif.h>
#include <turbojpeg.h>
#include <opencv2/core/utility.hpp>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "engine/cleanup/ImageIO.h"
#include "engine/cleanup/detail/HeifItems.h"
#include "engine/cleanup/detail/ImageMetadata.h"
#include "engine/cleanup/detail/LargeMats.h"
#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/Orientation.h"
#include "engine/cleanup/detail/Resampling.h"

namespace quillfen::Cleaner {

namespace {

using detail::ImageMetadata;

// Pixels as a decoder delivered them, before orientation and scaling.
struct Decoded {
    cv::Mat rgb;     // CV_8UC3, or CV_8UC4 with every alpha 255; flattened onto white
    Bitmap storage;  // the Bitmap whose pixels rgb's rows are, when they are one's
    int orientation = 1;
    Size storedSize;  // the full stored size, before any reduced-size decoding
};

bool withinLimits(double width, double height) {
    return width >= 1 && height >= 1 && width * height <= maximumPixelCount;
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

bool startsWith(Bytes data, std::initializer_list<std::uint8_t> prefix) {
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

std::optional<ImageType> typeOfBrand(std::string_view brand) {
    static constexpr std::array<std::string_view, 8> heic{"heic", "heix", "heim", "heis",
                                                          "hevc", "hevx", "hevm", "hevs"};
    static constexpr std::array<std::string_view, 4> heif{"mif1", "msf1", "mif2", "heif"};
    if (std::find(heic.begin(), heic.end(), brand) != heic.end()) return ImageType::heic;
    if (std::find(heif.begin(), heif.end(), brand) != heif.end()) return ImageType::heif;
    return std::nullopt;
}

// ISO base media files name their kind in the leading "ftyp" box: a major brand, then compatible ones.
std::optional<ImageType> typeOfFtyp(Bytes data) {
    if (data.size() < 12 || std::memcmp(data.data() + 4, "ftyp", 4) != 0) return std::nullopt;
    const std::size_t boxSize = std::min<std::size_t>(bigEndian32(data.data()), data.size());
    const auto brandAt = [&](std::size_t offset) {
        return std::string_view(reinterpret_cast<const char*>(data.data()) + offset, 4);
    };
    std::optional<ImageType> type = typeOfBrand(brandAt(8));
    if (type != ImageType::heif) return type;
    for (std::size_t offset = 16; offset + 4 <= boxSize; offset += 4) {
        if (typeOfBrand(brandAt(offset)) == ImageType::heic) return ImageType::heic;
    }
    return type;
}

void silenceOpenCv() {
    static std::once_flag once;
    std::call_once(once, [] { cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT); });
}

// ---- JPEG, with libjpeg-turbo

struct TurboHandle {
    tjhandle handle;
    explicit TurboHandle(tjhandle h) : handle(h) {}
    ~TurboHandle() {
        if (handle) tjDestroy(handle);
    }
    TurboHandle(const TurboHandle&) = delete;
    TurboHandle& operator=(const TurboHandle&) = delete;
};

struct JpegHeader {
    int width = 0;
    int height = 0;
    int colorspace = TJCS_RGB;
};

// Whether the frame is arithmetic-coded (SOF9 to SOF15), which can hold a flat picture in far
// less than a bit per block; the markers before the frame header are walked by their lengths.
bool arithmeticCoded(Bytes data) {
    std::size_t at = 2;
    while (at + 4 <= data.size() && data[at] == 0xFF) {
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;  // fill byte
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker >= 0xC9;
        if (marker == 0xDA) return false;
        at += 2 + (std::size_t{data[at + 2]} << 8 | data[at + 3]);
    }
    return false;
}

// Huffman coding spends at least one bit on every 8 x 8 block of the full-resolution component,
// so a file shorter than that cannot hold the picture its header claims.
bool canHoldPicture(Bytes data, const JpegHeader& header) {
    const double blocks = std::ceil(header.width / 8.0) * std::ceil(header.height / 8.0);
    return static_cast<double>(data.size()) * 8 >= blocks || arithmeticCoded(data);
}

std::optional<JpegHeader> jpegHeader(tjhandle handle, Bytes data) {
    JpegHeader header;
    int subsampling = 0;
    if (tjDecompressHeader3(handle, data.data(), static_cast<unsigned long>(data.size()), &header.width,
                            &header.height, &subsampling, &header.colorspace) != 0) {
        return std::nullopt;
    }
    if (!withinLimits(header.width, header.height) || !canHoldPicture(data, header)) return std::nullopt;
    return header;
}

// libjpeg-turbo reports missing data as "Premature end of JPEG file" when the file stops early and
// as "premature end of data segment" when a marker comes before the scan data is complete.
bool dataMissing(tjhandle handle) {
    std::string message = tjGetErrorStr2(handle);
    std::transform(message.begin(), message.end(), message.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return message.find("premature end") != std::string::npos;
}

// The smallest DCT scaling whose long side still reaches the wanted side.
tjscalingfactor jpegScale(const JpegHeader& header, std::optional<double> wantedSide) {
    tjscalingfactor best{1, 1};
    if (!wantedSide) return best;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    const int longSide = std::max(header.width, header.height);
    int bestSide = longSide;
    for (int i = 0; i < count; ++i) {
        const tjscalingfactor f = factors[i];
        if (f.num > f.denom) continue;
        const int side = TJSCALED(longSide, f);
        if (side >= *wantedSide && side < bestSide) best = f, bestSide = side;
    }
    return best;
}

// Adobe's CMYK JPEGs store inverted inks: each colour is the ink times the black, both as stored.
cv::Mat rgbOfInvertedCmyk(const cv::Mat& cmyk) {
    cv::Mat rgb(cmyk.rows, cmyk.cols, CV_8UC3);
    for (int y = 0; y < cmyk.rows; ++y) {
        const auto* in = cmyk.ptr<std::uint8_t>(y);
        auto* out = rgb.ptr<std::uint8_t>(y);
        for (int x = 0; x < cmyk.cols; ++x, in += 4, out += 3) {
            for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((in[c] * in[3] + 127) / 255);
        }
    }
    return rgb;
}

std::optional<Decoded> decodeJpeg(Bytes data, std::optional<double> wantedSide) {
    TurboHandle turbo(tjInitDecompress());
    if (!turbo.handle) return std::nullopt;
    const auto header = jpegHeader(turbo.handle, data);
    if (!header) return std::nullopt;
    const tjscalingfactor scale = jpegScale(*header, wantedSide);
    const int width = TJSCALED(header->width, scale);
    const int height = TJSCALED(header->height, scale);
    const bool cmyk = header->colorspace == TJCS_CMYK || header->colorspace == TJCS_YCCK;
    // RGBX fills the fourth byte with 255, so the rows are an opaque Bitmap's as they are.
    Bitmap storage = cmyk ? Bitmap() : Bitmap::toBeFilled(width, height);
    cv::Mat pixels = cmyk ? detail::largeMat(height, width, CV_8UC4)
                          : cv::Mat(height, width, CV_8UC4, storage.pixels.data());
    if (tjDecompress2(turbo.handle, data.data(), static_cast<unsigned long>(data.size()), pixels.data, width,
                      static_cast<int>(pixels.step), height, cmyk ? TJPF_CMYK : TJPF_RGBX,
                      TJFLAG_LIMITSCANS) != 0) {
        // Recoverable oddities of real cameras pass; missing data does not.
        if (tjGetErrorCode(turbo.handle) != TJERR_WARNING) return std::nullopt;
        if (dataMissing(turbo.handle)) return std::nullopt;
    }
    Decoded decoded;
    decoded.rgb = cmyk ? rgbOfInvertedCmyk(pixels) : pixels;
    decoded.storage = std::move(storage);
    decoded.storedSize = Size{static_cast<double>(header->width), static_cast<double>(header->height)};
    return decoded;
}

// ---- PNG and TIFF, with OpenCV

std::optional<Size> pngSize(Bytes data) {
    if (data.size() < 24 || std::memcmp(data.data() + 12, "IHDR", 4) != 0) return std::nullopt;
    return Size{static_cast<double>(bigEndian32(data.data() + 16)),
                static_cast<double>(bigEndian32(data.data() + 20))};
}

std::optional<Size> storedSizeOfRaster(ImageType type, Bytes data, const ImageMetadata& metadata) {
    const auto size = type == ImageType::png ? pngSize(data) : metadata.pixelSize;
    if (!size || !withinLimits(size->width, size->height)) return std::nullopt;
    return size;
}

cv::Mat eightBit(const cv::Mat& image) {
    switch (image.depth()) {
        case CV_8U:
            return image;
        case CV_16U: {
            cv::Mat out;
            image.convertTo(out, CV_8U, 1 / 257.0);
            return out;
        }
        case CV_32F: {
            cv::Mat out;
            image.convertTo(out, CV_8U, 255);
            return out;
        }
        default:
            return {};
    }
}

cv::Mat rgbOfOpenCv(const cv::Mat& image) {
    const cv::Mat bytes = eightBit(image);
    if (bytes.empty()) return {};
    cv::Mat out;
    switch (bytes.channels()) {
        case 1:
            cv::cvtColor(bytes, out, cv::COLOR_GRAY2RGB);
            return out;
        case 2: {
            cv::Mat planes[2];
            cv::split(bytes, planes);
            cv::Mat rgba;
            cv::merge(std::vector<cv::Mat>{planes[0], planes[0], planes[0], planes[1]}, rgba);
            return detail::rgbFlattened(rgba);
        }
        case 3:
            cv::cvtColor(bytes, out, cv::COLOR_BGR2RGB);
            return out;
        case 4:
            cv::cvtColor(bytes, out, cv::COLOR_BGRA2RGBA);
            return detail::rgbFlattened(out);
        default:
            return {};
    }
}

std::optional<Decoded> decodeRaster(ImageType type, Bytes data) {
    silenceOpenCv();
    const ImageMetadata metadata = detail::readMetadata(data);
    const auto size = storedSizeOfRaster(type, data, metadata);
    if (!size) return std::nullopt;
    cv::Mat image;
    try {
        const cv::Mat buffer(1, static_cast<int>(data.size()), CV_8U, const_cast<std::uint8_t*>(data.data()));
        image = cv::imdecode(buffer, cv::IMREAD_UNCHANGED);
    } catch (...) {
        return std::nullopt;
    }
    if (image.empty() || !withinLimits(image.cols, image.rows)) return std::nullopt;
    Decoded decoded;
    decoded.rgb = rgbOfOpenCv(image);
    if (decoded.rgb.empty()) return std::nullopt;
    // OpenCV's TIFF reader turns the picture by its orientation tag itself; PNG's stays to do.
    decoded.orientation = type == ImageType::tiff ? 1 : metadata.orientation;
    decoded.storedSize = Size{static_cast<double>(image.cols), static_cast<double>(image.rows)};
    return decoded;
}

// ---- HEIC and HEIF, with libheif (which turns the picture upright itself)

struct HeifFile {
    std::unique_ptr<heif_context, decltype(&heif_context_free)> context{heif_context_alloc(),
                                                                        heif_context_free};
    std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)> primary{
        nullptr, heif_image_handle_release};
};

// libheif aborts on some damaged item structures and sizes a grid's picture by its declared
// canvas only while decoding, so the structure is checked first.
std::unique_ptr<HeifFile> openHeif(Bytes data) {
    if (!detail::heifItemsSound(data, maximumPixelCount)) return nullptr;
    auto file = std::make_unique<HeifFile>();
    if (!file->context) return nullptr;
    if (heif_context_read_from_memory_without_copy(file->context.get(), data.data(), data.size(), nullptr)
            .code != heif_error_Ok) {
        return nullptr;
    }
    heif_image_handle* handle = nullptr;
    if (heif_context_get_primary_image_handle(file->context.get(), &handle).code != heif_error_Ok)
        return nullptr;
    file->primary.reset(handle);
    if (!withinLimits(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle)))
        return nullptr;
    return file;
}

std::optional<Decoded> decodeHeif(Bytes data) {
    const auto file = openHeif(data);
    if (!file) return std::nullopt;
    const bool alpha = heif_image_handle_has_alpha_channel(file->primary.get()) != 0;
    // Pictures of more than 8 bits (10-bit HDR photos) come as 16-bit samples and are scaled down.
    const bool deep = heif_image_handle_get_luma_bits_per_pixel(file->primary.get()) > 8;
    const heif_chroma chroma =
        deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
             : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    heif_image* raw = nullptr;
    if (heif_decode_image(file->primary.get(), &raw, heif_colorspace_RGB, chroma, nullptr).code !=
        heif_error_Ok) {
        return std::nullopt;
    }
    const std::unique_ptr<heif_image, decltype(&heif_image_release)> image(raw, heif_image_release);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    const int channels = alpha ? 4 : 3;
    const int bits = heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved);
    if (!withinLimits(width, height) || bits < 1 || bits > 16 || (deep ? bits <= 8 : bits != 8))
        return std::nullopt;
    // libheif reports the size the file declares and decodes what the coded stream holds; a file in
    // which they differ is damaged, and imageSize would give another size than the picture.
    if (width != heif_image_handle_get_width(file->primary.get()) ||
        height != heif_image_handle_get_height(file->primary.get()))
        return std::nullopt;
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (!plane) return std::nullopt;
    const cv::Mat samples(height, width, CV_MAKETYPE(deep ? CV_16U : CV_8U, channels),
                          const_cast<std::uint8_t*>(plane), static_cast<std::size_t>(stride));
    cv::Mat pixels;
    samples.convertTo(pixels, CV_8U, 255.0 / ((1 << bits) - 1));
    Decoded decoded;
    decoded.rgb = alpha ? detail::rgbFlattened(pixels) : pixels;
    decoded.storedSize = Size{static_cast<double>(width), static_cast<double>(height)};
    return decoded;
}

// The Exif block of a HEIF file begins with the offset of its TIFF header.
ImageMetadata heifExif(Bytes data) {
    const auto file = openHeif(data);
    if (!file) return {};
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(file->primary.get(), "Exif", &id, 1) < 1) return {};
    std::vector<std::uint8_t> block(heif_image_handle_get_metadata_size(file->primary.get(), id));
    if (block.size() < 4 ||
        heif_image_handle_get_metadata(file->primary.get(), id, block.data()).code != heif_error_Ok) {
        return {};
    }
    const std::size_t start = 4 + static_cast<std::size_t>(bigEndian32(block.data()));
    if (start >= block.size()) return {};
    return detail::readExifBlock(Bytes(block).subspan(start));
}

// ---- orientation and scaling

void orient(cv::Mat& image, int orientation) {
    if (!detail::reorients(orientation)) return;
    cv::Mat out;
    detail::oriented(image, orientation, out);
    image = out;
}

// The pixels turned upright into a new Bitmap, in one pass when they are opaque RGBA already.
Bitmap bitmapOfPixels(cv::Mat pixels, int orientation) {
    if (pixels.type() != CV_8UC4) {
        orient(pixels, orientation);
        return detail::bitmapOfRgb(pixels);
    }
    const bool swaps = detail::swapsSides(orientation);
    Bitmap bitmap = Bitmap::toBeFilled(swaps ? pixels.rows : pixels.cols, swaps ? pixels.cols : pixels.rows);
    cv::Mat target(bitmap.height, bitmap.width, CV_8UC4, bitmap.pixels.data());
    detail::oriented(pixels, orientation, target);
    return bitmap;
}

Bitmap finish(Decoded decoded, std::optional<double> maximumSide) {
    const double longSide = std::max(decoded.storedSize.width, decoded.storedSize.height);
    if (maximumSide && longSide > *maximumSide) {
        const double scale = *maximumSide / longSide;
        const int width = std::max(1, detail::outwardPixels(decoded.storedSize.width * scale));
        const int height = std::max(1, detail::outwardPixels(decoded.storedSize.height * scale));
        // Scaled straight into the Bitmap when it is not to be turned.
        const bool stored = !detail::reorients(decoded.orientation);
        Bitmap bitmap = stored ? Bitmap::toBeFilled(width, height) : Bitmap();
        cv::Mat scaled =
            stored ? cv::Mat(height, width, CV_8UC4, bitmap.pixels.data()) : cv::Mat(height, width, CV_8UC4);
        detail::resizeInto(
            detail::rowsOfOpaqueRgb(decoded.rgb), decoded.rgb.size(),
            [&] { return detail::linearOfRgb(decoded.rgb); }, scaled);
        decoded.rgb.release();
        if (stored) return bitmap;
        return bitmapOfPixels(std::move(scaled), decoded.orientation);
    }
    if (!decoded.storage.isEmpty() && !detail::reorients(decoded.orientation))
        return std::move(decoded.storage);
    return bitmapOfPixels(std::move(decoded.rgb), decoded.orientation);
}

}  // namespace

std::optional<ImageType> imageType(Bytes data) {
    if (startsWith(data, {0xFF, 0xD8, 0xFF})) return ImageType::jpeg;
    if (startsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return ImageType::png;
    if (startsWith(data, {'I', 'I', 42, 0}) || startsWith(data, {'M', 'M', 0, 42})) return ImageType::tiff;
    return typeOfFtyp(data);
}

std::optional<ImageType> imageTypeForExtension(std::string_view extension) {
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "jpg" || lower == "jpeg" || lower == "jpe" || lower == "jfif") return ImageType::jpeg;
    if (lower == "png") return ImageType::png;
    if (lower == "tif" || lower == "tiff") return ImageType::tiff;
    if (lower == "heic" || lower == "heics") return ImageType::heic;
    if (lower == "heif" || lower == "hif") return ImageType::heif;
    return std::nullopt;
}

std::string fileExtension(std::optional<ImageType> type) {
    if (!type) return "jpg";
    switch (*type) {
        case ImageType::jpeg:
            return "jpeg";
        case ImageType::png:
            return "png";
        case ImageType::tiff:
            return "tiff";
        case ImageType::heic:
            return "heic";
        case ImageType::heif:
            return "heif";
    }
    return "jpg";
}

std::optional<Bitmap> decode(Bytes data, std::optional<double> maximumSide) {
    if (maximumSide && !(*maximumSide >= 1)) return std::nullopt;
    const auto type = imageType(data);
    if (!type) return std::nullopt;
    std::optional<Decoded> decoded;
    try {
        switch (*type) {
            case ImageType::jpeg:
                decoded = decodeJpeg(data, maximumSide);
                if (decoded) decoded->orientation = detail::readMetadata(data).orientation;
                break;
            case ImageType::png:
            case ImageType::tiff:
                decoded = decodeRaster(*type, data);
                break;
            case ImageType::heic:
            case ImageType::heif:
                decoded = decodeHeif(data);
                break;
        }
        if (!decoded) return std::nullopt;
        return finish(std::move(*decoded), maximumSide);
    } catch (const std::exception&) {  // allocation failures and OpenCV errors alike
        return std::nullopt;
    }
}

std::optional<SourcePicture> decodeSource(Bytes data, std::optional<double> maximumSide) {
    if (imageType(data) != ImageType::jpeg) {
        auto upright = decode(data, maximumSide);
        if (!upright) return std::nullopt;
        return SourcePicture{std::move(*upright), 1};
    }
    if (maximumSide && !(*maximumSide >= 1)) return std::nullopt;
    try {
        auto decoded = decodeJpeg(data, maximumSide);
        if (!decoded) return std::nullopt;
        // finish leaves the pixels as stored: the decoded orientation is 1 until set.
        const int orientation = detail::readMetadata(data).orientation;
        return SourcePicture{finish(std::move(*decoded), maximumSide),
                             detail::reorients(orientation) ? orientation : 1};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<Size> imageSize(Bytes data) {
    const auto type = imageType(data);
    if (!type) return std::nullopt;
    std::optional<Size> stored;
    int orientation = 1;
    switch (*type) {
        case ImageType::jpeg: {
            TurboHandle turbo(tjInitDecompress());
            const auto header = turbo.handle ? jpegHeader(turbo.handle, data) : std::nullopt;
            if (header)
                stored = Size{static_cast<double>(header->width), static_cast<double>(header->height)};
            orientation = detail::readMetadata(data).orientation;
            break;
        }
        case ImageType::png:
        case ImageType::tiff: {
            const ImageMetadata metadata = detail::readMetadata(data);
            stored = storedSizeOfRaster(*type, data, metadata);
            orientation = metadata.orientation;
            break;
        }
        case ImageType::heic:
        case ImageType::heif: {
            const auto file = openHeif(data);
            if (file) {
                stored = Size{static_cast<double>(heif_image_handle_get_width(file->primary.get())),
                              static_cast<double>(heif_image_handle_get_height(file->primary.get()))};
            }
            break;
        }
    }
    if (!stored) return std::nullopt;
    return detail::swapsSides(orientation) ? Size{stored->height, stored->width} : *stored;
}

std::optional<Date> photoDate(Bytes data) {
    const auto type = imageType(data);
    if (!type) return std::nullopt;
    const bool heif = type == ImageType::heic || type == ImageType::heif;
    const ImageMetadata metadata = heif ? heifExif(data) : detail::readMetadata(data);
    if (!metadata.dateTimeOriginal) return std::nullopt;
    return detail::parseExifDate(*metadata.dateTimeOriginal);
}

std::optional<Bitmap> imageFromJpeg(Bytes data) {
    if (imageType(data) != ImageType::jpeg) return std::nullopt;
    try {
        auto decoded = decodeJpeg(data, std::nullopt);
        if (!decoded) return std::nullopt;
        return bitmapOfPixels(std::move(decoded->rgb), 1);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace quillfen::Cleaner
