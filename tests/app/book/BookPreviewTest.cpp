#include "BookFixtures.h"

#include "app/book/BookPreview.h"
#include "app/book/PageGrid.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

namespace quillfen {
namespace {

class BookPreviewTest : public testing::BookScreenTest {
protected:
    void open() {
        preview = std::make_unique<BookPreview>(model, nullptr);
        preview->resize(1000, 800);
        preview->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(preview.get()));
    }

    // Every cell in view shows a picture of the current document and guides.
    bool visibleCellsCurrent() {
        return QTest::qWaitFor([&] {
            const auto pages = preview->grid().visiblePages();
            if (pages.empty()) return false;
            for (int n : pages) {
                const auto key = preview->grid().imageKey(n);
                if (!key || key->revision != model.revision() || key->guides != model.showGuides()) return false;
            }
            return true;
        }, 20000);
    }

    QPoint centre(int page) { return preview->grid().cellRect(page).center().toPoint(); }

    std::unique_ptr<BookPreview> preview;
};

BookSettings richBook() {
    BookSettings settings;
    settings.dedication = "For Grandma";
    settings.closing = "Made with love";
    return settings;
}

// The page size slider told assistive technologies its position in tenths of a point (2300 for pages
// 230 points long) and an arrow key moved it a tenth: it reads as the size itself, and the keys move it
// a whole point, ten with Page Up and Page Down.
TEST_F(BookPreviewTest, PageSizeSliderReadsAndStepsTheSizeItself) {
    open();
    auto* slider = preview->findChild<QSlider*>();
    ASSERT_TRUE(slider);
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(slider);
    ASSERT_TRUE(spoken && spoken->valueInterface());
    EXPECT_EQ(spoken->text(QAccessible::Name), QStringLiteral("Preview size"));
    EXPECT_EQ(spoken->valueInterface()->minimumValue().toDouble(), 150);
    EXPECT_EQ(spoken->valueInterface()->maximumValue().toDouble(), 420);
    const struct { Qt::Key key; double zoom; } steps[] = {
        {Qt::Key_Right, 231}, {Qt::Key_PageUp, 241}, {Qt::Key_Left, 240}, {Qt::Key_PageDown, 230}};
    EXPECT_EQ(spoken->valueInterface()->currentValue().toDouble(), 230);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.zoom);
        QTest::keyClick(slider, step.key);
        EXPECT_DOUBLE_EQ(preview->zoom(), step.zoom);
        EXPECT_DOUBLE_EQ(spoken->valueInterface()->currentValue().toDouble(), step.zoom);
        EXPECT_EQ(spoken->text(QAccessible::Value), QString::number(step.zoom));
    }
}

TEST_F(BookPreviewTest, OnlyCellsInViewRenderAndScrollingRendersTheNewOnes) {
    model.setDrawings(testing::drawings(40));
    open();
    ASSERT_TRUE(visibleCellsCurrent());
    const auto firstView = preview->grid().visiblePages();
    EXPECT_LT(firstView.size(), preview->grid().layout().pages.size() / 2);
    EXPECT_EQ(preview->grid().renderCount(), static_cast<int>(firstView.size()));
    const int last = static_cast<int>(preview->grid().layout().pages.size());
    EXPECT_FALSE(preview->grid().imageKey(last).has_value());

    auto* bar = preview->scrollArea().verticalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_TRUE(visibleCellsCurrent());
    EXPECT_TRUE(preview->grid().imageKey(last).has_value());
    // Far above the view now: the first page's picture was let go.
    EXPECT_TRUE(preview->grid().image(1).isNull());
}

TEST_F(BookPreviewTest, AChangedSettingAndTheGuidesRenderEveryVisibleCellAgain) {
    model.setDrawings(testing::drawings(4));
    open();
    ASSERT_TRUE(visibleCellsCurrent());
    const QImage before = preview->grid().image(1);

    testing::editSettings(model, [&](BookSettings& s) { s.coverColor = CoverColor::charcoal; });
    ASSERT_TRUE(visibleCellsCurrent());
    EXPECT_NE(preview->grid().image(1), before);

    const QImage plain = preview->grid().image(1);
    preview->findChild<QCheckBox*>()->click();
    EXPECT_TRUE(model.showGuides());
    ASSERT_TRUE(visibleCellsCurrent());
    EXPECT_NE(preview->grid().image(1), plain);
    model.setShowGuides(false);
    ASSERT_TRUE(visibleCellsCurrent());
    EXPECT_EQ(preview->grid().image(1), plain);
}

TEST_F(BookPreviewTest, TheLastKeyTypedShowsEvenWhenItArrivesBeforeTheRendersOfTheKeyBefore) {
    model.setDrawings(testing::drawings(2));
    open();
    ASSERT_TRUE(visibleCellsCurrent());
    testing::editSettings(model, [](BookSettings& s) { s.subtitle = "with love"; });
    QCoreApplication::sendPostedEvents(preview.get(), QEvent::MetaCall);  // the evaluation; its renders wait
    testing::editSettings(model, [](BookSettings& s) { s.subtitle = "with love 4"; });
    ASSERT_TRUE(visibleCellsCurrent());

    BookPreview fresh(model, nullptr);
    fresh.resize(preview->size());
    fresh.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fresh.grid().image(1).isNull(); }, 20000));
    EXPECT_EQ(preview->grid().image(1), fresh.grid().image(1)) << "the cover shows the earlier subtitle";
}

TEST_F(BookPreviewTest, DoubleClickOnADrawingsPageOpensItsFirstDrawingAndNothingElseDoes) {
    model.setDrawings(testing::drawings(2));
    model.setSettings(richBook());
    model.setMode(ViewMode::book);
    open();
    const auto& layout = preview->grid().layout();
    ASSERT_TRUE(std::holds_alternative<DedicationPage>(layout.pages[1].content));
    QTest::mouseDClick(&preview->grid(), Qt::LeftButton, {}, centre(2));
    EXPECT_EQ(model.mode(), ViewMode::book);
    EXPECT_FALSE(model.selectedID());

    const int page = 3;
    ASSERT_TRUE(std::holds_alternative<DrawingsPage>(layout.pages[page - 1].content));
    QTest::mouseDClick(&preview->grid(), Qt::LeftButton, {}, centre(page));
    EXPECT_EQ(model.mode(), ViewMode::drawing);
    EXPECT_EQ(model.selectedID(), std::get<DrawingsPage>(layout.pages[page - 1].content).drawings.front());
}

TEST_F(BookPreviewTest, EachPageIsOneAccessibleButtonWhosePressOpensItsFirstDrawing) {
    model.setDrawings(testing::drawings(2));
    model.setSettings(richBook());
    model.setMode(ViewMode::book);
    open();
    const auto& grid = preview->grid();
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&preview->grid());
    ASSERT_TRUE(access);
    ASSERT_EQ(access->childCount(), static_cast<int>(grid.layout().pages.size()));
    QAccessibleInterface* cell = access->child(2);
    EXPECT_EQ(cell->role(), QAccessible::Button);
    EXPECT_EQ(cell->text(QAccessible::Name), "Page 3: Drawing 1. Double-click to edit.");
    const QRect area = grid.cellRect(3).toAlignedRect();
    EXPECT_EQ(cell->rect(), QRect(grid.mapToGlobal(area.topLeft()), area.size()));
    cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(model.mode(), ViewMode::drawing);
    EXPECT_EQ(model.selectedID(), std::get<DrawingsPage>(grid.layout().pages[2].content).drawings.front());
}

// However narrow the pane, the page-count summary shows its whole text, wrapped, beside the controls.
TEST_F(BookPreviewTest, PageCountSummaryWrapsInANarrowPaneAndIsNeverCut) {
    model.setDrawings(testing::drawings(3));  // blank pages are added to reach the preset's minimum
    open();
    const QString summary = preview->summary();
    ASSERT_TRUE(summary.contains(QStringLiteral("in multiples of 2)"))) << summary.toStdString();
    QLabel* label = nullptr;
    for (QLabel* candidate : preview->findChildren<QLabel*>()) {
        if (candidate->text() == summary) label = candidate;
    }
    ASSERT_TRUE(label);
    const auto* guides = preview->findChild<QCheckBox*>();
    for (const int width : {1000, 560, 420}) {
        SCOPED_TRACE(width);
        preview->resize(width, 800);
        QTest::qWait(20);
        const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000),
                                                               Qt::TextWordWrap, summary);
        EXPECT_LE(needed.height(), label->height());
        EXPECT_LE(needed.width(), label->width());
        EXPECT_LE(label->geometry().right(), guides->geometry().left());
    }
    const QFontMetrics metrics = label->fontMetrics();
    for (const QChar digit : QStringLiteral("0123456789")) {
        EXPECT_EQ(metrics.horizontalAdvance(digit), metrics.horizontalAdvance(QLatin1Char('0'))) << "digits of equal width";
    }
}

}  // namespace
}  // namespace quillfen
