#include "engine/cleanup/detail/PaperSmoothing.h"

#include <opencv2/imgproc.hpp>

#include <immintrin.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace quillfen::detail::paper {

namespace {

constexpr int half = 1 << 15;  // of the final 65536ths
// Taken off each sum down, so that the sums fit the signed 16 bits of the multiply-adds across.
constexpr int lifted = 1 << 15;

// OpenCV's fixed-point weights of its Gaussian of one sigma for 8-bit pictures, in 256ths, from the middle
// one outwards (the kernel is symmetric), the outer weights of 0 left off; empty where they cannot be read.
// They are read back from OpenCV's own blur of one white column on black: a weight of at most 128 256ths
// of 255 rounds back to itself, and every weight of a sigma of at least 1 is below that.
std::vector<int> weightsOf(double sigma) {
    const int reach = (cvRound(sigma * 3 * 2 + 1) | 1) / 2;  // OpenCV's kernel size for 8-bit pictures
    cv::Mat column(3, 4 * reach + 1, CV_8UC1, cv::Scalar(0)), blurred;
    column.col(2 * reach).setTo(255);
    cv::GaussianBlur(column, blurred, cv::Size(), sigma);
    std::vector<int> weights;
    int total = 0;
    for (int i = 0; i <= reach; ++i) {
        const int weight = blurred.at<std::uint8_t>(1, 2 * reach + i);
        if (weight != blurred.at<std::uint8_t>(1, 2 * reach - i) || weight > 128) return {};
        weights.push_back(weight);
        total += i == 0 ? weight : 2 * weight;
    }
    while (weights.size() > 1 && weights.back() == 0) weights.pop_back();
    return total == 256 ? weights : std::vector<int>{};
}

// Pixel i of n, mirrored into the picture with the border pixel unrepeated.
int mirrored(int i, int n) {
    return i < 0 ? -i : i >= n ? 2 * n - 2 - i : i;
}

// The pair of 16-bit weights k, k in the two halves of each 32-bit lane.
[[gnu::target("avx2")]] inline __m256i weightPair(int k) {
    return _mm256_set1_epi32(k | k << 16);
}

// Sixteen 16-bit values from p.
[[gnu::target("avx2")]] inline __m256i sixteenAt(const std::int16_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Sixteen bytes from p, widened to 16 bits.
[[gnu::target("avx2")]] inline __m256i widenedAt(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// The sum across of sixteen values of a row of sums down, from those of the pixels around them at
// stride values apart, weighed in 32 bits (weights from the middle outwards, reach of them either side): the
// four pairs of lanes hold the values at each distance either side (the middle one beside 0), each pair
// weighed and added by one multiply-add.
[[gnu::target("avx2")]] inline __m256i acrossSixteen(const std::int16_t* d, int stride, const int* weights,
                                                     int reach) {
    const __m256i middle = sixteenAt(d), zero = _mm256_setzero_si256(),
                  middleWeight = _mm256_set1_epi32(weights[0]);
    __m256i low = _mm256_madd_epi16(_mm256_unpacklo_epi16(middle, zero), middleWeight);
    __m256i high = _mm256_madd_epi16(_mm256_unpackhi_epi16(middle, zero), middleWeight);
    for (int k = 1; k <= reach; ++k) {
        const __m256i before = sixteenAt(d - k * stride), after = sixteenAt(d + k * stride);
        const __m256i pair = weightPair(weights[k]);
        low = _mm256_add_epi32(low, _mm256_madd_epi16(_mm256_unpacklo_epi16(before, after), pair));
        high = _mm256_add_epi32(high, _mm256_madd_epi16(_mm256_unpackhi_epi16(before, after), pair));
    }
    // The sums were taken of values lifted down by 32768, 256 of them in all.
    const __m256i back = _mm256_set1_epi32(lifted * 256 + half);
    low = _mm256_srli_epi32(_mm256_add_epi32(low, back), 16);
    high = _mm256_srli_epi32(_mm256_add_epi32(high, back), 16);
    return _mm256_packus_epi32(low, high);  // each 128-bit lane's eight values in order
}

// The smoothing on processors with AVX2, on a picture larger than reach each way, into out of its size and
// type, by the weights from the middle outwards, reach of them either side.
[[gnu::target("avx2")]] void smoothedWide(const cv::Mat& picture, cv::Mat& out, const int* weights, int reach) {
    const int channels = picture.channels(), values = picture.cols * channels, pad = reach * channels;
    // A row's sums down, lifted into signed 16 bits, with the mirrored pixels either side of it.
    std::vector<std::int16_t> down(static_cast<std::size_t>(values + 2 * pad + 16));
    std::int16_t* d = down.data() + pad;
    const __m256i lift = _mm256_set1_epi16(static_cast<std::int16_t>(-lifted));
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(2 * reach + 1));
    for (int y = 0; y < picture.rows; ++y) {
        for (int j = 0; j <= 2 * reach; ++j)
            rows[j] = picture.ptr<std::uint8_t>(mirrored(y + j - reach, picture.rows));
        int x = 0;
        // At most 255 * 256 = 65280: the sums down fit 16 bits.
        for (; x + 16 <= values; x += 16) {
            __m256i sum = _mm256_mullo_epi16(widenedAt(rows[reach] + x), _mm256_set1_epi16(weights[0]));
            for (int k = 1; k <= reach; ++k)
                sum = _mm256_add_epi16(
                    sum, _mm256_mullo_epi16(
                             _mm256_add_epi16(widenedAt(rows[reach - k] + x), widenedAt(rows[reach + k] + x)),
                             _mm256_set1_epi16(static_cast<std::int16_t>(weights[k]))));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x), _mm256_xor_si256(sum, lift));
        }
        for (; x < values; ++x) {
            int sum = 0;
            for (int j = 0; j <= 2 * reach; ++j) sum += weights[std::abs(j - reach)] * rows[j][x];
            d[x] = static_cast<std::int16_t>(sum - lifted);
        }
        for (int i = 1; i <= reach; ++i)
            for (int c = 0; c < channels; ++c) {
                d[-i * channels + c] = d[i * channels + c];
                d[values - channels + i * channels + c] = d[values - channels - i * channels + c];
            }
        std::uint8_t* o = out.ptr<std::uint8_t>(y);
        x = 0;
        for (; x + 16 <= values; x += 16) {
            const __m256i sixteen = acrossSixteen(d + x, channels, weights, reach);
            const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(sixteen, sixteen), 0x08);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o + x), _mm256_castsi256_si128(bytes));
        }
        for (; x < values; ++x) {
            int sum = 0;
            for (int i = -reach; i <= reach; ++i) sum += weights[std::abs(i)] * d[x + i * channels];
            o[x] = static_cast<std::uint8_t>((sum + lifted * 256 + half) >> 16);
        }
    }
}

}  // namespace

void smoothGaussian(const cv::Mat& picture, cv::Mat& out, double sigma) {
    static const bool wide = __builtin_cpu_supports("avx2");
    if (!wide || picture.depth() != CV_8U || sigma < 1) {
        cv::GaussianBlur(picture, out, cv::Size(), sigma);
        return;
    }
    // The weights of the last few sigmas asked for on this thread: a detection asks for two.
    thread_local std::vector<std::pair<double, std::vector<int>>> known;
    auto found = std::find_if(known.begin(), known.end(), [&](const auto& k) { return k.first == sigma; });
    if (found == known.end()) {
        if (known.size() == 4) known.erase(known.begin());
        known.emplace_back(sigma, weightsOf(sigma));
        found = std::prev(known.end());
    }
    const std::vector<int>& weights = found->second;
    const int reach = static_cast<int>(weights.size()) - 1;
    if (weights.empty() || picture.cols <= reach || picture.rows <= reach) {
        cv::GaussianBlur(picture, out, cv::Size(), sigma);
        return;
    }
    CV_Assert(out.data != picture.data);
    out.create(picture.size(), picture.type());
    smoothedWide(picture, out, weights.data(), reach);
}

void smoothLightly(const cv::Mat& picture, cv::Mat& out) {
    smoothGaussian(picture, out, 1.0);
}

}  // namespace quillfen::detail::paper
