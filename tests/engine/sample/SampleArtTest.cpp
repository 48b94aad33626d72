#include "engine/sample/SampleArt.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/cleanup/PaperDetection.h"
#include "tests/engine/RenderingFixtures.h"

using namespace quillfen;
using SampleArt::Kind;

namespace {

bool isPortrait(Kind kind) {
    return kind == Kind::rocket || kind == Kind::flower || kind == Kind::tree || kind == Kind::snowman ||
           kind == Kind::butterfly;
}

}  // namespace

TEST(SampleArtSize, TruncatesAndRefusesWhatCannotBeDrawn) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double width;
        double height;
        std::optional<std::pair<int, int>> size;
    };
    const Case cases[] = {
        {2550.9, 3300.99, std::pair{2550, 3300}},  // Int() truncates
        {nan, 100, std::nullopt},
        {1e9, 1e9, std::nullopt},  // would need petabytes
        {1e12, 1, std::nullopt},   // does not fit an int
    };
    const Bitmap sheet = fixtures::filled(10, 10, [](int, int) { return fixtures::white; });
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        EXPECT_EQ(SampleArt::pixelSize(c.width, c.height), c.size);
        if (!c.size) {
            EXPECT_TRUE(SampleArt::image(Kind::cat, 1, c.width, c.height).isEmpty());
            EXPECT_TRUE(
                SampleArt::photographed(sheet, SampleArt::photoQuad(), true, c.width, c.height).isEmpty());
        }
    }
}

TEST(SampleArtPhoto, PaperDetectionFindsTheSheetInEveryPhotographedSample) {
    const Quad& expected = SampleArt::photoQuad();
    for (std::size_t n = 1; n <= SampleArt::items().size(); ++n) {
        const SampleArt::Item& item = SampleArt::items()[n - 1];
        if (!item.photographed) continue;
        SCOPED_TRACE(item.title);
        const bool portrait = isPortrait(item.kind);
        const Bitmap drawing = SampleArt::image(item.kind, n, portrait ? 2550 : 3300, portrait ? 3300 : 2550);
        const Bitmap photo =
            SampleArt::photographed(drawing, expected, true, portrait ? 2250 : 3000, portrait ? 3000 : 2250);
        const std::optional<Quad> found = Cleaner::detectPaper(photo);
        ASSERT_TRUE(found.has_value());
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(found->points()[i].x, expected.points()[i].x, 0.01) << "corner " << i;
            EXPECT_NEAR(found->points()[i].y, expected.points()[i].y, 0.01) << "corner " << i;
        }
    }
}
