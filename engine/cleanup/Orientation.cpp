#include "engine/cleanup/detail/Orientation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <opencv2/core/utility.hpp>

namespace quillfen::detail {

namespace {

// Moves every pixel of image to its upright place in out, in tiles so that turning a large
// picture by a quarter reads and writes memory in cache-sized pieces; bands of tiles run in parallel.
template <std::size_t bytes>
void orientedTiles(const cv::Mat& image, int orientation, cv::Mat& out) {
    constexpr int tile = 64;
    const bool transposes = orientation >= 5;
    const bool mirrorsX = orientation == 2 || orientation == 3 || orientation == 6 || orientation == 7;
    const bool mirrorsY = orientation == 3 || orientation == 4 || orientation == 7 || orientation == 8;
    const int width = out.cols, height = out.rows;
    cv::parallel_for_(cv::Range(0, (height + tile - 1) / tile), [&](const cv::Range& bands) {
        for (int y0 = bands.start * tile; y0 < std::min(bands.end * tile, height); y0 += tile) {
            for (int x0 = 0; x0 < width; x0 += tile) {
                const int x1 = std::min(x0 + tile, width);
                for (int y = y0; y < std::min(y0 + tile, height); ++y) {
                    // Along an output row the source moves by a whole row (when turned) or a pixel.
                    const int v = mirrorsY ? height - 1 - y : y;
                    const int u = mirrorsX ? width - 1 - x0 : x0;
                    const std::ptrdiff_t along = (transposes ? static_cast<std::ptrdiff_t>(image.step[0])
                                                             : static_cast<std::ptrdiff_t>(bytes)) *
                                                 (mirrorsX ? -1 : 1);
                    const std::uint8_t* source = transposes ? image.ptr<std::uint8_t>(u) + v * bytes
                                                            : image.ptr<std::uint8_t>(v) + u * bytes;
                    std::uint8_t* target = out.ptr<std::uint8_t>(y) + x0 * bytes;
                    for (int x = x0; x < x1; ++x, target += bytes, source += along) {
                        std::memcpy(target, source, bytes);
                    }
                }
            }
        }
    });
}

}  // namespace

bool reorients(int orientation) {
    return orientation >= 2 && orientation <= 8;
}

bool swapsSides(int orientation) {
    return orientation >= 5;
}

void oriented(const cv::Mat& image, int orientation, cv::Mat& out) {
    if (!reorients(orientation)) {
        image.copyTo(out);
        return;
    }
    const bool transposes = swapsSides(orientation);
    out.create(transposes ? image.cols : image.rows, transposes ? image.rows : image.cols, image.type());
    switch (image.elemSize()) {
        case 3:
            orientedTiles<3>(image, orientation, out);
            break;
        case 4:
            orientedTiles<4>(image, orientation, out);
            break;
        case 6:
            orientedTiles<6>(image, orientation, out);
            break;
        default:
            CV_Error(cv::Error::StsUnsupportedFormat, "unexpected pixel size");
    }
}

}  // namespace quillfen::detail
