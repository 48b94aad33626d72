#include "engine/core/PixelStorage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/core/Bitmap.h"
#include "tests/engine/MappingFlags.h"

using namespace quillfen;

TEST(PixelStorage, ANewBitmapIsTransparentBlackWhereAFreedOneLeftColour) {
    for (const int side : {8, 64, 1200}) {
        SCOPED_TRACE(side);
        {
            Bitmap painted = Bitmap::toBeFilled(side, side);
            std::fill(painted.pixels.begin(), painted.pixels.end(), 0xAB);
        }
        const Bitmap fresh(side, side);
        EXPECT_TRUE(std::all_of(fresh.pixels.begin(), fresh.pixels.end(), [](auto b) { return b == 0; }));
    }
}

TEST(PixelStorage, LargePicturesHaveHugePagesSmallOnesStayOnTheHeap) {
    if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage")) GTEST_SKIP() << "no huge pages";
    const Bitmap large = Bitmap::toBeFilled(4000, 3000);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large.pixels.data()) % (std::uintptr_t{2} << 20), 0u);
    EXPECT_TRUE(fixtures::advisedForHugePages(large.pixels.data()));
    EXPECT_TRUE(fixtures::advisedForHugePages(&large.pixels.back()));
    const Bitmap small = Bitmap::toBeFilled(100, 100);
    EXPECT_FALSE(fixtures::advisedForHugePages(small.pixels.data()));
}
