#include "engine/cleanup/Cleaner.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "tests/engine/ImageFixtures.h"

using namespace quillfen;
using namespace quillfen::fixtures;

// Settings that a damaged document can hold: the pipeline takes them without undefined behaviour
// and without growing a picture beyond what its crop can show.

TEST(DamagedSettings, QuarterTurnsBeyond32BitsAreReadUnchangedAndTurnByTheirLowBits) {
    struct Case { std::int64_t turns; Size size; };
    const Case cases[] = {{4294967297, {300, 400}},  // 2^32 + 1
                          {std::numeric_limits<std::int64_t>::max(), {300, 400}},
                          {-4294967296, {400, 300}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.turns);
        Json stored = encode(CleanupSettings::defaults());
        stored["quarterTurns"] = c.turns;
        const auto settings = decode<CleanupSettings>(stored);
        EXPECT_EQ(settings.quarterTurns, c.turns);
        EXPECT_EQ(encode(settings), stored);
        EXPECT_EQ(sizeOf(Cleaner::apply(settings, quadrants(400, 300))), c.size);
        EXPECT_EQ(Cleaner::outputSize(settings, Size{400, 300}), c.size);
    }
}

TEST(DamagedSettings, StraightenAnglesThatAreNotFiniteInRadiansAreIgnored) {
    const Bitmap photo = quadrants(40, 30);
    for (const double degrees : {6e307, -1e308, std::numeric_limits<double>::max(),
                                 std::numeric_limits<double>::infinity(), std::nan("")}) {
        SCOPED_TRACE(degrees);
        CleanupSettings settings;
        settings.straighten = degrees;
        EXPECT_EQ(Cleaner::outputSize(settings, Size{40, 30}), (Size{40, 30}));
        EXPECT_EQ(Cleaner::apply(settings, photo), photo);
        EXPECT_EQ(Cleaner::straighten(photo, degrees), photo);
    }
}

TEST(DamagedSettings, CropCornersFarOutsideThePictureAreHeldToIt) {
    CleanupSettings settings;
    settings.crop = Quad{{-5000, 5001}, {5001, 5001}, {5001, -5000}, {-5000, -5000}};
    EXPECT_EQ(Cleaner::outputSize(settings, Size{1, 1}), (Size{1, 1}));
    EXPECT_EQ(sizeOf(Cleaner::apply(settings, quadrants(1, 1))), (Size{1, 1}));
    // Held to the picture, the crop is the whole of it, trimmed by 1.5 % on each side.
    EXPECT_EQ(Cleaner::outputSize(settings, Size{400, 300}), (Size{392, 292}));
    EXPECT_EQ(sizeOf(Cleaner::perspectiveCorrect(quadrants(400, 300), *settings.crop)), (Size{392, 292}));
}
