// Takes the README's screenshots of the main window: the empty state, then the sample book in the
// drawing, book and calendar modes. Run under Xvfb by bench/screenshots.sh; writes PNG files into the
// folder given as the first argument; with "--minimum" after it, the window has its least size (to see
// that nothing overlaps or is cut off there). Not a test: nothing is compared.
#include "app/shell/AppCommands.h"
#include "app/shell/RootView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace quillfen;

namespace {

void runFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool shoot(QWidget& window, const QDir& folder, const QString& name) {
    runFor(400);
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir data;  // the sample book never touches the user's own library or settings
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", data.path().toUtf8());
    QApplication app(argc, argv);
    const bool minimum = argc == 3 && QByteArray(argv[2]) == "--minimum";
    if (argc != 2 && !minimum) {
        std::fprintf(stderr, "usage: %s <folder for the screenshots> [--minimum]\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());

    AppModel model(false);
    RootView window(model);
    new AppCommands(model, {[] {}, [] {}, [] {}}, window);
    window.show();
    if (minimum) window.resize(1, 1);  // held at its least size
    bool saved = shoot(window, folder, QStringLiteral("empty-state"));

    model.loadSampleBook(false);
    QElapsedTimer clock;
    clock.start();
    const auto busy = [&] {
        return model.importing() > 0 || model.drawings().empty() ||
               std::any_of(model.drawings().begin(), model.drawings().end(), [](const Drawing& d) { return d.busy; });
    };
    while (busy() && clock.elapsed() < 120000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!model.bookDrawings().empty()) model.setSelectedID(model.bookDrawings().front().info.id);
    const std::pair<ViewMode, const char*> modes[] = {
        {ViewMode::drawing, "sample-drawing"}, {ViewMode::book, "sample-book"}, {ViewMode::calendar, "sample-calendar"}};
    for (const auto& [mode, name] : modes) {
        if (mode == ViewMode::calendar) {
            model.showCalendar();
        } else {
            model.setMode(mode);
        }
        saved = shoot(window, folder, QString::fromLatin1(name)) && saved;
    }
    model.prepareToQuit();
    return saved ? 0 : 1;
}
