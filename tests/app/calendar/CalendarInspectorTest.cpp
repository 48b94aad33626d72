#include "app/calendar/CalendarInspector.h"

#include "tests/app/AppFixtures.h"
#include "app/calendar/CalendarDates.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

class CalendarInspectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::editCalendar(model, [](CalendarSettings& c) { c.language = CalendarLanguage::english; });
        inspector.show();
    }

    // Chooses an item of a picker as the user does.
    static void choose(QComboBox& box, const QString& text) {
        const int index = box.findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box.setCurrentIndex(index);
        Q_EMIT box.activated(index);
    }

    UUID idOf(const QString& title) const {
        for (const auto& d : model.drawings()) {
            if (QString::fromStdString(d.info.title) == title) return d.info.id;
        }
        throw std::runtime_error("no such drawing");
    }

    AppModel model{false};
    CalendarInspector inspector{model, nullptr};
};

TEST_F(CalendarInspectorTest, MonthPicturesAreChosenClearedAndLeaveWithTheirDrawing) {
    model.setDrawings(testing::drawings(2));
    QComboBox& march = inspector.monthBox(2);
    choose(march, "Drawing 2");
    EXPECT_EQ(model.calendar().pictures.at(2), idOf("Drawing 2"));
    choose(inspector.monthBox(5), "Drawing 2");
    choose(inspector.coverPictureBox(), "Drawing 2");
    EXPECT_EQ(model.calendar().coverPicture, idOf("Drawing 2"));
    choose(march, "None");
    EXPECT_FALSE(model.calendar().pictures.contains(2)) << "None leaves no entry for the slot";

    model.removeDrawing(idOf("Drawing 2"));
    EXPECT_EQ(inspector.monthBox(5).currentText(), "None");
    EXPECT_EQ(inspector.monthBox(5).findText("Drawing 2"), -1);
    EXPECT_EQ(inspector.coverPictureBox().currentText(), "January’s picture");
}

TEST_F(CalendarInspectorTest, AddFilesAddsCalendarOnlyPicturesToTheFirstFreeMonth) {
    QTemporaryDir folder;
    const QString file = folder.filePath("photo.jpg");
    testing::writeFile(file, testing::jpegBytes());
    model.setDialogs({[&] { return QList<QUrl>{QUrl::fromLocalFile(file)}; }, {}});
    inspector.addFilesButton().click();
    ASSERT_TRUE(testing::importsFinished(model));
    ASSERT_EQ(model.drawings().size(), 1u);
    const UUID picture = model.drawings()[0].info.id;
    EXPECT_EQ(model.calendar().calendarOnly, std::vector<UUID>{picture});
    EXPECT_EQ(model.calendar().pictures.at(0), picture);
    EXPECT_EQ(inspector.monthBox(0).currentText(), "Untitled");
}

class CalendarDatesTest : public CalendarInspectorTest {
protected:
    CalendarDates& dates() { return inspector.dates(); }
};

TEST_F(CalendarDatesTest, AddsTrimmedEventsAndKeepsTheDateAndRepeatForTheNext) {
    dates().newDateEdit().setDate(QDate(2028, 2, 29));
    QTest::keyClicks(&dates().newTitleEdit(), " \t ");
    EXPECT_FALSE(dates().addButton().isEnabled());
    QTest::keyClick(&dates().newTitleEdit(), Qt::Key_Return);
    EXPECT_TRUE(model.calendar().customEvents.empty());

    dates().newTitleEdit().setText(QStringLiteral("\u00a0Leap day\t"));
    dates().addButton().click();
    ASSERT_EQ(model.calendar().customEvents.size(), 1u);
    const CustomEvent leap = model.calendar().customEvents[0];
    EXPECT_EQ(leap.title, "Leap day");
    EXPECT_EQ(leap.date, (Day{2028, 2, 29}));
    EXPECT_TRUE(leap.yearly);
    EXPECT_EQ(dates().newDateEdit().date(), QDate(2028, 2, 29));
    ASSERT_EQ(dates().rows().size(), 1u);
    EXPECT_FALSE(dates().rows()[0].date->text().contains("2028")) << "a yearly event shows no year";

    dates().yearlyBox().click();
    QTest::keyClicks(&dates().newTitleEdit(), "Trip");
    QTest::keyClick(&dates().newTitleEdit(), Qt::Key_Return);
    ASSERT_EQ(dates().rows().size(), 2u);
    EXPECT_EQ(dates().rows()[1].date->text(), dates().newDateEdit().text());
}

TEST_F(CalendarDatesTest, RenamesInPlaceAndRemovesOnlyItsOwnRow) {
    for (const char* title : {"One", "Two", "Three"}) {
        dates().newTitleEdit().setText(title);
        dates().addEvent();
    }
    QLineEdit* two = dates().rows()[1].title;
    two->selectAll();
    QTest::keyClicks(two, "Zwei");
    EXPECT_EQ(model.calendar().customEvents[1].title, "Zwei");
    EXPECT_EQ(dates().rows()[1].title, two) << "typing must not rebuild the row under the cursor";

    const std::int64_t revision = model.revision();
    dates().rows()[1].remove->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(model.revision(), revision + 1);
    ASSERT_EQ(model.calendar().customEvents.size(), 2u);
    EXPECT_EQ(model.calendar().customEvents[1].title, "Three");
    ASSERT_EQ(dates().rows().size(), 2u);
    EXPECT_EQ(dates().rows()[1].title->text(), "Three");
}

}  // namespace
}  // namespace quillfen
