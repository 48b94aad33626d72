#include "app/widgets/BookCover.h"
#include "tests/app/AppFixtures.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(BookCover, FallsBackOverBookDrawingsOnlyNeverACalendarPicture) {
    AppModel model{false};
    auto all = testing::drawings(3);
    model.setDrawings(all);
    testing::editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {all[0].info.id}; });  // the oldest
    EXPECT_EQ(BookCover::coverDrawing(model), all[1].info.id);
    EXPECT_FALSE(BookCover::canBeCover(model, all[0].info.id));
    EXPECT_TRUE(BookCover::canBeCover(model, all[1].info.id));

    // Chosen elsewhere: the printed book cannot show it either.
    testing::editSettings(model, [&](BookSettings& s) { s.coverDrawing = all[0].info.id; });
    EXPECT_EQ(BookCover::coverDrawing(model), all[1].info.id);

    testing::editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {all[0].info.id, all[1].info.id, all[2].info.id}; });
    EXPECT_EQ(BookCover::coverDrawing(model), std::nullopt);
}

}  // namespace
}  // namespace quillfen
