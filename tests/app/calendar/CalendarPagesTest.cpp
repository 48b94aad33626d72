#include "app/calendar/CalendarPages.h"

#include "tests/app/AppFixtures.h"
#include "engine/calendar/CalendarPaginator.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillfen {
namespace {

CalendarLayout layoutOf(const CalendarSettings& settings) { return CalendarPaginator::paginate(settings, {}); }

TEST(CalendarPages, GroupsPicturePagesWithTheirGridsAndLeavesOtherPagesAlone) {
    struct Case {
        CalendarFormat format;
        bool cover;
        std::size_t sheets;
        std::vector<int> first;
        std::vector<int> second;
    };
    const Case cases[] = {
        {CalendarFormat::wall, true, 13, {0}, {1, 2}},
        {CalendarFormat::wall, false, 12, {0, 1}, {2, 3}},
        {CalendarFormat::square12, true, 13, {0}, {1, 2}},
        {CalendarFormat::letter, true, 13, {0}, {1}},
        {CalendarFormat::desk5x7, false, 12, {0}, {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(c.format) << " cover " << c.cover);
        CalendarSettings settings;
        settings.format = c.format;
        settings.cover = c.cover;
        const auto sheets = CalendarPages::sheets(layoutOf(settings));
        ASSERT_EQ(sheets.size(), c.sheets);
        EXPECT_EQ(sheets[0], c.first);
        EXPECT_EQ(sheets[1], c.second);
    }
    CalendarLayout gridFirst;
    gridFirst.pages = {{1, CalendarGridPage{0}, {}, {}}, {2, CalendarGridPage{1}, {}, {}}};
    EXPECT_EQ(CalendarPages::sheets(gridFirst), (std::vector<std::vector<int>>{{0, 1}}));
    EXPECT_TRUE(CalendarPages::sheets(CalendarLayout{}).empty());
}

TEST(CalendarPages, DamagedZoomSettingIsHeldToTheSlidersRange) {
    struct Case {
        QVariant stored;
        double zoom;
    };
    const Case cases[] = {{400.0, 400}, {10000.0, 520}, {-5.0, 180}, {QStringLiteral("nan"), 300},
                          {QStringLiteral("big"), 300}, {QVariant(), 300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        QSettings settings;
        if (c.stored.isValid()) settings.setValue("calendarZoom", c.stored);
        else settings.remove("calendarZoom");
        settings.sync();
        EXPECT_EQ(CalendarPages::storedZoom(), c.zoom);
    }
    EXPECT_EQ(CalendarPages::clampedZoom(std::numeric_limits<double>::infinity()), 300);
}

TEST(CalendarPages, SummaryNamesFirstAndLastMonthInTheCalendarsLanguage) {
    CalendarSettings settings;
    settings.language = CalendarLanguage::spanish;
    settings.startMonth = 3;
    settings.format = CalendarFormat::letter;
    settings.cover = false;
    EXPECT_EQ(CalendarPages::summaryText(layoutOf(settings), settings),
              QStringLiteral("Marzo 2027 – Febrero 2028 · 12 pages"));
}

TEST(CalendarPages, SpokenTextNamesTheMonthsPictureOrSaysItIsMissing) {
    AppModel model(false);
    auto all = testing::drawings(2);
    all[0].info.title = "";
    all[1].info.title = "  ";
    model.setDrawings(all);
    testing::editCalendar(model, [&](CalendarSettings& c) {
        c.language = CalendarLanguage::english;
        c.startMonth = 11;
        c.pictures = {{1, all[0].info.id}, {2, all[1].info.id}, {4, UUID::random()}};  // March's is gone
    });
    struct Case { CalendarPage page; const char* text; };
    const Case cases[] = {
        {{4, CalendarPicturePage{1}, {}, {}}, "Page 4, picture for December 2027: untitled picture"},
        {{6, CalendarPicturePage{2}, {}, {}}, "Page 6, picture for January 2028:   "},
        {{8, CalendarPicturePage{3}, {}, {}}, "Page 8, picture for February 2028: no picture yet"},
        {{10, CalendarMonthPage{4}, {}, {}}, "Page 10, March 2028: no picture yet and the month grid"},
        {{3, CalendarGridPage{0}, {}, {}}, "Page 3, November 2027 grid"},
        {{1, CalendarCoverPage{}, {}, {}}, "Page 1, the cover: 2027–2028"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CalendarPages::accessibilityText(model, c.page), QString::fromUtf8(c.text));
    }
}

}  // namespace
}  // namespace quillfen
