// Loading large documents. LoadHundredThousandDrawings: load() of a document of 100,000 drawings
// whose originals are missing, on the GUI thread, and the time until every drawing's processing
// has come back (each finds no original, so this is the model's own cost). LoadHugeTitle: load() of
// a document whose book title is 200 MB, until the model holds it (the window shows what it holds).
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <string>

#include "app/model/AppModel.h"
#include "app/model/SavedBook.h"
#include "bench/LargeBooks.h"

using namespace quillfen;

namespace {

using namespace quillfen::largebooks;

void LoadHundredThousandDrawings(benchmark::State& state) {
    constexpr int count = 100000;
    const SavedBook book = bookOf(count);
    QTemporaryDir data;
    writeDocument(data, book);
    double settled = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        AppModel model(true);
        model.load();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        while (std::any_of(model.drawings().begin(), model.drawings().end(), [](const Drawing& d) { return d.busy; }))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        settled = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    }
    state.counters["settled_s"] = settled;
}

void LoadHugeTitle(benchmark::State& state) {
    SavedBook book;
    book.settings.title = std::string(200 << 20, 'a');
    QTemporaryDir data;
    writeDocument(data, book);
    for (auto _ : state) {
        AppModel model(true);
        model.load();
        benchmark::DoNotOptimize(model.settings().title.size());
    }
}

}  // namespace

BENCHMARK(LoadHundredThousandDrawings)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(LoadHugeTitle)->Unit(benchmark::kMillisecond)->Iterations(3);
