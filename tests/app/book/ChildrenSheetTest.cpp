#include "BookFixtures.h"

#include "app/book/ChildRow.h"
#include "app/book/ChildrenSheet.h"
#include "app/book/GrowingTextEdit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace quillfen {
namespace {

class ChildrenSheetTest : public testing::BookScreenTest {
protected:
    void open() {
        sheet = std::make_unique<ChildrenSheet>(model, nullptr);
        sheet->show();
    }

    std::unique_ptr<ChildrenSheet> sheet;
};

TEST_F(ChildrenSheetTest, AddChildTwiceGivesTwoNewArtistsEachWithItsOwnIdAndDoneLowersTheFlag) {
    model.setChildrenShown(true);
    open();
    EXPECT_TRUE(sheet->emptyNoteShown());
    sheet->addChild().click();
    sheet->addChild().click();
    ASSERT_EQ(model.children().size(), 2u);
    EXPECT_FALSE(sheet->emptyNoteShown());
    EXPECT_NE(model.children()[0].id, model.children()[1].id);
    ASSERT_EQ(sheet->rows().size(), 2u);
    for (const auto* row : sheet->rows()) {
        EXPECT_EQ(row->name().text(), "New artist");
        EXPECT_FALSE(row->birthday().isChecked());
    }
    sheet->doneButton().click();
    EXPECT_FALSE(model.childrenShown());
    EXPECT_FALSE(sheet->isVisible());
}

TEST_F(ChildrenSheetTest, TrashRemovesItsOwnChildAndRowOnly) {
    model.setDrawings(testing::drawings(1));
    const auto zizu = model.addChild("Zizu");
    const auto roz = model.addChild("Roz");
    model.update(model.drawings()[0].info.id, [&](DrawingInfo& info) { info.childID = zizu; });
    open();
    ASSERT_EQ(sheet->rows().size(), 2u);
    sheet->rows()[0]->trash().click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(model.children().size(), 1u);
    EXPECT_EQ(model.children()[0].id, roz);
    EXPECT_FALSE(model.drawings()[0].info.childID);
    ASSERT_EQ(sheet->rows().size(), 1u);
    EXPECT_EQ(sheet->rows()[0]->id(), roz);
}

TEST_F(ChildrenSheetTest, AddedChildShowsInViewWithItsNameFocusedAndNotesOpenAtTheirWrappedHeight) {
    model.addChild("Zizu");
    auto children = model.children();
    children[0].about = "Zizu loves purple, rockets and drawing everyone she knows, from her grandmother "
                        "to the cat next door, always with a big sun in the corner of the page.";
    model.setChildren(children);
    open();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));

    auto* about = sheet->rows()[0]->findChild<GrowingTextEdit*>();
    ASSERT_TRUE(about);
    const int lines = about->wrappedLines(about->viewport()->width());
    EXPECT_GE(lines, 3);
    EXPECT_GE(about->viewport()->height(), lines * about->fontMetrics().lineSpacing()) << "opens at its text's height";

    QScrollArea& list = sheet->list();
    const int firstHeight = list.height();
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        sheet->addChild().click();
        const ChildRow* added = sheet->rows().back();
        EXPECT_TRUE(added->name().hasFocus());
        const QRect shown(added->mapTo(list.viewport(), QPoint(0, 0)), added->size());
        EXPECT_TRUE(list.viewport()->rect().contains(shown)) << "the new row is whole in view";
        EXPECT_LE(list.geometry().bottom(), sheet->addChild().geometry().top()) << "the list ends above the buttons";
    }
    EXPECT_GT(list.height(), firstHeight);
    EXPECT_EQ(list.height(), 360) << "the list grows up to its limit, then scrolls";
    EXPECT_GT(list.verticalScrollBar()->maximum(), 0);
}

// A note that grows while it is typed in, in the last row of a list that scrolls, ran on below the list's
// edge: the line being typed stays in view.
TEST_F(ChildrenSheetTest, ANoteGrowingInTheLastRowStaysInView) {
    for (const char* name : {"Zizu", "Roz", "Ada", "Bo"}) model.addChild(name);
    open();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    QScrollArea& list = sheet->list();
    ASSERT_GT(list.verticalScrollBar()->maximum(), 0) << "the list scrolls";
    auto* note = sheet->rows().back()->findChild<GrowingTextEdit*>();
    ASSERT_TRUE(note);
    note->setFocus();
    list.ensureWidgetVisible(note, 0, 0);
    testing::settle();
    const int before = note->height();

    QTest::keyClicks(note, "Bo draws trains, long ones with many carriages, a driver who waves at the cows, "
                           "a dog on the roof of the last carriage and a sun with a face above the hills");
    testing::settle();
    ASSERT_GT(note->height(), before) << "the note grew";
    const QRect cursor = note->cursorRect();
    const QRect shown(note->viewport()->mapTo(list.viewport(), cursor.topLeft()), cursor.size());
    EXPECT_TRUE(list.viewport()->rect().contains(shown))
        << "the cursor's line ends " << shown.bottom() - list.viewport()->height() << " px below the list";
}

TEST(ChildRow, NewBirthdayStartsFiveCalendarYearsBackEvenFromALeapDay) {
    const QDateTime leap(QDate(2024, 2, 29), QTime(15, 30));
    const auto back = ChildRow::birthdayOn(std::nullopt, leap);
    ASSERT_TRUE(back);
    const QDateTime shown = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(back->unixSeconds() * 1000));
    EXPECT_EQ(shown.date(), QDate(2019, 2, 28));
    EXPECT_EQ(shown.time(), QTime(15, 30));
    EXPECT_EQ(ChildRow::birthdayOn(Date{1000}, leap), Date{1000});
}

}  // namespace
}  // namespace quillfen
