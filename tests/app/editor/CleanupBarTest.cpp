#include "EditorFixture.h"

#include "app/editor/CleanupBar.h"
#include "app/editor/EditorTexts.h"
#include "app/widgets/SpokenSlider.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>
#include <QWindow>

using namespace quillfen;
using quillfen::testing::EditorFixture;

namespace {

using CleanupBarTest = EditorFixture;

// The centre of a slider's handle, in the slider's coordinates.
QPoint handleCentre(QSlider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

}  // namespace

TEST_F(CleanupBarTest, FollowingTheDrawingWritesNothingBack) {
    CleanupSettings cleanup;
    cleanup.straighten = 2.5;
    cleanup.whiten = 0.29;
    cleanup.flatten = true;
    const Drawing added = addDrawing({}, "", cleanup);
    CleanupBar bar(model);
    QSignalSpy changes(&model, &AppModel::revisionChanged);

    bar.setDrawing(added);
    EXPECT_EQ(bar.straightenLabel()->text(), QStringLiteral("Straighten 2.5°"));
    EXPECT_EQ(bar.whitenLabel()->text(), QStringLiteral("Whiten paper 28%"));
    EXPECT_EQ(bar.whiten(), 0.29) << "the local value is the drawing's, not the slider's position";
    EXPECT_TRUE(bar.flattenBox()->isChecked());

    model.resetCleanup(added.info.id);  // a change by another path, followed as the pane does
    changes.clear();
    bar.setDrawing(drawing(added.info.id));
    EXPECT_EQ(bar.straightenLabel()->text(), QStringLiteral("Straighten 0.0°"));
    EXPECT_EQ(bar.whitenLabel()->text(), QStringLiteral("Whiten paper 60%"));
    EXPECT_EQ(changes.count(), 0);
}

// Assistive technologies read each slider's value in its unit, never the raw slider position.
TEST_F(CleanupBarTest, SlidersSpeakTheirValuesInDegreesAndPercent) {
    const struct { double straighten, whiten; const char* degrees; const char* percent; double number; } cases[] = {
        {2.5, 0.29, "2.5 degrees", "28 percent", 2.5},
        {0, 0, "0.0 degrees", "0 percent", 0},
        {-15, 1, "-15.0 degrees", "100 percent", -15},
    };
    CleanupBar bar(model);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        bar.setDrawing(addDrawing({}, "", CleanupSettings{std::nullopt, false, 0, c.straighten, true, c.whiten}));
        QAccessibleInterface* straighten = QAccessible::queryAccessibleInterface(bar.straightenSlider());
        QAccessibleInterface* whiten = QAccessible::queryAccessibleInterface(bar.whitenSlider());
        ASSERT_TRUE(straighten && whiten);
        EXPECT_EQ(straighten->text(QAccessible::Name), QStringLiteral("Straighten"));
        EXPECT_EQ(straighten->text(QAccessible::Value), QString::fromUtf8(c.degrees));
        EXPECT_EQ(whiten->text(QAccessible::Value), QString::fromUtf8(c.percent));
        ASSERT_TRUE(straighten->valueInterface());
        EXPECT_EQ(straighten->valueInterface()->currentValue().toDouble(), c.number);
        EXPECT_EQ(straighten->valueInterface()->maximumValue().toDouble(), 15);
    }
}

// The whitening slider moved a thousandth per arrow key, so its label hardly changed: an arrow key moves
// it a whole percent, Page Up and Page Down ten, each written to the drawing.
TEST_F(CleanupBarTest, KeysMoveTheWhiteningByWholePercents) {
    const Drawing added = addDrawing({}, "", CleanupSettings{std::nullopt, false, 0, 0, true, 0.6});
    CleanupBar bar(model);
    bar.setDrawing(added);
    const struct { Qt::Key key; const char* label; double whiten; } steps[] = {
        {Qt::Key_Right, "Whiten paper 61%", 0.61},
        {Qt::Key_PageUp, "Whiten paper 71%", 0.71},
        {Qt::Key_Left, "Whiten paper 70%", 0.70},
        {Qt::Key_PageDown, "Whiten paper 60%", 0.60},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.label);
        QTest::keyClick(bar.whitenSlider(), step.key);
        EXPECT_EQ(bar.whitenLabel()->text(), QString::fromUtf8(step.label));
        EXPECT_NEAR(drawing(added.info.id).info.cleanup.whiten, step.whiten, 1e-9);
    }
}

TEST_F(CleanupBarTest, ASliderDragWritesOnceOnRelease) {
    const Drawing added = addDrawing({}, "", CleanupSettings{std::nullopt, false, 0, 0, true, 0.6});
    CleanupBar bar(model);
    bar.setDrawing(added);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy changes(&model, &AppModel::revisionChanged);

    QSlider* slider = bar.whitenSlider();
    QWindow* window = bar.windowHandle();
    const QPoint start = slider->mapTo(&bar, handleCentre(slider));
    QTest::mousePress(window, Qt::LeftButton, {}, start);
    QTest::mouseMove(window, start - QPoint(40, 0));
    QTest::mouseMove(window, start - QPoint(70, 0));
    EXPECT_EQ(changes.count(), 0) << "moving changes only the label";
    EXPECT_LT(bar.whiten(), 0.6);
    const double dragged = bar.whiten();
    EXPECT_EQ(bar.whitenLabel()->text(), EditorTexts::whitenLabel(dragged));
    QTest::mouseRelease(window, Qt::LeftButton, {}, start - QPoint(70, 0));

    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(drawing(added.info.id).info.cleanup.whiten, dragged);
}

TEST_F(CleanupBarTest, RotateAndResetActOnTheSelectedDrawingOnly) {
    const Drawing added = addDrawing({}, "", CleanupSettings{std::nullopt, false, 3, 0, true, 0.2});
    CleanupBar bar(model);
    bar.setDrawing(added);
    QSignalSpy changes(&model, &AppModel::revisionChanged);
    const auto rotateRight = [&] {
        for (auto* button : bar.findChildren<QToolButton*>())
            if (button->accessibleName() == QStringLiteral("Rotate right")) button->click();
    };
    rotateRight();
    EXPECT_EQ(changes.count(), 0) << "nothing is selected";
    model.setSelectedID(added.info.id);
    rotateRight();
    EXPECT_EQ(drawing(added.info.id).info.cleanup.quarterTurns, 0);
}
