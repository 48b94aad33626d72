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
