// The application model at library scale. Launch: 300 drawings with 12-megapixel originals (one in
// ten HEIC) from load() until every drawing has its thumbnail, against 300 times the engine's single
// thumbnail path divided by the cores (goal: ratio at most 1.1), with the peak memory added by the
// library in all and per drawing. Save: the time save() takes on the GUI thread for 1,000 drawings
// (goal: under 16 ms) and the bytes written. Pagination: each derived value read at 1,000 drawings.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>

#include <libheif/heif.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "app/model/AppModel.h"
#include "engine/cleanup/Cleaner.h"

using namespace quillfen;

namespace {

constexpr int launchDrawings = 300;
constexpr int libraryDrawings = 1000;

Bitmap photoOfADrawing(int width, int height, int seed) {
    Bitmap image(width, height);
    std::uint32_t noise = 12345u + static_cast<std::uint32_t>(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525 + 1013904223;
            const int grain = static_cast<int>(noise >> 28) - 8;
            const bool sheet = x > width / 8 && x < width * 7 / 8 && y > height / 10 && y < height * 9 / 10;
            const bool stroke = sheet && ((x / (40 + seed) + y / 55) % 9 == 0 || std::abs(x - y) % 300 < 6);
            int r = 120, g = 85, b = 60;
            if (sheet) r = g = b = 215 - 50 * x / width;
            if (stroke) r = 40, g = 70, b = 150;
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(std::clamp(r + grain, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(g + grain, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(b + grain, 0, 255));
            p[3] = 255;
        }
    }
    return image;
}

QByteArray heic(const Bitmap& picture) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 85);
    heif_image* image = nullptr;
    heif_image_create(picture.width, picture.height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, picture.width, picture.height, 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) std::copy_n(picture.pixel(x, y), 3, plane + y * stride + x * 3);
    }
    heif_image_handle* handle = nullptr;
    heif_context_encode_image(context, image, encoder, nullptr, &handle);
    QByteArray out;
    heif_writer writer{1, [](heif_context*, const void* data, size_t size, void* sink) {
                           static_cast<QByteArray*>(sink)->append(static_cast<const char*>(data),
                                                                  static_cast<qsizetype>(size));
                           return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
                       }};
    heif_context_write(context, &writer, &out);
    heif_image_handle_release(handle);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return out;
}

QByteArray jpeg(const Bitmap& picture) {
    const auto bytes = Cleaner::jpegData(picture, 0.9).value();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

CleanupSettings typicalCleanup() {
    CleanupSettings s;
    s.crop = Quad{{0.1, 0.88}, {0.86, 0.9}, {0.88, 0.12}, {0.12, 0.1}};
    s.autoCropped = true;
    s.flatten = true;
    s.whiten = 0.6;
    return s;
}

Drawing typicalDrawing(int i, const QString& file) {
    Drawing d;
    d.info.id = UUID::random();
    d.info.date = Date(700000000.0 + 86400.0 * i);
    d.info.title = "Drawing number " + std::to_string(i);
    d.info.age = "5";
    d.info.pixelSize = Size{2900, 2100};
    d.info.aspect = 2900.0 / 2100.0;
    d.info.cleanup = typicalCleanup();
    d.info.sequence = i;
    d.file = file;
    d.busy = false;
    return d;
}

// The model needs an application object for its timers and queued results.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "ModelBench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

long procStatusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    }
    return 0;
}

// A data folder of its own for each benchmark, so that each model owns its book folder.
QString useDataFolder(QTemporaryDir& folder) {
    ensureApplication();
    qputenv("XDG_DATA_HOME", folder.path().toUtf8());
    return folder.path() + "/Quillfen/Book";
}

double thumbnailPathSeconds(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const Cleaner::Bytes data(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()));
    const auto working = Cleaner::decodeSource(data, 1000).value();
    benchmark::DoNotOptimize(Cleaner::cleanedAtMost(typicalCleanup(), working, 700));
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void LaunchUntilEveryThumbnail(benchmark::State& state) {
    QTemporaryDir data;
    const QString book = useDataFolder(data);
    QDir().mkpath(book + "/Originals");
    // Four distinct JPEG photos and one HEIC, linked under 300 names (one in ten HEIC).
    QStringList sources;
    for (int i = 0; i < 4; ++i) {
        sources << book + QString("/source%1.jpeg").arg(i);
        QFile f(sources.back());
        f.open(QIODevice::WriteOnly);
        f.write(jpeg(photoOfADrawing(4032, 3024, i)));
    }
    sources << book + "/source.heic";
    {
        QFile f(sources.back());
        f.open(QIODevice::WriteOnly);
        f.write(heic(photoOfADrawing(4032, 3024, 7)));
    }
    {
        AppModel writer(true);
        std::vector<Drawing> drawings;
        for (int i = 0; i < launchDrawings; ++i) {
            const QString& source = i % 10 == 9 ? sources[4] : sources[i % 4];
            const QString name = QString("D%1.%2").arg(i).arg(QFileInfo(source).suffix());
            ::link(QFile::encodeName(source).constData(), QFile::encodeName(book + "/Originals/" + name).constData());
            drawings.push_back(typicalDrawing(i, name));
        }
        writer.setDrawings(std::move(drawings));
        writer.save();
    }
    const double cores = QThread::idealThreadCount();
    std::vector<double> ratios, overEngine;
    double memoryKilobytes = 0;
    for (auto _ : state) {
        std::vector<double> jpegTimes, heicTimes;
        for (int r = 0; r < 3; ++r) {
            for (int i = 0; i < 4; ++i) jpegTimes.push_back(thumbnailPathSeconds(sources[i]));
            heicTimes.push_back(thumbnailPathSeconds(sources[4]));
        }
        const double single = 0.9 * median(jpegTimes) + 0.1 * median(heicTimes);
        const double baseline = launchDrawings * single / cores;
        // The same 300 engine paths on a pool of as many threads, without the model: on a busy
        // machine this shows what the model itself adds.
        QElapsedTimer engineTimer;
        engineTimer.start();
        {
            QThreadPool pool;
            for (int i = 0; i < launchDrawings; ++i) {
                const QString source = i % 10 == 9 ? sources[4] : sources[i % 4];
                pool.start([source] { thumbnailPathSeconds(source); });
            }
            pool.waitForDone();
        }
        const double engineParallel = static_cast<double>(engineTimer.nsecsElapsed()) / 1e9;

        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = procStatusKilobytes("VmRSS");
        QElapsedTimer timer;
        timer.start();
        AppModel model(true);
        model.load();
        while (std::any_of(model.drawings().begin(), model.drawings().end(), [](const Drawing& d) { return d.busy; })) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        memoryKilobytes = static_cast<double>(procStatusKilobytes("VmHWM") - before);
        state.SetIterationTime(seconds);
        ratios.push_back(seconds / baseline);
        overEngine.push_back(seconds / engineParallel);
        state.counters["baseline_s"] = baseline;
    }
    state.counters["ratio"] = median(ratios);
    state.counters["over_parallel_engine"] = median(overEngine);
    state.counters["peak_MB"] = memoryKilobytes / 1024;
    state.counters["per_drawing_KB"] = memoryKilobytes / launchDrawings;
}

void SaveThousandDrawings(benchmark::State& state) {
    QTemporaryDir data;
    const QString book = useDataFolder(data);
    AppModel model(true);
    std::vector<Drawing> drawings;
    for (int i = 0; i < libraryDrawings; ++i) drawings.push_back(typicalDrawing(i, QString("D%1.jpeg").arg(i)));
    model.setDrawings(std::move(drawings));
    for (auto _ : state) model.save();
    state.counters["bytes"] = static_cast<double>(QFileInfo(book + "/book.json").size());
}

AppModel& libraryOfAThousand() {
    static AppModel* model = [] {
        ensureApplication();
        auto* m = new AppModel(false);
        std::vector<Drawing> drawings;
        for (int i = 0; i < libraryDrawings; ++i) drawings.push_back(typicalDrawing(i, QString("D%1.jpeg").arg(i)));
        m->setDrawings(std::move(drawings));
        auto settings = m->settings();
        settings.arrangement = Arrangement::mix;
        m->setSettings(settings);
        m->fillEmptyMonths();
        return m;
    }();
    return *model;
}

void ReadLayout(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(libraryOfAThousand().layout());
}
void ReadBookDrawings(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(libraryOfAThousand().bookDrawings());
}
void ReadCalendarLayout(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(libraryOfAThousand().calendarLayout());
}
void ReadBookContent(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(libraryOfAThousand().bookContent());
}

}  // namespace

BENCHMARK(LaunchUntilEveryThumbnail)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(SaveThousandDrawings)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(ReadLayout)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(ReadBookDrawings)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(ReadCalendarLayout)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(ReadBookContent)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
