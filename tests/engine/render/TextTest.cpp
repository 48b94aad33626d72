#include "engine/render/Canvas.h"
#include "engine/render/Text.h"

#include <gtest/gtest.h>

#include <thread>

using namespace quillfen;

TEST(Text, SetsAlikeOnSeveralThreadsAtOnce) {
    const Font font{"Noteworthy-Bold", 31};
    const auto draw = [&] {
        Canvas canvas(300, 80);
        canvas.drawTextFrame("Rex the dinosaur and all the planets", font, {0, 0, 0, 1}, {0, 0, 300, 80});
        return std::pair{Text::lineWidth("Rex the dinosaur", font), canvas.bitmap()};
    };
    const auto expected = draw();
    std::vector<std::pair<double, Bitmap>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) {
        threads.emplace_back([&] {
            for (int n = 0; n < 10; ++n) result = draw();
        });
    }
    for (auto& t : threads) t.join();
    for (const auto& result : results)
        EXPECT_TRUE(result == expected) << "text set differently on another thread";
}

// A caption narrower than "…" itself still shows that its text was cut: the "…" is drawn, placed as
// if exactly as wide as the caption.
TEST(Text, ALineNarrowerThanItsEllipsisDrawsTheEllipsis) {
    for (const double width : {60.0, 8.0, 1.0}) {
        SCOPED_TRACE(width);
        Canvas canvas(200, 80);
        const double used = canvas.drawTextLine("Rex the dinosaur", {"Georgia", 30}, {0, 0, 0, 1},
                                                TextAlignment::center, {100, 30}, width);
        EXPECT_EQ(used, width);
        const Bitmap& drawn = canvas.bitmap();
        int ink = 0;
        for (std::size_t i = 3; i < drawn.pixels.size(); i += 4) ink += drawn.pixels[i] > 0;
        EXPECT_GT(ink, 10) << "nothing drawn";
    }
}
