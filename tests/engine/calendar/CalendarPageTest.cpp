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
    EXPECT_TRUE(near({corner[0], corner[1], corner[2]}, {237, 237, 242}, 1));
    // The muted text sits on the rectangle's middle, above its baseline.
    EXPECT_GT(countIn(bitmap, {P.midX() - 100, P.midY(), 200, 20},
                      [](const std::uint8_t* p) { return p[0] < 180; }),
              20);
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
