#include "app/platform/WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <gtest/gtest.h>

using namespace quillfen;

TEST(WindowGeometry, CentresOverTheOtherWindowButStaysOnTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    struct Case { const char* what; QRect over; QRect expected; };
    const Case cases[] = {
        {"room all around", QRect(300, 100, 1320, 860), QRect(680, 260, 560, 540)},
        {"main window at the left edge", QRect(-900, 100, 1000, 800), QRect(0, 230, 560, 540)},
        {"main window below the screen", QRect(1500, 900, 1000, 800), QRect(1360, 540, 560, 540)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WindowGeometry::centredOver(QSize(560, 540), c.over, screen), c.expected);
    }
}

TEST(WindowGeometry, KeepsTheWindowsPlaceBetweenRunsAndBringsItBackOntoTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case { const char* what; QRect closedAt; bool fits; };
    const Case cases[] = {
        {"on the screen", QRect(screen.topLeft() + QPoint(40, 30), QSize(300, 200)), true},
        {"on a screen that is gone", QRect(screen.bottomRight() + QPoint(2000, 1500), QSize(300, 200)), false},
        {"larger than the screen", QRect(screen.topLeft(), screen.size() + QSize(400, 300)), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QSettings().remove("testWindow");
        {
            QWidget first;
            EXPECT_FALSE(WindowGeometry::keep(first, "testWindow")) << "nothing saved yet";
            first.setGeometry(c.closedAt);
            first.show();
            first.close();
        }
        QWidget next;  // the next run
        ASSERT_TRUE(WindowGeometry::keep(next, "testWindow"));
        if (c.fits) {
            EXPECT_EQ(next.geometry(), c.closedAt);
        }
        EXPECT_TRUE(screen.contains(next.frameGeometry())) << "lost off the screen";
    }
}
