// Loading large documents. LoadHundredThousandDrawings: load() of a document of 100,000 drawings
// whose originals are missing, on the GUI thread, and the time until every drawing's processing
// has come back (each finds no original, so this is the model's own cost). LoadHugeTitle: load() of
// a document whose book title is 200 MB, until the model holds it (the window shows what it holds).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <string>

#include "app/model/AppModel.h"
#include "app/model/SavedBook.h"

using namespace quillfen;

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "ModelLoadBench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Writes the document into a data folder of its own and points the model there.
void writeDocument(QTemporaryDir& data, const SavedBook& book) {
    ensureApplication();
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QString folder = data.path() + "/Quillfen/Book";
    QDir().mkpath(folder + "/Originals");
    QFile file(folder + "/book.json");
    const std::string bytes = documentBytes(book);
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void LoadHundredThousandDrawings(benchmark::State& state) {
    constexpr int count = 100000;
    SavedBook book;
    for (int i = 0; i < count; ++i) {
        SavedBook::Item item;
        item.info.id = UUID::random();
        item.info.date = Date(700000000.0 + 60.0 * i);
        item.info.title = "Drawing number " + std::to_string(i);
        item.info.sequence = i;
        item.file = item.info.id.string() + ".jpeg";
        book.drawings.push_back(std::move(item));
    }
    book.nextSequence = count;
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
