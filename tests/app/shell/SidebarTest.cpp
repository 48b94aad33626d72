#include "app/shell/Sidebar.h"

#include "app/shell/DrawingListModel.h"
#include "app/shell/SidebarCards.h"
#include "tests/app/shell/ShellFixtures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillfen;
using quillfen::testing::drawing;
using quillfen::testing::settle;

namespace {

// The list as the user reads it: headers in brackets, then each drawing's title.
QStringList shownRows(const Sidebar& sidebar) {
    QStringList rows;
    const auto* list = sidebar.rows();
    for (int row = 0; row < list->rowCount(); ++row) {
        const auto index = list->index(row);
        const auto title = index.data(Qt::DisplayRole).toString();
        rows << (index.data(DrawingListModel::headerRole).toBool() ? "[" + title + "]" : title);
    }
    return rows;
}

Child child(const std::string& name) { return Child{UUID::random(), name, std::nullopt, ""}; }

}  // namespace

TEST(Sidebar, CardsAndFooterCountTheLibrary) {
    AppModel model(false);
    Sidebar sidebar(model);
    struct Case { std::string title; int book; int calendarOnly; QString headline; QString footer; };
    const Case cases[] = {
        {"", 0, 0, "Untitled Book", "0 drawings"},
        {" ", 1, 0, " ", "1 drawing"},             // a blank title is shown as typed
        {"Our Art", 1, 1, "Our Art", "2 drawings"},  // the calendar photo counts here, not in the pages
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title + " / " + std::to_string(c.book));
        auto settings = model.settings();
        settings.title = c.title;
        model.setSettings(settings);
        std::vector<Drawing> drawings;
        for (int i = 0; i < c.book + c.calendarOnly; ++i) drawings.push_back(drawing(i));
        model.setDrawings(drawings);
        auto calendar = model.calendar();
        calendar.calendarOnly.clear();
        for (int i = c.book; i < c.book + c.calendarOnly; ++i) calendar.calendarOnly.push_back(drawings[i].info.id);
        model.setCalendar(calendar);
        settle();
        const auto pages = model.layout().pages.size();
        EXPECT_EQ(sidebar.bookCard()->headline()->text(), c.headline);
        EXPECT_EQ(sidebar.bookCard()->caption()->text(),
                  drawings.empty() ? QString("No drawings yet") : QString("%1 pages · 8 × 8 in square").arg(pages));
        EXPECT_EQ(sidebar.bookCard()->accessibleName(), QString("Whole book, %1 pages").arg(pages));
        EXPECT_EQ(sidebar.footer()->text(), c.footer);
    }
}

TEST(Sidebar, SwatchShowsTheCoverColourAndTheCoverThumbnailOnceThere) {
    AppModel model(false);
    Sidebar sidebar(model);
    auto settings = model.settings();
    settings.coverColor = CoverColor::charcoal;
    model.setSettings(settings);
    auto busy = drawing(0, std::nullopt, false);  // the oldest, still processing
    busy.busy = true;
    model.setDrawings({busy, drawing(1)});
    settle();
    EXPECT_EQ(sidebar.swatch()->color(), QColor::fromRgbF(0.20f, 0.21f, 0.24f));
    EXPECT_FALSE(sidebar.swatch()->hasPicture());
    model.setDrawings({drawing(1)});  // the cover drawing removed: the earliest remaining one
    settle();
    EXPECT_TRUE(sidebar.swatch()->hasPicture());
}

TEST(Sidebar, CalendarCardNamesTheCalendarsTitleTrimmed) {
    AppModel model(false);
    Sidebar sidebar(model);
    auto calendar = model.calendar();
    calendar.title = "  Grandma's year ";
    model.setCalendar(calendar);
    settle();
    EXPECT_EQ(sidebar.calendarCard()->headline()->text(), "Calendar Grandma's year");
    EXPECT_EQ(sidebar.calendarCard()->accessibleName(), "Calendar Grandma's year");
}

TEST(Sidebar, ListGroupsByChildInRunsAndKeepsCalendarPhotosApart) {
    AppModel model(false);
    Sidebar sidebar(model);
    const auto zizu = child("Zizu");
    const auto ana = child("Ana");
    const auto removed = child("Gone");
    model.setChildren({zizu, ana});
    const std::vector<Drawing> drawings{drawing(0, zizu.id), drawing(1, ana.id), drawing(2, zizu.id),
                                        drawing(3), drawing(4, removed.id), drawing(5, ana.id)};
    model.setDrawings(drawings);
    auto calendar = model.calendar();
    calendar.calendarOnly = {drawings[5].info.id};
    model.setCalendar(calendar);
    settle();
    EXPECT_EQ(shownRows(sidebar), QStringList({"Drawing 0", "Drawing 1", "Drawing 2", "Drawing 3", "Drawing 4",
                                               "[Calendar photos (not in the book)]", "Drawing 5"}));

    auto settings = model.settings();
    settings.order = BookOrder::byChild;
    model.setSettings(settings);
    settle();
    const auto rows = shownRows(sidebar);
    ASSERT_EQ(rows.size(), 10);  // four headers and six drawings
    const auto zizuRun = rows.indexOf("[Zizu]");
    const auto anaRun = rows.indexOf("[Ana]");
    ASSERT_TRUE(zizuRun >= 0 && anaRun >= 0);
    EXPECT_EQ(rows.mid(zizuRun + 1, 2), QStringList({"Drawing 0", "Drawing 2"}));
    EXPECT_EQ(rows.mid(anaRun + 1, 1), QStringList({"Drawing 1"}));
    // Without a child, or with a removed one: one section, last in the book.
    EXPECT_EQ(rows.mid(5), QStringList({"[No child chosen]", "Drawing 3", "Drawing 4",
                                        "[Calendar photos (not in the book)]"}) << "Drawing 5");
}

TEST(Sidebar, ListShowsTheSelectionOnlyInDrawingModeAndARowSwitchesToIt) {
    AppModel model(false);
    Sidebar sidebar(model);
    const std::vector<Drawing> drawings{drawing(0), drawing(1)};
    model.setDrawings(drawings);
    model.setSelectedID(drawings[0].info.id);
    model.setMode(ViewMode::book);
    settle();
    auto* selection = sidebar.list()->selectionModel();
    EXPECT_TRUE(selection->selectedIndexes().isEmpty());

    selection->select(sidebar.rows()->indexOf(drawings[1].info.id), QItemSelectionModel::ClearAndSelect);
    settle();
    EXPECT_EQ(model.selectedID(), drawings[1].info.id);
    EXPECT_EQ(model.mode(), ViewMode::drawing);

    selection->clearSelection();  // clicking empty space changes nothing
    settle();
    EXPECT_EQ(model.selectedID(), drawings[1].info.id);
    EXPECT_EQ(selection->selectedIndexes().size(), 1);
}

TEST(Sidebar, DeleteKeyAsksToRemoveTheSelectedDrawingInAnyMode) {
    AppModel model(false);
    Sidebar sidebar(model);
    const auto a = drawing(0);
    model.setDrawings({a});
    settle();
    QTest::keyClick(sidebar.list(), Qt::Key_Delete);
    EXPECT_FALSE(model.removeConfirm().has_value());  // nothing was ever selected
    model.setSelectedID(a.info.id);
    model.setMode(ViewMode::book);
    settle();
    QTest::keyClick(sidebar.list(), Qt::Key_Delete);
    EXPECT_EQ(model.removeConfirm(), a.info.id);
}

TEST(Sidebar, RowsReadTitleArtistAndMonth) {
    AppModel model(false);
    Sidebar sidebar(model);
    const auto zizu = child("Zizu");
    model.setChildren({zizu});
    auto titled = drawing(0, zizu.id);
    auto untitled = drawing(1);
    untitled.info.title.clear();
    untitled.info.featured = true;
    auto orphan = drawing(2, UUID::random());
    model.setDrawings({titled, untitled, orphan});
    settle();
    const auto* rows = sidebar.rows();
    const auto row = [&](const Drawing& d) { return rows->indexOf(d.info.id); };
    EXPECT_EQ(row(titled).data(DrawingListModel::detailRole).toString(), "Zizu · March 2026");
    EXPECT_EQ(row(untitled).data(Qt::DisplayRole).toString(), "Untitled");
    EXPECT_TRUE(row(untitled).data(DrawingListModel::untitledRole).toBool());
    EXPECT_EQ(row(orphan).data(DrawingListModel::detailRole).toString(), "March 2026");
    EXPECT_EQ(row(untitled).data(Qt::AccessibleTextRole).toString(), "Untitled, March 2026, Featured");
}

TEST(Sidebar, LowResolutionBadgeFollowsTheBookSize) {
    AppModel model(false);
    Sidebar sidebar(model);
    auto small = drawing(0);
    small.info.pixelSize = {2400, 2400};
    model.setDrawings({small});
    const auto badge = [&] {
        settle();
        return sidebar.rows()->indexOf(small.info.id).data(DrawingListModel::lowResolutionRole).toBool();
    };
    for (const auto size : {BookSize::square8, BookSize::square12, BookSize::square8}) {
        SCOPED_TRACE(static_cast<int>(size));
        auto settings = model.settings();
        settings.size = size;
        model.setSettings(settings);
        const bool warned = !model.layout().warnings.empty();
        ASSERT_EQ(warned, size == BookSize::square12);  // the fixture's premise
        EXPECT_EQ(badge(), warned);
    }
    auto calendar = model.calendar();  // out of the book: no badge at any size
    calendar.calendarOnly = {small.info.id};
    model.setCalendar(calendar);
    auto settings = model.settings();
    settings.size = BookSize::square12;
    model.setSettings(settings);
    EXPECT_FALSE(badge());
}
