#include "MenuBaseline/CloseGuard.h"

#include <functional>

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "MenuBaseline/MenuBaseline.h"

using namespace quillfen;

namespace {

// A main window that counts the close requests it is asked itself, and may refuse them.
class Window : public QMainWindow {
public:
    explicit Window(bool refuses = false, Qt::WindowFlags flags = {})
        : QMainWindow(nullptr, flags), refuses(refuses) {}
    bool refuses;
    int asked = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++asked;
        event->setAccepted(!refuses);
    }
};

// A guard with a fixed answer that counts its questions.
struct Guard : CloseGuard {
    int asked = 0;
    explicit Guard(bool allow) {
        shouldClose = [this, allow] {
            ++asked;
            return allow;
        };
    }
};

void showActive(QWidget& window) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

}  // namespace

TEST(CloseGuard, AsksExactlyOnceBeforeTheGuardedWindowCloses) {
    const std::pair<const char*, std::function<void(CloseGuard&, QWidget&)>> routes[] = {
        {"title-bar button", [](CloseGuard&, QWidget& w) { w.windowHandle()->close(); }},
        {"close()", [](CloseGuard&, QWidget& w) { w.close(); }},
        {"closeIfAllowed",
         [](CloseGuard& g, QWidget& w) {
             const bool allowed = g.closeIfAllowed(w);
             EXPECT_EQ(allowed, !w.isVisible());
         }},
        {"closeFrontWindow", [](CloseGuard& g, QWidget&) { g.closeFrontWindow(); }},
        {"installed twice",
         [](CloseGuard& g, QWidget& w) {
             g.install(w);
             w.close();
         }},
    };
    for (const auto& [name, close] : routes) {
        for (const bool allow : {false, true}) {
            SCOPED_TRACE(testing::Message() << name << (allow ? ", allowed" : ", refused"));
            Guard guard(allow);
            Window window(true);  // an allowed close must not ask the window a second time
            guard.install(window);
            showActive(window);
            close(guard, window);
            EXPECT_EQ(guard.asked, 1);
            EXPECT_EQ(window.asked, 0);
            EXPECT_EQ(window.isVisible(), !allow);
        }
    }
}

TEST(CloseGuard, WindowWithoutCloseButtonBecomesMainButIsNotIntercepted) {
    Guard guard(false);
    Window window(false, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    guard.install(window);
    EXPECT_EQ(guard.main, &window);
    window.show();
    window.close();
    EXPECT_EQ(guard.asked, 0);
    EXPECT_FALSE(window.isVisible());
}

TEST(CloseGuard, CloseFrontWindowLetsAnyOtherWindowDecide) {
    for (const bool otherRefuses : {false, true}) {
        SCOPED_TRACE(otherRefuses ? "other window refuses" : "other window agrees");
        Guard guard(false);
        QMainWindow guarded;
        Window other(otherRefuses);
        guard.install(guarded);
        guarded.show();
        showActive(other);
        guard.closeFrontWindow();
        EXPECT_EQ(guard.asked, 0);
        EXPECT_EQ(other.asked, 1);
        EXPECT_EQ(other.isVisible(), otherRefuses);
        EXPECT_TRUE(guarded.isVisible());
    }
}

TEST(CloseGuard, CloseFrontWindowWithoutAnActiveWindowAsksForTheGuardedOne) {
    Guard guard(true);
    QMainWindow guarded;
    QMainWindow other;
    guard.install(guarded);
    guarded.show();
    showActive(other);
    other.close();
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    guard.closeFrontWindow();
    EXPECT_EQ(guard.asked, 1);
    EXPECT_FALSE(guarded.isVisible());
    guard.closeFrontWindow();  // neither an active nor a shown guarded window: nothing to ask
    EXPECT_EQ(guard.asked, 1);
}

TEST(CloseGuard, GuardedClosePresetAsksTheSharedGuard) {
    CloseGuard& shared = CloseGuard::shared();
    bool allow = false;
    shared.shouldClose = [&] { return allow; };
    {
        QMainWindow window;
        shared.install(window);
        showActive(window);
        CloseWindowAction::guardedClose.run();
        EXPECT_TRUE(window.isVisible());
        allow = true;
        CloseWindowAction::guardedClose.run();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_TRUE(shared.main.isNull());  // held weakly
    shared.shouldClose = [] { return true; };
}
