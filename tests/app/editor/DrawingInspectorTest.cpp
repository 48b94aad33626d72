#include "EditorFixture.h"

#include "app/editor/DrawingInspector.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
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
