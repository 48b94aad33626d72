#include "app/shell/Sidebar.h"

#include "app/shell/DrawingListModel.h"
#include "app/shell/DrawingRowDelegate.h"
#include "app/shell/SidebarCards.h"
#include "tests/app/AppFixtures.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
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

// While a drawing is busy its spinner turns; each turn repaints that spinner alone, never the rows around
// it (whose titles would be laid out again on every frame of every busy drawing during an import).
TEST(Sidebar, ATurnOfASpinnerRepaintsOnlyTheSpinner) {
    AppModel model(false);
    Sidebar sidebar(model);
    sidebar.resize(280, 600);
    std::vector<Drawing> drawings{drawing(0), drawing(1), drawing(2)};
    drawings[1].busy = true;
    model.setDrawings(drawings);
    sidebar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sidebar));
    settle();
    QTest::qWait(100);

    struct PaintRegions : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } regions;
    sidebar.list()->viewport()->installEventFilter(&regions);
    QTest::qWait(400);  // several turns
    const QRect busyRow = sidebar.list()->visualRect(sidebar.rows()->indexOf(drawings[1].info.id));
    ASSERT_FALSE(regions.painted.isEmpty()) << "the spinner never turned";
    EXPECT_TRUE(DrawingRowDelegate::spinnerRect(busyRow).contains(regions.painted.boundingRect()))
        << "a turn repainted " << regions.painted.boundingRect().width() << " x "
        << regions.painted.boundingRect().height();
}

namespace {

// A drawing row of `width` painted by `delegate` on white.
QImage paintedRow(const DrawingRowDelegate& delegate, const QString& title, const QString& detail, int width) {
    QStandardItemModel rows(1, 1);
    const QModelIndex index = rows.index(0, 0);
    rows.setData(index, title, Qt::DisplayRole);
    rows.setData(index, detail, DrawingListModel::detailRole);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, width, 48);
    option.font = QApplication::font();
    option.palette = QApplication::palette();
    option.state = QStyle::State_Enabled;
    QImage image(width, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, option, index);
    return image;
}

}  // namespace

// A row's texts are laid out once and kept: a row painted again after its title, its detail or the list's
// width changed shows what a delegate that never painted it shows.
TEST(Sidebar, RowsShowTheirTextsAsTheyAreNowAtTheWidthTheyHaveNow) {
    const QString longTitle = QStringLiteral("Mom on a rocket over the sea at night, with the cat");
    const struct { QString title, detail; int width; } cases[] = {
        {longTitle, QStringLiteral("Ada · March 2026"), 280},
        {longTitle, QStringLiteral("Ada · March 2026"), 200},  // narrower: elided sooner
        {QStringLiteral("Moon"), QStringLiteral("Ada · March 2026"), 200},
        {QStringLiteral("Moon"), QStringLiteral("Bo · April 2026"), 200},
    };
    const DrawingRowDelegate kept;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.title.toStdString() << ", " << c.width);
        const QImage again = paintedRow(kept, c.title, c.detail, c.width);
        EXPECT_EQ(again, paintedRow(DrawingRowDelegate(), c.title, c.detail, c.width));
        EXPECT_EQ(again, paintedRow(kept, c.title, c.detail, c.width));
    }
}

// A book title wider than the card was cut mid-word with no sign of the rest: it ends in "…" within
// the card, as a drawing row's title does, and shows whole again once it fits.
TEST(Sidebar, ABookTitleTooLongForTheCardIsElidedNotCut) {
    AppModel model(false);
    Sidebar sidebar(model);
    sidebar.resize(280, 600);
    sidebar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sidebar));
    const auto headline = [&](const QString& title) -> ElidedLabel* {
        for (auto* label : sidebar.findChildren<ElidedLabel*>())
            if (label->fullText() == title) return label;
        return nullptr;
    };
    const struct { QString title; bool elided; } cases[] = {
        {QStringLiteral("Our Family Art Book 2026 Collected Drawings of the Whole Year"), true},
        {QStringLiteral("Art 2026"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        auto settings = model.settings();
        settings.title = c.title.toStdString();
        model.setSettings(settings);
        settle();
        const ElidedLabel* label = headline(c.title);
        ASSERT_TRUE(label);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
        EXPECT_EQ(label->text().endsWith(QChar(0x2026)), c.elided) << label->text().toStdString();
        if (!c.elided) EXPECT_EQ(label->text(), c.title);
    }
}
