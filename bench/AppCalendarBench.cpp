#include <benchmark/benchmark.h>

#include "app/calendar/CalendarGrid.h"
#include "app/calendar/CalendarInspector.h"
#include "app/calendar/CalendarPreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QPainter>
#include <QTimer>

#include <algorithm>

// How long after an edit the visible cells of the 25-page wall calendar show their new pages, and the
// longest the GUI thread stalls meanwhile (the lateness of a 5 ms timer, or the edit's own call),
// with the calendar preview and inspector side by side as in the main window.

using namespace quillfen;

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "ScreenCalendarBench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// A cleaned thumbnail as processing leaves it: 700 pixels on the long side, 8-bit RGB.
QImage thumbnail(int seed) {
    QImage image(seed % 2 ? 700 : 525, seed % 2 ? 525 : 700, QImage::Format_RGB888);
    image.fill(QColor(240, 235, 225));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        painter.setPen(QPen(QColor::fromHsv((seed * 40 + i * 9) % 360, 200, 200), 6));
        painter.drawEllipse(QPoint((i * 37 + seed * 11) % image.width(), (i * 53) % image.height()), 40 + i, 30);
    }
    return image;
}

struct Screen {
    AppModel model{false};
    QWidget window;
    CalendarPreview* preview;

    Screen() {
        std::vector<Drawing> drawings(12);
        CalendarSettings calendar;
        calendar.language = CalendarLanguage::english;
        for (int i = 0; i < 12; ++i) {
            auto& d = drawings[static_cast<std::size_t>(i)];
            d.info.id = UUID::random();
            d.info.title = "Drawing " + std::to_string(i + 1);
            d.thumb = thumbnail(i);
            d.info.aspect = double(d.thumb.width()) / d.thumb.height();
            d.info.pixelSize = {d.info.aspect * 3300, 3300};
            d.busy = false;
            calendar.pictures[i] = d.info.id;
        }
        model.setDrawings(std::move(drawings));
        model.setCalendar(calendar);
        auto* row = new QHBoxLayout(&window);
        preview = new CalendarPreview(model, &window);
        row->addWidget(preview, 1);
        auto* inspector = new CalendarInspector(model, &window);
        inspector->setFixedWidth(340);
        row->addWidget(inspector);
        window.resize(1080, 800);
        window.show();
        waitUntilCurrent();
    }

    bool current() const {
        const auto& grid = preview->grid();
        const auto visible = grid.visiblePages();
        if (visible.empty()) return false;
        return std::all_of(visible.begin(), visible.end(),
                           [&](int i) { return grid.imageKey(i) == grid.currentKey(i); });
    }

    // Runs the event loop until every visible cell shows its current page; returns the longest stall.
    double waitUntilCurrent() {
        QEventLoop loop;
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.nsecsElapsed();
        double longest = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, (now - last) / 1e6 - 5);
            last = now;
            if (current()) loop.quit();
        });
        tick.start(5);
        if (!current()) loop.exec();
        return longest;
    }
};

// One edit per repetition: a keystroke in the cover title (arg 0) or the week start (arg 1).
void BM_EditToVisiblePages(benchmark::State& state) {
    application();
    static Screen screen;
    int flip = 0;
    for (auto _ : state) {
        ++flip;
        QElapsedTimer clock;
        clock.start();
        auto calendar = screen.model.calendar();
        if (state.range(0) == 0) calendar.title = flip % 2 ? "Our year" : "Our yea";
        else calendar.weekStart = flip % 2;
        screen.model.setCalendar(std::move(calendar));
        const double editCall = clock.nsecsElapsed() / 1e6;
        const double stall = screen.waitUntilCurrent();
        const double shown = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(shown / 1000);
        state.counters["shown_ms"] = shown;
        state.counters["stall_ms"] = std::max(editCall, stall);
        state.counters["edit_call_ms"] = editCall;
        state.counters["visible_cells"] = static_cast<double>(screen.preview->grid().visiblePages().size());
        state.counters["pages"] = static_cast<double>(screen.preview->grid().layout().pages.size());
    }
}
BENCHMARK(BM_EditToVisiblePages)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(21)
    ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
