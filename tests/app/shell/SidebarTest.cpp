#include "app/shell/Sidebar.h"

#include "app/shell/DrawingListModel.h"
#include "app/shell/SidebarCards.h"
#include "tests/app/AppFixtures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillfen;
using quillfen::testing::drawing;
using quillfen::testing::editCalendar;
using quillfen::testing::editSettings;
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
        editSettings(model, [&](BookSettings& s) { s.title = c.title; });
        const auto drawings = quillfen::testing::drawings(c.book + c.calendarOnly);
        model.setDrawings(drawings);
        editCalendar(model, [&](CalendarSettings& calendar) {
            calendar.calendarOnly.clear();
            for (int i = c.book; i < c.book + c.calendarOnly; ++i) calendar.calendarOnly.push_back(drawings[i].info.id);
        });
        settle();
        const auto pages = model.layout().pages.size();
        EXPECT_EQ(sidebar.bookCard()->headline()->text(), c.headline);
        EXPECT_EQ(sidebar.bookCard()->accessibleName(), QString("Whole book, %1 pages").arg(pages));
        EXPECT_EQ(sidebar.footer()->text(), c.footer);
    }
    editCalendar(model, [](CalendarSettings& calendar) { calendar.title = "  Grandma's year "; });
    settle();
    EXPECT_EQ(sidebar.calendarCard()->headline()->text(), "Calendar Grandma's year");
}

TEST(Sidebar, SwatchShowsTheCoverColourAndTheCoverThumbnailOnceThere) {
    AppModel model(false);
    Sidebar sidebar(model);
    editSettings(model, [](BookSettings& s) { s.coverColor = CoverColor::charcoal; });
    auto busy = drawing(0);  // the oldest, still processing
    busy.busy = true;
    busy.thumb = QImage();
    model.setDrawings({busy, drawing(1)});
    settle();
    EXPECT_EQ(sidebar.swatch()->color(), QColor::fromRgbF(0.20f, 0.21f, 0.24f));  // charcoal
    EXPECT_FALSE(sidebar.swatch()->hasPicture());
    model.setDrawings({drawing(1)});  // the cover drawing removed: the earliest remaining one
    settle();
    EXPECT_TRUE(sidebar.swatch()->hasPicture());
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
    editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {drawings[5].info.id}; });
    settle();
    const auto detail = [&](const Drawing& d) {
        return sidebar.rows()->indexOf(d.info.id).data(DrawingListModel::detailRole).toString();
    };
    EXPECT_EQ(detail(drawings[0]), "Zizu · March 2026");
    EXPECT_EQ(detail(drawings[4]), "March 2026");  // its artist was removed
    EXPECT_EQ(shownRows(sidebar), QStringList({"Drawing 0", "Drawing 1", "Drawing 2", "Drawing 3", "Drawing 4",
                                               "[Calendar photos (not in the book)]", "Drawing 5"}));

    editSettings(model, [](BookSettings& s) { s.order = BookOrder::byChild; });
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

TEST(Sidebar, LowResolutionBadgeFollowsTheBookSize) {
    AppModel model(false);
    Sidebar sidebar(model);
    const auto small = drawing(0);  // 2400 pixels: enough up to 8 inches, not for 12
    model.setDrawings({small});
    const auto badge = [&] {
        settle();
        return sidebar.rows()->indexOf(small.info.id).data(DrawingListModel::lowResolutionRole).toBool();
    };
    for (const auto size : {BookSize::square8, BookSize::square12, BookSize::square8}) {
        SCOPED_TRACE(static_cast<int>(size));
        editSettings(model, [&](BookSettings& s) { s.size = size; });
        const bool warned = !model.layout().warnings.empty();
        ASSERT_EQ(warned, size == BookSize::square12);  // the fixture's premise
        EXPECT_EQ(badge(), warned);
    }
    editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {small.info.id}; });  // out of the book
    editSettings(model, [](BookSettings& s) { s.size = BookSize::square12; });
    EXPECT_FALSE(badge());
}
