// The main window's responsiveness: the GUI thread's longest stall and 99th percentile (lateness of a
// 5 ms timer) while 200 photos are imported and processed, while processing results arrive for 300
// drawings, while a 1,000-drawing list scrolls, and while the modes switch with 300 drawings; and the
// resident memory of a 1,000-drawing library with its window. Runs on the offscreen platform.
#include "app/shell/RootView.h"
#include "app/shell/Sidebar.h"
#include "bench/GuiStallWatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace quillfen;
using bench::GuiStallWatch;
using bench::residentMegabytes;

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "ShellResponsivenessBench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    static QApplication app(argc, argv);
    return app;
}

// The longest stall and the 99th percentile as the bench's counters.
void report(GuiStallWatch& watch, benchmark::State& state) {
    state.counters["max_late_ms"] = watch.percentile(1.0);
    state.counters["p99_late_ms"] = watch.percentile(0.99);
}

void runFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A processed drawing with a thumbnail of the model's largest size, each one different.
Drawing drawing(int sequence, bool processed = true) {
    Drawing d;
    d.info.id = UUID::random();
    d.info.date = Date::fromUnixSeconds(1.7e9 + 3600.0 * sequence);
    d.info.sequence = sequence;
    d.info.pixelSize = {3000, 2250};
    d.info.aspect = 4.0 / 3;
    d.info.title = "Drawing " + std::to_string(sequence);
    d.busy = !processed;
    if (processed) {
        d.thumb = QImage(700, 525, QImage::Format_RGB888);
        d.thumb.fill(QColor::fromHsv(sequence * 37 % 360, 120, 230));
    }
    return d;
}

std::vector<Drawing> library(int count, bool processed = true) {
    std::vector<Drawing> drawings;
    for (int i = 0; i < count; ++i) drawings.push_back(drawing(i, processed));
    return drawings;
}

// A folder of 3-megapixel photo-like JPEG files.
QString photoFolder(int count) {
    static QTemporaryDir root;
    QImage photo(2000, 1500, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient gradient(0, 0, 2000, 1500);
    gradient.setColorAt(0, QColor(230, 225, 210));
    gradient.setColorAt(1, QColor(150, 140, 120));
    painter.fillRect(photo.rect(), gradient);
    painter.fillRect(QRect(300, 200, 1400, 1100), QColor(250, 250, 245));
    painter.setPen(QPen(Qt::blue, 12));
    painter.drawEllipse(QRect(600, 400, 700, 600));
    painter.end();
    for (int i = 0; i < count; ++i) photo.save(root.filePath(QString("IMG_%1.jpg").arg(i, 4, 10, QChar('0'))), "JPEG", 85);
    return root.path();
}

void BM_ImportPhotos(benchmark::State& state) {
    application();
    const QString folder = photoFolder(static_cast<int>(state.range(0)));
    QList<QUrl> photos;
    for (const auto& url : AppModel::imageFiles(QUrl::fromLocalFile(folder))) photos << url;
    for (auto _ : state) {
        AppModel model(false);
        RootView window(model);
        window.show();
        runFor(100);
        GuiStallWatch watch;
        model.importPhotos(photos);
        QElapsedTimer clock;
        clock.start();
        const auto busy = [&] {
            return std::count_if(model.drawings().begin(), model.drawings().end(), [](const Drawing& d) { return d.busy; });
        };
        // Until every photo is added and processed (at most two minutes, should processing be missing).
        while ((model.importing() > 0 || model.processingPool().activeThreadCount() > 0 || busy() > 0) &&
               clock.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        runFor(50);
        report(watch, state);
        state.counters["drawings"] = static_cast<double>(model.drawings().size());
        state.counters["still_busy"] = static_cast<double>(busy());
    }
}
BENCHMARK(BM_ImportPhotos)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1);

// Processing results for every drawing, one every 3 ms, applied as the model applies them: the drawing
// found by id gets its thumbnail and is no longer busy.
void BM_ProcessingResultsArrive(benchmark::State& state) {
    application();
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        AppModel model(false);
        model.setDrawings(library(count, false));
        RootView window(model);
        window.show();
        runFor(100);
        GuiStallWatch watch;
        for (int i = 0; i < count; ++i) {
            auto drawings = model.drawings();
            drawings[static_cast<std::size_t>(i)].thumb = drawing(i).thumb;
            drawings[static_cast<std::size_t>(i)].busy = false;
            model.setDrawings(std::move(drawings));
            runFor(3);
        }
        runFor(50);
        report(watch, state);
    }
}
BENCHMARK(BM_ProcessingResultsArrive)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ScrollList(benchmark::State& state) {
    application();
    for (auto _ : state) {
        AppModel model(false);
        const double before = residentMegabytes();
        model.setDrawings(library(static_cast<int>(state.range(0))));
        RootView window(model);
        window.show();
        runFor(200);
        auto* bar = window.sidebar()->list()->verticalScrollBar();
        GuiStallWatch watch;
        for (int value = 0; value < bar->maximum(); value += 60) {
            bar->setValue(value);
            runFor(8);
        }
        report(watch, state);
        state.counters["rss_MB"] = residentMegabytes();
        state.counters["library_and_window_MB"] = residentMegabytes() - before;
    }
}
BENCHMARK(BM_ScrollList)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SwitchModes(benchmark::State& state) {
    application();
    for (auto _ : state) {
        AppModel model(false);
        auto drawings = library(static_cast<int>(state.range(0)));
        model.setDrawings(drawings);
        RootView window(model);
        window.show();
        runFor(200);
        GuiStallWatch watch;
        for (int round = 0; round < 20; ++round) {
            model.setSelectedID(drawings[static_cast<std::size_t>(round * 7)].info.id);
            for (const auto mode : allViewModes) {
                model.setMode(mode);
                runFor(30);
            }
        }
        report(watch, state);
    }
}
BENCHMARK(BM_SwitchModes)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
