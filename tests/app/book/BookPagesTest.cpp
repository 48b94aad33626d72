#include "BookFixtures.h"

#include "app/book/BookCover.h"
#include "app/book/BookPages.h"

#include <QSettings>

#include <limits>

namespace quillfen {
namespace {

using testing::BookScreenTest;

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
