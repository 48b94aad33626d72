#include "engine/cleanup/ImageIO.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>
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

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) out.push_back(static_cast<char>(v));
    return out;
}

// An "ispe" property of width x height (each below 65536).
std::string ispe(int width, int height) {
    return "ispe" + bytes({0, 0, 0, 0, 0, 0, width >> 8, width & 255, 0, 0, height >> 8, height & 255});
}

// The grid file with a sound canvas, made into another composition: item 1 is the coded 64 x 64
// tile, item 2 the primary 32 x 24 grid of it; the replacements change types, sizes and references
// where they stand.
Bytes recomposed(const std::vector<std::pair<std::string, std::string>>& replacements) {
    Bytes file = hostileFile("heic-grid-30000.heic");
    std::vector<std::pair<std::string, std::string>> all{{bytes({0x75, 0x30, 0x75, 0x30}), bytes({0, 32, 0, 24})}};
    all.insert(all.end(), replacements.begin(), replacements.end());
    for (const auto& [from, to] : all) {
        const auto at = std::search(file.begin(), file.end(), from.begin(), from.end());
        if (at == file.end() || from.size() != to.size()) throw std::logic_error("nothing to replace: " + from);
        std::copy(to.begin(), to.end(), at);
    }
    return file;
}

}  // namespace

TEST(HostileImages, DerivedPicturesLibheifCannotDecodeAreRefusedWithoutEndingTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string tileInput = "dimg" + bytes({0, 2, 0, 1, 0, 1});
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> replacements;
    };
    const Case cases[] = {
        {"identity of an hvc0 item", {{"grid", "iden"}, {"hvc1", "hvc0"}}},
        {"identity of an hvc2 item", {{"grid", "iden"}, {"hvc1", "hvc2"}}},
        {"grid of an Exif item", {{"hvc1", "Exif"}}},
        {"identity of itself", {{"grid", "iden"}, {tileInput, "dimg" + bytes({0, 2, 0, 1, 0, 2})}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes file = recomposed(c.replacements);
        EXPECT_EXIT(std::exit(Cleaner::decode(file) || Cleaner::imageSize(file) ? 1 : 0), ::testing::ExitedWithCode(0), "");
    }
}

// An identity that declares 33 x 24 for its 64 x 64 input is refused by size and decoding alike, so
// that the size of a drawing never differs from its picture's; one that declares its input's reads.
TEST(HostileImages, SizeAndDecodedPictureNeverDisagree) {
    const Bytes identity = recomposed({{"grid", "iden"}, {ispe(32, 24), ispe(64, 64)}});
    EXPECT_EQ(Cleaner::imageSize(identity), (Size{64, 64}));
    const auto shown = Cleaner::decode(identity);
    ASSERT_TRUE(shown);
    EXPECT_EQ(sizeOf(*shown), (Size{64, 64}));

    const Bytes claiming = recomposed({{"grid", "iden"}, {ispe(32, 24), ispe(33, 24)}});
    const auto image = Cleaner::decode(claiming);
    EXPECT_FALSE(image) << "decoded to " << sizeOf(*image).width << " x " << sizeOf(*image).height;
    EXPECT_FALSE(Cleaner::decode(claiming, 1000));
    EXPECT_FALSE(Cleaner::imageSize(claiming));
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
