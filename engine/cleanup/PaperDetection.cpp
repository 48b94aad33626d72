#include "engine/cleanup/PaperDetection.h"

#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/PaperAveraging.h"
#include "engine/cleanup/detail/PaperDetectors.h"

#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <immintrin.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace quillfen::Cleaner {

namespace {

constexpr double workingSide = 1024;
constexpr int gridColumns = 64;
constexpr int gridRows = 48;
constexpr double areaLimit = 0.97;
constexpr double documentConfidence = 0.5;
constexpr std::size_t minimumSamples = 11;
constexpr double minimumContrast = 0.12;

std::vector<Quad> quadsOf(const std::vector<PaperCandidate>& candidates) {
    std::vector<Quad> quads;
    for (const auto& c : candidates) quads.push_back(c.quad);
    return quads;
}

// Where the box of target pixel i starts along one side: box i runs from boxEdge(i) up to boxEdge(i + 1).
int boxEdge(int i, int sourceLength, int targetLength) {
    return static_cast<int>(static_cast<long long>(i) * sourceLength / targetLength);
}

// A position along one side of a copy made of boxes, in unit coordinates, as a position along the source's
// side: each pixel of the copy stands for its box's centre, up to half a source pixel before the pixel's
// nominal centre; between pixels, and beyond the first and last, the centres are followed linearly.
double sourceUnit(double unit, int sourceLength, int targetLength) {
    if (targetLength < 2 || !std::isfinite(unit)) return unit;
    auto centre = [&](int i) {
        return (boxEdge(i, sourceLength, targetLength) + boxEdge(i + 1, sourceLength, targetLength)) / 2.0;
    };
    const double p = unit * targetLength - 0.5;
    const int i = static_cast<int>(std::clamp(std::floor(p), 0.0, targetLength - 2.0));
    return (centre(i) + (p - i) * (centre(i + 1) - centre(i))) / sourceLength;
}

cv::Size workingSize(const Bitmap& image) {
    const double scale = std::min(1.0, workingSide / std::max(image.width, image.height));
    return {std::max(1, detail::outwardPixels(image.width * scale)),
            std::max(1, detail::outwardPixels(image.height * scale))};
}

// Whether the copy's rows are too tall for the 16-bit sums of averageBoxes, and are averaged by OpenCV first.
bool averagedFirst(const Bitmap& image, cv::Size working) {
    return image.height / working.height >= 257;
}

// The four channels of two columns' sums down, from p, widened to 32 bits in the halves of one vector.
[[gnu::target("avx2")]] inline __m256i columnPairAt(const std::uint16_t* p) {
    return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// The total of the box of pixel x over the sums down each source column, four channels to a column, in 32
// bits: four columns at a time, those of the last four past the box's end masked off. Reads up to three
// columns past the box.
[[gnu::target("avx2")]] inline __m128i boxTotal(const std::uint16_t* sums, const int* columnStart, int x) {
    const int to = columnStart[x + 1];
    __m256i total = _mm256_setzero_si256();
    int column = columnStart[x];
    for (; to - column > 4; column += 4)
        total = _mm256_add_epi32(total, _mm256_add_epi32(columnPairAt(sums + column * 4),
                                                         columnPairAt(sums + column * 4 + 8)));
    const __m256i left = _mm256_set1_epi32(to - column);  // one to four columns
    // The lanes of the first two columns and of the last two, by column.
    const __m256i firstTwo = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
    const __m256i lastTwo = _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3);
    const __m256i first =
        _mm256_and_si256(columnPairAt(sums + column * 4), _mm256_cmpgt_epi32(left, firstTwo));
    const __m256i second =
        _mm256_and_si256(columnPairAt(sums + column * 4 + 8), _mm256_cmpgt_epi32(left, lastTwo));
    total = _mm256_add_epi32(total, _mm256_add_epi32(first, second));
    return _mm_add_epi32(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
}

// Pixels x and x + 2 in the two halves of one vector, each flattened onto white as averageBoxes flattens a
// pixel, in the float steps of one channel at a time.
[[gnu::target("avx2")]] inline __m256i flatPair(const std::uint16_t* sums, const int* columnStart,
                                                const float* shares, int x) {
    auto share = [&](int at) { return shares[columnStart[at + 1] - columnStart[at]]; };
    const __m256 scaled =
        _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_set_m128i(boxTotal(sums, columnStart, x + 2),
                                                          boxTotal(sums, columnStart, x))),
                      _mm256_set_m128(_mm_set1_ps(share(x + 2)), _mm_set1_ps(share(x))));
    const __m256 alpha = _mm256_shuffle_ps(scaled, scaled, 0xff);
    const __m256 white = _mm256_add_ps(scaled, _mm256_set1_ps(255.0f));
    const __m256 flat = _mm256_add_ps(_mm256_sub_ps(white, alpha), _mm256_set1_ps(0.5f));
    return _mm256_cvttps_epi32(_mm256_min_ps(flat, _mm256_set1_ps(255.0f)));
}

// Four pixels of a row of the copy at a time, from the row's sums down each source column, as averageBoxes
// takes them, two pixels' float steps in the lanes of one vector. Meanwhile the next row's source rows are
// asked for, as averageBoxes asks for them. Returns how many pixels it wrote.
[[gnu::target("avx2")]] int flatFourAtATime(const std::uint16_t* sums, const int* columnStart,
                                            const float* shares, int width, const std::uint8_t* nextRow,
                                            std::size_t stride, int nextRows, std::uint8_t* out) {
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xff000000u));
    int x = 0;
    for (; x + 4 <= width; x += 4, out += 16) {
        const std::size_t ahead = static_cast<std::size_t>(columnStart[x]) * 4;
        for (int row = 0; row < nextRows; ++row) __builtin_prefetch(nextRow + row * stride + ahead);
        // Packed to 16 bits, pixels x and x + 1 fill the lower half and x + 2 and x + 3 the upper; packed to
        // bytes, each half's first eight bytes hold its two pixels.
        const __m256i words = _mm256_packs_epi32(flatPair(sums, columnStart, shares, x),
                                                 flatPair(sums, columnStart, shares, x + 1));
        const __m256i bytes = _mm256_packus_epi16(words, words);
        const __m128i pixels = _mm256_castsi256_si128(_mm256_permute4x64_epi64(bytes, 0x08));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_or_si128(pixels, opaque));
    }
    return x;
}

// Averages the source pixels of each target pixel's box; boxes start and end on whole source pixels.
// Premultiplied values average exactly, so the transparent share is flattened onto white afterwards.
void averageBoxes(const Bitmap& source, Bitmap& target) {
    const int sourceValues = source.width * 4;
    std::vector<int> columnStart(static_cast<std::size_t>(target.width) + 1);
    for (int x = 0; x <= target.width; ++x) columnStart[x] = boxEdge(x, source.width, target.width);
    int widest = 0;
    for (int x = 0; x < target.width; ++x) widest = std::max(widest, columnStart[x + 1] - columnStart[x]);
    std::vector<float> shares(static_cast<std::size_t>(widest) + 1);  // of a box of each width in this row
    // Room past the last column for the columns read past a box.
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(sourceValues) + 12);
    static const bool wide = __builtin_cpu_supports("avx2");
    for (int y = 0; y < target.height; ++y) {
        const int top = boxEdge(y, source.height, target.height);
        const int bottom = boxEdge(y + 1, source.height, target.height);
        for (int width = 1; width <= widest; ++width)
            shares[width] = 1.0f / static_cast<float>(width * (bottom - top));
        detail::paper::columnSums(source.pixel(0, top), source.stride(), bottom - top, sourceValues,
                                  sums.data());
        // The four channels of pixel x in one vector, in the float steps of one channel at a time, flattened
        // onto white: each channel 0...255.
        auto flatOf = [&](int x) {
            cv::v_uint32x4 total = cv::v_setzero_u32();
            for (int column = columnStart[x]; column < columnStart[x + 1]; ++column)
                total += cv::v_load_expand(sums.data() + column * 4);
            const cv::v_float32x4 scaled = cv::v_cvt_f32(cv::v_reinterpret_as_s32(total)) *
                                           cv::v_setall_f32(shares[columnStart[x + 1] - columnStart[x]]);
            const cv::v_float32x4 alpha = cv::v_broadcast_element<3>(scaled);
            return cv::v_trunc(cv::v_min(scaled + cv::v_setall_f32(255.0f) - alpha + cv::v_setall_f32(0.5f),
                                         cv::v_setall_f32(255.0f)));
        };
        // Packing keeps each channel; the pixels are stored whole, opaque, four at a time. Meanwhile the source
        // rows of the next row's boxes are asked for, each as far along as the pixels stored, so that they
        // arrive while this row is worked out rather than while the next one waits for them.
        const int nextTop = bottom;
        const int nextRows =
            y + 1 < target.height ? boxEdge(y + 2, source.height, target.height) - nextTop : 0;
        const cv::v_uint32x4 opaque = cv::v_setall_u32(0xff000000u);
        std::uint8_t* out = target.pixel(0, y);
        int x = wide ? flatFourAtATime(sums.data(), columnStart.data(), shares.data(), target.width,
                                       source.pixels.data() + nextTop * source.stride(), source.stride(),
                                       nextRows, out)
                     : 0;
        out += x * 4;
        for (; x + 4 <= target.width; x += 4, out += 16) {
            for (int row = 0; row < nextRows; ++row)
                __builtin_prefetch(source.pixel(columnStart[x], nextTop + row));
            const cv::v_int16x8 first = cv::v_pack(flatOf(x), flatOf(x + 1));
            const cv::v_int16x8 second = cv::v_pack(flatOf(x + 2), flatOf(x + 3));
            const cv::v_uint32x4 pixels = cv::v_reinterpret_as_u32(cv::v_pack_u(first, second)) | opaque;
            cv::v_store(out, cv::v_reinterpret_as_u8(pixels));
        }
        for (; x < target.width; ++x, out += 4) {
            const cv::v_int32x4 flat = flatOf(x);
            const cv::v_int16x8 halves = cv::v_pack(flat, flat);
            const std::uint32_t pixel =
                cv::v_extract_n<0>(cv::v_reinterpret_as_u32(cv::v_pack_u(halves, halves))) | 0xff000000u;
            std::memcpy(out, &pixel, 4);
        }
    }
}

}  // namespace

std::optional<Bitmap> workingCopy(const Bitmap& image) {
    if (image.isEmpty() || image.pixels.size() != Bitmap::byteCount(image.width, image.height))
        return std::nullopt;
    const cv::Size size = workingSize(image);
    // Every pixel of the copy is written below.
    Bitmap copy = Bitmap::toBeFilled(size.width, size.height);
    // A box taller than 257 rows would overflow the 16-bit sums: such extreme strips are averaged by
    // OpenCV first, and the one-to-one pass then only flattens them.
    if (averagedFirst(image, size)) {
        Bitmap averaged = Bitmap::toBeFilled(copy.width, copy.height);
        const cv::Mat source(image.height, image.width, CV_8UC4, const_cast<std::uint8_t*>(image.pixels.data()));
        cv::Mat target(averaged.height, averaged.width, CV_8UC4, averaged.pixels.data());
        cv::resize(source, target, target.size(), 0, 0, cv::INTER_AREA);
        averageBoxes(averaged, copy);
    } else {
        averageBoxes(image, copy);
    }
    return copy;
}

Quad photoQuad(const Quad& found, const Bitmap& image) {
    const cv::Size working = workingSize(image);
    if (image.isEmpty() || working == cv::Size(image.width, image.height) || averagedFirst(image, working))
        return found;
    auto inPhoto = [&](const Point& p) {
        return Point{sourceUnit(p.x, image.width, working.width),
                     1 - sourceUnit(1 - p.y, image.height, working.height)};
    };
    return Quad{inPhoto(found.topLeft), inPhoto(found.topRight), inPhoto(found.bottomRight),
                inPhoto(found.bottomLeft)};
}

std::optional<Quad> detectPaper(const Bitmap& image) {
    // Both detectors look at the same working copy: the document detector reuses the sheet that the network
    // marked in it for the rectangle detector.
    using namespace detail::paper;
    std::optional<Sighting> sighting;
    auto sighted = [&](const Bitmap& working) -> const Sighting& {
        if (!sighting) sighting = sight(working);
        return *sighting;
    };
    // The detectors find outlines in the working copy and propose them where they lie in the photo.
    auto inPhoto = [&](std::vector<PaperCandidate> found) {
        for (auto& candidate : found) candidate.quad = photoQuad(candidate.quad, image);
        return found;
    };
    const PaperDetectors detectors{
        [&](const Bitmap& working) {
            return analysable(working) ? inPhoto(rectanglesIn(sighted(working), {})) : std::vector<PaperCandidate>{};
        },
        [&](const Bitmap& working) {
            return analysable(working) ? inPhoto(documentIn(sighted(working))) : std::vector<PaperCandidate>{};
        }};
    return detectPaper(image, detectors);
}

std::optional<Quad> detectPaper(const Bitmap& image, const PaperDetectors& detectors) {
    const auto working = workingCopy(image);
    if (!working) return std::nullopt;

    std::vector<Quad> candidates = quadsOf(detectors.rectangles(*working));
    if (candidates.empty()) {
        const auto documents = detectors.document(*working);
        if (!documents.empty() && documents.front().confidence > documentConfidence)
            candidates.push_back(documents.front().quad);
    }

    const LumaGrid grid = lumaGrid(*working, gridColumns, gridRows);
    std::optional<Quad> best;
    double bestArea = 0;
    for (const auto& quad : candidates) {
        const double area = quad.area();
        if (!(area < areaLimit) || !quadLooksLikePaper(quad, grid)) continue;
        if (!best || area > bestArea) {
            best = quad;
            bestArea = area;
        }
    }
    if (!best) return std::nullopt;
    return best->clamped();
}

LumaGrid lumaGrid(const Bitmap& image, int columns, int rows) {
    if (columns <= 0 || rows <= 0) return {};
    cv::Mat cells(rows, columns, CV_8UC4, cv::Scalar::all(0));
    if (!image.isEmpty() && image.pixels.size() == Bitmap::byteCount(image.width, image.height)) {
        const cv::Mat source(image.height, image.width, CV_8UC4,
                             const_cast<std::uint8_t*>(image.pixels.data()));
        cells = detail::paper::boxAveraged(source, cells.size());
    }
    LumaGrid grid(static_cast<std::size_t>(rows), std::vector<double>(static_cast<std::size_t>(columns)));
    for (int i = 0; i < rows; ++i) {
        const auto* row = cells.ptr<std::uint8_t>(rows - 1 - i);
        for (int j = 0; j < columns; ++j) {
            const std::uint8_t* px = row + j * 4;
            grid[i][j] = (0.2126 * px[0] + 0.7152 * px[1] + 0.0722 * px[2]) / 255.0;
        }
    }
    return grid;
}

bool quadLooksLikePaper(const Quad& quad, const LumaGrid& grid) {
    const std::size_t rows = grid.size();
    const std::size_t columns = rows == 0 ? 0 : grid.front().size();
    if (rows == 0 || columns == 0) return false;

    // Sides in the order the crossing rule walks them: each pair is (from, to).
    const Point sides[4][2] = {{quad.topLeft, quad.bottomLeft},
                               {quad.topRight, quad.topLeft},
                               {quad.bottomRight, quad.topRight},
                               {quad.bottomLeft, quad.bottomRight}};
    double insideSum = 0, outsideSum = 0;
    std::size_t insideCount = 0, outsideCount = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        const double y = (static_cast<double>(i) + 0.5) / static_cast<double>(rows);
        for (std::size_t j = 0; j < std::min(columns, grid[i].size()); ++j) {
            const double x = (static_cast<double>(j) + 0.5) / static_cast<double>(columns);
            bool inside = false;
            for (const auto& [a, b] : sides) {
                if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y))
                    inside = !inside;
            }
            if (inside) {
                insideSum += grid[i][j];
                ++insideCount;
            } else {
                outsideSum += grid[i][j];
                ++outsideCount;
            }
        }
    }
    if (insideCount < minimumSamples || outsideCount < minimumSamples) return false;
    return insideSum / static_cast<double>(insideCount) - outsideSum / static_cast<double>(outsideCount) >
           minimumContrast;
}

}  // namespace quillfen::Cleaner
