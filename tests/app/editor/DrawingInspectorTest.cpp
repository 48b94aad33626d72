#include "EditorFixture.h"

#include "app/editor/DrawingInspector.h"
#include "app/widgets/WarningRow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>

using namespace quillfen;
using quillfen::testing::EditorFixture;

namespace {

using DrawingInspectorTest = EditorFixture;

}  // namespace

TEST_F(DrawingInspectorTest, FieldsRoundTripThroughTheModel) {
    const UUID ada = model.addChild(QStringLiteral("Ada"));
    addDrawing({});  // the oldest drawing, which the cover shows unless another is chosen
    const Drawing added = addDrawing({});
    model.setSelectedID(added.info.id);
    DrawingInspector inspector(model, added);
    inspector.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&inspector));

    QTest::keyClicks(inspector.titleField(), QStringLiteral("Rocket"));
    QTest::keyClick(inspector.artistPicker(), Qt::Key_Down);
    const QDateTime drawn = QDateTime::fromMSecsSinceEpoch(
        static_cast<qint64>(added.info.date.unixSeconds() * 1000));
    inspector.drawnField()->setDate(drawn.date().addDays(3));
    QTest::keyClicks(inspector.ageField(), QStringLiteral("6"));
    const auto clickBox = [](QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); };
    EXPECT_FALSE(inspector.coverBox()->isChecked());
    clickBox(inspector.featuredBox());
    const auto revision = model.revision();
    clickBox(inspector.coverBox());

    const DrawingInfo& info = drawing(added.info.id).info;
    EXPECT_EQ(info.title, "Rocket");
    EXPECT_EQ(info.childID, ada);
    EXPECT_NEAR(info.date.seconds, added.info.date.seconds + 3 * 86400, 3600) << "the time of day is kept";
    EXPECT_EQ(info.age, "6");
    EXPECT_TRUE(info.featured);
    EXPECT_EQ(model.settings().coverDrawing, added.info.id);
    EXPECT_EQ(model.revision(), revision + 2) << "the cover switch counts one more change";
    EXPECT_TRUE(inspector.coverBox()->isChecked());
    EXPECT_TRUE(inspector.showsAsLabel()->text().startsWith(QStringLiteral("Shows as: \u201CRocket\u201D \u2014 Ada")))
        << inspector.showsAsLabel()->text().toStdString();

    QSignalSpy changes(&model, &AppModel::revisionChanged);
    model.update(added.info.id, [](DrawingInfo& i) { i.title = "Moon"; });
    EXPECT_EQ(inspector.titleField()->text(), QStringLiteral("Moon"));
    EXPECT_EQ(changes.count(), 1) << "showing the model's value writes nothing back";

    QTest::keyClick(inspector.artistPicker(), Qt::Key_Up);
    EXPECT_EQ(drawing(added.info.id).info.childID, std::nullopt) << "\"None\" stores no artist";
}

// A calendar-only picture is not in the book: its cover switch is off and disabled, while the book's
// oldest drawing is the cover. Warning rows show the warning symbol, not a text character.
TEST_F(DrawingInspectorTest, CalendarPicturesCannotBeTheCoverAndWarningsShowTheSymbol) {
    const Drawing calendarPicture = addDrawing({});  // the oldest of the library
    const Drawing inBook = addDrawing({});           // 600 × 900 pixels: prints blurry in the book
    auto calendar = model.calendar();
    calendar.calendarOnly = {calendarPicture.info.id};
    model.setCalendar(calendar);

    const struct { const Drawing& drawing; bool enabled, checked, warned; } cases[] = {
        {calendarPicture, false, false, false},
        {inBook, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.enabled ? "book drawing" : "calendar picture");
        model.setSelectedID(c.drawing.info.id);
        DrawingInspector inspector(model, c.drawing);
        EXPECT_EQ(inspector.coverBox()->isEnabled(), c.enabled);
        EXPECT_EQ(inspector.coverBox()->isChecked(), c.checked);
        const auto rows = inspector.findChildren<WarningRow*>();
        EXPECT_EQ(!rows.isEmpty(), c.warned);
        for (const QLabel* label : inspector.findChildren<QLabel*>()) {
            EXPECT_FALSE(label->text().contains(QChar(0x26A0))) << label->text().toStdString();
        }
    }
}

// A change that leaves the children and the drawing's warnings as they were rebuilds neither the artist
// picker nor the warning rows: rebuilding them laid the inspector out again at every change of the library.
TEST_F(DrawingInspectorTest, RefreshRebuildsThePickerAndWarningsOnlyWhenTheyChanged) {
    model.addChild(QStringLiteral("Ada"));
    const Drawing blurry = addDrawing({});  // 600 × 900 pixels: prints blurry in the book
    const Drawing sharp = addDrawing({});
    model.update(sharp.info.id, [](DrawingInfo& info) { info.pixelSize = {6000, 9000}; });
    model.setSelectedID(blurry.info.id);
    DrawingInspector inspector(model, blurry);
    const QPointer<WarningRow> row = inspector.findChild<WarningRow*>();
    ASSERT_TRUE(row);
    const auto rows = inspector.findChildren<WarningRow*>().size();
    QSignalSpy refilled(inspector.artistPicker()->model(), &QAbstractItemModel::rowsRemoved);

    model.update(blurry.info.id, [](DrawingInfo& info) { info.age = "6"; });
    EXPECT_EQ(inspector.ageField()->text(), QStringLiteral("6"));
    EXPECT_EQ(inspector.findChild<WarningRow*>(), row.data());
    EXPECT_EQ(refilled.count(), 0);

    model.addChild(QStringLiteral("Bo"));
    EXPECT_EQ(inspector.artistPicker()->count(), 3);
    model.setSelectedID(sharp.info.id);
    EXPECT_TRUE(inspector.findChildren<WarningRow*>().isEmpty());
    model.setSelectedID(blurry.info.id);
    EXPECT_EQ(inspector.findChildren<WarningRow*>().size(), rows);
}
