#include "app/shell/QuitFinisher.h"

#include "app/shell/RootView.h"
#include "tests/app/AppFixtures.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

// Runs the application's event loop, as the program does, until something quits it; 1 when nothing
// did within a minute.
int runUntilQuit() {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(60000);
    return QCoreApplication::exec();
}

}  // namespace

// Quitting while an import copies a photo: the import worker is held until the test releases it, so finishing
// surely takes longer than the second after which the window says so.
TEST(QuitFinisher, TheWindowStaysUpAndSaysItIsFinishingUntilTheCopyIsMade) {
    struct Case { const char* what; std::function<void(QWidget&)> quit; };
    const Case cases[] = {
        {"the Quit command", [](QWidget&) { QCoreApplication::quit(); }},
        {"closing the last window", [](QWidget& window) { window.close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        writeFile(dir.filePath("photo.jpg"), jpegBytes());
        AppModel model(false);
        HeldWorker held(model);
        RootView window(model);
        QuitFinisher finisher(model, window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        bool shown = false, enabled = true, noticeShown = false;
        QTimer::singleShot(0, &window, [&] {
            model.importURLs({QUrl::fromLocalFile(dir.filePath("photo.jpg"))});
            c.quit(window);
        });
        QTimer::singleShot(1500, &window, [&] {
            shown = window.isVisible();
            enabled = window.isEnabled();
            noticeShown = finisher.notice() && finisher.notice()->isVisible();
            held.release();
        });
        EXPECT_EQ(runUntilQuit(), 0);
        EXPECT_TRUE(shown);
        EXPECT_FALSE(enabled);
        EXPECT_TRUE(noticeShown);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(model.drawings().size(), 1u);
    }
}

TEST(QuitFinisher, QuitsAtOnceWithNothingToFinishAndClosingBesideAnotherWindowQuitsNothing) {
    AppModel model(false);
    RootView window(model);
    QuitFinisher finisher(model, window);
    QWidget settings;
    window.show();
    settings.show();
    window.close();  // the settings window stays open, so the application goes on
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.isEnabled());

    window.show();
    QTimer::singleShot(0, &window, [&] { QCoreApplication::quit(); });
    EXPECT_EQ(runUntilQuit(), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(settings.isVisible());
    EXPECT_FALSE(finisher.notice());
}
