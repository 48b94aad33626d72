#include <algorithm>
#include <cmath>

#include "engine/detail/Finishing.h"
#include "engine/detail/LinearPixels.h"

namespace quillfen::detail {

namespace {

// Trilinear lookup of an encoded colour in a 32-entry-per-side cube.
void lookUp(const float* cube, float* rgb) {
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

std::uint8_t code(float encoded) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(encoded, 0.0f, 1.0f) * 255));
}

}  // namespace

Bitmap finished(const cv::Mat& linear, const Cleaner::BackgroundMap* background,
                const std::vector<float>* cube) {
    CV_Assert(linear.type() == CV_16UC3);
    if (!background && !cube) return bitmapOfLinear(linear);
    Bitmap out(linear.cols, linear.rows);
    const bool mapFits = background && background->width == linear.cols && background->height == linear.rows;
    forEachRows(linear.rows, linear.cols, [&](int begin, int end) {
        std::vector<float> reciprocal(static_cast<std::size_t>(linear.cols) * 3, 1.0f);
        for (int y = begin; y < end; ++y) {
            if (mapFits) {
                for (int x = 0; x < linear.cols; ++x) {
                    const auto paper = background->at(x, y);
                    for (int c = 0; c < 3; ++c) reciprocal[x * 3 + c] = 1 / paper[c];
                }
            }
            const auto* in = linear.ptr<std::uint16_t>(y);
            std::uint8_t* pixel = out.pixel(0, y);
            for (int x = 0; x < linear.cols; ++x, in += 3, pixel += 4) {
                float rgb[3];
                for (int c = 0; c < 3; ++c) {
                    const float light = std::min(in[c] / 65535.0f * reciprocal[x * 3 + c], 1.0f);
                    rgb[c] = encodedOfLinear(light);
                }
                if (cube) lookUp(cube->data(), rgb);
                pixel[0] = code(rgb[0]), pixel[1] = code(rgb[1]), pixel[2] = code(rgb[2]), pixel[3] = 255;
            }
        }
    });
    return out;
}

}  // namespace quillfen::detail
