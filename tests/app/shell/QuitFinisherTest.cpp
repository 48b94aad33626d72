#include "app/shell/QuitFinisher.h"

#include "app/shell/RootView.h"
#include "tests/app/AppFixtures.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

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

namespace {

// How far a colour drawn on `base` stands from it: the sum of the three channels' differences.
int contrast(const QColor& ink, const QColor& base) {
    const double a = ink.alphaF();
    const auto channel = [&](float i, float b) { return std::abs(static_cast<int>(std::lround(255 * a * (i - b)))); };
    return channel(ink.redF(), base.redF()) + channel(ink.greenF(), base.greenF()) + channel(ink.blueF(), base.blueF());
}

}  // namespace

// While quitting waits, the greyed window drew the hint of an empty field as dark as a field's text:
// greyed, a hint still stands out less from its field than text does.
TEST(QuitFinisher, TheGreyedWindowKeepsHintsFainterThanText) {
    QTemporaryDir dir;
    writeFile(dir.filePath("photo.jpg"), jpegBytes());
    AppModel model(false);
    model.setDrawings({drawing(1)});
    model.setMode(ViewMode::calendar);
    HeldWorker held(model);
    RootView window(model);
    QuitFinisher finisher(model, window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::vector<std::tuple<QString, int, int>> fields;  // placeholder, its contrast, the text's
    QTimer::singleShot(0, &window, [&] {
        model.importURLs({QUrl::fromLocalFile(dir.filePath("photo.jpg"))});
        QCoreApplication::quit();
    });
    QTimer::singleShot(200, &window, [&] {
        for (const QLineEdit* field : window.findChildren<QLineEdit*>()) {
            if (!field->isVisible() || !field->text().isEmpty() || field->placeholderText().isEmpty()) continue;
            const QPalette& p = field->palette();
            const QColor base = p.color(QPalette::Disabled, QPalette::Base);
            fields.emplace_back(field->placeholderText(), contrast(p.color(QPalette::Disabled, QPalette::PlaceholderText), base),
                                contrast(p.color(QPalette::Disabled, QPalette::Text), base));
        }
        held.release();
    });
    EXPECT_EQ(runUntilQuit(), 0);
    ASSERT_FALSE(fields.empty()) << "no empty field with a hint on screen";
    for (const auto& [hint, hintContrast, textContrast] : fields) EXPECT_LT(hintContrast, textContrast) << hint.toStdString();
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
