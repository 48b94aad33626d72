#include "MenuBaseline/CloseGuard.h"

#include <functional>
#include <memory>

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "MenuBaseline/MenuBaseline.h"

using namespace quillfen;

namespace {

// A main window that counts the close requests it sees itself and may refuse them.
class Window : public QMainWindow {
public:
    bool refuses = false;
    int asked = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++asked;
        event->setAccepted(!refuses);
    }
};

// A guard whose answer is fixed and whose questions are counted.
struct CountingGuard {
    CloseGuard guard;
    int asked = 0;
    explicit CountingGuard(bool allow) {
        guard.shouldClose = [this, allow] {
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

TEST(CloseGuard, AsksOnceBeforeTheGuardedWindowCloses) {
    struct Route {
        const char* name;
        std::function<void(CloseGuard&, QWidget&)> close;
    };
    const Route routes[] = {
        {"title-bar button", [](CloseGuard&, QWidget& w) { w.windowHandle()->close(); }},
        {"close()", [](CloseGuard&, QWidget& w) { w.close(); }},
        {"closeIfAllowed", [](CloseGuard& g, QWidget& w) { g.closeIfAllowed(w); }},
        {"closeFrontWindow", [](CloseGuard& g, QWidget&) { g.closeFrontWindow(); }},
    };
    for (const Route& route : routes) {
        for (const bool allow : {false, true}) {
            SCOPED_TRACE(testing::Message() << route.name << (allow ? ", allowed" : ", refused"));
            CountingGuard counting(allow);
            Window window;
            window.refuses = true;  // an allowed close must not ask the window a second time
            counting.guard.install(window);
            showActive(window);
            route.close(counting.guard, window);
            EXPECT_EQ(counting.asked, 1);
            EXPECT_EQ(window.asked, 0);
            EXPECT_EQ(window.isVisible(), !allow);
        }
    }
}

TEST(CloseGuard, CloseIfAllowedReportsTheAnswer) {
    for (const bool allow : {false, true}) {
        CountingGuard counting(allow);
        QMainWindow window;
        counting.guard.install(window);
        window.show();
        EXPECT_EQ(counting.guard.closeIfAllowed(window), allow);
    }
}

TEST(CloseGuard, InstallingTwiceStillAsksOnce) {
    CountingGuard counting(false);
    QMainWindow window;
    counting.guard.install(window);
    counting.guard.install(window);
    window.show();
    window.close();
    EXPECT_EQ(counting.asked, 1);
    EXPECT_TRUE(window.isVisible());
}

TEST(CloseGuard, WindowWithoutCloseButtonBecomesMainButIsNotIntercepted) {
    CountingGuard counting(false);
    QMainWindow window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    counting.guard.install(window);
    EXPECT_EQ(counting.guard.main, &window);
    window.show();
    window.close();
    EXPECT_EQ(counting.asked, 0);
    EXPECT_FALSE(window.isVisible());
}

TEST(CloseGuard, ForgetsTheMainWindowWhenItIsGone) {
    CloseGuard guard;
    auto window = std::make_unique<QMainWindow>();
    guard.install(*window);
    window.reset();
    EXPECT_TRUE(guard.main.isNull());
    guard.closeFrontWindow();  // nothing to close, nothing to ask
}

TEST(CloseGuard, EarlierWindowStaysGuardedWhenAnotherBecomesMain) {
    CountingGuard counting(false);
    QMainWindow first;
    QMainWindow second;
    counting.guard.install(first);
    counting.guard.install(second);
    EXPECT_EQ(counting.guard.main, &second);
    first.show();
    first.close();
    EXPECT_TRUE(first.isVisible());
    EXPECT_EQ(counting.asked, 1);
}

TEST(CloseGuard, CloseFrontWindowLetsOtherWindowsDecideForThemselves) {
    struct Case {
        const char* name;
        bool otherRefuses;
    };
    for (const Case c : {Case{"other window agrees", false}, Case{"other window refuses", true}}) {
        SCOPED_TRACE(c.name);
        CountingGuard counting(false);
        QMainWindow guarded;
        Window other;
        other.refuses = c.otherRefuses;
        counting.guard.install(guarded);
        guarded.show();
        showActive(other);
        counting.guard.closeFrontWindow();
        EXPECT_EQ(counting.asked, 0);
        EXPECT_EQ(other.asked, 1);
        EXPECT_EQ(other.isVisible(), c.otherRefuses);
        EXPECT_TRUE(guarded.isVisible());
    }
}

TEST(CloseGuard, CloseFrontWindowWithoutAnActiveWindowAsksForTheGuardedOne) {
    CountingGuard counting(true);
    QMainWindow guarded;
    QMainWindow other;
    counting.guard.install(guarded);
    guarded.show();
    showActive(other);
    other.close();
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    counting.guard.closeFrontWindow();
    EXPECT_EQ(counting.asked, 1);
    EXPECT_FALSE(guarded.isVisible());

    counting.guard.closeFrontWindow();  // neither an active nor a shown guarded window
    EXPECT_EQ(counting.asked, 1);
}

TEST(CloseGuard, GuardedClosePresetUsesTheSharedGuard) {
    CloseGuard& shared = CloseGuard::shared();
    int asked = 0;
    shared.shouldClose = [&] {
        ++asked;
        return false;
    };
    {
        QMainWindow window;
        shared.install(window);
        showActive(window);
        CloseWindowAction::guardedClose.run();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(asked, 1);
        shared.shouldClose = [] { return true; };
        CloseWindowAction::guardedClose.run();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_TRUE(shared.main.isNull());
}
