#include "engine/cleanup/detail/PaperAveraging.h"

#include "engine/cleanup/detail/PaperSampling.h"

#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <immintrin.h>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quillfen::detail::paper {

namespace {

// The sums down each column of 8 rows of an 8-bit picture, starting at first, that the three rows of the
// average over them take: weights 3, 3, 2; 1, 3, 3, 1; 2, 3, 3 in eighths of a row.
void sumThirds(const cv::Mat& rgb, int first, std::uint16_t* out[3]) {
    const std::uint8_t* rows[8];
    for (int i = 0; i < 8; ++i) rows[i] = rgb.ptr<std::uint8_t>(first + i);
    const int count = rgb.cols * 3;
    int x = 0;
    const cv::v_uint16x8 two = cv::v_setall_u16(2), three = cv::v_setall_u16(3);
    for (; x + 8 <= count; x += 8) {
        cv::v_uint16x8 r[8];
        for (int i = 0; i < 8; ++i) r[i] = cv::v_load_expand(rows[i] + x);
        cv::v_store(out[0] + x, (r[0] + r[1]) * three + r[2] * two);
        cv::v_store(out[1] + x, r[2] + (r[3] + r[4]) * three + r[5]);
        cv::v_store(out[2] + x, r[5] * two + (r[6] + r[7]) * three);
    }
    for (; x < count; ++x) {
        const int v[8] = {rows[0][x], rows[1][x], rows[2][x], rows[3][x], rows[4][x], rows[5][x], rows[6][x], rows[7][x]};
        out[0][x] = static_cast<std::uint16_t>(3 * (v[0] + v[1]) + 2 * v[2]);
        out[1][x] = static_cast<std::uint16_t>(v[2] + 3 * (v[3] + v[4]) + v[5]);
        out[2][x] = static_cast<std::uint16_t>(2 * v[5] + 3 * (v[6] + v[7]));
    }
}

// The weights that INTER_AREA gives the source columns (or rows) covered by each target column (row), in its
// order and its float values: one over the cell's width for whole ones, the covered part of it for the partial
// ones at either end.
struct AreaWeight {
    int target, source;
    float weight;
};

std::vector<AreaWeight> areaWeights(int sourceSize, int targetSize) {
    const double scale = 1. / (static_cast<double>(targetSize) / sourceSize);
    std::vector<AreaWeight> weights;
    for (int t = 0; t < targetSize; ++t) {
        const double from = t * scale, to = from + scale;
        const double cell = std::min(scale, sourceSize - from);
        const int last = std::min(static_cast<int>(std::floor(to)), sourceSize - 1);
        const int first = std::min(static_cast<int>(std::ceil(from)), last);
        if (first - from > 1e-3) weights.push_back({t, first - 1, static_cast<float>((first - from) / cell)});
        for (int s = first; s < last; ++s) weights.push_back({t, s, static_cast<float>(1.0 / cell)});
        if (to - last > 1e-3)
            weights.push_back({t, last, static_cast<float>(std::min(std::min(to - last, 1.), cell) / cell)});
    }
    return weights;
}

// A picture of four 8-bit channels averaged down over boxes that need not hold whole pixels, what
// cv::resize's INTER_AREA gives: each source row's weighted pixels are summed in floats across each target
// column, and those sums, weighted by the row's share, down each target row, in INTER_AREA's order and
// steps; a pixel's four channels are taken in the lanes of one vector.
cv::Mat areaAveragedFour(const cv::Mat& picture, cv::Size size) {
    const std::vector<AreaWeight> columns = areaWeights(picture.cols, size.width);
    const std::vector<AreaWeight> rows = areaWeights(picture.rows, size.height);
    cv::Mat out(size, picture.type());
    std::vector<cv::v_float32x4> across(static_cast<std::size_t>(size.width));
    std::vector<cv::v_float32x4> sums(across.size(), cv::v_setzero_f32());
    auto store = [&](int y) {
        std::uint8_t* o = out.ptr<std::uint8_t>(y);
        for (const cv::v_float32x4& sum : sums) {
            const cv::v_int32x4 rounded = cv::v_round(sum);
            const cv::v_int16x8 halves = cv::v_pack(rounded, rounded);
            const std::uint32_t pixel = cv::v_extract_n<0>(cv::v_reinterpret_as_u32(cv::v_pack_u(halves, halves)));
            std::memcpy(o, &pixel, 4);
            o += 4;
        }
    };
    int current = rows.front().target;
    for (const AreaWeight& row : rows) {
        const std::uint8_t* source = picture.ptr<std::uint8_t>(row.source);
        // A target column's sum is kept in a register while its source columns are added, which come in a run.
        cv::v_float32x4 sum = cv::v_setzero_f32();
        int column = 0;
        for (const AreaWeight& weight : columns) {
            if (weight.target != column) {
                across[column] = sum;
                sum = cv::v_setzero_f32();
                column = weight.target;
            }
            const cv::v_uint32x4 pixel = bytesAt(source + weight.source * 4);
            sum = sum + cv::v_cvt_f32(cv::v_reinterpret_as_s32(pixel)) * cv::v_setall_f32(weight.weight);
        }
        across[column] = sum;
        const cv::v_float32x4 share = cv::v_setall_f32(row.weight);
        if (row.target != current) {
            store(current);
            for (std::size_t x = 0; x < sums.size(); ++x) sums[x] = share * across[x];
            current = row.target;
        } else {
            for (std::size_t x = 0; x < sums.size(); ++x) sums[x] = sums[x] + share * across[x];
        }
    }
    store(current);
    return out;
}

// Sixteen bytes from p, widened to 16 bits.
[[gnu::target("avx2")]] inline __m256i widenedAt(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// The sums of columnSums, thirty-two columns at a time, each sixteen widened as they are loaded and added in one
// instruction; the rest of the columns are left to the caller. Whole numbers: the sums are those of any order.
[[gnu::target("avx2")]] int columnSumsWide(const std::uint8_t* first, std::size_t step, int rows, int count,
                                           std::uint16_t* sums) {
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        __m256i low = _mm256_setzero_si256(), high = _mm256_setzero_si256();
        const std::uint8_t* row = first + i;
        for (int k = 0; k < rows; ++k, row += step) {
            low = _mm256_add_epi16(low, widenedAt(row));
            high = _mm256_add_epi16(high, widenedAt(row + 16));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i), low);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i + 16), high);
    }
    return i;
}

}  // namespace

void columnSums(const std::uint8_t* first, std::size_t step, int rows, int count, std::uint16_t* sums) {
    static const bool wide = __builtin_cpu_supports("avx2");
    int i = wide ? columnSumsWide(first, step, rows, count, sums) : 0;
#if CV_SIMD
    constexpr int lanes = cv::v_uint8::nlanes;
    for (; i + lanes <= count; i += lanes) {
        cv::v_uint16 low = cv::vx_setzero_u16(), high = cv::vx_setzero_u16();
        for (int row = 0; row < rows; ++row) {
            cv::v_uint16 rowLow, rowHigh;
            cv::v_expand(cv::vx_load(first + row * step + i), rowLow, rowHigh);
            low += rowLow;
            high += rowHigh;
        }
        cv::v_store(sums + i, low);
        cv::v_store(sums + i + lanes / 2, high);
    }
#endif
    for (; i < count; ++i) {
        std::uint16_t sum = 0;
        for (int row = 0; row < rows; ++row) sum = static_cast<std::uint16_t>(sum + first[row * step + i]);
        sums[i] = sum;
    }
}

cv::Mat areaAveraged(const cv::Mat& rgb, cv::Size size) {
    cv::Mat out;
    if (rgb.cols * 3 != size.width * 8 || rgb.rows * 3 != size.height * 8) {
        cv::resize(rgb, out, size, 0, 0, cv::INTER_AREA);
        return out;
    }
    out.create(size, CV_8UC3);
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(rgb.cols) * 3 * 3);
    std::uint16_t* thirds[3] = {sums.data(), sums.data() + rgb.cols * 3, sums.data() + rgb.cols * 6};
    // 64ths rounded halfway to even.
    auto rounded = [](int n) { return static_cast<std::uint8_t>((n + 31 + ((n >> 6) & 1)) >> 6); };
    for (int group = 0; group < size.height / 3; ++group) {
        sumThirds(rgb, group * 8, thirds);
        for (int third = 0; third < 3; ++third) {
            const std::uint16_t* v = thirds[third];
            std::uint8_t* o = out.ptr<std::uint8_t>(group * 3 + third);
            for (int x = 0; x < size.width / 3; ++x, v += 24, o += 9)
                for (int c = 0; c < 3; ++c) {
                    o[c] = rounded(3 * (v[c] + v[3 + c]) + 2 * v[6 + c]);
                    o[3 + c] = rounded(v[6 + c] + 3 * (v[9 + c] + v[12 + c]) + v[15 + c]);
                    o[6 + c] = rounded(2 * v[15 + c] + 3 * (v[18 + c] + v[21 + c]));
                }
        }
    }
    return out;
}

cv::Mat boxAveraged(const cv::Mat& picture, cv::Size size) {
    cv::Mat out;
    const int across = size.width > 0 ? picture.cols / size.width : 0;
    const int down = size.height > 0 ? picture.rows / size.height : 0;
    // The sums down a column of a box of at most 257 rows fit 16 bits.
    if (across == 0 || down == 0 || across * size.width != picture.cols || down * size.height != picture.rows ||
        down > 257 || across * down > 65536) {
        // INTER_AREA's own test of whole boxes: its scales within a rounding error of whole numbers.
        const double scaleX = 1. / (static_cast<double>(size.width) / picture.cols);
        const double scaleY = 1. / (static_cast<double>(size.height) / picture.rows);
        const bool whole = std::abs(scaleX - std::round(scaleX)) < DBL_EPSILON &&
                           std::abs(scaleY - std::round(scaleY)) < DBL_EPSILON;
        if (picture.type() == CV_8UC4 && across > 0 && down > 0 && !whole) return areaAveragedFour(picture, size);
        cv::resize(picture, out, size, 0, 0, cv::INTER_AREA);
        return out;
    }
    out.create(size, picture.type());
    const int channels = picture.channels(), values = picture.cols * channels;
    const float share = 1.0f / static_cast<float>(across * down);
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(values));
    for (int y = 0; y < size.height; ++y) {
        columnSums(picture.ptr<std::uint8_t>(y * down), picture.step[0], down, values, sums.data());
        std::uint8_t* o = out.ptr<std::uint8_t>(y);
        for (int x = 0; x < size.width; ++x, o += channels) {
            const std::uint16_t* box = sums.data() + static_cast<std::size_t>(x) * across * channels;
            for (int c = 0; c < channels; ++c) {
                std::uint32_t total = 0;
                for (int k = 0; k < across; ++k) total += box[k * channels + c];
                o[c] = cv::saturate_cast<std::uint8_t>(static_cast<float>(total) * share);
            }
        }
    }
    return out;
}

}  // namespace quillfen::detail::paper
