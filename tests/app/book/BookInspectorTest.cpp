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

TEST_F(BookInspectorTest, CoverPickerOffersBookDrawingsOnlyAndShowsTheOldestOneUnlessChosen) {
    auto all = testing::drawings(3);
    all[1].info.title.clear();
    model.setDrawings(all);
    testing::editCalendar(model, [&](CalendarSettings& c) { c.calendarOnly = {all[0].info.id}; });
    open();
    EXPECT_EQ(inspector->coverDrawing().count(), 2);
    EXPECT_EQ(inspector->coverDrawing().currentText(), "Untitled");
}

TEST_F(BookInspectorTest, ChosenCoverStaysWhenAnOlderDrawingArrives) {
    auto all = testing::drawings(2);
    model.setDrawings(all);
    open();
    auto& picker = inspector->coverDrawing();
    picker.setCurrentIndex(1);
    Q_EMIT picker.activated(1);
    EXPECT_EQ(model.settings().coverDrawing, all[1].info.id);
    all.push_back(testing::drawing(0));
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

}  // namespace
}  // namespace quillfen
