#include "engine/Canvas.h"

#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>

#include <array>

using namespace quillfen;

namespace {

std::array<int, 4> rgba(const Bitmap& b, int x, int yFromTop) {
    const std::uint8_t* p = b.pixel(x, yFromTop);
    return {p[0], p[1], p[2], p[3]};
}

int alphaAt(const Bitmap& b, int x, int yFromTop) {
    return b.pixel(x, yFromTop)[3];
}

}  // namespace

TEST(Canvas, OriginIsLowerLeftAndPixelsArePremultipliedRgba) {
    struct Case {
        Color color;
        std::array<int, 4> expected;
    };
    const Case cases[] = {
        {{1, 0, 0, 1}, {255, 0, 0, 255}},
        {{0, 0, 1, 1}, {0, 0, 255, 255}},
        {{1, 0.5, 0, 0.5}, {128, 64, 0, 128}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.color.red << "," << c.color.green << "," << c.color.alpha);
        Canvas canvas(40, 20);
        ASSERT_TRUE(canvas.isValid());
        canvas.setFillColor(c.color);
        canvas.fillRect({0, 0, 10, 5});  // the lower-left corner
        const Bitmap b = canvas.bitmap();
        ASSERT_EQ(b.width, 40);
        ASSERT_EQ(b.height, 20);
        const auto bottomLeft = rgba(b, 2, 18);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(bottomLeft[i], c.expected[i], 1);
        EXPECT_EQ(alphaAt(b, 2, 2), 0) << "the top row must stay empty";
        EXPECT_EQ(alphaAt(b, 12, 18), 0);
    }
}

TEST(Canvas, ZeroSizedCanvasIsInvalidAndGivesNoPixels) {
    for (const auto& size : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-3, 5}}) {
        Canvas canvas(size.first, size.second);
        EXPECT_FALSE(canvas.isValid());
        canvas.fillRect({0, 0, 5, 5});  // harmless
        EXPECT_TRUE(canvas.bitmap().isEmpty());
    }
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
    EXPECT_EQ(alphaAt(b, 15, 33), 0) << "the shadow leaked";
}

TEST(Canvas, ShadowOffsetAndBlurAreInDeviceSpace) {
    struct Case {
        double scale;
        double blur;
    };
    for (const Case c : {Case{1, 0}, Case{0.5, 0}, Case{4, 0}, Case{0.5, 6}}) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << " blur " << c.blur);
        Canvas canvas(100, 100);
        canvas.scale(c.scale, c.scale);
        // a 20-pixel square at device (40, 50)-(60, 70), y up
        canvas.setShadow({0, -20}, c.blur, Color::black());
        canvas.setFillColor(Color::white());
        canvas.fillRect({40 / c.scale, 50 / c.scale, 20 / c.scale, 20 / c.scale});
        const Bitmap b = canvas.bitmap();
        // white square rows 30..49 from the top; the shadow 20 pixels lower: rows 50..69
        EXPECT_EQ(rgba(b, 50, 40), (std::array<int, 4>{255, 255, 255, 255}));
        EXPECT_GT(alphaAt(b, 50, 60), 200) << "no shadow 20 device pixels below";
        EXPECT_EQ(alphaAt(b, 50, 85), 0) << "shadow offset was scaled";
        if (c.blur > 0) {
            EXPECT_GT(alphaAt(b, 50, 71), 0) << "blur does not soften the edge";
        } else {
            EXPECT_EQ(alphaAt(b, 50, 72), 0);
        }
    }
}

TEST(Canvas, DashedStrokeLeavesGaps) {
    Canvas canvas(60, 10);
    canvas.setStrokeColor(Color::black());
    canvas.setLineWidth(2);
    canvas.setLineDash({10, 10});
    Path line;
    line.moveTo({0, 5});
    line.lineTo({60, 5});
    canvas.stroke(line);
    const Bitmap b = canvas.bitmap();
    EXPECT_GT(alphaAt(b, 5, 5), 200);
    EXPECT_EQ(alphaAt(b, 15, 5), 0);
    EXPECT_GT(alphaAt(b, 25, 5), 200);
}

TEST(Canvas, ImagesStandUprightFromBitmapsAndJpegs) {
    Bitmap quadrants(2, 2);
    const std::uint8_t colours[4][4] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    for (int i = 0; i < 4; ++i) std::copy(colours[i], colours[i] + 4, quadrants.pixel(i % 2, i / 2));
    const Bitmap big = fixtures::rampBitmap(64, 64);
    const auto jpeg = PageImage::fromJpeg(fixtures::jpegBytes(big, 95));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->width(), 64);

    Canvas canvas(40, 40);
    canvas.drawImage(PageImage::fromBitmap(quadrants), {0, 0, 40, 40});
    const Bitmap b = canvas.bitmap();
    EXPECT_EQ(rgba(b, 5, 5), (std::array<int, 4>{255, 0, 0, 255})) << "top-left pixel must stay top left";
    EXPECT_EQ(rgba(b, 35, 35), (std::array<int, 4>{255, 255, 255, 255}));

    Canvas jpegCanvas(64, 64);
    jpegCanvas.drawImage(*jpeg, {0, 0, 64, 64});
    const Bitmap j = jpegCanvas.bitmap();
    for (const auto& [x, y] : {std::pair{3, 3}, std::pair{60, 10}, std::pair{10, 60}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        for (int channel = 0; channel < 3; ++channel) {
            EXPECT_NEAR(j.pixel(x, y)[channel], big.pixel(x, y)[channel], 12);
        }
    }
}

TEST(PageImage, RejectsBytesThatAreNotJpeg) {
    const std::vector<std::vector<std::uint8_t>> bad = {
        {}, {0xFF}, {0x89, 'P', 'N', 'G', 0, 0}, {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0}};
    for (const auto& bytes : bad) {
        SCOPED_TRACE(bytes.size());
        EXPECT_FALSE(PageImage::fromJpeg(bytes));
    }
    const auto bytes = fixtures::jpegBytes(fixtures::rampBitmap(8, 8));
    EXPECT_EQ(PageImage::fromJpeg(bytes)->uniqueID(), PageImage::fromJpeg(bytes)->uniqueID());
    auto changed = bytes;
    changed[changed.size() / 2] ^= 1;
    EXPECT_NE(PageImage::fromJpeg(changed)->uniqueID(), PageImage::fromJpeg(bytes)->uniqueID());
}
