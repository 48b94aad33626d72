#include "BookFixtures.h"

#include "app/book/BookPages.h"
#include "app/book/BookPreview.h"
#include "app/book/PageGrid.h"
#include "app/shell/WarningRow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
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

TEST_F(BookPreviewTest, ShowsCoverDedicationAboutPagesAndBlankPaddingAsSpreads) {
    model.setDrawings(testing::drawings(3));
    const auto child = model.addChild("Roz");
    auto all = model.drawings();
    for (auto& d : all) d.info.childID = child;
    model.setDrawings(all);
    model.setSettings(richBook());
    open();
    ASSERT_TRUE(visibleCellsCurrent());

    ASSERT_EQ(preview->grid().layout().pages.size(), 20u);
    EXPECT_EQ(preview->summary().left(25), "20 pages (13 blank added:");

    // Page 1 stands alone on the right; pages 2 and 3 share a spread, 2 on the left.
    const auto& grid = preview->grid();
    EXPECT_GT(grid.cellRect(1).left(), grid.cellRect(2).right());
    EXPECT_EQ(grid.cellRect(2).top(), grid.cellRect(3).top());
    EXPECT_LT(grid.cellRect(2).right(), grid.cellRect(3).left());
    EXPECT_GT(grid.cellRect(2).top(), grid.cellRect(1).bottom());
    EXPECT_EQ(grid.cellRect(20).left(), grid.cellRect(2).left());

    // The cells render the engine's page at two pixels per point.
    const QImage cover = grid.image(1);
    EXPECT_EQ(cover.width(), static_cast<int>(grid.cellRect(1).width() * 2));
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
    const auto& layout = grid.layout();
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&preview->grid());
    ASSERT_TRUE(access);
    ASSERT_EQ(access->childCount(), static_cast<int>(layout.pages.size()));
    for (int i = 0; i < access->childCount(); ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* cell = access->child(i);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->role(), QAccessible::Button);
        EXPECT_EQ(cell->text(QAccessible::Name), BookPages::accessibilityText(model, layout.pages[i]));
        const QRect area = grid.cellRect(i + 1).toAlignedRect();
        EXPECT_EQ(cell->rect(), QRect(grid.mapToGlobal(area.topLeft()), area.size()));
        EXPECT_EQ(access->indexOfChild(cell), i);
        EXPECT_EQ(cell->parent(), access);
    }
    EXPECT_EQ(access->child(2)->text(QAccessible::Name), "Page 3: Drawing 1. Double-click to edit.");
    EXPECT_EQ(access->childAt(grid.mapToGlobal(centre(3)).x(), grid.mapToGlobal(centre(3)).y()), access->child(2));

    access->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(model.mode(), ViewMode::book);
    EXPECT_FALSE(model.selectedID());
    access->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(model.mode(), ViewMode::drawing);
    EXPECT_EQ(model.selectedID(), std::get<DrawingsPage>(layout.pages[2].content).drawings.front());
}

TEST_F(BookPreviewTest, ListsFourWarningsAndCountsTheRest) {
    const struct Case { int drawings; std::size_t warnings; int rows; QString more; } cases[] = {
        {3, 4, 4, {}}, {4, 5, 4, "\u2026and 1 more."}, {9, 10, 4, "\u2026and 6 more."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drawings);
        // Pictures far too small for their pages each get a warning, and the cover's picture one more.
        model.setDrawings(testing::drawings(c.drawings, {100, 100}));
        ASSERT_EQ(model.layout().warnings.size(), c.warnings);
        open();
        EXPECT_EQ(preview->findChildren<WarningRow*>().size(), c.rows);
        QStringList more;
        for (auto* label : preview->findChildren<QLabel*>())
            if (label->text().startsWith("\u2026and")) more << label->text();
        EXPECT_EQ(more, c.more.isEmpty() ? QStringList() : QStringList{c.more});
    }
}

TEST_F(BookPreviewTest, SliderSizesCellsAndStoresTheZoom) {
    model.setDrawings(testing::drawings(2));
    open();
    preview->setZoom(420);
    EXPECT_DOUBLE_EQ(preview->grid().cellRect(1).width(), 420);
    EXPECT_EQ(QSettings().value("pageZoom").toDouble(), 420);
    ASSERT_TRUE(visibleCellsCurrent());
    EXPECT_EQ(preview->grid().image(1).width(), 840);
}

}  // namespace
}  // namespace quillfen
