#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "engine/core/Bitmap.h"

namespace quillfen::Cleaner {

// The colour of the bare paper at every point of a picture, estimated on a small copy of it. The
// estimate is kept small and sampled bilinearly at the picture's size. A plain value.
struct BackgroundMap {
    int width = 0;  // the picture's size in pixels
    int height = 0;
    int mapWidth = 0;  // the estimate's size in cells
    int mapHeight = 0;
    std::vector<float> rgb;  // linear light, 3 floats per cell, rows from the top

    // The paper colour at the centre of pixel (x, y) of the picture (rows from the top), in linear
    // light, each component clamped to 0.05...1 so that dividing by it brightens at most twentyfold.
    std::array<float, 3> at(int x, int y) const;

    // Bilinear sampling, one axis at a time: the two cells around pixel centre `pixel` of `pixels`
    // spread over `cells`, and the weight of the second.
    struct Sample {
        int low = 0;
        int high = 0;
        float fraction = 0;
    };
    static Sample sample(int pixel, int pixels, int cells);
    static float clamped(float component) {
        return !(component >= 0.05f) ? 0.05f : component > 1 ? 1 : component;  // not a number: 0.05
    }
    // The cells of picture row y, interpolated between the map's rows: mapWidth * 3 floats.
    void interpolateRow(int y, float* cells) const;
};

// Evening out the light and whitening the paper: the last steps of the cleanup. Pure functions,
// safe on any thread; the whitening cubes are built once per level and shared behind one lock.
// The paper of a picture smaller than 2 x 2 pixels is estimated on a 2 x 2 copy of it; an empty or
// malformed picture is returned unchanged by every step that returns a picture.

// The paper estimate on an RGBA float buffer of sRGB-encoded values, width * height * 4 floats:
// a buffer of the same size holding the paper colour of each pixel (alpha 1).
std::vector<float> estimatePaper(const std::vector<float>& rgba, int width, int height);
// Means of factor x factor blocks (whole blocks only); the plane unchanged for factors below 2.
std::vector<float> boxAverage(const std::vector<float>& plane, int width, int height, int factor);
// A Gaussian blur whose weights outside the grid are left out and the rest renormalised.
std::vector<float> gaussianBlur(const std::vector<float>& plane, int width, int height, float sigma);

// The photo divided by the background in linear light, clamped to 0...1.
Bitmap divide(const Bitmap& photo, const BackgroundMap& background);
// The photo divided by its own background map.
Bitmap flatten(const Bitmap& image);
// The photo divided by the mean colour of its background map: the tint goes, the light stays.
Bitmap evenPaperColor(const Bitmap& image);
// The mean colour of a map, as a uniform map of the same picture size.
BackgroundMap averaged(const BackgroundMap& map);

// Near-white colours pushed to white by a colour cube of the strength's level; strengths of 0 or
// less (or not a number) leave the picture unchanged.
Bitmap whiten(const Bitmap& image, double strength);
// The cube level 0...20 of a strength, halves away from zero; nothing when whitening is off.
std::optional<int> whitenLevel(double strength);
// The 32 x 32 x 32 colour cube of a level: RGBA floats, red fastest, then green, then blue, on
// sRGB-encoded values. Built at most once per level for the life of the process.
std::shared_ptr<const std::vector<float>> whitenCube(int level);
// How far a colour whose smallest component is m moves towards white at strength t = level / 20.
double whitenWeight(double m, double t);

}  // namespace quillfen::Cleaner
