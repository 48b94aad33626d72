#include "BookFixtures.h"

#include "app/book/BookCover.h"
#include "app/book/BookPages.h"
#include "engine/book/Paginator.h"

#include <QSettings>

#include <cmath>
#include <limits>

namespace quillfen {
namespace {

using testing::BookScreenTest;

TEST(BookPages, SpreadsPutPageOneAloneOnTheRightAndAnEvenLastPageAloneOnTheLeft) {
    using Spreads = std::vector<std::vector<int>>;
    const struct Case { int pages; Spreads spreads; } cases[] = {
        {0, {}},
        {1, {{0, 1}}},
        {2, {{0, 1}, {2}}},
        {5, {{0, 1}, {2, 3}, {4, 5}}},
        {6, {{0, 1}, {2, 3}, {4, 5}, {6}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pages);
        EXPECT_EQ(BookPages::spreads(c.pages), c.spreads);
    }
    EXPECT_EQ(BookPages::spreads(20).size(), 11u);
    EXPECT_EQ(BookPages::spreads(20).back(), std::vector<int>{20});
}

TEST(BookPages, StoredZoomOutsideTheSliderIsClampedBeforeItSizesABitmap) {
    const struct Case { QVariant stored; double zoom; } cases[] = {
        {QVariant(), 230}, {1e6, 420}, {-5.0, 150}, {std::numeric_limits<double>::quiet_NaN(), 230},
        {std::numeric_limits<double>::infinity(), 420}, {QString("huge"), 230}, {300.5, 300.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        QSettings().setValue("pageZoom", c.stored);
        if (c.stored.isNull()) QSettings().remove("pageZoom");
        EXPECT_EQ(BookPages::storedZoom(), c.zoom);
    }
}

TEST(BookPages, SummaryGivesTheMinimumAsTheReasonForAddedBlanks) {
    BookLayout layout;
    layout.pages.resize(20);
    layout.contentPages = 13;
    layout.spec = spec(PrintPreset::photoBook);
    EXPECT_EQ(BookPages::pageCountSummary(layout, PrintPreset::photoBook),
              "20 pages (7 blank added: photo book, hardcover needs at least 20, in multiples of 2)");
    layout.pages.resize(30);
    layout.contentPages = 25;
    layout.spec = PrintSpec::make(9, 27, 1, 30, 0);
    EXPECT_EQ(BookPages::pageCountSummary(layout, PrintPreset::custom),
              "30 pages (5 blank added: custom needs at least 30)");
    EXPECT_EQ(BookPages::pageCountSummary(BookLayout{}, PrintPreset::custom), "0 pages");
}

TEST_F(BookScreenTest, CaptionsAndSpokenTextsNameEachKindOfPage) {
    auto all = testing::drawings(2);
    all[1].info.title.clear();
    model.setDrawings(all);
    const auto child = model.addChild("Zizu");
    testing::editSettings(model, [](BookSettings& s) { s.title.clear(); });
    const auto gone = UUID::random();
    const struct Case { BookPage page; QString caption; QString spoken; } cases[] = {
        {{1, CoverPage{}, {}}, "Cover (page 1)", "Page 1, the cover: "},
        {{19, BlankPage{}, {}}, "19 \u00B7 blank", "Page 19, blank"},
        {{3, AboutPage{child}, {}}, "3", "Page 3, about the artist Zizu"},
        {{4, AboutPage{gone}, {}}, "4", "Page 4, about the artist "},
        {{7, DrawingsPage{{all[0].info.id, gone, all[1].info.id}}, {}}, "7",
         "Page 7: Drawing 1, untitled. Double-click to edit."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spoken.toStdString());
        EXPECT_EQ(BookPages::caption(c.page), c.caption);
        EXPECT_EQ(BookPages::accessibilityText(model, c.page), c.spoken);
    }
}

TEST_F(BookScreenTest, CoverFallsBackOverBookDrawingsOnlyNeverACalendarPicture) {
    auto all = testing::drawings(3);
    model.setDrawings(all);
    testing::editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {all[0].info.id}; });  // the oldest
    EXPECT_EQ(BookCover::coverDrawing(model), all[1].info.id);
    EXPECT_FALSE(BookCover::previewContent(model).drawings.contains(all[0].info.id));

    // Chosen elsewhere: the printed book cannot show it either.
    testing::editSettings(model, [&](BookSettings& s) { s.coverDrawing = all[0].info.id; });
    EXPECT_EQ(BookCover::coverDrawing(model), all[1].info.id);

    testing::editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {all[0].info.id, all[1].info.id, all[2].info.id}; });
    EXPECT_EQ(BookCover::coverDrawing(model), std::nullopt);
}

}  // namespace
}  // namespace quillfen
