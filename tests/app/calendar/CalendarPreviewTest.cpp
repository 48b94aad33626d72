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

    AppModel model{false};
    std::unique_ptr<CalendarPreview> preview;
};

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

TEST_F(CalendarPreviewTest, AScrollBeforeTheEvaluationOfAnEditStillShowsTheEdit) {
    auto& view = shown();
    testing::editCalendar(model, [](CalendarSettings& c) { c.title = "Our Year"; });
    auto* bar = view.scrollArea().verticalScrollBar();
    bar->setValue(bar->value() + 1);  // renders the cells in view before the edit is evaluated
    shown();

    CalendarPreview fresh(model, nullptr);
    fresh.resize(view.size());
    fresh.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fresh.grid().image(0).isNull(); }, 20000));
    EXPECT_EQ(view.grid().image(0), fresh.grid().image(0)) << "the cover still shows the earlier title";
}

TEST_F(CalendarPreviewTest, EachPageIsOneAccessibleTextWithoutActionThatFollowsANewLayout) {
    testing::editCalendar(model, [](CalendarSettings& c) { c.title = "Our Year"; });
    auto& view = shown();
    const auto& grid = view.grid();
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&view.grid());
    ASSERT_TRUE(access);
    const int pages = access->childCount();
    ASSERT_EQ(pages, static_cast<int>(grid.layout().pages.size()));
    QAccessibleInterface* cover = access->child(0);
    EXPECT_EQ(cover->role(), QAccessible::StaticText);
    EXPECT_TRUE(!cover->actionInterface() || cover->actionInterface()->actionNames().isEmpty());
    EXPECT_EQ(cover->text(QAccessible::Name), "Page 1, the cover: Our Year");

    testing::editCalendar(model, [](CalendarSettings& c) { c.cover = false; });
    shown();
    EXPECT_EQ(access->childCount(), pages - 1);
    EXPECT_EQ(access->child(0)->text(QAccessible::Name),
              CalendarPages::accessibilityText(model, grid.layout().pages[0]));
}

}  // namespace
}  // namespace quillfen
