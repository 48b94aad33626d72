#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include <opencv2/core.hpp>

#include "engine/core/Bitmap.h"

// Internal to the engine's image code: the working form of a picture and the conversions between it
// and Bitmap. Working pictures are CV_16UC3 in linear-light sRGB (red, green, blue), opaque, so that
// resampling, averages and division act on light rather than on encoded values.
namespace quillfen::detail {

// Linear light of an sRGB-encoded value 0...1.
double linearOfEncoded(double encoded);
// The same from a table of encodeSteps steps with linear interpolation between them, within 1e-7 of
// it; values outside 0...1 are computed exactly. The table form is for inner loops.
const float* decodeTable();  // encodeSteps + 1 values
// Linear light 0...1 of each 8-bit sRGB code.
const std::array<float, 256>& linearOfCode();
// The sRGB-encoded value 0...1 of a linear value 0...1 (clamped), from a table of encodeSteps
// steps with linear interpolation between them; the table form is for inner loops.
inline constexpr int encodeSteps = 4096;
const float* encodeTable();  // encodeSteps + 1 values
inline float encodedOfLinear(float linear, const float* table) {
    if (!(linear > 0)) return 0;
    if (linear >= 1) return 1;
    const float position = linear * encodeSteps;
    const int i = static_cast<int>(position);
    return table[i] + (table[i + 1] - table[i]) * (position - static_cast<float>(i));
}
float encodedOfLinear(float linear);
inline float linearOfEncoded(float encoded, const float* table) {
    if (!(encoded >= 0 && encoded < 1))
        return static_cast<float>(linearOfEncoded(static_cast<double>(encoded)));
    const float position = encoded * encodeSteps;
    const int i = static_cast<int>(position);
    return table[i] + (table[i + 1] - table[i]) * (position - static_cast<float>(i));
}
// The 8-bit sRGB code of each 16-bit linear value.
const std::vector<std::uint8_t>& codeOfLinear16();
// The sRGB-encoded value 0...1 of each 16-bit linear value: 65536 floats.
const float* encodedOfLinear16();
// The 16-bit linear value of each 8-bit sRGB code.
const std::array<std::uint16_t, 256>& linear16OfCode();

// Rounds a pixel extent up to whole pixels, first snapping values within 1e-6 of a whole number, so
// that floating-point noise never adds a pixel.
int outwardPixels(double extent);
// Rounds a pixel coordinate down to a whole pixel with the same snapping.
int inwardPixels(double coordinate);

// A working picture of an 8-bit picture: CV_8UC3 (RGB), CV_8UC4 (RGBA, straight alpha) or a Bitmap
// (premultiplied).
// Transparency is flattened onto white.
cv::Mat linearOfRgb(const cv::Mat& rgb);
cv::Mat linearOfBitmap(const Bitmap& bitmap);
cv::Mat linearOfBitmap(const Bitmap& bitmap, const cv::Rect& region);  // region inside the bitmap
// Pixels x0 ... x0 + width - 1 of row y of a Bitmap as working values, `samples` a pixel of which the
// first three are written (red, green, blue).
void linearRowOfBitmap(const Bitmap& bitmap, int x0, int y, int width, std::uint16_t* out, int samples = 3);
// An 8-bit RGB picture (CV_8UC3) with any straight alpha flattened onto white.
cv::Mat rgbFlattened(const cv::Mat& rgba);
// An opaque Bitmap of a working picture or of an 8-bit RGB picture.
Bitmap bitmapOfLinear(const cv::Mat& linear);
Bitmap bitmapOfRgb(const cv::Mat& rgb);
// Whether the alphas of count RGBA pixels from rgba on are all 255.
bool allOpaque(const std::uint8_t* rgba, std::size_t count);
// Runs body over row ranges of 0...rows, in parallel for large pictures.
void forEachRows(int rows, int columns, const std::function<void(int begin, int end)>& body);

}  // namespace quillfen::detail
