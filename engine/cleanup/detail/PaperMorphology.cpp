#include "engine/cleanup/detail/PaperMorphology.h"

#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace quillfen::detail::paper {

namespace {

// OpenCV's filter, which takes every pixel of the kernel, is as fast for ellipses up to this side, and opens
// them itself.
constexpr int smallSide = 7;

// How far each row of the ellipse reaches either side of its middle, top row first; nothing when a row is
// not one run centred on the middle.
std::optional<std::vector<int>> reaches(int side) {
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(side, side));
    const int middle = side / 2;
    std::vector<int> out;
    for (int y = 0; y < side; ++y) {
        const auto* row = kernel.ptr<std::uint8_t>(y);
        const int reach = static_cast<int>(std::find(row + middle, row + side, 0) - row) - middle - 1;
        if (reach < 0) return std::nullopt;
        for (int x = 0; x < side; ++x)
            if ((row[x] != 0) != (std::abs(x - middle) <= reach)) return std::nullopt;
        out.push_back(reach);
    }
    return out;
}

struct Least {
    static constexpr std::uint8_t identity = 255;
    static std::uint8_t of(std::uint8_t a, std::uint8_t b) { return std::min(a, b); }
    static cv::v_uint8x16 of(const cv::v_uint8x16& a, const cv::v_uint8x16& b) { return cv::v_min(a, b); }
};

struct Greatest {
    static constexpr std::uint8_t identity = 0;
    static std::uint8_t of(std::uint8_t a, std::uint8_t b) { return std::max(a, b); }
    static cv::v_uint8x16 of(const cv::v_uint8x16& a, const cv::v_uint8x16& b) { return cv::v_max(a, b); }
};

// The bits set in every (or in any) byte: the least (greatest) value of each bit's mask.
struct AllOf {
    static constexpr std::uint8_t identity = 255;
    static std::uint8_t of(std::uint8_t a, std::uint8_t b) { return a & b; }
    static cv::v_uint8x16 of(const cv::v_uint8x16& a, const cv::v_uint8x16& b) { return a & b; }
};

struct AnyOf {
    static constexpr std::uint8_t identity = 0;
    static std::uint8_t of(std::uint8_t a, std::uint8_t b) { return a | b; }
    static cv::v_uint8x16 of(const cv::v_uint8x16& a, const cv::v_uint8x16& b) { return a | b; }
};

// The least (or greatest) value over the ellipse whose rows reach as given around each pixel.
template <class Op>
cv::Mat morphed(const cv::Mat& picture, const std::vector<int>& rowReaches) {
    const int cols = picture.cols, rows = picture.rows, radius = static_cast<int>(rowReaches.size()) / 2;
    std::vector<int> widths = rowReaches;  // the distinct reaches, least first
    std::sort(widths.begin(), widths.end());
    widths.erase(std::unique(widths.begin(), widths.end()), widths.end());
    const int widest = widths.back();
    // Each row's values over runs of every reach, a run one wider at a time from the row itself (reach 0):
    // the narrower run's value and the pixels just beyond either end, the row padded with the identity.
    std::vector<cv::Mat> runs(widths.size());
    std::vector<std::uint8_t> line(static_cast<std::size_t>(cols + 2 * widest), Op::identity);
    std::vector<std::uint8_t> scratch[2] = {std::vector<std::uint8_t>(static_cast<std::size_t>(cols)),
                                            std::vector<std::uint8_t>(static_cast<std::size_t>(cols))};
    for (std::size_t w = 0; w < widths.size(); ++w)
        runs[w] = widths[w] == 0 ? picture : cv::Mat(rows, cols, CV_8U);
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* narrower = picture.ptr<std::uint8_t>(y);
        std::copy_n(narrower, cols, line.begin() + widest);
        int reach = 0;
        for (std::size_t w = 0; w < widths.size(); ++w)
            for (; reach < widths[w]; ++reach) {
                std::uint8_t* wider =
                    reach + 1 == widths[w] ? runs[w].ptr<std::uint8_t>(y) : scratch[reach % 2].data();
                const std::uint8_t* before = line.data() + widest - reach - 1;
                const std::uint8_t* after = line.data() + widest + reach + 1;
                int x = 0;
                for (; x + 16 <= cols; x += 16)
                    cv::v_store(wider + x, Op::of(cv::v_load(narrower + x),
                                                  Op::of(cv::v_load(before + x), cv::v_load(after + x))));
                for (; x < cols; ++x) wider[x] = Op::of(narrower[x], Op::of(before[x], after[x]));
                narrower = wider;
            }
    }
    // Down each column, the kernel's rows that lie in the picture, each over its run.
    cv::Mat out(rows, cols, CV_8U);
    std::vector<const std::uint8_t*> inputs;
    for (int y = 0; y < rows; ++y) {
        inputs.clear();
        for (int k = std::max(-radius, -y); k <= std::min(radius, rows - 1 - y); ++k) {
            const auto w =
                std::lower_bound(widths.begin(), widths.end(), rowReaches[k + radius]) - widths.begin();
            inputs.push_back(runs[w].ptr<std::uint8_t>(y + k));
        }
        std::uint8_t* o = out.ptr<std::uint8_t>(y);
        int x = 0;
        for (; x + 16 <= cols; x += 16) {
            cv::v_uint8x16 value = cv::v_load(inputs.front() + x);
            for (std::size_t i = 1; i < inputs.size(); ++i) value = Op::of(value, cv::v_load(inputs[i] + x));
            cv::v_store(o + x, value);
        }
        for (; x < cols; ++x) {
            std::uint8_t value = inputs.front()[x];
            for (std::size_t i = 1; i < inputs.size(); ++i) value = Op::of(value, inputs[i][x]);
            o[x] = value;
        }
    }
    return out;
}

}  // namespace

cv::Mat opened(const cv::Mat& picture, int side) {
    const auto rowReaches = side > smallSide ? reaches(side) : std::nullopt;
    if (!rowReaches || picture.type() != CV_8UC1 || picture.empty()) {
        cv::Mat out;
        cv::morphologyEx(picture, out, cv::MORPH_OPEN,
                         cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(side, side)));
        return out;
    }
    return morphed<Greatest>(morphed<Least>(picture, *rowReaches), *rowReaches);
}

std::vector<cv::Mat> openedAndClosed(const std::vector<cv::Mat>& masks, int side) {
    const auto rowReaches = reaches(side);
    std::vector<cv::Mat> out;
    if (!rowReaches) {
        const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(side, side));
        for (const cv::Mat& mask : masks) {
            cv::Mat m;
            cv::morphologyEx(mask, m, cv::MORPH_OPEN, kernel);
            cv::morphologyEx(m, m, cv::MORPH_CLOSE, kernel);
            out.push_back(m);
        }
        return out;
    }
    for (std::size_t first = 0; first < masks.size(); first += 8) {
        const std::size_t count = std::min<std::size_t>(8, masks.size() - first);
        cv::Mat bits(masks[first].size(), CV_8U, cv::Scalar(0));
        for (std::size_t k = 0; k < count; ++k) bits |= masks[first + k] & cv::Scalar(1 << k);
        const cv::Mat open = morphed<AnyOf>(morphed<AllOf>(bits, *rowReaches), *rowReaches);
        const cv::Mat closed = morphed<AllOf>(morphed<AnyOf>(open, *rowReaches), *rowReaches);
        for (std::size_t k = 0; k < count; ++k) out.push_back((closed & cv::Scalar(1 << k)) != 0);
    }
    return out;
}

void fillDrawnHoles(const cv::Mat& luma, cv::Mat& region, double fewestPixels) {
    cv::Mat labels;
    const int count = cv::connectedComponents(~region, labels, 4, CV_32S);
    std::vector<double> sums(static_cast<std::size_t>(count)), pixels(static_cast<std::size_t>(count));
    std::vector<char> open(static_cast<std::size_t>(count));
    double borderSum = 0, borderPixels = 0;
    for (int y = 0; y < region.rows; ++y)
        for (int x = 0; x < region.cols; ++x) {
            if (region.at<std::uint8_t>(y, x)) continue;
            const auto label = static_cast<std::size_t>(labels.at<int>(y, x));
            const double value = luma.at<std::uint8_t>(y, x);
            sums[label] += value;
            pixels[label] += 1;
            if (x == 0 || y == 0 || x == region.cols - 1 || y == region.rows - 1) {
                open[label] = 1;
                borderSum += value;
                borderPixels += 1;
            }
        }
    if (borderPixels == 0) return;
    const double surface = borderSum / borderPixels;
    std::vector<char> drawn(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < drawn.size(); ++i)
        drawn[i] = !open[i] && (pixels[i] < fewestPixels || sums[i] < surface * pixels[i]);
    for (int y = 0; y < region.rows; ++y)
        for (int x = 0; x < region.cols; ++x)
            if (drawn[static_cast<std::size_t>(labels.at<int>(y, x))]) region.at<std::uint8_t>(y, x) = 255;
}

}  // namespace quillfen::detail::paper
