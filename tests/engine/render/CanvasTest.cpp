#include "engine/render/Canvas.h"

#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>

#include <array>

using namespace quillfen;

namespace {

std::array<int, 4> rgba(const Bitmap& b, int x, int yFromTop) {
    const std::uint8_t* p = b.pixel(x, yFromTop);
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace

TEST(Canvas, OriginIsLowerLeftAndPixelsArePremultipliedRgba) {
    struct Case {
        Color color;
        std::array<int, 4> expected;
    };
    for (const Case c : {Case{{1, 0, 0, 1}, {255, 0, 0, 255}}, Case{{1, 0.5, 0, 0.5}, {128, 64, 0, 128}}}) {
        SCOPED_TRACE(testing::Message() << c.color.red << "," << c.color.green << "," << c.color.alpha);
        Canvas canvas(40, 20);
        canvas.setFillColor(c.color);
        canvas.fillRect({0, 0, 10, 5});  // the lower-left corner
        const Bitmap b = canvas.bitmap();
        const auto bottomLeft = rgba(b, 2, 18);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(bottomLeft[i], c.expected[i], 1);
        EXPECT_EQ(rgba(b, 2, 2)[3], 0) << "the top row must stay empty";
        EXPECT_EQ(rgba(b, 12, 18)[3], 0);
    }
    EXPECT_TRUE(Canvas(0, 10).bitmap().isEmpty());
    EXPECT_FALSE(Canvas(10, 0).isValid());
}

TEST(Canvas, RestoreUndoesColourClipTransformAndShadow) {
    Canvas canvas(40, 40);
    canvas.setFillColor({0, 1, 0, 1});
    canvas.save();
    canvas.setFillColor({1, 0, 0, 1});
    canvas.clipToRect({0, 0, 5, 5});
    canvas.translate(20, 20);
    canvas.setShadow({0, -10}, 0, Color::black());
    canvas.restore();
    canvas.fillRect({10, 10, 10, 10});
    const Bitmap b = canvas.bitmap();
    EXPECT_EQ(rgba(b, 15, 25), (std::array<int, 4>{0, 255, 0, 255})) << "colour, clip or transform leaked";
    EXPECT_EQ(rgba(b, 15, 33)[3], 0) << "the shadow leaked";
}

TEST(Canvas, ShadowOffsetAndBlurAreInDeviceSpace) {
    for (const auto& [scale, blur] : {std::pair{1.0, 0.0}, {4.0, 0.0}, {0.5, 6.0}}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale << " blur " << blur);
        Canvas canvas(100, 100);
        canvas.scale(scale, scale);
        canvas.setShadow({0, -20}, blur, Color::black());
        canvas.setFillColor(Color::white());
        canvas.fillRect({40 / scale, 50 / scale, 20 / scale, 20 / scale});  // rows 30 to 49 from the top
        const Bitmap b = canvas.bitmap();
        EXPECT_EQ(rgba(b, 50, 40), (std::array<int, 4>{255, 255, 255, 255}));
        EXPECT_GT(rgba(b, 50, 60)[3], 200) << "no shadow 20 device pixels below";
        EXPECT_EQ(rgba(b, 50, 85)[3], 0) << "shadow offset was scaled";
        if (blur > 0) {
            EXPECT_GT(rgba(b, 50, 71)[3], 0) << "blur does not soften the edge";
        } else {
            EXPECT_EQ(rgba(b, 50, 72)[3], 0);
        }
    }
}

TEST(PageImage, RejectsBytesThatAreNotJpegAndNamesBytesByContent) {
    for (const std::vector<std::uint8_t>& bytes : std::vector<std::vector<std::uint8_t>>{
             {}, {0x89, 'P', 'N', 'G', 0, 0}, {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0}}) {
        EXPECT_FALSE(PageImage::fromJpeg(bytes)) << bytes.size() << " bytes";
    }
    const auto bytes = fixtures::jpegBytes(fixtures::rampBitmap(8, 8));
    auto changed = bytes;
    changed[changed.size() / 2] ^= 1;
    EXPECT_EQ(PageImage::fromJpeg(bytes)->uniqueID(), PageImage::fromJpeg(bytes)->uniqueID());
    EXPECT_NE(PageImage::fromJpeg(changed)->uniqueID(), PageImage::fromJpeg(bytes)->uniqueID());
}

TEST(Canvas, HighQualityDownscalingAveragesFineDetailInsteadOfAliasing) {
    Bitmap stripes(480, 480);  // one-pixel black and white columns, upside down to tell the flip
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 480; ++x) {
            const std::uint8_t v = y < 240 ? 0 : x % 2 ? 255 : 0;
            std::uint8_t* p = stripes.pixel(x, y);
            p[0] = p[1] = p[2] = v;
            p[3] = 255;
        }
    }
    struct Case {
        double scale;  // the canvas transform; 60 device pixels either way
        Rect rect;
    };
    for (const Case c :
         {Case{1, {10, 10, 60, 60}}, Case{0.25, {40, 40, 240, 240}}, Case{2, {5, 5, 30, 30}}}) {
        SCOPED_TRACE(c.scale);
        Canvas canvas(80, 80);
        canvas.scale(c.scale, c.scale);
        canvas.setInterpolationQuality(InterpolationQuality::high);
        canvas.drawImage(PageImage::fromBitmap(stripes), c.rect);
        const Bitmap drawn = canvas.bitmap();
        for (int x = 15; x < 65; x += 7) {
            EXPECT_NEAR(drawn.pixel(x, 30)[0], 0, 3) << "the top half is black";
            EXPECT_NEAR(drawn.pixel(x, 55)[0], 128, 12) << "stripes average to grey, column " << x;
        }
        EXPECT_EQ(drawn.pixel(5, 40)[3], 0) << "nothing outside the rectangle";
    }
}
