// Quitting a model that loaded 100,000 drawings (originals missing), settled or with its processing
// still queued, as the application does: readyToQuit, prepareToQuit (the last save) and the model's
// end, each a mean counter in seconds beside encode_s, the document's encoding alone.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <string>

#include "app/model/AppModel.h"
#include "app/model/SavedBook.h"
#include "bench/LargeBooks.h"

using namespace quillfen;

namespace {

constexpr int drawingCount = 100000;

using namespace quillfen::largebooks;

// A data folder holding the book; the model is pointed there.
std::unique_ptr<QTemporaryDir> folderOf(const SavedBook& book) {
    auto data = std::make_unique<QTemporaryDir>();
    writeDocument(*data, book);
    return data;
}

bool busy(const AppModel& model) {
    return std::any_of(model.drawings().begin(), model.drawings().end(), [](const Drawing& d) { return d.busy; });
}

void quit(benchmark::State& state, bool settle) {
    const SavedBook book = bookOf(drawingCount);
    const auto data = folderOf(book);
    double ready = 0, prepared = 0, ended = 0, encoded = 0;
    for (auto _ : state) {
        auto model = std::make_unique<AppModel>(true);
        model->load();
        while (settle && busy(*model)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QElapsedTimer timer;
        timer.start();
        bool quitting = true;
        QObject::connect(model.get(), &AppModel::readyToQuit, [&] { quitting = false; });
        model->finishForQuit();
        while (quitting) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double readyAt = timer.nsecsElapsed() / 1e9;
        model->prepareToQuit();
        const double preparedAt = timer.nsecsElapsed() / 1e9;
        model.reset();
        const double endedAt = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(endedAt);
        ready += readyAt;
        prepared += preparedAt - readyAt;
        ended += endedAt - preparedAt;
        timer.restart();
        benchmark::DoNotOptimize(documentBytes(book).size());
        encoded += timer.nsecsElapsed() / 1e9;
    }
    const auto mean = [&](double total) { return benchmark::Counter(total / state.iterations()); };
    state.counters["ready_s"] = mean(ready);
    state.counters["prepared_s"] = mean(prepared);
    state.counters["ended_s"] = mean(ended);
    state.counters["encode_s"] = mean(encoded);
}

void QuitSettled(benchmark::State& state) { quit(state, true); }
void QuitAtOnce(benchmark::State& state) { quit(state, false); }

}  // namespace

BENCHMARK(QuitSettled)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(QuitAtOnce)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
