#include "app/calendar/CalendarPreview.h"

#include "tests/app/AppFixtures.h"
#include "app/calendar/CalendarGrid.h"
#include "app/calendar/CalendarPages.h"

#include <QAccessible>
#include <QCheckBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <variant>

namespace quillfen {
namespace {

class CalendarPreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::editCalendar(model, [](CalendarSettings& c) { c.language = CalendarLanguage::english; });
    }

    // Shows the preview and waits until every visible cell shows a page rendered for the current key.
    CalendarPreview& shown() {
        if (!preview) {
            preview = std::make_unique<CalendarPreview>(model, nullptr);
            preview->resize(1000, 800);
            preview->show();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return allVisibleCurrent(); }, 20000));
        return *preview;
    }

    bool allVisibleCurrent() const {
        const auto& grid = preview->grid();
        const auto visible = grid.visiblePages();
        if (visible.empty()) return false;
        for (int index : visible) {
            if (grid.imageKey(index) != grid.currentKey(index) || grid.image(index).isNull()) return false;
        }
        return true;
    }

    // The first grid page in view.
    int firstGridPage() const {
        for (int index : preview->grid().visiblePages()) {
            if (std::holds_alternative<CalendarGridPage>(preview->grid().layout().pages[index].content)) return index;
        }
        ADD_FAILURE() << "no grid page in view";
        return 0;
    }

    AppModel model{false};
    std::unique_ptr<CalendarPreview> preview;
};

TEST_F(CalendarPreviewTest, MondayStartAndSpanishChangeTheRenderedGrid) {
    auto& view = shown();
    const int grid = firstGridPage();
    const QImage sunday = view.grid().image(grid);
    testing::editCalendar(model, [](CalendarSettings& c) { c.weekStart = 1; });
    shown();
    const QImage monday = view.grid().image(grid);
    EXPECT_NE(monday, sunday);
    testing::editCalendar(model, [](CalendarSettings& c) { c.language = CalendarLanguage::spanish; });
    shown();
    EXPECT_NE(view.grid().image(grid), monday);
    testing::editCalendar(model, [](CalendarSettings& c) {
        c.weekStart = 0;
        c.language = CalendarLanguage::english;
    });
    shown();
    EXPECT_EQ(view.grid().image(grid), sunday) << "the same settings must render the same page";
}

TEST_F(CalendarPreviewTest, OnlyCellsInViewRenderUntilScrolledTo) {
    auto& view = shown();
    const auto visible = view.grid().visiblePages();
    ASSERT_LT(visible.size(), view.grid().layout().pages.size());
    EXPECT_LE(view.grid().renderCount(), static_cast<int>(visible.size()));
    const int last = static_cast<int>(view.grid().layout().pages.size()) - 1;
    EXPECT_TRUE(view.grid().image(last).isNull());
    view.scrollArea().verticalScrollBar()->setValue(view.scrollArea().verticalScrollBar()->maximum());
    shown();
    EXPECT_FALSE(view.grid().image(last).isNull());
}

TEST_F(CalendarPreviewTest, GuidesSwitchRerendersEveryVisibleCellWithTheLines) {
    auto& view = shown();
    const auto before = view.grid().image(0);
    view.guidesBox().click();
    EXPECT_TRUE(model.showGuides());
    shown();
    for (int index : view.grid().visiblePages()) EXPECT_TRUE(view.grid().imageKey(index)->guides);
    EXPECT_NE(view.grid().image(0), before);
    model.setShowGuides(false);
    QTest::qWait(0);
    EXPECT_FALSE(view.guidesBox().isChecked());
}

TEST_F(CalendarPreviewTest, CellWidthChangesWithinOnePointKeepTheRender) {
    auto& view = shown();
    view.setZoom(300.9);
    shown();
    const int renders = view.grid().renderCount();
    EXPECT_EQ(view.grid().currentKey(0).width, 300);
    view.setZoom(300.0);
    shown();
    EXPECT_EQ(view.grid().renderCount(), renders);
    view.setZoom(301);
    shown();
    EXPECT_EQ(view.grid().image(0).width(), 602);
}

TEST_F(CalendarPreviewTest, SwitchingTheCoverOffBlanksTheShiftedSheetsButAnEditKeepsThem) {
    auto& view = shown();
    testing::editCalendar(model, [](CalendarSettings& c) { c.title = "Our Year"; });
    QCoreApplication::sendPostedEvents(&view, QEvent::MetaCall);  // the evaluation, not the renders
    EXPECT_FALSE(view.grid().image(1).isNull()) << "an edit keeps the old page until the new one arrives";
    testing::editCalendar(model, [](CalendarSettings& c) { c.cover = false; });
    QCoreApplication::sendPostedEvents(&view, QEvent::MetaCall);
    ASSERT_EQ(view.grid().sheets().front(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(view.grid().image(0).isNull());
    EXPECT_TRUE(view.grid().image(1).isNull());
}

TEST_F(CalendarPreviewTest, EachPageIsOneAccessibleTextWithoutActionThatFollowsANewLayout) {
    testing::editCalendar(model, [](CalendarSettings& c) { c.title = "Our Year"; });
    auto& view = shown();
    const auto& grid = view.grid();
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&view.grid());
    ASSERT_TRUE(access);
    ASSERT_EQ(access->childCount(), static_cast<int>(grid.layout().pages.size()));
    for (int i = 0; i < access->childCount(); ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* cell = access->child(i);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->role(), QAccessible::StaticText);
        EXPECT_TRUE(!cell->actionInterface() || cell->actionInterface()->actionNames().isEmpty());
        EXPECT_EQ(cell->text(QAccessible::Name), CalendarPages::accessibilityText(model, grid.layout().pages[i]));
        const QRect area = grid.cellRect(i).toAlignedRect();
        EXPECT_EQ(cell->rect(), QRect(grid.mapToGlobal(area.topLeft()), area.size()));
    }
    EXPECT_EQ(access->child(0)->text(QAccessible::Name), "Page 1, the cover: Our Year");

    const int pages = access->childCount();
    testing::editCalendar(model, [](CalendarSettings& c) { c.cover = false; });
    shown();
    EXPECT_EQ(access->childCount(), pages - 1);
    EXPECT_EQ(access->child(0)->text(QAccessible::Name),
              CalendarPages::accessibilityText(model, grid.layout().pages[0]));
}

TEST_F(CalendarPreviewTest, ListsOnlyTheFirstThreeWarnings) {
    auto& view = shown();
    EXPECT_TRUE(view.warningTexts().isEmpty());
    std::vector<Drawing> drawings(5);
    for (auto& d : drawings) {
        d.info.id = UUID::random();
        d.info.pixelSize = {40, 30};
        d.info.aspect = 4.0 / 3;
        d.busy = false;
    }
    const auto ids = std::vector<Drawing>(drawings);
    model.setDrawings(std::move(drawings));
    testing::editCalendar(model, [&](CalendarSettings& c) {
        for (int slot = 0; slot < 5; ++slot) c.pictures[slot] = ids[static_cast<std::size_t>(slot)].info.id;
    });
    QTest::qWait(0);
    const auto warnings = model.calendarLayout().warnings;
    ASSERT_GE(warnings.size(), 5u);
    const QStringList expected{QString::fromStdString(warnings[0].text), QString::fromStdString(warnings[1].text),
                               QString::fromStdString(warnings[2].text)};
    EXPECT_EQ(view.warningTexts(), expected);
}

}  // namespace
}  // namespace quillfen
