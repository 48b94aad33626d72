#include "engine/book/BookRenderer.h"

#include "tests/engine/GoldenImages.h"
#include "tests/engine/IcuDefaults.h"
#include "tests/engine/SmallBook.h"

#include <gtest/gtest.h>

#include <functional>
#include <variant>

using namespace quillfen;
using fixtures::SmallBook;

namespace {

// The first page of the layout that holds content of that kind.
template <typename Kind>
const BookPage& firstPage(const BookLayout& layout, std::size_t slots = 0) {
    for (const auto& page : layout.pages) {
        if (std::holds_alternative<Kind>(page.content) && (slots == 0 || page.slots.size() == slots))
            return page;
    }
    throw std::logic_error("no such page");
}

const BookPage& lastDrawingsPage(const BookLayout& layout) {
    for (auto page = layout.pages.rbegin(); page != layout.pages.rend(); ++page) {
        if (std::holds_alternative<DrawingsPage>(page->content)) return *page;
    }
    throw std::logic_error("no drawings page");
}

// Pixel at a point of the media box (y up) in a thumbnail of the layout.
std::array<int, 3> rgbAt(const Bitmap& b, const BookLayout& layout, Point media) {
    const double scale = b.width / (layout.trimSize.width + 2 * layout.spec.bleed);
    const std::uint8_t* p =
        b.pixel(static_cast<int>(media.x * scale), b.height - 1 - static_cast<int>(media.y * scale));
    return {p[0], p[1], p[2]};
}

// Counts pixels of a thumbnail for which the test holds.
int countPixels(const Bitmap& b, const std::function<bool(int r, int g, int bl)>& test) {
    int count = 0;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            const std::uint8_t* p = b.pixel(x, y);
            count += test(p[0], p[1], p[2]);
        }
    }
    return count;
}

bool reddish(int r, int g, int b) {
    return r > 200 && r - g > 50 && r - b > 50;
}
bool bluish(int r, int g, int b) {
    return b > 200 && b - r > 50 && b - g > 20;
}

}  // namespace

TEST(BookPage, ThumbnailsOfEveryKindOfPageMatchTheirGoldenImages) {
    const quillfen::testing::ScopedIcuDefaults icu("UTC", "en_US");
    const SmallBook book;
    const BookLayout layout = book.layout();
    const BookContent content = book.content();
    const BookPage* pages[] = {&firstPage<CoverPage>(layout),       &firstPage<DedicationPage>(layout),
                               &firstPage<AboutPage>(layout),       &firstPage<DrawingsPage>(layout, 1),
                               &firstPage<DrawingsPage>(layout, 2), &firstPage<BlankPage>(layout),
                               &firstPage<BackPage>(layout),        &lastDrawingsPage(layout)};
    constexpr int side = 180;
    cv::Mat sheet(2 * side, 4 * side, CV_8UC3, cv::Scalar(128, 128, 128));
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const auto thumbnail = BookRenderer::thumbnail(*pages[i], layout, content, side, i == 7);
        ASSERT_TRUE(thumbnail);
        ASSERT_EQ(thumbnail->height, side);
        golden::bgr(*thumbnail).copyTo(sheet(cv::Rect(i % 4 * side, i / 4 * side, side, side)));
    }
    golden::expectMatches(sheet, "book-pages");
}

TEST(BookPage, ThumbnailFillsTheMediaBoxAtTheAskedWidth) {
    struct Case {
        BookSize size;
        int width;
        std::optional<std::pair<int, int>> pixels;
    };
    const Case cases[] = {
        {BookSize::square8, 400, std::pair{400, 400}}, {BookSize::landscape11x8, 400, std::pair{400, 311}},
        {BookSize::letter, 81, std::pair{81, 104}},  // 103.52 rounds up
        {BookSize::square8, 0, std::nullopt},          {BookSize::square8, -20, std::nullopt},
        {BookSize::square8, 1 << 20, std::nullopt},  // no bitmap that large can be made
    };
    SmallBook book;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << title(c.size) << " at " << c.width);
        book.settings.size = c.size;
        const BookLayout layout = book.layout();
        const auto thumbnail =
            BookRenderer::thumbnail(layout.pages[0], layout, book.content(), c.width, false);
        ASSERT_EQ(thumbnail.has_value(), c.pixels.has_value());
        if (!thumbnail) continue;
        EXPECT_EQ(std::pair(thumbnail->width, thumbnail->height), *c.pixels);
        // The bleed is part of the picture: the cover colour reaches every corner.
        const RGB fill = rgb(book.settings.coverColor);
        const std::uint8_t* corner = thumbnail->pixel(0, thumbnail->height - 1);
        EXPECT_NEAR(corner[0], fill.red * 255, 2);
        EXPECT_NEAR(corner[2], fill.blue * 255, 2);
    }
}

TEST(BookPage, GuidesAreDrawnOnlyWhenAskedAndTheTrimLineOnlyWithBleed) {
    struct Case {
        PrintPreset preset;
        bool guides;
        bool trimLine, safeLine;
    };
    const Case cases[] = {
        {PrintPreset::photoBook, false, false, false},
        {PrintPreset::photoBook, true, true, true},
        {PrintPreset::homePrint, true, false, true},
    };
    SmallBook book;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << title(c.preset) << (c.guides ? " with guides" : ""));
        book.settings.setPreset(c.preset);
        const BookLayout layout = book.layout();
        const auto page =
            BookRenderer::thumbnail(firstPage<BackPage>(layout), layout, book.content(), 1200, c.guides);
        ASSERT_TRUE(page);
        EXPECT_EQ(countPixels(*page, reddish) > 100, c.trimLine);
        EXPECT_EQ(countPixels(*page, bluish) > 100, c.safeLine);
        const double b = layout.spec.bleed, s = layout.spec.safe;
        // Dashed lines: most points along the left edges of the safe and trim rectangles are inked.
        const auto along = [&](double x, bool (*test)(int, int, int)) {
            int hits = 0;
            for (double y = b + s; y < b + layout.trimSize.height - s; y += 1) {
                const auto p = rgbAt(*page, layout, {x, y});
                hits += test(p[0], p[1], p[2]);
            }
            return hits > (layout.trimSize.height - 2 * s) / 3;
        };
        EXPECT_EQ(along(b + s, bluish), c.safeLine);
        EXPECT_EQ(along(b, reddish), c.trimLine);
    }
}

TEST(BookPage, EachSlotShowsItsImageOrPlaceholderOnAShadowedBacking) {
    const quillfen::testing::ScopedIcuDefaults icu("UTC", "en_US");
    const Rect image{100, 200, 376, 300}, caption{100, 150, 376, 50};
    struct Case {
        const char* name;
        bool known;  // the drawing is among the content's drawings
        bool hasImage;
        CaptionStyle style;
        std::array<int, 3> middle;  // at the middle of the image rectangle
        bool shadow, captionInk;
    };
    const Case cases[] = {
        {"image", true, true, CaptionStyle::classic, {128, 128, 135}, true, true},
        {"no image", true, false, CaptionStyle::classic, {237, 237, 240}, true, true},
        {"no captions", true, true, CaptionStyle::none, {128, 128, 135}, true, false},
        {"unknown drawing", false, true, CaptionStyle::classic, {255, 255, 255}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SmallBook book;
        book.settings.caption = c.style;
        BookLayout layout = book.layout();
        const UUID id = c.known ? book.drawings[2].id : fixtures::numbered(99);
        const BookPage page{5, DrawingsPage{{id}}, {Slot{id, image, image, caption}}};
        BookContent content = book.content();
        if (!c.hasImage) content.image = [](const UUID&) { return std::nullopt; };

        Canvas canvas(594, 594);
        canvas.setFillColor({1, 0, 0, 1});
        BookRenderer::drawPage(page, layout, content, canvas, true, {9, 9});
        canvas.fillRect({0, 0, 4, 4});  // the caller's own fill colour, and no clip left behind
        const Bitmap drawn = canvas.bitmap();

        EXPECT_EQ(rgbAt(drawn, layout, {0.5, 0.5}), (std::array<int, 3>{255, 0, 0}));
        const auto middle = rgbAt(drawn, layout, {9 + image.midX(), 9 + image.midY()});
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(middle[i], c.middle[i], 40);
        const auto below = rgbAt(drawn, layout, {9 + image.midX(), 9 + image.minY() - 1.5});
        const auto above = rgbAt(drawn, layout, {9 + image.midX(), 9 + image.maxY() + 1.5});
        EXPECT_EQ(below[0] < above[0] - 3, c.shadow) << "the shadow falls below the backing";
        int ink = 0;
        for (double x = caption.minX(); x < caption.maxX(); x += 1) {
            for (double y = caption.minY(); y < caption.maxY() - 3; y += 1) {
                ink += rgbAt(drawn, layout, {9 + x, 9 + y})[0] < 200;
            }
        }
        EXPECT_EQ(ink > 20, c.captionInk);
    }
}
