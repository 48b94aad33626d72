#include "app/book/BookInspector.h"
#include "app/book/ChildrenSheet.h"
#include "app/calendar/CalendarInspector.h"
#include "app/editor/DrawingInspector.h"
#include "tests/app/AppFixtures.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace quillfen {
namespace {

// One notch of a mouse wheel over the middle of `widget`, delivered as the window system's would be
// (focus by wheel, then up the parents until a widget takes it); true when a widget took it.
bool turnWheel(QWidget* widget) {
    const QPointF centre = QRectF(widget->rect()).center();
    QWheelEvent event(centre, widget->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(widget, &event);  // sendEvent would make it synthetic, which never propagates
    return event.isAccepted();
}

std::vector<QWidget*> wheelControls(QWidget& panel) {
    std::vector<QWidget*> controls;
    for (auto* widget : panel.findChildren<QWidget*>()) {
        const bool slider = qobject_cast<QAbstractSlider*>(widget) && !qobject_cast<QScrollBar*>(widget);
        if ((qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) || slider) &&
            widget->isVisibleTo(&panel) && widget->isEnabled())
            controls.push_back(widget);
    }
    return controls;
}

TEST(WheelGuard, OverAnInspectorTheWheelScrollsAndTurnsOnlyTheControlWithFocus) {
    AppModel model{false};
    model.setDrawings(testing::drawings(4));
    model.setSelectedID(model.drawings()[1].info.id);
    std::vector<Child> children(5);
    for (auto& child : children) {
        child.id = UUID::random();
        child.name = "Ada";
        child.birthday = Date::fromUnixSeconds(1.3e9);
    }
    model.setChildren(children);
    const struct {
        const char* name;
        std::function<QWidget*()> make;
    } panels[] = {
        {"book", [&] { return new BookInspector(model, nullptr); }},
        {"calendar", [&] { return new CalendarInspector(model, nullptr); }},
        {"drawing", [&] { return new DrawingInspector(model, model.drawings()[1], nullptr); }},
        {"children", [&] { return new ChildrenSheet(model, nullptr); }},
    };
    for (const auto& p : panels) {
        SCOPED_TRACE(p.name);
        std::unique_ptr<QWidget> panel(p.make());
        panel->resize(310, 420);
        panel->show();
        panel->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
        // Activating the window focused its first control: the parent has not chosen one.
        if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
        auto* scroll = qobject_cast<QAbstractScrollArea*>(panel.get());
        if (qobject_cast<QDialog*>(panel.get())) scroll = panel->findChild<QScrollArea*>();  // the list of children
        QScrollBar* bar = scroll ? scroll->verticalScrollBar() : nullptr;
        if (scroll) {
            ASSERT_GT(bar->maximum(), 0) << "the inspector does not scroll at this height";
        }

        const auto controls = wheelControls(*panel);
        ASSERT_FALSE(controls.empty());
        for (QWidget* control : controls) {
            SCOPED_TRACE(control->metaObject()->className());
            const auto revision = model.revision();
            if (bar) bar->setValue(0);
            turnWheel(control);
            EXPECT_EQ(model.revision(), revision) << "the wheel changed a setting";
            if (bar) {
                EXPECT_GT(bar->value(), 0) << "the panel did not scroll";
            }
        }

        // Once the parent clicks or tabs into a box, the wheel turns it.
        QComboBox* box = nullptr;
        for (QWidget* control : controls) {
            auto* candidate = qobject_cast<QComboBox*>(control);
            if (candidate && candidate->currentIndex() + 1 < candidate->count()) box = candidate;
        }
        if (!box) continue;
        box->setFocus();
        const auto revision = model.revision();
        const int index = box->currentIndex();
        EXPECT_TRUE(turnWheel(box));
        EXPECT_EQ(box->currentIndex(), index + 1);
        EXPECT_NE(model.revision(), revision);
    }
}

}  // namespace
}  // namespace quillfen
