#include "app/shell/MoreAppsView.h"
#include "app/shell/SettingsWindow.h"

#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace quillfen;

TEST(SettingsWindow, OpensCentredOverTheMainWindow) {
    QMainWindow main;
    main.setGeometry(60, 40, 700, 540);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    SettingsWindow settings;
    settings.present(&main);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings));
    const QPoint offset = settings.frameGeometry().center() - main.frameGeometry().center();
    EXPECT_LE(std::abs(offset.x()), 3);  // rounding of the two centres
    EXPECT_LE(std::abs(offset.y()), 3);
}

TEST(MoreAppsView, EveryRowShowsItsWholeArrowInTheWindowAndInTheSettingsTab) {
    MoreAppsWindow window;
    window.show();
    SettingsWindow settings;
    settings.findChild<QTabWidget*>()->setCurrentIndex(1);
    settings.present();
    for (QWidget* host : {window.window(), static_cast<QWidget*>(&settings)}) {
        SCOPED_TRACE(host->windowTitle().toStdString());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host));
        auto* scroll = host->findChild<QScrollArea*>();
        ASSERT_TRUE(scroll);
        const QRect visible = scroll->viewport()->rect();
        const auto arrows = scroll->findChildren<QLabel*>("arrow");
        ASSERT_EQ(arrows.size(), 26);  // every application and the closing row
        for (const QLabel* arrow : arrows) {
            const QRect shown(arrow->mapTo(scroll->viewport(), QPoint()), arrow->size());
            EXPECT_GE(visible.right(), shown.right()) << "arrow clipped at the right";
            EXPECT_LE(visible.left(), shown.left());
        }
    }
}
