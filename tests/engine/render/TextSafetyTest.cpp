#include "engine/render/PdfWriter.h"
#include "engine/render/Text.h"

#include "tests/engine/PdfReading.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace quillfen;
using namespace quillfen::pdfreading;

namespace {

using TextSafetyTest = TemporaryFolderTest;

const Color black{0, 0, 0, 1};

// The text poppler reads from one page of a PDF file.
std::string pageText(const fs::path& file, int page) {
    const std::string command = "pdftotext -q -enc UTF-8 -f " + std::to_string(page) + " -l " +
                                std::to_string(page) + " '" + file.string() + "' -";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
    return text;
}

// Each text drawn as a line and as a frame on a page of its own.
bool writePages(const fs::path& file, const std::vector<std::pair<std::string, std::string>>& texts) {
    PdfWriter writer(file, "Text");
    for (const auto& [font, text] : texts) {
        Canvas* canvas = writer.beginPage({{0, 0, 600, 200}, std::nullopt, std::nullopt});
        if (!canvas) return false;
        canvas->drawTextLine(text, {font, 24}, black, TextAlignment::left, {10, 150}, 580);
        canvas->drawTextFrame(text, {font, 24}, black, {10, 10, 580, 100});
        writer.endPage();
    }
    return writer.finish();
}

// The bounding box of the ink on a canvas, in canvas coordinates (y upwards); empty when there is none.
Rect inkBounds(const Bitmap& b) {
    int minX = b.width, maxX = -1, minRow = b.height, maxRow = -1;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            if (b.pixel(x, y)[3] == 0) continue;
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minRow = std::min(minRow, y), maxRow = std::max(maxRow, y);
        }
    }
    if (maxX < 0) return {};
    return {double(minX), double(b.height - 1 - maxRow), double(maxX - minX + 1),
            double(maxRow - minRow + 1)};
}

// Whether the ink lies inside the area, give or take a pixel of anti-aliasing; no ink is inside.
bool inside(const Rect& ink, const Rect& area) {
    return ink.isEmpty() || (ink.minX() >= area.minX() - 1 && ink.maxX() <= area.maxX() + 1 &&
                             ink.minY() >= area.minY() - 1 && ink.maxY() <= area.maxY() + 1);
}

std::string repeated(std::string_view piece, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += piece;
    return out;
}

}  // namespace

TEST_F(TextSafetyTest, CharactersThePageFontLacksPrintInASystemFont) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"Noteworthy-Bold", "山田花子"},  {"Georgia-BoldItalic", "さくら"},
        {"AvenirNext-Regular", "김민준"}, {"Georgia", "שלום"},
        {"AvenirNext-DemiBold", "سلمى"},
    };
    const fs::path file = folder / "names.pdf";
    ASSERT_TRUE(writePages(file, names));
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].first);
        EXPECT_NE(pageText(file, int(i) + 1).find(names[i].second), std::string::npos)
            << "printed as boxes:\n"
            << pageText(file, int(i) + 1);
    }
}

TEST_F(TextSafetyTest, IllFormedUtf8PrintsAsReplacementCharacters) {
    using namespace std::string_literals;
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"Georgia", "Mia\xffLeo"},          {"Georgia", "Mia\xed\xa0\x80Leo"},  // a lone byte, a surrogate
        {"Georgia", "Mia\xc0\xafLeo"},      {"Georgia", "Mia\0Leo"s},           // overlong, NUL
        {"Georgia", "Mia and Leo\xe2\x82"},                                     // cut inside a character
    };
    const fs::path file = folder / "bytes.pdf";
    ASSERT_TRUE(writePages(file, texts)) << "one bad byte spoiled the whole PDF";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string text = pageText(file, int(i) + 1);
        for (const char* part : {"Mia", "Leo", "\uFFFD"})
            EXPECT_NE(text.find(part), std::string::npos) << text;
    }
}

// A cluster that cannot be broken, wider than its frame, and a line too long for pango's integer widths
// must not draw across the page; a single line keeps within its width (its marks may stack above it).
TEST(TextInk, StaysInsideItsFrameAndLine) {
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"emoji joined by zero-width joiners", "\u263A" + repeated("\u200D\u263A", 40)},
        {"dozens of combining marks", "a" + repeated("\u0301\u0316", 40)},
        {"100,000 letters, wider than pango's integer widths", repeated("m", 100000)},
    };
    const Rect area{150, 20, 100, 160};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas block(400, 200);
        block.drawTextBlock(c.text, {"Georgia-BoldItalic", 30}, black, area, BlockPlacement::centred);
        const Rect ink = inkBounds(block.bitmap());
        EXPECT_FALSE(ink.isEmpty()) << "nothing drawn";
        EXPECT_TRUE(inside(ink, area)) << "a block drew outside its frame";
        Canvas line(400, 200);
        line.drawTextLine(c.text, {"Georgia-BoldItalic", 30}, black, TextAlignment::center, {200, 100},
                          area.width());
        EXPECT_TRUE(inside(inkBounds(line.bitmap()), {area.minX(), 0, area.width(), 200}))
            << "a line drew outside its width";
    }
}
