#include "app/shell/Sidebar.h"

#include "app/shell/DrawingListModel.h"
#include "tests/app/AppFixtures.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillfen;
using quillfen::testing::drawing;
using quillfen::testing::settle;

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

// The list repaints and rescales only rows that changed: a document change elsewhere touches none.
TEST(Sidebar, RefreshTouchesOnlyTheRowsThatChanged) {
    AppModel model(false);
    Sidebar sidebar(model);
    std::vector<Drawing> drawings{drawing(0), drawing(1), drawing(2), drawing(3)};
    model.setDrawings(drawings);
    settle();
    QSignalSpy changed(sidebar.rows(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(sidebar.rows(), &QAbstractItemModel::modelReset);

    auto settings = model.settings();
    settings.title = "Another title";
    model.setSettings(settings);
    settle();
    EXPECT_EQ(changed.count(), 0);

    drawings[2].info.title = "Renamed";
    model.setDrawings(drawings);
    settle();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>(), sidebar.rows()->indexOf(drawings[2].info.id));
    EXPECT_EQ(changed[0][1].value<QModelIndex>(), sidebar.rows()->indexOf(drawings[2].info.id));
    EXPECT_EQ(reset.count(), 0);
}
