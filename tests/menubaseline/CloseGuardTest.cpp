#include "MenuBaseline/CloseGuard.h"

#include <functional>
#include <optional>

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QTest>
#include <QTimer>
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

// The user's own close request: the window manager's close event, as its title-bar button sends it.
void clickCloseButton(QWidget& window) {
    QCloseEvent event;
    QCoreApplication::sendEvent(window.windowHandle(), &event);
}

}  // namespace

TEST(CloseGuard, AsksOnceForTheUsersCloseAndNeverForTheProgramsOwn) {
    struct Route {
        const char* name;
        bool asks;
        std::function<void(CloseGuard&, QWidget&)> close;
    };
    const Route routes[] = {
        {"title-bar button", true, [](CloseGuard&, QWidget& w) { clickCloseButton(w); }},
        {"closeIfAllowed", true,
         [](CloseGuard& g, QWidget& w) {
             const bool allowed = g.closeIfAllowed(w);
             EXPECT_EQ(allowed, !w.isVisible());
         }},
        {"closeFrontWindow", true, [](CloseGuard& g, QWidget&) { g.closeFrontWindow(); }},
        {"installed twice", true,
         [](CloseGuard& g, QWidget& w) {
             g.install(w);
             clickCloseButton(w);
         }},
        {"close() in code", false, [](CloseGuard&, QWidget& w) { w.close(); }},
        {"closing all windows", false, [](CloseGuard&, QWidget&) { QApplication::closeAllWindows(); }},
    };
    for (const Route& route : routes) {
        for (const bool allow : {false, true}) {
            SCOPED_TRACE(testing::Message() << route.name << (allow ? ", allowed" : ", refused"));
            Guard guard(allow);
            Window window(true);  // a close that gets past the guard must not ask the window again
            guard.install(window);
            showActive(window);
            route.close(guard, window);
            EXPECT_EQ(guard.asked, route.asks ? 1 : 0);
            EXPECT_EQ(window.asked, 0);
            EXPECT_EQ(window.isVisible(), route.asks && !allow);
        }
    }
}

TEST(CloseGuard, RefusingGuardDoesNotBlockQuit) {
    Guard guard(false);
    QMainWindow window;
    guard.install(window);
    showActive(window);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });  // a refused quit leaves the loop running
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(guard.asked, 0);
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

TEST(CloseGuard, CloseFrontWindowLetsTheActiveWindowDecideElseAsksForTheGuardedOne) {
    // Whether the other, active window refuses to close; none: it is closed already and none is active.
    for (const std::optional<bool> otherRefuses :
         {std::optional(false), std::optional(true), std::optional<bool>()}) {
        SCOPED_TRACE(!otherRefuses ? "no active window" : *otherRefuses ? "other refuses" : "other agrees");
        Guard guard(true);
        QMainWindow guarded;
        Window other(otherRefuses.value_or(false));
        guard.install(guarded);
        guarded.show();
        showActive(other);
        if (!otherRefuses) {
            other.close();
            ASSERT_EQ(QApplication::activeWindow(), nullptr);
        }
        guard.closeFrontWindow();
        EXPECT_EQ(guard.asked, otherRefuses ? 0 : 1);
        EXPECT_EQ(other.asked, 1);
        EXPECT_EQ(other.isVisible(), otherRefuses.value_or(false));
        EXPECT_EQ(guarded.isVisible(), otherRefuses.has_value());
        if (!otherRefuses) {
            guard.closeFrontWindow();  // neither an active nor a shown guarded window: nothing to ask
            EXPECT_EQ(guard.asked, 1);
        }
    }
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
