#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/cleanup/detail/Finishing.h"
#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/Vectors.h"

namespace quillfen::detail {

namespace {

// Where a whitening cube leaves colours alone and where it makes them white, by the smallest
// component's cube index (an entry's change depends on its smallest component only).
struct Band {
    int identityUpTo = 31;
    int whiteFrom = 32;
};

Band bandOfCube(const std::vector<float>& cube) {
    const auto grey = [&](int k) { return cube[(static_cast<std::size_t>(k) * 1024 + k * 32 + k) * 4]; };
    Band band{-1, 31};
    while (band.identityUpTo < 30 &&
           grey(band.identityUpTo + 1) == static_cast<float>((band.identityUpTo + 1) / 31.0)) {
        ++band.identityUpTo;
    }
    while (band.whiteFrom > 0 && grey(band.whiteFrom - 1) == 1.0f) --band.whiteFrom;
    return band;
}

// Trilinear lookup of an encoded colour in a 32-entry-per-side cube. A cell whose corners all stay
// themselves interpolates to the colour itself; one whose corners all turn white gives white.
void lookUp(const float* cube, Band band, float* rgb) {
    const int lowest =
        std::min(static_cast<int>(std::clamp(std::min({rgb[0], rgb[1], rgb[2]}), 0.0f, 1.0f) * 31), 30);
    if (lowest + 1 <= band.identityUpTo) return;
    if (lowest >= band.whiteFrom) {
        rgb[0] = rgb[1] = rgb[2] = 1;
        return;
    }
    int low[3];
    float fraction[3];
    for (int c = 0; c < 3; ++c) {
        const float position = std::clamp(rgb[c], 0.0f, 1.0f) * 31;
        low[c] = std::min(static_cast<int>(position), 30);
        fraction[c] = position - static_cast<float>(low[c]);
    }
    float out[3] = {0, 0, 0};
    for (int corner = 0; corner < 8; ++corner) {
        const int dr = corner & 1, dg = (corner >> 1) & 1, db = (corner >> 2) & 1;
        const float weight = (dr ? fraction[0] : 1 - fraction[0]) * (dg ? fraction[1] : 1 - fraction[1]) *
                             (db ? fraction[2] : 1 - fraction[2]);
        if (weight == 0) continue;
        const float* entry = cube + ((low[2] + db) * 1024 + (low[1] + dg) * 32 + (low[0] + dr)) * 4;
        for (int c = 0; c < 3; ++c) out[c] += weight * entry[c];
    }
    std::copy(out, out + 3, rgb);
}

// The map's cells interpolated for picture row y, four floats a cell (the fourth 1).
void paperCellsOfRow(const Cleaner::BackgroundMap& map, int y, float* rgb, float* cells) {
    map.interpolateRow(y, rgb);
    for (int i = 0; i < map.mapWidth; ++i) {
        cells[i * 4] = rgb[i * 3], cells[i * 4 + 1] = rgb[i * 3 + 1], cells[i * 4 + 2] = rgb[i * 3 + 2];
        cells[i * 4 + 3] = 1;
    }
}

// BackgroundMap::clamped on four components at once: 0.05...1, not a number 0.05.
Float4 clampedPaper(Float4 paper) {
#if defined(__SSE2__)
    return Float4(_mm_min_ps(_mm_max_ps(__m128(paper), _mm_set1_ps(0.05f)), _mm_set1_ps(1)));
#else
    for (int c = 0; c < 4; ++c) paper[c] = Cleaner::BackgroundMap::clamped(paper[c]);
    return paper;
#endif
}

// Row of light (three samples a pixel) divided by the paper under each pixel, interpolated between
// the row's cells, rounded to the nearest 16-bit value and saturated at 65535, that is 1. The
// quotient has room for one sample more than the row, which it leaves undefined.
void dividedRow(const std::uint16_t* light, const float* cells,
                const std::vector<Cleaner::BackgroundMap::Sample>& columns, std::uint16_t* quotient) {
    const int width = static_cast<int>(columns.size());
    const auto divided = [&](int x, const std::uint16_t* samples) {
        const auto& column = columns[x];
        const Float4 a = load4(cells + column.low * 4), b = load4(cells + column.high * 4);
        storeRoundedSamples(floatsOfSamples(samples) / clampedPaper(a + (b - a) * column.fraction),
                            quotient + x * 3);
    };
    // Four samples read at once: each pixel's fourth is its neighbour's, but the last pixel's would
    // lie past the row.
    for (int x = 0; x + 1 < width; ++x) divided(x, light + x * 3);
    if (width > 0) {
        const std::uint16_t* l = light + (width - 1) * 3;
        const std::uint16_t last[4] = {l[0], l[1], l[2], 0};
        divided(width - 1, last);
    }
}

std::uint8_t code(float encoded) {
    return static_cast<std::uint8_t>(std::clamp(encoded, 0.0f, 1.0f) * 255 + 0.5f);
}

// The code of each 16-bit light as lookUp leaves it, encoded and rounded.
const std::vector<std::uint8_t>& unchangedCodes() {
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> t(65536);
        for (int i = 0; i < 65536; ++i) t[i] = code(encodedOfLinear16()[i]);
        return t;
    }();
    return table;
}

// A cube's band as ranges of a pixel's smallest 16-bit light: below identityBelow lookUp leaves the
// colour as it is, from whiteFrom on it makes it white. The encoded values rise with the light, and
// lookUp's cube index rises with them.
struct LightBand {
    int identityBelow = 0;
    int whiteFrom = 65536;
};

LightBand lightBandOf(Band band) {
    const float* encoded = encodedOfLinear16();
    const auto firstWhere = [&](auto holds) {
        int low = 0, high = 65536;
        while (low < high) {
            const int middle = (low + high) / 2;
            const int index = std::min(static_cast<int>(std::clamp(encoded[middle], 0.0f, 1.0f) * 31), 30);
            if (holds(index)) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        return low;
    };
    return {firstWhere([&](int index) { return index + 1 > band.identityUpTo; }),
            firstWhere([&](int index) { return index >= band.whiteFrom; })};
}

}  // namespace

Bitmap finished(const cv::Mat& linear, const Cleaner::BackgroundMap* background,
                const std::vector<float>* cube) {
    CV_Assert(linear.type() == CV_16UC3);
    if (!background && !cube) return bitmapOfLinear(linear);
    const int width = linear.cols, height = linear.rows;
    Bitmap out = Bitmap::toBeFilled(width, height);
    const bool divides =
        background && background->width == width && background->height == height &&
        background->mapWidth > 0 && background->mapHeight > 0 &&
        background->rgb.size() == static_cast<std::size_t>(background->mapWidth) * background->mapHeight * 3;
    // Where each column samples the map; each row then interpolates one row of cells between.
    std::vector<Cleaner::BackgroundMap::Sample> columns;
    if (divides) {
        columns.reserve(width);
        for (int x = 0; x < width; ++x) columns.push_back(background->sample(x, width, background->mapWidth));
    }
    const Band band = cube ? bandOfCube(*cube) : Band{};
    const LightBand lightBand = cube ? lightBandOf(band) : LightBand{};
    const float* encoded = encodedOfLinear16();
    const std::uint8_t* codes = codeOfLinear16().data();
    const std::uint8_t* unchanged = unchangedCodes().data();
    forEachRows(height, width, [&](int begin, int end) {
        const std::size_t samples = static_cast<std::size_t>(width) * 3;
        const std::size_t cellCount = divides ? static_cast<std::size_t>(background->mapWidth) : 0;
        std::vector<float> rgbCells(cellCount * 3), cells(cellCount * 4);
        std::vector<std::uint16_t> light(samples + 1);
        for (int y = begin; y < end; ++y) {
            const auto* in = linear.ptr<std::uint16_t>(y);
            const std::uint16_t* l = in;
            if (divides) {
                paperCellsOfRow(*background, y, rgbCells.data(), cells.data());
                dividedRow(in, cells.data(), columns, light.data());
                l = light.data();
            }
            std::uint8_t* pixel = out.pixel(0, y);
            // Each pixel stored whole: byte stores could alias the tables' pointers and the width.
            const auto put = [&](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
                const std::uint8_t rgba[4] = {r, g, b, 255};
                std::memcpy(pixel, rgba, sizeof rgba);
            };
            if (!cube) {
                for (int x = 0; x < width; ++x, pixel += 4, l += 3)
                    put(codes[l[0]], codes[l[1]], codes[l[2]]);
                continue;
            }
            for (int x = 0; x < width; ++x, pixel += 4, l += 3) {
                // Most pixels are paper turning white or colours the cube leaves alone.
                const int lowest = std::min({l[0], l[1], l[2]});
                if (lowest >= lightBand.whiteFrom) {
                    put(255, 255, 255);
                } else if (lowest < lightBand.identityBelow) {
                    put(unchanged[l[0]], unchanged[l[1]], unchanged[l[2]]);
                } else {
                    float rgb[3] = {encoded[l[0]], encoded[l[1]], encoded[l[2]]};
                    lookUp(cube->data(), band, rgb);
                    put(code(rgb[0]), code(rgb[1]), code(rgb[2]));
                }
            }
        }
    });
    return out;
}

}  // namespace quillfen::detail
