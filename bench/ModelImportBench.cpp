// Importing a folder of phone photos through the model: total time against a bare copy of the same
// bytes, the GUI thread's longest stall (lateness of a 5 ms timer) and the peak memory while it runs.
#include "app/model/AppModel.h"
#include "bench/GuiStallWatch.h"
#include "engine/cleanup/ImageIO.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <random>

using namespace quillfen;
using bench::GuiStallWatch;
using bench::residentMegabytes;

namespace {

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "ModelImportBench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A 12-megapixel photo-like JPEG of about 3 MB: soft gradients under sensor noise.
QByteArray phonePhoto() {
    Bitmap image(4000, 3000);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 6);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                const double v = 90 + 60 * std::sin(x / 300.0 + c) + 40 * std::cos(y / 200.0) + noise(random);
                p[c] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
            }
            p[3] = 255;
        }
    }
    const auto data = Cleaner::jpegData(image, 0.85);
    return QByteArray(reinterpret_cast<const char*>(data->data()), static_cast<qsizetype>(data->size()));
}

// A folder of `count` photos, made once per count and kept for the whole run.
const QString& photoFolder(int count) {
    static QTemporaryDir root;
    static const QByteArray photo = phonePhoto();
    static std::map<int, QString> folders;
    auto& folder = folders[count];
    if (folder.isEmpty()) {
        folder = root.filePath(QString::number(count));
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i) {
            QFile file(folder + QString("/IMG_%1.jpg").arg(i, 4, 10, QChar('0')));
            file.open(QIODevice::WriteOnly);
            file.write(photo);
        }
    }
    return folder;
}

void BM_ImportFolder(benchmark::State& state) {
    application();
    const QString folder = photoFolder(static_cast<int>(state.range(0)));
    double added = 0, processed = 0, worst = 0, p99 = 0, peak = 0;
    for (auto _ : state) {
        AppModel model(false);
        const double baseline = residentMegabytes();
        GuiStallWatch watch;
        QElapsedTimer clock;
        clock.start();
        model.importURLs({QUrl::fromLocalFile(folder)});
        while (model.importing() > 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        added = clock.nsecsElapsed() / 1e9;
        while (model.processingPool().activeThreadCount() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QCoreApplication::processEvents();
        processed = clock.nsecsElapsed() / 1e9;
        worst = watch.percentile(1.0);
        p99 = watch.percentile(0.99);
        peak = watch.peakMegabytes - baseline;
        if (model.drawings().size() != static_cast<std::size_t>(state.range(0))) state.SkipWithError("lost files");
    }
    state.counters["added_s"] = added;
    state.counters["processed_s"] = processed;
    state.counters["max_late_ms"] = worst;
    state.counters["p99_late_ms"] = p99;
    state.counters["peak_rss_MB"] = peak;
}
BENCHMARK(BM_ImportFolder)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_BareCopy(benchmark::State& state) {
    application();
    const QString folder = photoFolder(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QTemporaryDir target;
        for (const auto& entry : std::filesystem::directory_iterator(folder.toStdString()))
            std::filesystem::copy_file(entry.path(), target.path().toStdString() / entry.path().filename());
    }
}
BENCHMARK(BM_BareCopy)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
