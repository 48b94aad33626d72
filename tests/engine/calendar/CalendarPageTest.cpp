#include "engine/calendar/CalendarPage.h"
#include "engine/calendar/CalendarPaginator.h"
#include "engine/calendar/MonthGrid.h"

#include "tests/engine/CalendarFixtures.h"
#include "tests/engine/ImageFixtures.h"

#include <gtest/gtest.h>

using namespace quillfen;
using namespace quillfen::fixtures;

namespace {

// A picture three times as wide as high: red, green and blue thirds.
PageImage thirds() {
    using namespace quillfen::testing;
    return PageImage::fromBitmap(filled(300, 100, [](int x, int) {
        return x < 100 ? red : x < 200 ? green : blue;
    }));
}

// The page drawn at one pixel a point, its trim's lower-left corner at (b, b).
Bitmap drawnPage(const CalendarPage& page, const CalendarLayout& layout, const CalendarContent& content,
                 bool guides = false) {
    const double b = layout.spec.bleed;
    return drawn(
        int(layout.trimSize.width + 2 * b), int(layout.trimSize.height + 2 * b),
        [&](Canvas& canvas) { CalendarRenderer::drawPage(page, layout, content, canvas, b, b, guides); });
}

const CalendarPage& pageOf(const CalendarLayout& layout, const CalendarPageContent& content) {
    for (const auto& page : layout.pages)
        if (page.content == content) return page;
    throw std::runtime_error("no such page");
}

}  // namespace

TEST(CalendarPage, MonthWithoutPictureShowsTheGreyPlaceholder) {
    const CalendarSettings settings = quietCalendar();
    const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
    const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
    const CalendarPage& page = pageOf(layout, CalendarPicturePage{3});
    ASSERT_TRUE(page.picture);
    const Bitmap bitmap = drawnPage(page, layout, content);
    const Rect P = page.picture->offsetBy(9, 9);
    const std::uint8_t* corner = at(bitmap, P.minX() + 3, P.minY() + 3);
    EXPECT_TRUE(quillfen::testing::near({corner[0], corner[1], corner[2]}, {237, 237, 242}, 1));
    // The muted text sits on the rectangle's middle, above its baseline.
    EXPECT_GT(countIn(bitmap, {P.midX() - 100, P.midY(), 200, 20},
                      [](const std::uint8_t* p) { return p[0] < 180; }),
              20);
}

TEST(CalendarPage, GuidesShowTheTrimOnlyWithABleed) {
    struct Case {
        CalendarPrint print;
        bool red;
    };
    for (const Case c : {Case{CalendarPrint::printShop, true}, Case{CalendarPrint::home, false}}) {
        SCOPED_TRACE(c.red ? "print shop" : "home");
        CalendarSettings settings = quietCalendar();
        settings.print = c.print;
        const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
        const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
        const CalendarPage& page = pageOf(layout, CalendarGridPage{0});
        const Bitmap withGuides = drawnPage(page, layout, content, true);
        const Rect media(0, 0, withGuides.width, withGuides.height);
        EXPECT_EQ(countIn(withGuides, media, isRed) > 100, c.red);
        EXPECT_GT(countIn(withGuides, media, isBlue), 100);
        EXPECT_EQ(countIn(drawnPage(page, layout, content), media, isBlue), 0);
    }
}

TEST(CalendarPage, FilledPicturesAreCroppedButTheCoverShowsItsPictureWhole) {
    const UUID id = idNumber(7);
    for (const bool fill : {false, true}) {
        SCOPED_TRACE(fill ? "fill" : "fit");
        CalendarSettings settings = quietCalendar(CalendarFormat::square12);
        settings.pictures = {{0, id}};
        settings.fillPicture = fill;
        DrawingInfo square;  // the record says square, so the rectangle is; the picture is 3:1
        square.id = id;
        square.pixelSize = {3000, 3000};
        const std::unordered_map<UUID, DrawingInfo> drawings{{id, square}};
        const CalendarLayout layout = CalendarPaginator::paginate(settings, drawings);
        const CalendarContent content =
            CalendarContent::make(settings, {}, std::vector{square}, [](const UUID&) { return thirds(); });
        for (const CalendarPageContent kind :
             {CalendarPageContent{CalendarPicturePage{0}}, CalendarPageContent{CalendarCoverPage{}}}) {
            const CalendarPage& page = pageOf(layout, kind);
            ASSERT_TRUE(page.picture);
            const Rect P = page.picture->offsetBy(9, 9);
            const Bitmap bitmap = drawnPage(page, layout, content);
            const bool cropped = fill && std::holds_alternative<CalendarPicturePage>(kind);
            // Cropped, the left edge shows the picture's middle third; whole, its left third.
            EXPECT_EQ(isGreen(at(bitmap, P.minX() + 4, P.midY())), cropped);
            EXPECT_EQ(isRed(at(bitmap, P.minX() + 4, P.midY())), !cropped);
        }
    }
}

TEST(CalendarPage, DeskMonthPagesDrawCompactGridsAndWallGridPagesFullOnes) {
    struct Case {
        CalendarFormat format;
        CalendarPageContent kind;
        bool compact;
    };
    const Case cases[] = {
        {CalendarFormat::wall, CalendarGridPage{4}, false},
        {CalendarFormat::letter, CalendarMonthPage{4}, false},
        {CalendarFormat::desk5x7, CalendarMonthPage{4}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(label(c.format));
        const CalendarSettings settings = quietCalendar(c.format);
        const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
        const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
        const CalendarPage& page = pageOf(layout, c.kind);
        ASSERT_TRUE(page.grid);
        const Rect G = page.grid->offsetBy(9, 9);
        const auto m = CalendarRenderer::monthGridMetrics(G, 6, c.compact);  // May 2027 spans six weeks
        const Bitmap bitmap = drawnPage(page, layout, content);
        const int verticalRules = runs(bitmap, false, m.body.minY() + 0.1 * m.cellHeight, m.body.minX() - 2,
                                       m.body.maxX() + 2, isFaintInk);
        EXPECT_EQ(verticalRules, c.compact ? 0 : 8);
    }
}
