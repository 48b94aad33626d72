// One start of the application as main() builds it, measured: process start to the main window shown,
// to every thumbnail of the sample book, the resident memory then, and the time of each export. Prints
// "name value" lines; bench/journey.sh runs it several times and reports the medians. Not a test.
#include "app/model/AppModel.h"
#include "app/platform/FreedMemory.h"
#include "app/shell/AppCommands.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/RootView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <ctime>
#include <cstdio>

using namespace quillfen;

namespace {

// Milliseconds since this process started, from the kernel's record of its start.
double sinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    stat.open(QIODevice::ReadOnly);
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();  // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec / 1e9 - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000.0;
}

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;  // a first start: no library, no settings
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    returnFreedPicturesToTheSystem();  // as the program itself does
    QApplication app(argc, argv);
    AppModel model(true);
    AppDelegate delegate(model, QUrl(), QStringLiteral("1.0"));
    RootView window(model);
    new AppCommands(model, {[] {}, [] {}, [] {}}, window);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    std::printf("window-shown-ms %.0f\n", sinceProcessStart());
    delegate.finishLaunching();

    model.loadSampleBook(false);
    const auto thumbnailsShown = [&] {
        return model.importing() == 0 && !model.drawings().empty() &&
               std::all_of(model.drawings().begin(), model.drawings().end(),
                           [](const Drawing& d) { return !d.busy && !d.thumb.isNull(); });
    };
    if (!QTest::qWaitFor(thumbnailsShown, 120000)) return 1;
    std::printf("sample-thumbnails-ms %.0f\n", sinceProcessStart());
    std::printf("memory-after-sample-mb %.0f\n", residentMegabytes());

    QString destination;
    model.setDialogs({{}, [&](const QString&, const QString&) { return std::optional(QUrl::fromLocalFile(destination)); }});
    const std::tuple<ViewMode, ExportKind, const char*> exports[] = {
        {ViewMode::book, ExportKind::print, "export-book-print-ms"},
        {ViewMode::book, ExportKind::home, "export-book-home-ms"},
        {ViewMode::book, ExportKind::cover, "export-cover-ms"},
        {ViewMode::calendar, ExportKind::print, "export-calendar-print-ms"},
        {ViewMode::calendar, ExportKind::home, "export-calendar-home-ms"}};
    for (const auto& [mode, kind, name] : exports) {
        if (mode == ViewMode::calendar) {
            model.showCalendar();  // as the Calendar view does: empty months take the book's drawings
        } else {
            model.setMode(mode);
        }
        destination = home.filePath(QString::fromLatin1(name) + QStringLiteral(".pdf"));
        QElapsedTimer clock;
        clock.start();
        model.runExport(kind);
        if (!QTest::qWaitFor([&] { return !model.exportProgress(); }, 120000) || !QFile::exists(destination))
            return 1;
        std::printf("%s %lld\n", name, static_cast<long long>(clock.elapsed()));
        std::printf("%s %lld\n", QByteArray(name).replace("-ms", "-kb").constData(),
                    static_cast<long long>(QFileInfo(destination).size() / 1024));
    }
    model.prepareToQuit();
    return 0;
}
