#include "engine/cleanup/Lighting.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

#include "engine/cleanup/detail/Finishing.h"
#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/PaperMask.h"

namespace quillfen {

namespace {

constexpr int copyLongSide = 256;
constexpr int levelFactors[] = {1, 4, 16};
constexpr float blurSigma = 4.0f;
constexpr float levelWeightFloor = 0.04f;

// The encoded value of each 16-bit light as the estimate's copy is encoded, from encodeTable.
const float* encodingOfLight() {
    static const std::vector<float> table = [] {
        std::vector<float> t(65536);
        const float* encoding = detail::encodeTable();
        for (int i = 0; i < 65536; ++i) t[i] = detail::encodedOfLinear(i / 65535.0f, encoding);
        return t;
    }();
    return table.data();
}

bool isMalformed(const Bitmap& image) {
    return image.isEmpty() || image.pixels.size() != Bitmap::byteCount(image.width, image.height);
}

// Cleaner::gaussianBlur of each of the planes, all width x height; the weights within the grid are
// blurred once for all of them.
template <std::size_t count>
std::array<std::vector<float>, count> gaussianBlurred(const std::array<std::vector<float>, count>& planes,
                                                      int width, int height, float sigma) {
    if (width <= 0 || height <= 0 || !(sigma > 0)) return planes;
    const int radius = static_cast<int>(std::ceil(3 * sigma));
    cv::Mat kernel(1, 2 * radius + 1, CV_32F);
    for (int d = -radius; d <= radius; ++d) {
        kernel.at<float>(0, d + radius) = std::exp(-static_cast<float>(d * d) / (2 * sigma * sigma));
    }
    // Blurring the plane and a plane of ones with zeros outside, then dividing, leaves the weights
    // outside the grid out and renormalises the rest.
    cv::Mat weight;
    cv::sepFilter2D(cv::Mat::ones(height, width, CV_32F), weight, CV_32F, kernel, kernel, cv::Point(-1, -1),
                    0, cv::BORDER_CONSTANT);
    std::array<std::vector<float>, count> out;
    for (std::size_t i = 0; i < count; ++i) {
        const cv::Mat in(height, width, CV_32F, const_cast<float*>(planes[i].data()));
        cv::Mat sum;
        cv::sepFilter2D(in, sum, CV_32F, kernel, kernel, cv::Point(-1, -1), 0, cv::BORDER_CONSTANT);
        out[i].resize(planes[i].size());
        cv::Mat quotient(height, width, CV_32F, out[i].data());
        cv::divide(sum, weight, quotient);
    }
    return out;
}

}  // namespace

}  // namespace quillfen

namespace quillfen::Cleaner {

BackgroundMap::Sample BackgroundMap::sample(int pixel, int pixels, int cells) {
    const double u = std::clamp((pixel + 0.5) * cells / pixels - 0.5, 0.0, cells - 1.0);
    const int low = static_cast<int>(u);
    return Sample{low, std::min(low + 1, cells - 1), static_cast<float>(u - low)};
}

void BackgroundMap::interpolateRow(int y, float* cells) const {
    const Sample row = sample(y, height, mapHeight);
    const float* top = &rgb[static_cast<std::size_t>(row.low) * mapWidth * 3];
    const float* bottom = &rgb[static_cast<std::size_t>(row.high) * mapWidth * 3];
    for (int i = 0; i < mapWidth * 3; ++i) cells[i] = top[i] + (bottom[i] - top[i]) * row.fraction;
}

std::array<float, 3> BackgroundMap::at(int x, int y) const {
    if (mapWidth <= 0 || mapHeight <= 0 || width <= 0 || height <= 0 ||
        rgb.size() != static_cast<std::size_t>(mapWidth) * mapHeight * 3) {
        return {1, 1, 1};
    }
    std::vector<float> cells(static_cast<std::size_t>(mapWidth) * 3);
    interpolateRow(y, cells.data());
    const Sample column = sample(x, width, mapWidth);
    std::array<float, 3> out{};
    for (int c = 0; c < 3; ++c) {
        const float a = cells[column.low * 3 + c], b = cells[column.high * 3 + c];
        out[c] = clamped(a + (b - a) * column.fraction);
    }
    return out;
}

std::vector<float> boxAverage(const std::vector<float>& plane, int width, int height, int factor) {
    if (factor < 2) return plane;
    const int cw = std::max(1, width / factor), ch = std::max(1, height / factor);
    std::vector<float> out(static_cast<std::size_t>(cw) * ch, 0);
    // A row of blocks at once, each block's sum taken row by row as before, so that the sums of
    // neighbouring blocks wait on no one another.
    std::vector<double> sums(cw);
    for (int j = 0; j < ch; ++j) {
        const int y1 = std::min((j + 1) * factor, height);
        std::fill(sums.begin(), sums.end(), 0.0);
        for (int y = j * factor; y < y1; ++y) {
            const float* row = &plane[static_cast<std::size_t>(y) * width];
            for (int i = 0; i < cw; ++i) {
                double sum = sums[i];
                for (int x = i * factor; x < std::min((i + 1) * factor, width); ++x) sum += row[x];
                sums[i] = sum;
            }
        }
        for (int i = 0; i < cw; ++i) {
            const int count = (y1 - j * factor) * (std::min((i + 1) * factor, width) - i * factor);
            out[static_cast<std::size_t>(j) * cw + i] = count > 0 ? static_cast<float>(sums[i] / count) : 0;
        }
    }
    return out;
}

std::vector<float> gaussianBlur(const std::vector<float>& plane, int width, int height, float sigma) {
    return gaussianBlurred(std::array{plane}, width, height, sigma)[0];
}

std::vector<float> estimatePaper(const std::vector<float>& rgba, int width, int height) {
    return detail::paperOfMask(rgba, width, height, detail::paperMask(rgba, width, height));
}

}  // namespace quillfen::Cleaner

namespace quillfen::detail {

std::vector<float> paperOfMask(const std::vector<float>& rgba, int width, int height,
                               const std::vector<float>& paper) {
    const std::size_t n = static_cast<std::size_t>(width) * height;
    // The weight: paper with paper all around it within 2 pixels, the mask's minimum over the 5 x 5
    // window (its values are 0 and 1).
    std::array<std::vector<float>, 4> weighted{std::vector<float>(n), std::vector<float>(n),
                                               std::vector<float>(n), std::vector<float>(n)};
    const cv::Mat mask(height, width, CV_32F, const_cast<float*>(paper.data()));
    cv::Mat weight(height, width, CV_32F, weighted[0].data());
    cv::erode(mask, weight, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5)));

    // The weighted colours and the sheet's weighted sums in one pass; then the weight and the
    // weighted colours averaged and blurred at each level.
    double total = 0;
    std::array<double, 3> sums{};
    for (std::size_t p = 0; p < n; ++p) {
        const float w = weighted[0][p];
        total += w;
        for (int c = 0; c < 3; ++c) {
            weighted[c + 1][p] = rgba[p * 4 + c] * w;
            sums[c] += weighted[c + 1][p];
        }
    }
    std::array<float, 3> global{1, 1, 1};
    if (total > 0) {
        for (int c = 0; c < 3; ++c) global[c] = static_cast<float>(sums[c] / total);
    }
    struct Level {
        int factor, cw, ch;
        std::vector<float> weight;
        std::array<std::vector<float>, 3> colour;  // the mean colour of each cell's paper
    };
    std::vector<Level> levels;
    for (const int factor : levelFactors) {
        Level level{factor, std::max(1, width / factor), std::max(1, height / factor), {}, {}};
        auto blurred = factor < 2 ? gaussianBlurred(weighted, level.cw, level.ch, blurSigma) : [&] {
            std::array<std::vector<float>, 4> averaged;
            for (std::size_t i = 0; i < 4; ++i)
                averaged[i] = Cleaner::boxAverage(weighted[i], width, height, factor);
            return gaussianBlurred(averaged, level.cw, level.ch, blurSigma);
        }();
        level.weight = std::move(blurred[0]);
        for (int c = 0; c < 3; ++c) {
            level.colour[c] = std::move(blurred[c + 1]);
            for (std::size_t k = 0; k < level.weight.size(); ++k) level.colour[c][k] /= level.weight[k];
        }
        levels.push_back(std::move(level));
    }

    // Each level's cell column of every pixel column and the start of its row of cells, computed
    // once rather than divided out per pixel.
    std::vector<std::vector<int>> columns;
    for (const Level& level : levels) {
        std::vector<int>& column = columns.emplace_back(width);
        for (int x = 0; x < width; ++x) column[x] = std::min(x / level.factor, level.cw - 1);
    }
    std::vector<std::size_t> rowStarts(levels.size());
    std::vector<float> out(n * 4, 1.0f);
    for (int y = 0; y < height; ++y) {
        for (std::size_t l = 0; l < levels.size(); ++l) {
            rowStarts[l] =
                static_cast<std::size_t>(std::min(y / levels[l].factor, levels[l].ch - 1)) * levels[l].cw;
        }
        for (int x = 0; x < width; ++x) {
            float* pixel = &out[(static_cast<std::size_t>(y) * width + x) * 4];
            std::copy(global.begin(), global.end(), pixel);
            for (std::size_t l = 0; l < levels.size(); ++l) {
                const Level& level = levels[l];
                const std::size_t k = rowStarts[l] + columns[l][x];
                if (level.weight[k] > levelWeightFloor) {
                    for (int c = 0; c < 3; ++c) pixel[c] = level.colour[c][k];
                    break;
                }
            }
        }
    }
    return out;
}

}  // namespace quillfen::detail

namespace quillfen::Cleaner {

BackgroundMap averaged(const BackgroundMap& map) {
    BackgroundMap out{map.width, map.height, 1, 1, {1, 1, 1}};
    const std::size_t cells = static_cast<std::size_t>(map.mapWidth) * map.mapHeight;
    if (cells == 0 || map.rgb.size() != cells * 3) return out;
    for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (std::size_t k = 0; k < cells; ++k) sum += BackgroundMap::clamped(map.rgb[k * 3 + c]);
        out.rgb[c] = static_cast<float>(sum / cells);
    }
    return out;
}

Bitmap divide(const Bitmap& photo, const BackgroundMap& background) {
    if (isMalformed(photo)) return photo;
    return detail::finished(detail::linearOfBitmap(photo), &background, nullptr);
}

Bitmap flatten(const Bitmap& image) {
    if (isMalformed(image)) return image;
    const cv::Mat linear = detail::linearOfBitmap(image);
    const BackgroundMap map = detail::backgroundMapOfLinear(linear);
    return detail::finished(linear, &map, nullptr);
}

Bitmap evenPaperColor(const Bitmap& image) {
    if (isMalformed(image)) return image;
    const cv::Mat linear = detail::linearOfBitmap(image);
    const BackgroundMap mean = averaged(detail::backgroundMapOfLinear(linear));
    return detail::finished(linear, &mean, nullptr);
}

}  // namespace quillfen::Cleaner

namespace quillfen::detail {

Cleaner::BackgroundMap backgroundMapOfLinear(const cv::Mat& linear) {
    const int w = linear.cols, h = linear.rows;
    Cleaner::BackgroundMap map{w, h, 0, 0, {}};
    if (w <= 0 || h <= 0) return map;
    const double scale = std::min(static_cast<double>(copyLongSide) / std::max(w, h), 1.0);
    const int sw = std::max(2, static_cast<int>(std::lround(w * scale)));
    const int sh = std::max(2, static_cast<int>(std::lround(h * scale)));
    // Whole blocks first (OpenCV's fast, parallel path; at most a block's worth of edge pixels is
    // left out), then the last fractional step.
    cv::Mat small = linear;
    const int block = std::min(w / sw, h / sh);
    if (block >= 2) {
        const cv::Mat whole = linear(cv::Rect(0, 0, w / block * block, h / block * block));
        cv::resize(whole, small, cv::Size(w / block, h / block), 0, 0, cv::INTER_AREA);
    }
    cv::resize(small, small, cv::Size(sw, sh), 0, 0,
               sw < small.cols && sh < small.rows ? cv::INTER_AREA : cv::INTER_LINEAR);

    std::vector<float> rgba(static_cast<std::size_t>(sw) * sh * 4, 1.0f);
    const float* encoding = encodingOfLight();
    for (int y = 0; y < sh; ++y) {
        const auto* row = small.ptr<std::uint16_t>(y);
        float* out = &rgba[static_cast<std::size_t>(y) * sw * 4];
        for (int x = 0; x < sw; ++x, out += 4, row += 3) {
            out[0] = encoding[row[0]], out[1] = encoding[row[1]], out[2] = encoding[row[2]];
        }
    }
    const std::vector<float> paper = Cleaner::estimatePaper(rgba, sw, sh);
    map.mapWidth = sw;
    map.mapHeight = sh;
    map.rgb.resize(static_cast<std::size_t>(sw) * sh * 3);
    const float* decoding = decodeTable();
    for (std::size_t k = 0; k < static_cast<std::size_t>(sw) * sh; ++k) {
        for (int c = 0; c < 3; ++c) {
            map.rgb[k * 3 + c] = linearOfEncoded(paper[k * 4 + c], decoding);
        }
    }
    return map;
}

}  // namespace quillfen::detail
