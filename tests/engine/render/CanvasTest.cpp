#include "engine/render/Canvas.h"

#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>

using namespace quillfen;

TEST(PageImage, RejectsBytesThatAreNotJpegAndNamesBytesByContent) {
    for (const fixtures::Bytes& bytes :
         std::vector<fixtures::Bytes>{{}, {0x89, 'P', 'N', 'G', 0, 0}, {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0}}) {
        EXPECT_FALSE(PageImage::fromJpeg(bytes)) << bytes.size() << " bytes";
    }
    const auto bytes = fixtures::jpegBytes(fixtures::rampBitmap(8, 8));
    auto changed = bytes;
    changed[changed.size() / 2] ^= 1;
    EXPECT_EQ(PageImage::fromJpeg(bytes)->uniqueID(), PageImage::fromJpeg(bytes)->uniqueID());
    EXPECT_NE(PageImage::fromJpeg(changed)->uniqueID(), PageImage::fromJpeg(bytes)->uniqueID());
}
