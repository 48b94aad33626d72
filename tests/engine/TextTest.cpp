#include "engine/Canvas.h"
#include "engine/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

using namespace quillfen;

namespace {

// The columns and rows (from the top) that hold any ink.
struct Ink {
    int minX = 1 << 30, maxX = -1, minRow = 1 << 30, maxRow = -1;
    bool any() const { return maxX >= 0; }
};

Ink inkOf(const Bitmap& b) {
    Ink ink;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            if (b.pixel(x, y)[3] > 0) {
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
                ink.minRow = std::min(ink.minRow, y);
                ink.maxRow = std::max(ink.maxRow, y);
            }
        }
    }
    return ink;
}

}  // namespace

TEST(Text, PageFontNamesResolveThroughTheFontTable) {
    struct Case {
        const char* name;
        const char* face;
    };
    const Case cases[] = {
        {"Noteworthy-Bold", "Comic Neue Bold"},
        {"Noteworthy-Light", "Comic Neue Light"},
        {"Georgia", "Noto Serif"},
        {"Georgia-Italic", "Noto Serif Italic"},
        {"Georgia-BoldItalic", "Noto Serif Bold Italic"},
        {"AvenirNext-Regular", "Lato"},
        {"AvenirNext-DemiBold", "Lato Semi-Bold"},
        {"AvenirNext-Heavy", "Lato Ultra-Bold"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Text::resolvedFace(c.name), c.face);
    }
    // A name outside the table still gives a font, and text set in it has a width.
    EXPECT_FALSE(Text::resolvedFace("Helvetica-Oblique").empty());
    EXPECT_GT(Text::lineWidth("Sunflowers", {"Helvetica-Oblique", 12}), 10);
}

TEST(Text, MetricsScaleExactlyWithSizeSoThumbnailsBreakLikePdfs) {
    const std::string text = "Everybody at the park, age 5 · March 2024";
    for (const char* name : {"Noteworthy-Light", "Georgia-Italic", "AvenirNext-DemiBold"}) {
        SCOPED_TRACE(name);
        const double small = Text::lineWidth(text, {name, 7.3});
        const double large = Text::lineWidth(text, {name, 73});
        EXPECT_NEAR(large, small * 10, large * 2e-4) << "hinted or rounded metrics";
        const Size frame = Text::suggestedFrameSize(text, {name, 73}, large * 0.6);
        const Size smallFrame = Text::suggestedFrameSize(text, {name, 7.3}, small * 0.6);
        EXPECT_NEAR(frame.height, smallFrame.height * 10, 0.05) << "lines break differently at another size";
    }
}

TEST(Text, FrameHeightCountsWrappedAndExplicitLines) {
    const Font font{"Georgia", 20};
    const double line = Text::suggestedFrameSize("One", font, 500).height;
    EXPECT_GT(line, 20);
    EXPECT_NEAR(Text::suggestedFrameSize("One\nTwo", font, 500).height, 2 * line, 0.01);
    const std::string words = "a flower for grandma and a rocket to the moon";
    EXPECT_NEAR(Text::suggestedFrameSize(words, font, 500).height, line, 0.01);
    EXPECT_GE(Text::suggestedFrameSize(words, font, 120).height, 3 * line - 0.01);
    // A single word longer than the width breaks inside the word rather than overflowing.
    EXPECT_LE(Text::suggestedFrameSize("Supercalifragilistic", font, 60).width, 60);
}

TEST(Text, FittedSizeShrinksByTenthsUntilItFitsOrReachesEight) {
    const std::string title = "The Big Book of Drawings by Mia and Leo";
    const std::string font = "Noteworthy-Bold";
    struct Case {
        double width, height, start;
    };
    for (const Case c : {Case{1000, 200, 40}, Case{200, 60, 40}, Case{120, 30, 48.96}, Case{20, 2, 30}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const Rect box{0, 0, c.width, c.height};
        const double size = Text::fittedSize(title, font, c.start, box);
        const double steps = std::log(size / c.start) / std::log(0.9);
        EXPECT_NEAR(steps, std::round(steps), 1e-9) << "not a whole number of 0.9 steps";
        const bool fits = Text::suggestedFrameSize(title, {font, size}, c.width).height <= c.height;
        EXPECT_TRUE(fits || size <= 8);
        if (size < c.start) {
            const double previous = size / 0.9;
            EXPECT_TRUE(previous > 8) << "shrunk past the floor";
            EXPECT_GT(Text::suggestedFrameSize(title, {font, previous}, c.width).height, c.height)
                << "shrunk although the previous size fitted";
        }
    }
}

TEST(Text, LinesAreCutWithAnEllipsisWithinTheirWidth) {
    const Font font{"AvenirNext-Regular", 20};
    const std::string text = "Butterfly garden in the summer";
    const double full = Text::lineWidth(text, font);
    struct Case {
        double maxWidth;
        double expectedWidth;  // the width used for placement
    };
    const Case cases[] = {
        {full + 10, full}, {full / 2, full / 2}, {30, 30}, {3, 0},  // not even "…" fits: nothing drawn
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxWidth);
        Canvas canvas(400, 60);
        const double used =
            canvas.drawTextLine(text, font, {0, 0, 0, 1}, TextAlignment::center, {200, 20}, c.maxWidth);
        EXPECT_NEAR(used, c.expectedWidth, 1e-6);
        const Ink ink = inkOf(canvas.bitmap());
        if (c.expectedWidth == 0) {
            EXPECT_FALSE(ink.any()) << "an overflowing line was drawn";
            continue;
        }
        ASSERT_TRUE(ink.any());
        EXPECT_GE(ink.minX, std::floor(200 - c.maxWidth / 2) - 1);
        EXPECT_LE(ink.maxX, std::ceil(200 + c.maxWidth / 2) + 1);
        EXPECT_LE(ink.maxRow, 60 - 20 + 6) << "baseline not at y = 20";
        EXPECT_GE(ink.maxRow, 60 - 20 - 1);
    }
    // A cut line starts at the left edge of its room.
    Canvas canvas(400, 60);
    canvas.drawTextLine(text, font, {0, 0, 0, 1}, TextAlignment::center, {200, 20}, 100);
    EXPECT_LE(inkOf(canvas.bitmap()).minX, 153);
}

TEST(Text, FramesLeaveOutLinesThatDoNotFit) {
    const Font font{"Georgia", 20};
    const double line = Text::suggestedFrameSize("One", font, 300).height;
    struct Case {
        double frameHeight;
        int lines;
    };
    for (const Case c : {Case{3 * line + 1, 3}, Case{2.5 * line, 2}, Case{line + 1, 1}, Case{line - 2, 0}}) {
        SCOPED_TRACE(c.frameHeight);
        Canvas canvas(300, 200);
        canvas.drawTextFrame("One\nTwo\nThree", font, {0, 0, 0, 1},
                             {0, 200 - c.frameHeight, 300, c.frameHeight});
        const Ink ink = inkOf(canvas.bitmap());
        if (c.lines == 0) {
            EXPECT_FALSE(ink.any());
            continue;
        }
        ASSERT_TRUE(ink.any());
        EXPECT_LT(ink.maxRow, c.lines * line) << "a line that does not fit was drawn";
        EXPECT_GT(ink.maxRow, (c.lines - 1) * line + line / 2) << "a line that fits is missing";
        EXPECT_NEAR((ink.minX + ink.maxX) / 2.0, 150, 8) << "lines are not centred";
    }
}

TEST(Text, MeasuresAlikeOnSeveralThreads) {
    const Font font{"Noteworthy-Bold", 31};
    const double expected = Text::lineWidth("Rex the dinosaur", font);
    std::vector<std::thread> threads;
    std::vector<double> widths(6);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        threads.emplace_back([&, i] {
            for (int n = 0; n < 20; ++n) widths[i] = Text::lineWidth("Rex the dinosaur", font);
        });
    }
    for (auto& t : threads) t.join();
    for (double w : widths) EXPECT_EQ(w, expected);
}
