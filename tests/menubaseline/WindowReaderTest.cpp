#include "MenuBaseline/WindowReader.h"

#include <memory>
#include <vector>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMainWindow>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include "MenuBaseline/CloseGuard.h"
#include "MenuBaseline/WindowUndoManagerReader.h"

using namespace quillfen;

namespace {

template <typename T>
struct Reports {
    std::vector<T*> seen;
    std::vector<T*> take() { return std::exchange(seen, {}); }
};

}  // namespace

TEST(WindowReader, ReportsTheWindowWhenPlacedAndWhenAnAncestorMovesButNotOnLeaving) {
    QWidget first;
    QWidget second;
    auto* panel = new QWidget(&first);
    Reports<QWidget> reports;
    WindowReader probe([&](QWidget& window) { reports.seen.push_back(&window); });
    EXPECT_TRUE(reports.take().empty()) << "a probe without a parent is in no window";

    probe.setParent(panel);
    EXPECT_EQ(reports.take(), std::vector<QWidget*>{&first});

    panel->setParent(&second);  // an ancestor moves the probe into another window
    EXPECT_EQ(reports.take(), std::vector<QWidget*>{&second});

    panel->setWindowFlag(Qt::Window);  // the ancestor becomes a window of its own
    EXPECT_EQ(reports.take(), std::vector<QWidget*>{panel});

    panel->setParent(&first);  // and is put back into a window as a plain child
    EXPECT_EQ(reports.take(), std::vector<QWidget*>{&first});

    Reports<QWidget> replaced;
    probe.setFound([&](QWidget& window) { replaced.seen.push_back(&window); });
    EXPECT_EQ(replaced.take(), std::vector<QWidget*>{&first}) << "a new function hears the window at once";

    probe.setParent(nullptr);
    EXPECT_TRUE(replaced.take().empty()) << "leaving every window reports nothing";
    second.setParent(&first);  // a former ancestor moving no longer concerns the probe
    EXPECT_TRUE(replaced.take().empty());

    probe.setParent(panel);
    EXPECT_EQ(replaced.take(), std::vector<QWidget*>{&first}) << "coming back is a placement";
    probe.setParent(nullptr);
    EXPECT_TRUE(reports.take().empty());
}

TEST(WindowReader, CloseGuardGuardsTheWindowThatShowsTheView) {
    CloseGuard& guard = CloseGuard::shared();
    guard.shouldClose = [] { return false; };
    QMainWindow first;
    QMainWindow second;
    auto* view = new QWidget;
    first.setCentralWidget(view);
    closeGuard(*view);
    EXPECT_EQ(guard.main, &first);

    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    QCloseEvent click;  // the title-bar button
    QCoreApplication::sendEvent(first.windowHandle(), &click);
    EXPECT_TRUE(first.isVisible());

    second.setCentralWidget(first.takeCentralWidget());
    EXPECT_EQ(guard.main, &second);
    guard.shouldClose = [] { return true; };
}

TEST(WindowUndoManagerReader, ReportsOnFirstShowingAndThenEachChangeOfTheWindowsStack) {
    QWidget window;
    QWidget other;
    auto* view = new QWidget(&window);
    auto* early = new QUndoStack(&window);
    Reports<QUndoStack> reports;
    windowUndoManager(*view, [&](QUndoStack* stack) { reports.seen.push_back(stack); });
    delete early;
    QCoreApplication::processEvents();
    EXPECT_TRUE(reports.take().empty()) << "nothing is reported before the view is first shown";

    window.show();
    EXPECT_EQ(reports.take(), std::vector<QUndoStack*>{nullptr});
    window.hide();
    window.show();
    EXPECT_TRUE(reports.take().empty()) << "only the first showing reports by itself";

    auto* stack = new QUndoStack(&window);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.take(), std::vector<QUndoStack*>{stack});

    auto* spare = new QUndoStack(&window);  // the window's stack stays the first one
    auto* otherStack = new QUndoStack(&other);
    QCoreApplication::processEvents();
    EXPECT_TRUE(reports.take().empty());

    delete stack;
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.take(), std::vector<QUndoStack*>{spare});

    view->setParent(&other);  // another window supplies another stack
    EXPECT_EQ(reports.take(), std::vector<QUndoStack*>{otherStack});
    delete spare;  // the old window's stacks no longer matter
    QCoreApplication::processEvents();
    EXPECT_TRUE(reports.take().empty());

    delete otherStack;
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.take(), std::vector<QUndoStack*>{nullptr}) << "a stack that goes away leaves none";
}

TEST(WindowUndoManagerReader, ViewShownAlreadyReportsAtOnce) {
    QWidget window;
    auto* stack = new QUndoStack(&window);
    window.show();
    Reports<QUndoStack> reports;
    windowUndoManager(window, [&](QUndoStack* found) { reports.seen.push_back(found); });
    EXPECT_EQ(reports.take(), std::vector<QUndoStack*>{stack});
    QCoreApplication::processEvents();
    EXPECT_TRUE(reports.take().empty());
}
