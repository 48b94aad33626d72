#include "engine/render/Canvas.h"
#include "engine/render/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

using namespace quillfen;

namespace {

// The columns and rows (from the top) that hold ink; maxX is -1 when there is none.
struct Ink {
    int minX = 1 << 30, maxX = -1, maxRow = -1;
};

Ink inkOf(const Bitmap& b) {
    Ink ink;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            if (b.pixel(x, y)[3] == 0) continue;
            ink = {std::min(ink.minX, x), std::max(ink.maxX, x), y};
        }
    }
    return ink;
}

}  // namespace

TEST(Text, PageFontNamesResolveThroughTheFontTable) {
    // A typo in any row of the table shows in one of these.
    const std::pair<const char*, const char*> cases[] = {
        {"Noteworthy-Bold", "Comic Neue Bold"},
        {"Georgia-BoldItalic", "Noto Serif Bold Italic"},
        {"AvenirNext-DemiBold", "Lato Semi-Bold"},
    };
    for (const auto& [name, face] : cases) EXPECT_EQ(Text::resolvedFace(name), face) << name;
    // A name outside the table still gives a font with widths.
    EXPECT_FALSE(Text::resolvedFace("Helvetica-Oblique").empty());
    EXPECT_GT(Text::lineWidth("Sunflowers", {"Helvetica-Oblique", 12}), 10);
}

TEST(Text, MetricsScaleWithSizeSoThumbnailsBreakLikePdfs) {
    const std::string text = "Everybody at the park, age 5 · March 2024";
    const double small = Text::lineWidth(text, {"Georgia-Italic", 7.3});
    const double large = Text::lineWidth(text, {"Georgia-Italic", 73});
    EXPECT_NEAR(large, small * 10, large * 2e-4) << "hinted or rounded metrics";
    EXPECT_NEAR(Text::suggestedFrameSize(text, {"Georgia-Italic", 73}, large * 0.6).height,
                Text::suggestedFrameSize(text, {"Georgia-Italic", 7.3}, small * 0.6).height * 10, 0.05)
        << "lines break differently at another size";
}

TEST(Text, FittedSizeShrinksByTenthsUntilItFitsOrReachesEight) {
    const std::string title = "The Big Book of Drawings by Mia and Leo";
    const std::string font = "Noteworthy-Bold";
    for (const Rect box :
         {Rect{0, 0, 200, 60}, Rect{0, 0, 20, 2}}) {
        SCOPED_TRACE(testing::Message() << box.width() << "x" << box.height());
        const double start = 40;
        const double size = Text::fittedSize(title, font, start, box);
        const double steps = std::log(size / start) / std::log(0.9);
        EXPECT_NEAR(steps, std::round(steps), 1e-9) << "not a whole number of 0.9 steps";
        const auto height = [&](double s) {
            return Text::suggestedFrameSize(title, {font, s}, box.width()).height;
        };
        EXPECT_TRUE(height(size) <= box.height() || size <= 8);
        if (size < start) {
            EXPECT_GT(size / 0.9, 8) << "shrunk past the floor";
            EXPECT_GT(height(size / 0.9), box.height()) << "shrunk although the previous size fitted";
        }
    }
}

TEST(Text, LinesAreCutWithAnEllipsisWithinTheirWidth) {
    const Font font{"AvenirNext-Regular", 20};
    const std::string text = "Butterfly garden in the summer";
    const double full = Text::lineWidth(text, font);
    // Each case: the room, and the width used for placement (0: not even "…" fits, nothing drawn).
    for (const auto& [room, used] :
         {std::pair{full + 10, full}, {full / 2, full / 2}, {30.0, 30.0}, {3.0, 0.0}}) {
        SCOPED_TRACE(room);
        Canvas canvas(400, 60);
        EXPECT_NEAR(canvas.drawTextLine(text, font, {0, 0, 0, 1}, TextAlignment::center, {200, 20}, room),
                    used, 1e-6);
        const Ink ink = inkOf(canvas.bitmap());
        if (used == 0) {
            EXPECT_EQ(ink.maxX, -1) << "an overflowing line was drawn";
            continue;
        }
        EXPECT_GE(ink.minX, std::floor(200 - room / 2) - 1);
        EXPECT_LE(ink.maxX, std::ceil(200 + room / 2) + 1);
        EXPECT_NEAR(ink.maxRow, 60 - 20, 6) << "baseline not at y = 20";
    }
}

TEST(Text, FramesLeaveOutLinesThatDoNotFit) {
    const Font font{"Georgia", 20};
    const double line = Text::suggestedFrameSize("One", font, 300).height;
    EXPECT_NEAR(Text::suggestedFrameSize("One\nTwo", font, 300).height, 2 * line, 0.01);
    for (const auto& [frameHeight, lines] :
         {std::pair{2.5 * line, 2}, {line - 2, 0}}) {
        SCOPED_TRACE(frameHeight);
        Canvas canvas(300, 200);
        canvas.drawTextFrame("One\nTwo\nThree", font, {0, 0, 0, 1}, {0, 200 - frameHeight, 300, frameHeight});
        const Ink ink = inkOf(canvas.bitmap());
        if (lines == 0) {
            EXPECT_EQ(ink.maxX, -1);
            continue;
        }
        EXPECT_LT(ink.maxRow, lines * line) << "a line that does not fit was drawn";
        EXPECT_GT(ink.maxRow, (lines - 1) * line + line / 2) << "a line that fits is missing";
        EXPECT_NEAR((ink.minX + ink.maxX) / 2.0, 150, 8) << "lines are not centred";
    }
}

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
