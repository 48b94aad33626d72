// The drawing editor's speed on 12-megapixel originals (JPEG and HEIC): from a committed edit to the
// new after preview on screen, from choosing the next drawing to both previews on screen, and the
// repaint of the crop view for each pointer move of a corner drag, and the decode of one original. Each reports the median and the
// longest time per step in milliseconds.
#include "app/editor/AfterView.h"
#include "app/editor/CropView.h"
#include "app/editor/EditorPane.h"
#include "app/editor/PreviewRender.h"
#include "app/model/AppModel.h"
#include "engine/cleanup/ImageIO.h"
#include "tests/engine/ImageFixtures.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace quillfen;

namespace {

// A 4032 × 3024 photo-like picture: a sheet with strokes on a table, under sensor noise.
Bitmap phonePhoto() {
    Bitmap image(4032, 3024);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 5);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool paper = x > 500 && x < 3500 && y > 300 && y < 2700;
            const bool stroke = paper && std::abs(std::sin(x / 90.0) * 400 + 1500 - y) < 12;
            std::uint8_t* p = image.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                const double base = stroke ? 40 + 60 * c : paper ? 215 - x / 60.0 : 90 - 15 * c;
                p[c] = static_cast<std::uint8_t>(std::clamp(base + noise(random), 0.0, 255.0));
            }
            p[3] = 255;
        }
    }
    return image;
}

std::vector<std::uint8_t> encoded(const std::string& format) {
    static const Bitmap picture = phonePhoto();
    return format == "heic" ? fixtures::heicOf(picture) : *Cleaner::jpegData(picture, 0.9);
}

// The model with two drawings whose originals are 12-megapixel files of one format.
struct Library {
    AppModel model{false};
    std::vector<Drawing> drawings;

    explicit Library(const std::string& format) {
        const auto bytes = encoded(format);
        std::vector<Drawing> all;
        for (int i = 0; i < 2; ++i) {
            Drawing d;
            d.info.id = UUID::random();
            d.info.cleanup.flatten = true;
            d.info.cleanup.whiten = 0.6;
            d.info.sequence = i;
            d.file = QString::fromStdString(d.info.id.string() + "." + format);
            d.busy = false;
            QFile file(QDir(model.folder()).filePath(QStringLiteral("Originals/") + d.file));
            file.open(QIODevice::WriteOnly);
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
            all.push_back(d);
        }
        model.setDrawings(all);
        drawings = all;
        model.setSelectedID(all[0].info.id);
    }
};

void report(benchmark::State& state, std::vector<double> millis) {
    std::sort(millis.begin(), millis.end());
    state.counters["median_ms"] = millis[millis.size() / 2];
    state.counters["max_ms"] = millis.back();
}

// Waits for the pane's next after preview, then paints the window as the screen would.
bool afterOnScreen(EditorPane& pane, QSignalSpy& shown) {
    if (shown.isEmpty() && !shown.wait(10000)) return false;
    shown.clear();
    pane.repaint();
    return true;
}

void committedEdit(benchmark::State& state, const std::string& format) {
    Library library(format);
    EditorPane pane(library.model, library.drawings[0]);
    pane.resize(1200, 800);
    pane.show();
    QSignalSpy shown(&pane, &EditorPane::afterShown);
    afterOnScreen(pane, shown);
    std::vector<double> times;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        library.model.rotateRight(library.drawings[0].info.id);
        if (!afterOnScreen(pane, shown)) state.SkipWithError("no after preview");
        const double ms = timer.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
    }
    report(state, times);
}

void nextDrawing(benchmark::State& state, const std::string& format) {
    Library library(format);
    EditorPane pane(library.model, library.drawings[0]);
    pane.resize(1200, 800);
    pane.show();
    QSignalSpy shown(&pane, &EditorPane::afterShown);
    afterOnScreen(pane, shown);
    std::vector<double> times;
    int next = 1;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        library.model.setSelectedID(library.drawings[next].info.id);
        if (!afterOnScreen(pane, shown)) state.SkipWithError("no after preview");
        while (pane.cropView()->state() != PreviewState::shown) QCoreApplication::processEvents();
        pane.repaint();
        const double ms = timer.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
        next = 1 - next;
    }
    report(state, times);
}

// Reading and decoding one original into the working copy and the before preview, the part of
// showing a drawing that no cache of the drawing on screen can save.
void loadPhoto(benchmark::State& state, const std::string& format) {
    Library library(format);
    const QString path = library.model.originalPath(library.drawings[0]);
    std::vector<double> times;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!PreviewRender::loadPhoto(path)) state.SkipWithError("unreadable");
        const double ms = timer.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
    }
    report(state, times);
}

void dragRepaint(benchmark::State& state) {
    Library library("jpeg");
    EditorPane pane(library.model, library.drawings[0]);
    pane.resize(1400, 900);
    pane.show();
    QSignalSpy shown(&pane, &EditorPane::afterShown);
    afterOnScreen(pane, shown);
    while (pane.cropView()->state() != PreviewState::shown) QCoreApplication::processEvents();
    CropView* view = pane.cropView();
    QWindow* window = pane.windowHandle();
    const QRectF rect = view->imageRect();
    const QPoint origin = view->mapTo(&pane, QPoint(0, 0));
    QTest::mousePress(window, Qt::LeftButton, {}, origin + rect.topLeft().toPoint());
    std::vector<double> times;
    int step = 0;
    for (auto _ : state) {
        const double t = (step++ % 200) / 200.0;
        const QPointF at = rect.topLeft() + QPointF(t * rect.width() * 0.4, t * rect.height() * 0.3);
        QElapsedTimer timer;
        timer.start();
        QTest::mouseMove(window, origin + at.toPoint());
        pane.repaint();
        const double ms = timer.nsecsElapsed() / 1e6;
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
    }
    QTest::mouseRelease(window, Qt::LeftButton, {}, origin + rect.topLeft().toPoint());
    report(state, times);
}

}  // namespace

BENCHMARK_CAPTURE(committedEdit, jpeg, std::string("jpeg"))->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(committedEdit, heic, std::string("heic"))->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(nextDrawing, jpeg, std::string("jpeg"))->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(nextDrawing, heic, std::string("heic"))->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadPhoto, jpeg, std::string("jpeg"))->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadPhoto, heic, std::string("heic"))->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(dragRepaint)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (data.path() + QStringLiteral("/config")).toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
