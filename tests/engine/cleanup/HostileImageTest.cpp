#include "engine/cleanup/ImageIO.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "tests/engine/ImageFixtures.h"

using namespace quillfen;
using namespace quillfen::fixtures;

namespace {

Bytes hostileFile(const std::string& name) {
    std::ifstream in(std::string(QUILLFEN_TEST_DATA) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(HostileImages, CraftedHeicDoesNotEndTheProcess) {
    // An identity item whose input has no item entry fails an assertion inside libheif.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Bytes file = hostileFile("heic-iden-missing-item.heic");
    ASSERT_EQ(file.size(), 509u);
    EXPECT_EXIT(std::exit(Cleaner::decode(file) || Cleaner::imageSize(file) ? 1 : 0),
                ::testing::ExitedWithCode(0), "");
}

TEST(HostileImages, FilesClaimingMoreThanTheyHoldAreRefusedBeforeDecoding) {
    struct Case {
        const char* file;
        bool sizeRefused;  // the header alone shows the file cannot be read
    };
    const Case cases[] = {
        {"heic-grid-30000.heic", true},      // "ispe" says 32 x 24, the grid's canvas 30000 x 30000
        {"jpeg-14000-truncated.jpg", true},  // 14000 x 14000 in 545 bytes, ending in end-of-image
        {"jpeg-no-scan-data.jpg", false},    // 32 x 24 with an empty scan
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes file = hostileFile(c.file);
        ASSERT_FALSE(file.empty());
        EXPECT_FALSE(Cleaner::decode(file, 1000));
        EXPECT_FALSE(Cleaner::decode(file));
        if (c.sizeRefused) {
            EXPECT_FALSE(Cleaner::imageSize(file));
        }
    }
}

TEST(HostileImages, GridWhoseCanvasMatchesItsSizeStillReads) {
    Bytes file = hostileFile("heic-grid-30000.heic");
    const Bytes canvas = {0x75, 0x30, 0x75, 0x30};  // 30000 x 30000 in the grid's data
    const auto at = std::search(file.begin(), file.end(), canvas.begin(), canvas.end());
    ASSERT_NE(at, file.end());
    std::copy_n(Bytes{0, 32, 0, 24}.begin(), 4, at);
    const auto image = Cleaner::decode(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(sizeOf(*image), (Size{32, 24}));
    EXPECT_EQ(Cleaner::imageSize(file), (Size{32, 24}));
}
