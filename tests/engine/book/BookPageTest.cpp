#include "engine/book/BookRenderer.h"
#include "engine/calendar/CalendarPaginator.h"
#include "engine/calendar/CalendarRenderer.h"

#include "tests/engine/CalendarFixtures.h"
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

// Pixels of a whole thumbnail for which the test holds.
int countPixels(const Bitmap& b, bool (*test)(const std::uint8_t*)) {
    return fixtures::countIn(b, {0, 0, double(b.width), double(b.height)}, test);
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

// Book and calendar pages share one page-image contract: the bleed is part of the picture, the height
// follows the media box, and a width no bitmap can have gives nothing.
TEST(PageThumbnail, FillsTheMediaBoxAtTheAskedWidth) {
    struct Case {
        const char* name;
        std::function<std::optional<Bitmap>(int width)> render;
        int width;
        std::optional<std::pair<int, int>> pixels;
    };
    const auto book = [](BookSize size) {
        return [size](int width) {
            SmallBook book;
            book.settings.size = size;
            const BookLayout layout = book.layout();
            return BookRenderer::thumbnail(layout.pages[0], layout, book.content(), width, false);
        };
    };
    const auto calendar = [](CalendarFormat format, CalendarPrint print) {
        return [=](int width) {
            CalendarSettings settings = fixtures::quietCalendar(format);
            settings.print = print;
            const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
            const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
            return CalendarRenderer::thumbnail(layout.pages[1], layout, content, width, false);
        };
    };
    const Case cases[] = {
        {"square book", book(BookSize::square8), 400, std::pair{400, 400}},
        {"letter book", book(BookSize::letter), 81, std::pair{81, 104}},  // 103.52 rounds up
        {"no width", book(BookSize::square8), 0, std::nullopt},
        {"no bitmap that large", book(BookSize::square8), 1 << 20, std::nullopt},
        {"wall calendar with bleed", calendar(CalendarFormat::wall, CalendarPrint::printShop), 400,
         std::pair{400, 311}},  // 810 × 630
        {"wall calendar at home", calendar(CalendarFormat::wall, CalendarPrint::home), 400,
         std::pair{400, 309}},  // 792 × 612
    };
    const RGB cover = rgb(BookSettings{}.coverColor);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto thumbnail = c.render(c.width);
        ASSERT_EQ(thumbnail.has_value(), c.pixels.has_value());
        if (!thumbnail) continue;
        EXPECT_EQ(std::pair(thumbnail->width, thumbnail->height), *c.pixels);
        if (std::string(c.name).ends_with("book")) {  // the cover colour reaches every corner
            const std::uint8_t* corner = thumbnail->pixel(0, thumbnail->height - 1);
            EXPECT_NEAR(corner[0], cover.red * 255, 2);
            EXPECT_NEAR(corner[2], cover.blue * 255, 2);
        }
    }
}

// Guides are drawn only when asked, and the trim line only where there is a bleed to trim.
TEST(PageThumbnail, GuidesAreDrawnOnlyWhenAskedAndTheTrimLineOnlyWithBleed) {
    struct Case {
        const char* name;
        std::function<std::optional<Bitmap>(bool guides)> render;
        bool guides;
        bool trimLine, safeLine;
    };
    const auto book = [](PrintPreset preset) {
        return [preset](bool guides) {
            SmallBook book;
            book.settings.setPreset(preset);
            const BookLayout layout = book.layout();
            return BookRenderer::thumbnail(firstPage<BackPage>(layout), layout, book.content(), 1200, guides);
        };
    };
    const auto calendar = [](CalendarPrint print) {
        return [print](bool guides) {
            CalendarSettings settings = fixtures::quietCalendar();
            settings.print = print;
            const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
            const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
            return CalendarRenderer::thumbnail(layout.pages[1], layout, content, 800, guides);
        };
    };
    const Case cases[] = {
        {"photo book", book(PrintPreset::photoBook), false, false, false},
        {"photo book with guides", book(PrintPreset::photoBook), true, true, true},
        {"home book with guides", book(PrintPreset::homePrint), true, false, true},
        {"calendar with guides", calendar(CalendarPrint::printShop), true, true, true},
        {"home calendar with guides", calendar(CalendarPrint::home), true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto page = c.render(c.guides);
        ASSERT_TRUE(page);
        EXPECT_EQ(countPixels(*page, fixtures::isRed) > 100, c.trimLine);
        EXPECT_EQ(countPixels(*page, fixtures::isBlue) > 100, c.safeLine);
    }
}

// Images, placeholders, captions and shadows show in the golden pages; a drawing the content does not
// know draws nothing, and the caller's colour and clip come back unchanged.
TEST(BookPage, UnknownDrawingDrawsNothingAndTheCanvasStateIsRestored) {
    SmallBook book;
    const BookLayout layout = book.layout();
    const UUID stranger = fixtures::idNumber(99);
    const Rect image{100, 200, 376, 300};
    const BookPage page{5, DrawingsPage{{stranger}}, {Slot{stranger, image, image, {100, 150, 376, 50}}}};
    Canvas canvas(594, 594);
    canvas.setFillColor({1, 0, 0, 1});
    BookRenderer::drawPage(page, layout, book.content(), canvas, true, {9, 9});
    canvas.fillRect({0, 0, 4, 4});
    const Bitmap drawn = canvas.bitmap();
    EXPECT_EQ(fixtures::rgbAt(drawn, 0, drawn.height - 1), fixtures::red);
    EXPECT_EQ(fixtures::countIn(drawn, image.offsetBy(9, 9).insetBy(-8, -30), fixtures::isInk), 0);
}
