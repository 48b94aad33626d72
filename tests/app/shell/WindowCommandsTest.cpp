#include "app/shell/AppCommands.h"

#include "app/shell/MoreAppsView.h"
#include "app/shell/Presentations.h"
#include "app/shell/QuitFinisher.h"
#include "app/shell/RootView.h"
#include "app/shell/SettingsWindow.h"
#include "tests/app/AppFixtures.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

// The program's windows as main() builds them: the menu bar's commands reach the settings and
// More Apps windows through the shell.
struct Shell {
    Shell() {
        new AppCommands(model, {[this] { settings.present(&window); }, [this] { moreApps.show(); }, [] {}},
                        window);
    }

    AppModel model{false};
    RootView window{model};
    SettingsWindow settings;
    MoreAppsWindow moreApps;
};

// Shows the window in front and waits until the application takes it for the active window.
bool activate(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 5000);
}

void press(QWidget& window, Qt::Key key) { QTest::keyClick(&window, key, Qt::ControlModifier); }

// Runs the application's event loop until something quits it; 1 when nothing did within `patience`.
int runUntilQuit(int patience) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(patience);
    return QCoreApplication::exec();
}

QPushButton* button(QWidget& sheet, const QString& text) {
    for (auto* candidate : sheet.findChildren<QPushButton*>())
        if (candidate->text() == text) return candidate;
    return nullptr;
}

bool validPdf(const QString& path) {
    QProcess qpdf;
    qpdf.start("qpdf", {"--check", path});
    return qpdf.waitForFinished(60000) && qpdf.exitStatus() == QProcess::NormalExit && qpdf.exitCode() == 0;
}

}  // namespace

// With the main window closed its menu bar is hidden, and a shortcut held only there matches nothing.
TEST(WindowCommands, CloseWindowAndSettingsAnswerInEveryWindowWhenTheMainWindowIsClosed) {
    Shell shell;
    shell.window.show();
    shell.moreApps.show();
    shell.window.close();
    ASSERT_FALSE(shell.window.isVisible());

    ASSERT_TRUE(activate(*shell.moreApps.window()));
    press(*shell.moreApps.window(), Qt::Key_Comma);
    EXPECT_TRUE(shell.settings.isVisible()) << "Settings from the More Apps window";

    ASSERT_TRUE(activate(shell.settings));
    press(shell.settings, Qt::Key_W);
    EXPECT_FALSE(shell.settings.isVisible()) << "Close Window from the settings window";

    ASSERT_TRUE(activate(*shell.moreApps.window()));
    press(*shell.moreApps.window(), Qt::Key_W);
    EXPECT_FALSE(shell.moreApps.window()->isVisible()) << "Close Window from the More Apps window";
}

TEST(WindowCommands, QuitAnswersInTheSettingsWindowWhenTheMainWindowIsClosed) {
    Shell shell;
    QuitFinisher finisher(shell.model, shell.window);
    shell.window.show();
    shell.settings.present(&shell.window);
    shell.window.close();
    ASSERT_TRUE(activate(shell.settings));
    QTimer::singleShot(0, &shell.settings, [&] { press(shell.settings, Qt::Key_Q); });
    EXPECT_EQ(runUntilQuit(10000), 0);
}

// The export sheet is window-modal: the main window's menu bar behind it takes no shortcut. Quitting
// from the sheet ends it at once and, as every quit does, waits for the running export's file. With the
// main window active behind its sheet, Close Window closes neither and Quit still quits.
TEST(WindowCommands, QuitFromTheExportSheetEndsItAndWaitsForTheExport) {
    enum class Front { sheetDuringExport, sheetAfterSaved, mainBehindSheet };
    for (const Front front : {Front::sheetDuringExport, Front::sheetAfterSaved, Front::mainBehindSheet}) {
        SCOPED_TRACE(front == Front::sheetDuringExport ? "sheet during the export"
                     : front == Front::sheetAfterSaved ? "sheet after \"Saved.\""
                                                       : "main window behind the sheet");
        QTemporaryDir folder;
        const QString path = folder.filePath("book.pdf");
        Shell shell;
        QuitFinisher finisher(shell.model, shell.window);
        shell.model.setDialogs({nullptr, [&](const QString&, const QString&) { return QUrl::fromLocalFile(path); }});
        for (int i = 0; i < 2; ++i) shell.model.addImage(jpegBytes(640, 480), {});
        ASSERT_TRUE(activate(shell.window));
        shell.model.requestExport(ExportKind::print);
        QPointer<QDialog> sheet = shell.window.presentations()->exportSheet();
        ASSERT_TRUE(sheet);
        ASSERT_TRUE(activate(*sheet));
        button(*sheet, "Export…")->click();
        ASSERT_TRUE(shell.model.exportProgress());
        if (front == Front::sheetAfterSaved) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.model.exportProgress(); }, 60000));
            ASSERT_TRUE(shell.model.exportedURL());
        }
        QWidget* pressed = sheet;
        if (front == Front::mainBehindSheet) {
            pressed = &shell.window;
            ASSERT_TRUE(activate(shell.window));
            press(shell.window, Qt::Key_W);
            EXPECT_TRUE(shell.window.isVisible() && sheet->isVisible()) << "Close Window from behind the sheet";
        }
        bool sheetEndedFirst = false;
        QObject::connect(&finisher, &QuitFinisher::finishing, &shell.model, [&] {
            QTimer::singleShot(0, &shell.model, [&] { sheetEndedFirst = !sheet || !sheet->isVisible(); });
        });
        QTimer::singleShot(0, pressed, [&] { press(*pressed, Qt::Key_Q); });
        EXPECT_EQ(runUntilQuit(60000), 0);
        EXPECT_TRUE(sheetEndedFirst);
        EXPECT_FALSE(shell.model.exportShown());
        EXPECT_FALSE(shell.model.exportProgress());
        EXPECT_TRUE(validPdf(path));
    }
}
