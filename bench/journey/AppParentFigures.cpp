// What a parent feels, on a real X display: the GUI thread's stalls measured twice (the lateness of a
// 5 ms timer inside, the answer time of _NET_WM_PING from outside), import times and memory. One phase
// per process, named by the first argument:
//   quiet    import 200 phone photos untouched, then open the book's export sheet, then one autosave
//   clicks   import 200 phone photos while the parent scrolls, clicks drawings and switches views
//   restart  start again on the book the last quiet phase left: first paint, then until every thumbnail
//   export   40 drawings, then the print-ready book exported while the window is watched
//   memory   20 drawings, every one edited, three exports: the resident memory after
// The photos and each phase's book folder live under the folder in QUILLFEN_PARENT_FOLDER; every phase but
// restart starts from an empty book.
// Prints "name value" lines; bench/parent.sh runs the phases several times and prints medians. Not a test.
#include "app/model/AppModel.h"
#include "app/platform/FreedMemory.h"
#include "app/shell/RootView.h"
#include "app/shell/Sidebar.h"
#include "bench/GuiStallWatch.h"
#include "bench/WindowPing.h"
#include "engine/cleanup/ImageIO.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <exiv2/exiv2.hpp>

#include <cstdio>
#include <memory>

using namespace quillfen;
using bench::GuiStallWatch;
using bench::WindowPing;

namespace {

constexpr int importCount = 200;
constexpr int distinctPhotos = 8;

// A 12-megapixel phone photo of a drawing on a table, turned by EXIF orientation 6 as phones store them.
std::vector<std::uint8_t> phonePhoto(int seed) {
    constexpr int width = 4032, height = 3024;
    Bitmap image(width, height);
    std::uint32_t noise = 12345u + static_cast<std::uint32_t>(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525 + 1013904223;
            const int grain = static_cast<int>(noise >> 28) - 8;
            const bool sheet = x > width / 8 && x < width * 7 / 8 && y > height / 10 && y < height * 9 / 10;
            const bool stroke = sheet && ((x / (30 + seed) + y / 55) % 9 == 0 || std::abs(x - y) % 300 < 6);
            int r = 120 + seed * 5, g = 85, b = 60;
            if (sheet) {
                const int light = 215 - 50 * x / width;
                r = light, g = light - 4, b = light - 14;
            }
            if (stroke) r = 40, g = 70 + seed * 10, b = 150;
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(std::clamp(r + grain, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(g + grain, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(b + grain, 0, 255));
            p[3] = 255;
        }
    }
    const auto jpeg = Cleaner::jpegData(image, 0.9).value();
    auto file = Exiv2::ImageFactory::open(jpeg.data(), static_cast<long>(jpeg.size()));
    file->readMetadata();
    file->exifData()["Exif.Image.Orientation"] = std::uint16_t(6);
    file->writeMetadata();
    Exiv2::BasicIo& io = file->io();
    io.seek(0, Exiv2::BasicIo::beg);
    const Exiv2::DataBuf buffer = io.read(static_cast<long>(io.size()));
    return std::vector<std::uint8_t>(buffer.pData_, buffer.pData_ + buffer.size_);
}

// The folder of `count` photos (distinct pictures repeated under their own names), made once.
QList<QUrl> photos(const QString& root, int count) {
    const QString folder = root + "/photos";
    QDir().mkpath(folder);
    QList<QUrl> urls;
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QString("/IMG_%1.JPG").arg(i, 4, 10, QChar('0'));
        if (!QFile::exists(path)) {
            const QString first = folder + QString("/IMG_%1.JPG").arg(i % distinctPhotos, 4, 10, QChar('0'));
            if (i < distinctPhotos) {
                const auto bytes = phonePhoto(i);
                QFile file(path);
                file.open(QIODevice::WriteOnly);
                file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
            } else {
                QFile::link(first, path);
            }
        }
        urls << QUrl::fromLocalFile(path);
    }
    return urls;
}

double peakResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void print(const char* name, double value) { std::printf("%s %.1f\n", name, value); }

// Both meters over one stretch of work on the window.
struct Meters {
    explicit Meters(QWidget& window) : ping(static_cast<std::uint32_t>(window.winId())) {}
    void report(const QString& prefix) {
        ping.stop();
        print((prefix + "-timer-max-ms").toUtf8().constData(), timer.percentile(1.0));
        print((prefix + "-timer-p99-ms").toUtf8().constData(), timer.percentile(0.99));
        if (!ping.active() || ping.answered() == 0) return;
        print((prefix + "-ping-max-ms").toUtf8().constData(), ping.percentile(1.0));
        print((prefix + "-ping-p99-ms").toUtf8().constData(), ping.percentile(0.99));
    }
    GuiStallWatch timer;
    WindowPing ping;
};

void runFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool settled(AppModel& model) {
    return model.importing() == 0 && model.processingPool().activeThreadCount() == 0 &&
           std::none_of(model.drawings().begin(), model.drawings().end(), [](const Drawing& d) { return d.busy; });
}

// Runs the event loop until the model has added and processed everything, calling `act` every
// `every` milliseconds meanwhile; the time it took.
double waitSettled(AppModel& model, const std::function<void()>& act = {}, int every = 0) {
    QElapsedTimer clock, acted;
    clock.start();
    acted.start();
    while (!settled(model) && clock.elapsed() < 300000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (act && acted.elapsed() >= every) {
            act();
            acted.restart();
        }
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

struct Window {
    explicit Window(bool load) {
        if (load) model.load();
        view.resize(1400, 900);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view)) std::fprintf(stderr, "the window was never shown\n");
    }
    AppModel model{true};
    RootView view{model};
};

// The parent's acts while an import runs: scroll the list, click a drawing in it, now and then switch
// between the drawing and the book.
std::function<void()> parentActs(Window& window) {
    auto step = std::make_shared<int>(0);
    return [&window, step] {
        QListView* list = window.view.sidebar()->list();
        const int n = (*step)++;
        if (n % 3 == 0) {
            QScrollBar* bar = list->verticalScrollBar();
            bar->setValue(n % 30 < 15 ? bar->value() + 120 : bar->value() - 120);
        } else if (n % 3 == 1) {
            const QPoint row(list->viewport()->width() / 2, 20 + (n * 37) % std::max(40, list->viewport()->height() - 40));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
        }
        if (n % 25 == 24) window.model.setMode(window.model.mode() == ViewMode::book ? ViewMode::drawing : ViewMode::book);
    };
}

int quiet(const QString& root) {
    const auto urls = photos(root, importCount);
    Window window(false);
    runFor(300);
    {
        Meters meters(window.view);
        window.model.importPhotos(urls);
        print("import-quiet-ms", waitSettled(window.model));
        runFor(100);
        meters.report("import-quiet");
    }
    print("import-peak-mb", peakResidentMegabytes());
    window.model.setMode(ViewMode::book);
    runFor(1500);
    {
        Meters meters(window.view);
        runFor(100);
        window.model.setExportShown(true);
        runFor(600);
        meters.report("export-sheet");
    }
    window.model.setExportShown(false);
    runFor(500);
    {
        Meters meters(window.view);
        auto settings = window.model.settings();
        settings.title = "Our year";
        window.model.setSettings(settings);
        runFor(1200);
        meters.report("autosave");
    }
    window.model.prepareToQuit();
    return 0;
}

int clicks(const QString& root) {
    const auto urls = photos(root, importCount);
    Window window(false);
    runFor(300);
    Meters meters(window.view);
    window.model.importPhotos(urls);
    print("import-clicks-ms", waitSettled(window.model, parentActs(window), 40));
    runFor(100);
    meters.report("import-clicks");
    window.model.prepareToQuit();
    return 0;
}

int restart() {
    QElapsedTimer clock;
    clock.start();
    Window window(true);
    Meters meters(window.view);
    waitSettled(window.model);
    print("restart-thumbnails-ms", static_cast<double>(clock.elapsed()));
    runFor(300);
    meters.report("restart");
    window.model.prepareToQuit();
    return 0;
}

// Runs the event loop as the application runs it, asleep until something arrives, until the running
// export ends; false after five minutes. (QTest::qWaitFor sleeps 10 ms between passes, which the meters
// would count as the window's own stalls.)
bool waitForExport(AppModel& model) {
    QEventLoop loop;
    QObject::connect(&model, &AppModel::exportEnded, &loop, [&loop] { loop.exit(0); });
    QTimer::singleShot(300000, &loop, [&loop] { loop.exit(1); });
    return !model.exportProgress() || loop.exec() == 0;
}

// Answers the export's question for a destination with `destination`, as the parent would.
void answerExports(Window& window, const QString& destination) {
    window.model.setDialogs(
        {{}, [destination](const QString&, const QString&) { return std::optional(QUrl::fromLocalFile(destination)); }});
}

int exportBook(const QString& root) {
    const auto urls = photos(root, 40);
    Window window(false);
    window.model.importPhotos(urls);
    waitSettled(window.model);
    answerExports(window, root + "/export.pdf");
    window.model.setMode(ViewMode::book);
    runFor(1000);
    Meters meters(window.view);
    QElapsedTimer clock;
    clock.start();
    window.model.runExport(ExportKind::print);
    if (!waitForExport(window.model)) return 1;
    print("export-ms", static_cast<double>(clock.elapsed()));
    runFor(100);
    meters.report("export");
    window.model.prepareToQuit();
    return 0;
}

int memory(const QString& root) {
    const auto urls = photos(root, 20);
    Window window(false);
    window.model.importPhotos(urls);
    waitSettled(window.model);
    for (const auto& drawing : std::vector<Drawing>(window.model.drawings())) {
        window.model.setSelectedID(drawing.info.id);
        window.model.rotateRight(drawing.info.id);
        runFor(150);
    }
    waitSettled(window.model);
    answerExports(window, root + "/export.pdf");
    window.model.setMode(ViewMode::book);
    for (const auto kind : {ExportKind::print, ExportKind::home, ExportKind::cover}) {
        window.model.runExport(kind);
        if (!QTest::qWaitFor([&] { return !window.model.exportProgress(); }, 300000)) return 1;
        runFor(300);
    }
    runFor(1000);
    print("memory-after-exports-mb", bench::residentMegabytes());
    window.model.prepareToQuit();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const QString root = qEnvironmentVariable("QUILLFEN_PARENT_FOLDER");
    if (argc < 2 || root.isEmpty()) {
        std::fprintf(stderr, "usage: QUILLFEN_PARENT_FOLDER=folder AppParentFigures quiet|clicks|restart|export|memory\n");
        return 2;
    }
    const QByteArray phase = argv[1];
    const QString data = root + "/data-" + (phase == "restart" ? QString("quiet") : QString::fromUtf8(phase));
    if (phase != "restart") QDir(data).removeRecursively();
    qputenv("XDG_DATA_HOME", data.toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    returnFreedPicturesToTheSystem();  // as the program itself does
    QApplication app(argc, argv);
    if (phase == "quiet") return quiet(root);
    if (phase == "clicks") return clicks(root);
    if (phase == "restart") return restart();
    if (phase == "export") return exportBook(root);
    if (phase == "memory") return memory(root);
    return 2;
}
