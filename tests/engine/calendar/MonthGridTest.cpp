#include "engine/calendar/MonthGrid.h"

#include "engine/calendar/CalendarMath.h"

#include "tests/engine/CalendarFixtures.h"
#include "tests/engine/IcuDefaults.h"

#include <gtest/gtest.h>

using namespace quillfen;
using namespace quillfen::fixtures;
using CalendarRenderer::monthGridMetrics;

namespace {

const Rect gridRect(20, 20, 700, 500);

// A quiet calendar starting in the month, its weeks starting on the day (0 Sunday, 1 Monday).
CalendarSettings startingAt(int year, int month, int weekStart) {
    CalendarSettings settings = quietCalendar();
    settings.startYear = year;
    settings.startMonth = month;
    settings.weekStart = weekStart;
    return settings;
}

// The month of the calendar drawn into gridRect on a white canvas.
Bitmap gridOf(const CalendarContent& content, int month, bool compact) {
    return drawn(740, 540, [&](Canvas& canvas) {
        CalendarRenderer::drawMonthGrid(month, content, compact, canvas, gridRect);
    });
}

// Where a day sits in its month's grid.
std::pair<int, int> position(int year, int month, int weekStart, int day) {
    const auto weeks = CalendarMath::monthGrid(year, month, weekStart);
    for (std::size_t r = 0; r < weeks.size(); ++r)
        for (int c = 0; c < 7; ++c)
            if (weeks[r][c] == day) return {int(r), c};
    return {-1, -1};
}

}  // namespace

TEST(MonthGrid, EventLinesShowAtMostThreeWhileTheyFitTheCell) {
    std::vector<CalendarEvent> four;
    for (const char* title : {"A", "B", "C", "D"})
        four.push_back({Day{2027, 7, 4}, title, CalendarEvent::Kind::custom});
    struct Case {
        double cellHeight;
        std::size_t shown;
    };
    // One week in a grid 700 points wide: cells 100 wide and as high as asked. Lines whose baseline
    // would fall within a fifth of the event size of the cell's bottom are left out.
    for (const Case c : {Case{80, 3}, Case{24, 1}, Case{16, 0}}) {
        SCOPED_TRACE(::testing::Message() << "cell height " << c.cellHeight);
        const auto low = monthGridMetrics(Rect(0, 0, 700, c.cellHeight / 0.79), 1, false);
        ASSERT_NEAR(low.cellHeight, c.cellHeight, 1e-9);
        const auto shown = CalendarRenderer::eventLines(four, low.cell(0, 0), low);
        EXPECT_EQ(shown.size(), c.shown);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].title, four[i].title);  // the first ones, in the day's order
            EXPECT_GT(shown[i].baseline, 0.2 * low.eventSize);
        }
    }
}

TEST(MonthGrid, ADaysEventsRunHolidayBirthdayCustomInTheirColours) {
    quillfen::testing::ScopedIcuDefaults defaults("UTC");
    CalendarSettings settings = startingAt(2027, 1, 0);
    settings.federalHolidays = true;
    settings.birthdays = true;
    settings.customEvents = {{idNumber(2), "Picnic", Day{2027, 7, 4}, true}};
    const Child mia = bornOn("Mia", 2019, 7, 4);
    const CalendarContent content = CalendarContent::make(settings, std::span(&mia, 1), {}, {});
    const auto& events = content.eventsOn(Day{2027, 7, 4});  // holiday, birthday, picnic

    const auto m = monthGridMetrics(gridRect, int(CalendarMath::monthGrid(2027, 7, 0).size()), false);
    const auto [r, c] = position(2027, 7, 0, 4);
    const Rect cell = m.cell(r, c);
    const auto lines = CalendarRenderer::eventLines(events, cell, m);
    ASSERT_EQ(lines.size(), 3u);

    const Bitmap grid = gridOf(content, 6, false);  // July
    // The number is red like the holiday's line; the birthday's line is blue, the picnic's green.
    const double numberTop = cell.maxY() - m.pad, numberBase = numberTop - 0.8 * m.numberSize - 1;
    EXPECT_GT(countIn(grid, {cell.minX(), numberBase, cell.width() / 2, numberTop - numberBase}, isRed), 10);
    const auto band = [&](const CalendarRenderer::EventLine& line) {
        return Rect(cell.minX(), line.baseline - 0.2 * m.eventSize, cell.width(), 0.9 * m.eventSize);
    };
    EXPECT_GT(countIn(grid, band(lines[0]), isRed), 5);
    EXPECT_GT(countIn(grid, band(lines[1]), isBlue), 5);
    EXPECT_GT(countIn(grid, band(lines[2]), isGreen), 5);
    EXPECT_EQ(countIn(grid, band(lines[1]), isRed), 0);

    // A quiet day keeps an ink-coloured number and no event lines.
    const auto [qr, qc] = position(2027, 7, 0, 14);
    EXPECT_EQ(countIn(grid, m.cell(qr, qc), isRed) + countIn(grid, m.cell(qr, qc), isBlue), 0);
}

TEST(MonthGrid, CompactGridColoursTheNumberOfABirthdayAndDrawsNoEventText) {
    quillfen::testing::ScopedIcuDefaults defaults("UTC");
    CalendarSettings settings = startingAt(2027, 1, 1);
    settings.format = CalendarFormat::desk5x7;
    settings.birthdays = true;
    const Child leo = bornOn("Leo", 2020, 3, 10);
    const CalendarContent content = CalendarContent::make(settings, std::span(&leo, 1), {}, {});
    const auto m = monthGridMetrics(gridRect, int(CalendarMath::monthGrid(2027, 3, 1).size()), true);
    const Bitmap grid = gridOf(content, 2, true);
    const auto [r, c] = position(2027, 3, 1, 10);
    const Rect cell = m.cell(r, c);
    EXPECT_GT(countIn(grid, cell, isBlue), 10);
    // Nothing below the centred number: the event's title is left out.
    const Rect below(cell.minX() + 3, cell.minY() + 3, cell.width() - 6,
                     0.5 * cell.height() - 0.5 * m.numberSize - 3);
    EXPECT_EQ(countIn(grid, below, isInk), 0);
    EXPECT_EQ(countIn(grid, gridRect, isRed), 0);
}

TEST(MonthGrid, MonthIndexOutsideTheYearDrawsNothing) {
    const CalendarContent content = CalendarContent::make(startingAt(2027, 1, 0), {}, {}, {});
    const Bitmap blank = drawn(740, 540, [](Canvas&) {});
    for (const auto& [index, compact] : {std::pair{-1, false}, {12, true}, {1000, false}}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(gridOf(content, index, compact), blank);
    }
}

TEST(MonthGrid, TitleNamesTheMonthInTheCalendarsLanguageAndYear) {
    CalendarSettings settings = startingAt(2027, 9, 0);
    EXPECT_EQ(CalendarRenderer::monthTitle(settings, 0), "September 2027");
    EXPECT_EQ(CalendarRenderer::monthTitle(settings, 12), "") << "no thirteenth month";
    settings.language = CalendarLanguage::spanish;
    EXPECT_EQ(CalendarRenderer::monthTitle(settings, 4), "Enero 2028")
        << "the calendar runs into the next year";
}
