#include "ModelFixtures.h"
#include "engine/calendar/CalendarMath.h"

#include <QTest>

#include <gtest/gtest.h>

#include <unicode/gregocal.h>

#include <functional>
#include <memory>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

// The year, month and day of a date in ICU's default time zone.
CalendarMath::YearMonth yearMonth(Date date, int& day) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(status);
    const Day d = CalendarMath::day(date, calendar);
    day = d.day;
    return {d.year, d.month};
}

}  // namespace

TEST(SampleBook, AddsTwoChildrenAndSixteenDrawingsInTheBackgroundAfterExistingChildren) {
    AppModel model(false);
    const UUID earlier = model.addChild("Ada");
    editSettings(model, [&](BookSettings& s) { s.title = "Old title"; });
    const auto calendar = model.calendar();
    model.setNextSequence(40);

    model.loadSampleBook(false);
    EXPECT_EQ(model.importing(), 1);
    EXPECT_EQ(model.children().size(), 1u);  // added with the drawings, once they are drawn
    EXPECT_EQ(model.settings().title, "Old title");
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.importing() == 0; }, 120000));

    ASSERT_EQ(model.children().size(), 3u);
    EXPECT_EQ(model.children()[0].id, earlier);
    EXPECT_EQ(model.settings().title, "Our Art, 2026");
    EXPECT_TRUE(model.calendar() == calendar);
    ASSERT_EQ(model.drawings().size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) {
        const auto& info = model.drawings()[i].info;
        EXPECT_EQ(info.sequence, 40 + static_cast<std::int64_t>(i));
        EXPECT_TRUE(info.childID == model.children()[1].id || info.childID == model.children()[2].id);
    }
    const auto selected = model.selected();
    ASSERT_TRUE(selected);
    EXPECT_EQ(selected->info.title, "Our house in the sun");
    int day = 0;
    EXPECT_EQ(yearMonth(selected->info.date, day), (CalendarMath::YearMonth{2026, 1}));
    EXPECT_EQ(day, 3);
}

TEST(SampleBook, QuittingOrANewBookWhileItIsDrawnKeepsNoneOfIt) {
    struct Case { const char* what; std::function<void(AppModel&)> act; };
    const Case cases[] = {
        {"quit", [](AppModel& m) { m.prepareToQuit(); }},
        {"new book", [](AppModel& m) {
             m.newBook();
             EXPECT_TRUE(QTest::qWaitFor([&] { return m.importing() == 0; }, 120000));
             m.prepareToQuit();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        removeBookFolder();
        {
            AppModel model(true);
            model.loadSampleBook(false);
            c.act(model);
        }
        AppModel reopened(true);
        reopened.load();
        EXPECT_TRUE(reopened.children().empty());
        EXPECT_TRUE(reopened.drawings().empty());
        EXPECT_EQ(reopened.settings().title, BookSettings().title);
        EXPECT_TRUE(originals(reopened).isEmpty());
    }
}
