#include "app/model/AppModel.h"
#include "app/platform/FreedMemory.h"
#include "app/platform/TerminationSignals.h"
#include "app/shell/AboutDialog.h"
#include "app/shell/AppCommands.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/MoreAppsView.h"
#include "app/shell/QuitFinisher.h"
#include "app/shell/RootView.h"
#include "app/shell/SettingsWindow.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/Updater.h"
#include "app/widgets/Icons.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <cstdio>

using namespace quillfen;

namespace {

// The files and folders on the command line (the desktop file passes them as paths), as file URLs.
QList<QUrl> openedURLs(const QStringList& arguments) {
    QList<QUrl> urls;
    for (const QString& argument : arguments) {
        const QUrl url = QUrl::fromUserInput(argument, QDir::currentPath(), QUrl::AssumeLocalFile);
        if (url.isLocalFile()) urls << url;
    }
    return urls;
}

// Says that another copy holds the book and does not answer, in a window: a copy started from the
// desktop has no terminal to read.
void showAlreadyRunning() {
    QMessageBox box(QMessageBox::Warning, QApplication::translate("main", "Something went wrong"),
                    QApplication::translate("main", "Quillfen is already running, but it does not answer."),
                    QMessageBox::Ok);
    box.setInformativeText(QApplication::translate(
        "main", "Wait until the other Quillfen window has closed, or close it, and open Quillfen again."));
    box.exec();
}

void bringToFront(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

int main(int argc, char** argv) {
    returnFreedPicturesToTheSystem();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillfen"));
    QApplication::setApplicationName(QStringLiteral("Quillfen"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLFEN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quillfen"));
    useIconTheme();
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quillfen"), QIcon(QStringLiteral(":/quillfen/quillfen.svg"))));
    const QList<QUrl> opened = openedURLs(QApplication::arguments().mid(1));

    // A copy running on this book takes the files; this one only hands them over. A copy that holds
    // the book but does not answer is still starting, or is finishing its quit and listens no more:
    // ask it again, and try the book again, for a while.
    AppModel model(true);
    SingleInstance instance(model.folder());
    using namespace std::chrono_literals;
    const QDeadlineTimer patience(30s);
    while (!model.ownsBookFolder()) {
        if (instance.forward(opened, 1s)) return 0;
        if (patience.hasExpired()) {
            std::fputs("Quillfen is already running, but it does not answer.\n", stderr);
            showAlreadyRunning();
            return 1;
        }
        QThread::msleep(250);
    }
    if (!instance.listen()) std::fputs("Quillfen could not open its socket; copies started later will not reach it.\n", stderr);
    quitOnTerminationSignals();

    AppDelegate delegate(model, QUrl(QStringLiteral(QUILLFEN_UPDATE_FEED)), QStringLiteral(QUILLFEN_VERSION));
    RootView window(model);
    SettingsWindow settings;
    MoreAppsWindow moreApps;
    AboutDialog about;
    new AppCommands(model,
                    {[&settings, &window] { settings.present(&window); }, [&moreApps] { moreApps.show(); },
                     [&delegate] { delegate.updater().checkForUpdates(); }},
                    window);
    QObject::connect(&model, &AppModel::aboutRequested, &app, [&about] { about.show(); });
    QObject::connect(&instance, &SingleInstance::opened, &app, [&](const QList<QUrl>& urls) {
        delegate.open(urls);
        bringToFront(window);
    });
    QuitFinisher finisher(model, window);
    QObject::connect(&finisher, &QuitFinisher::finishing, &instance, &SingleInstance::stopListening);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &model, [&model] { model.prepareToQuit(); });

    delegate.open(opened);
    window.show();
    QTimer::singleShot(0, &delegate, &AppDelegate::finishLaunching);
    return QApplication::exec();
}
