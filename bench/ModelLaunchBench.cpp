// Launch with a book of many drawings to the last thumbnail. The thumbnails are not stored: at
// launch the model makes each one again from its original (decoded for the working size, cleaned,
// scaled), so this measures the thumbnail path on every core the processing pool is given.
// `ModelLaunchBench prepare FOLDER [COUNT]` writes a book of COUNT drawings (300 by default) into a
// data folder, their originals 12-megapixel phone JPEGs (a few photos of EXIF orientations 1, 3, 6
// and 8, shared by hard links), each drawing with a crop, some turned or straightened, lighting and
// whitening as a new book has them. `ModelLaunchBench run FOLDER` loads that book and prints the
// milliseconds until every drawing has its thumbnail. ModelBench's LaunchUntilEveryThumbnail times
// the same inside one process against the engine's own thumbnail path; this one is a whole process
// per launch, so that two builds can be timed in turn on the same book.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/model/AppModel.h"
#include "app/model/SavedBook.h"
#include "bench/DrawingPhotos.h"

using namespace quillfen;

namespace {

constexpr int photoCount = 6;
constexpr int orientations[photoCount] = {6, 1, 6, 3, 8, 6};

CleanupSettings cleanupOf(int i) {
    CleanupSettings s;
    const double skew = 0.01 * (i % 5);
    s.crop = Quad{{0.1 + skew, 0.88}, {0.86, 0.9 - skew}, {0.88 - skew, 0.12}, {0.12, 0.1 + skew}};
    s.autoCropped = true;
    s.quarterTurns = i % 7 == 0 ? 1 : 0;
    s.straighten = i % 5 == 0 ? 1.5 : 0;
    s.flatten = true;
    s.whiten = 0.6;
    return s;
}

int prepare(const std::filesystem::path& data, int count) {
    const std::filesystem::path book = data / "Quillfen" / "Book";
    std::filesystem::create_directories(book / "Originals");
    std::filesystem::create_directories(data / "photos");
    for (int p = 0; p < photoCount; ++p) {
        const auto file = bench::phoneJpeg(bench::photoOfADrawing(4032, 3024, p), orientations[p]);
        QFile out(QString::fromStdString((data / "photos" / (std::to_string(p) + ".jpeg")).string()));
        if (!out.open(QIODevice::WriteOnly)) return 1;
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<qint64>(file.size()));
    }
    SavedBook saved;
    for (int i = 0; i < count; ++i) {
        SavedBook::Item item;
        item.info.id = UUID::random();
        item.info.date = Date(700000000.0 + 86400.0 * i);
        item.info.title = "Drawing " + std::to_string(i + 1);
        item.info.cleanup = cleanupOf(i);
        item.info.sequence = i;
        item.file = item.info.id.string() + ".jpeg";
        std::filesystem::create_hard_link(data / "photos" / (std::to_string(i % photoCount) + ".jpeg"),
                                          book / "Originals" / item.file);
        saved.drawings.push_back(std::move(item));
    }
    saved.nextSequence = count;
    QFile out(QString::fromStdString((book / "book.json").string()));
    const std::string bytes = documentBytes(saved);
    if (!out.open(QIODevice::WriteOnly)) return 1;
    out.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return 0;
}

int run(int argc, char** argv, const std::string& data) {
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data));
    QCoreApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();
    AppModel model(true);
    model.load();
    const auto waiting = [&] {
        return std::any_of(model.drawings().begin(), model.drawings().end(),
                           [](const Drawing& d) { return d.busy; });
    };
    while (waiting()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const auto elapsed = timer.elapsed();
    const auto missing = std::count_if(model.drawings().begin(), model.drawings().end(),
                                       [](const Drawing& d) { return d.thumb.isNull(); });
    std::printf("%zu drawings, %ld without a thumbnail, %lld ms\n", model.drawings().size(),
                static_cast<long>(missing), static_cast<long long>(elapsed));
    return missing == 0 && !model.drawings().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "prepare") return prepare(argv[2], argc > 3 ? std::stoi(argv[3]) : 300);
    if (mode == "run") return run(argc, argv, argv[2]);
    std::fprintf(stderr, "usage: ModelLaunchBench prepare FOLDER [COUNT] | run FOLDER\n");
    return 2;
}
