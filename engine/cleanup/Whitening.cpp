#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "engine/cleanup/Lighting.h"
#include "engine/cleanup/detail/Finishing.h"
#include "engine/cleanup/detail/LinearPixels.h"

namespace quillfen::Cleaner {

namespace {

constexpr int cubeDimension = 32;
constexpr int topLevel = 20;

struct Band {
    double lo, hi;
};

Band bandOf(double t) {
    const double hi = 1 - 0.16 * t;
    return Band{hi - 0.08 - 0.14 * t, hi};
}

std::vector<float> buildCube(int level) {
    const double t = static_cast<double>(level) / topLevel;
    std::vector<float> cube(static_cast<std::size_t>(cubeDimension) * cubeDimension * cubeDimension * 4);
    for (int b = 0; b < cubeDimension; ++b) {
        for (int g = 0; g < cubeDimension; ++g) {
            for (int r = 0; r < cubeDimension; ++r) {
                const double rv = r / 31.0, gv = g / 31.0, bv = b / 31.0;
                const double s = whitenWeight(std::min({rv, gv, bv}), t);
                float* entry = &cube[((static_cast<std::size_t>(b) * 1024) + g * 32 + r) * 4];
                entry[0] = static_cast<float>(rv + (1 - rv) * s);
                entry[1] = static_cast<float>(gv + (1 - gv) * s);
                entry[2] = static_cast<float>(bv + (1 - bv) * s);
                entry[3] = 1;
            }
        }
    }
    return cube;
}

}  // namespace

double whitenWeight(double m, double t) {
    const Band band = bandOf(t);
    if (m <= band.lo) return 0;
    if (m >= band.hi) return 1;
    const double u = (m - band.lo) / (band.hi - band.lo);
    return u * u * (3 - 2 * u);
}

std::optional<int> whitenLevel(double strength) {
    if (!(strength > 0)) return std::nullopt;
    return static_cast<int>(std::lround(std::min(strength, 1.0) * topLevel));
}

std::shared_ptr<const std::vector<float>> whitenCube(int level) {
    // The one piece of state the engine shares between threads: built cubes by level, guarded by
    // one lock that is held while a missing cube is built.
    static std::mutex cubeLock;
    static std::map<int, std::shared_ptr<const std::vector<float>>> cubeCache;
    level = std::clamp(level, 0, topLevel);
    const std::lock_guard lock(cubeLock);
    auto& entry = cubeCache[level];
    if (!entry) entry = std::make_shared<const std::vector<float>>(buildCube(level));
    return entry;
}

Bitmap whiten(const Bitmap& image, double strength) {
    const auto level = whitenLevel(strength);
    if (!level || image.isEmpty() || image.pixels.size() != Bitmap::byteCount(image.width, image.height)) {
        return image;
    }
    const auto cube = whitenCube(*level);
    return detail::finished(detail::linearOfBitmap(image), nullptr, cube.get());
}

}  // namespace quillfen::Cleaner
