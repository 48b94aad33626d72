#include "BookFixtures.h"

#include "app/book/ChildRow.h"
#include "app/book/ChildrenSheet.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
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
