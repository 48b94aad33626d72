#include "engine/cleanup/Cleaner.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/engine/ImageFixtures.h"
#include "tests/engine/CleanupCases.h"

using namespace quillfen;
using namespace quillfen::cleanupcases;
using namespace quillfen::fixtures;

namespace {

double psnr(const Bitmap& a, const Bitmap& b) {
    double squares = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const double d = a.pixel(x, y)[c] - b.pixel(x, y)[c];
                squares += d * d;
            }
        }
    }
    const double mean = squares / (3.0 * a.width * a.height);
    return mean == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mean);
}

struct ReducedCase {
    const char* name;
    int orientation;
    CleanupSettings settings;
    std::optional<double> decodedFor;  // the maximum side the file is decoded for
    double maximumSide;
};

}  // namespace

// Cleaned from the pixels as stored, scaled before the lighting, a picture has the size the
// cleanup of the upright picture and a downscale after it give, and the same picture within rounding.
TEST(CleanedAtMost, MakesThePictureOfTheCleanupScaledDown) {
    const ReducedCase cases[] = {
        {"plain", 1, settings(std::nullopt, 0, 0, false, 0), 400, 300},
        {"cropped, turned upright", 6, settings(tilted, 0, 0, true, 0.6), 400, 300},
        {"skewed, turned, straightened", 3, settings(skewed, 1, 2.5, false, 0.3), 400, 300},
        {"straightened the other way", 8, settings(tilted, 2, -4, true, 0), 400, 300},
        {"turned only, whitened", 6, settings(std::nullopt, 3, 0, false, 1), 400, 300},
        {"straightened without a crop", 8, settings(std::nullopt, 1, 3, true, 0.45), 400, 300},
        {"at the cleanup's own size", 8, settings(skewed, 0, 0, false, 0.6), 400, 2000},
        {"whole, to a print slot", 3, settings(skewed, 0, 1.5, true, 0.3), std::nullopt, 700},
        {"whole, to a small print slot", 6, settings(tilted, 1, 0, true, 0.6), std::nullopt, 90},
    };
    const Bytes jpeg = jpegBytes(photo(), 92);
    for (const ReducedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = withOrientation(jpeg, c.orientation);
        auto reference = Cleaner::decode(file, c.decodedFor);
        auto source = Cleaner::decodeSource(file, c.decodedFor);
        ASSERT_TRUE(reference && source);
        const auto wanted = Cleaner::downscaled(Cleaner::apply(c.settings, *reference), c.maximumSide);
        const auto made = Cleaner::cleanedAtMost(c.settings, *source, c.maximumSide);
        ASSERT_TRUE(wanted && made);
        ASSERT_EQ(sizeOf(*made), sizeOf(*wanted));
        EXPECT_GE(psnr(*made, *wanted), 60);
        EXPECT_EQ(Cleaner::outputSize(c.settings, *source), Cleaner::outputSize(c.settings, *reference));
    }
}

// A JPEG decoded as a source is the picture decode gives before it is turned upright.
TEST(CleanedAtMost, JpegSourcesAreTheDecodedPicturesAsStored) {
    const std::pair<int, int> cases[] = {{1, 0}, {3, 2}, {6, 1}, {8, 3}};  // orientation, clockwise turns
    for (const auto& [orientation, turns] : cases) {
        SCOPED_TRACE(orientation);
        const auto file = withOrientation(jpegBytes(photo(), 92), orientation);
        const auto upright = Cleaner::decode(file, 400);
        const auto source = Cleaner::decodeSource(file, 400);
        ASSERT_TRUE(upright && source);
        EXPECT_EQ(source->orientation, orientation);
        EXPECT_EQ(Cleaner::rotateQuarterTurns(source->pixels, turns), *upright);
    }
}

// Transparency is flattened onto white as the cleanup flattens it; nothing comes of a malformed
// picture or a maximum side below a pixel.
TEST(CleanedAtMost, FlattensTransparencyAndRefusesWhatDownscaledRefuses) {
    Bitmap cutOut = photo();
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < cutOut.width; ++x) {
            std::uint8_t* p = cutOut.pixel(x, y);
            const int alpha = x * 255 / cutOut.width;
            for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>(p[c] * alpha / 255);
        }
    }
    const CleanupSettings skewedAndWhitened = settings(skewed, 1, 2, true, 0.6);
    for (const double side : {700.0, 200.0}) {
        SCOPED_TRACE(side);
        const auto wanted = Cleaner::downscaled(Cleaner::apply(skewedAndWhitened, cutOut), side);
        const auto made = Cleaner::cleanedAtMost(skewedAndWhitened, cutOut, side);
        ASSERT_TRUE(wanted && made);
        ASSERT_EQ(sizeOf(*made), sizeOf(*wanted));
        EXPECT_GE(psnr(*made, *wanted), 60);
    }
    EXPECT_FALSE(Cleaner::cleanedAtMost({}, photo(), 0.5));
    EXPECT_FALSE(Cleaner::cleanedAtMost({}, Bitmap(), 100));
}
