#include "BookFixtures.h"

#include "app/book/BookInspector.h"
#include "app/book/GrowingTextEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace quillfen {
namespace {

class BookInspectorTest : public testing::BookScreenTest {
protected:
    void open() {
        inspector = std::make_unique<BookInspector>(model, nullptr);
        inspector->show();
    }

    std::unique_ptr<BookInspector> inspector;
};

TEST_F(BookInspectorTest, NewBookShowsItsDefaultsAndTheOldestBookDrawingAsCover) {
    auto all = testing::drawings(3);
    all[0].info.title.clear();
    model.setDrawings(all);
    open();
    EXPECT_EQ(inspector->title().text(), "Our Art");
    EXPECT_TRUE(inspector->subtitle().text().isEmpty());
    EXPECT_EQ(inspector->subtitle().placeholderText(), "by Zizu and Roz");
    EXPECT_EQ(inspector->size().currentText(), "8 × 8 in square");
    EXPECT_EQ(inspector->caption().currentText(), "Handwritten");
    EXPECT_TRUE(inspector->captionSwitchesShown());
    EXPECT_EQ(inspector->coverDrawing().count(), 3);
    EXPECT_EQ(inspector->coverDrawing().currentText(), "Untitled");
}

TEST_F(BookInspectorTest, CoverPickerNeverFallsBackToACalendarOnlyPicture) {
    auto all = testing::drawings(3);
    model.setDrawings(all);
    auto calendar = model.calendar();
    calendar.calendarOnly = {all[0].info.id};
    model.setCalendar(calendar);
    open();
    EXPECT_EQ(inspector->coverDrawing().count(), 2);
    EXPECT_EQ(inspector->coverDrawing().currentText(), "Drawing 2");
}

TEST_F(BookInspectorTest, ChosenCoverStaysWhenAnOlderDrawingArrives) {
    auto all = testing::drawings(2);
    model.setDrawings(all);
    open();
    auto& picker = inspector->coverDrawing();
    picker.setCurrentIndex(1);
    Q_EMIT picker.activated(1);
    EXPECT_EQ(model.settings().coverDrawing, all[1].info.id);
    all.push_back(testing::drawing("Oldest", 10, 9));
    model.setDrawings(all);
    EXPECT_EQ(picker.currentText(), "Drawing 2");
}

TEST_F(BookInspectorTest, NoCaptionsHidesTheCaptionSwitchesAndKeepsTheirValues) {
    model.setDrawings(testing::drawings(1));
    open();
    inspector->showName().click();
    EXPECT_FALSE(model.settings().showName);
    auto& caption = inspector->caption();
    const int none = caption.findText("No captions");
    caption.setCurrentIndex(none);
    Q_EMIT caption.activated(none);
    EXPECT_FALSE(inspector->captionSwitchesShown());
    caption.setCurrentIndex(0);
    Q_EMIT caption.activated(0);
    EXPECT_TRUE(inspector->captionSwitchesShown());
    EXPECT_FALSE(inspector->showName().isChecked());
    EXPECT_TRUE(model.settings().showAge);
}

TEST_F(BookInspectorTest, EveryKeystrokeIsOneSettingsChange) {
    model.setDrawings(testing::drawings(1));
    open();
    const auto revision = model.revision();
    QTest::keyClicks(&inspector->subtitle(), "by Roz");
    EXPECT_EQ(model.settings().subtitle, "by Roz");
    EXPECT_EQ(model.revision(), revision + 6);
    inspector->dedication().setFocus();
    QTest::keyClicks(&inspector->dedication(), "Hi");
    EXPECT_EQ(model.settings().dedication, "Hi");
    EXPECT_EQ(model.revision(), revision + 8);
}

TEST_F(BookInspectorTest, ButtonsOpenTheChildrenSheetAndTheExportSheetOnTheirKind) {
    model.setDrawings(testing::drawings(1));
    open();
    inspector->children().click();
    EXPECT_TRUE(model.childrenShown());
    inspector->exportHome().click();
    EXPECT_TRUE(model.exportShown());
    EXPECT_EQ(model.exportKind(), ExportKind::home);
    model.setExportShown(false);
    inspector->exportBook().click();
    EXPECT_TRUE(model.exportShown());
    EXPECT_EQ(model.exportKind(), ExportKind::print);
}

}  // namespace
}  // namespace quillfen
