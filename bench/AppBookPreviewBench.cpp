// The book preview on the offscreen platform: how long after an edit every visible cell of a 40-page
// book shows the new page, the GUI thread's longest stall meanwhile (lateness of a 5 ms timer), the
// stalls while a 200-page book scrolls, and how many renders a fast scroll starts.
#include "app/book/BookPreview.h"
#include "app/book/PageGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

using namespace quillfen;

namespace {

// Drawings as processing leaves them: 700-pixel thumbnails with soft colour gradients.
std::vector<Drawing> library(int count) {
    std::vector<Drawing> drawings;
    for (int i = 0; i < count; ++i) {
        Drawing d;
        d.info.id = UUID::random();
        d.info.title = "Drawing " + std::to_string(i + 1);
        d.info.date = Date{8000.0 * 86400 + i * 86400};
        d.info.sequence = i;
        d.info.aspect = 700.0 / 540;
        d.info.pixelSize = {3500, 2700};
        d.thumb = QImage(700, 540, QImage::Format_RGB888);
        for (int y = 0; y < d.thumb.height(); ++y) {
            auto* row = d.thumb.scanLine(y);
            for (int x = 0; x < d.thumb.width(); ++x) {
                row[3 * x] = static_cast<uchar>(128 + 100 * std::sin(x / 40.0 + i));
                row[3 * x + 1] = static_cast<uchar>(128 + 100 * std::cos(y / 30.0));
                row[3 * x + 2] = static_cast<uchar>((x + y + 20 * i) % 256);
            }
        }
        d.busy = false;
        drawings.push_back(std::move(d));
    }
    return drawings;
}

// The GUI thread's longest stall: how late a 5 ms timer fires, at most, while it runs.
class StallMeter {
public:
    StallMeter() {
        m_timer.setInterval(5);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_worst = std::max(m_worst, m_clock.nsecsElapsed() / 1e6 - 5);
            m_clock.restart();
        });
    }
    void start() {
        m_worst = 0;
        m_clock.start();
        m_timer.start();
    }
    double stop() {
        m_timer.stop();
        return m_worst;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_worst = 0;
};

struct Screen {
    explicit Screen(int drawings) : model(false) {
        model.setDrawings(library(drawings));
        preview = std::make_unique<BookPreview>(model, nullptr);
        preview->resize(1100, 1400);
        preview->show();
        waitUntil([&] { return visibleCurrent(); });
    }
    ~Screen() { model.editorPool().waitForDone(); }

    bool visibleCurrent() const {
        const auto pages = preview->grid().visiblePages();
        return !pages.empty() && std::all_of(pages.begin(), pages.end(), [&](int n) {
            const auto key = preview->grid().imageKey(n);
            return key && key->revision == model.revision();
        });
    }
    static void waitUntil(const std::function<bool()>& done) {
        while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }

    AppModel model;
    std::unique_ptr<BookPreview> preview;
};

void EditUntilVisibleCellsShowIt(benchmark::State& state) {
    Screen screen(36);  // 40 pages with cover, about page, back page and padding
    StallMeter stalls;
    double worstStall = 0;
    int step = 0;
    for (auto _ : state) {
        auto settings = screen.model.settings();
        settings.title = "Our Art " + std::to_string(++step);
        stalls.start();
        QElapsedTimer clock;
        clock.start();
        screen.model.setSettings(settings);
        Screen::waitUntil([&] { return screen.visibleCurrent(); });
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        worstStall = std::max(worstStall, stalls.stop());
    }
    state.counters["pages"] = static_cast<double>(screen.preview->grid().layout().pages.size());
    state.counters["visible"] = static_cast<double>(screen.preview->grid().visiblePages().size());
    state.counters["maxStallMs"] = worstStall;
}
BENCHMARK(EditUntilVisibleCellsShowIt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20)
    ->Repetitions(5)->ReportAggregatesOnly(true);

// The same meter on an idle GUI thread: what the machine's own load adds to every stall above.
void IdleStallBaseline(benchmark::State& state) {
    StallMeter stalls;
    double worstStall = 0;
    for (auto _ : state) {
        stalls.start();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        worstStall = std::max(worstStall, stalls.stop());
    }
    state.counters["maxStallMs"] = worstStall;
}
BENCHMARK(IdleStallBaseline)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Scrolls the whole book at 40 points a frame, as a trackpad does, letting the frames run.
void Scroll200Pages(benchmark::State& state) {
    Screen screen(196);
    auto* bar = screen.preview->scrollArea().verticalScrollBar();
    StallMeter stalls;
    double worstStall = 0;
    for (auto _ : state) {
        bar->setValue(0);
        Screen::waitUntil([&] { return screen.visibleCurrent(); });
        stalls.start();
        QElapsedTimer clock;
        clock.start();
        for (int value = 0; value <= bar->maximum(); value += 40) {
            bar->setValue(value);
            QElapsedTimer frame;
            frame.start();
            while (frame.elapsed() < 16) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 2);
        }
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        worstStall = std::max(worstStall, stalls.stop());
    }
    state.counters["pages"] = static_cast<double>(screen.preview->grid().layout().pages.size());
    state.counters["maxStallMs"] = worstStall;
}
BENCHMARK(Scroll200Pages)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Jumps from the top of a 200-page book to its end: only the cells in view at either end render.
void JumpToTheEnd(benchmark::State& state) {
    Screen screen(196);
    auto* bar = screen.preview->scrollArea().verticalScrollBar();
    double renders = 0;
    double visible = 0;
    for (auto _ : state) {
        bar->setValue(0);
        Screen::waitUntil([&] { return screen.visibleCurrent(); });
        screen.model.editorPool().waitForDone();
        const int before = screen.preview->grid().renderCount();
        bar->setValue(bar->maximum() / 2);
        bar->setValue(bar->maximum());
        QElapsedTimer clock;
        clock.start();
        Screen::waitUntil([&] { return screen.visibleCurrent(); });
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        screen.model.editorPool().waitForDone();
        renders = screen.preview->grid().renderCount() - before;
        visible = static_cast<double>(screen.preview->grid().visiblePages().size());
    }
    state.counters["rendersAfterJump"] = renders;
    state.counters["visibleAtEnd"] = visible;
}
BENCHMARK(JumpToTheEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
