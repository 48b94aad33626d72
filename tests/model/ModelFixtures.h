#pragma once

#include "app/model/AppModel.h"
#include "engine/cleanup/ImageIO.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSemaphore>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <stdexcept>

// Real image files, the persisting model's book folder, and waits for the model's background work.
namespace quillfen::testing {

// A picture of grey levels given by shade(x, y) in unit coordinates (y upwards).
inline Bitmap shaded(int width, int height, const std::function<std::uint8_t(double, double)>& shade) {
    Bitmap image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            p[0] = p[1] = p[2] = shade((x + 0.5) / width, 1 - (y + 0.5) / height);
            p[3] = 255;
        }
    }
    return image;
}

inline QByteArray jpegOf(const Bitmap& image) {
    const auto data = Cleaner::jpegData(image, 0.9);
    if (!data) throw std::runtime_error("JPEG encoding failed");
    return QByteArray(reinterpret_cast<const char*>(data->data()), static_cast<qsizetype>(data->size()));
}

inline QByteArray jpegBytes(int width = 64, int height = 48) {
    return jpegOf(shaded(width, height, [](double x, double y) { return std::uint8_t(40 + 150 * x * y); }));
}

// A photo of a bright sheet covering the middle 60% of a dark table.
inline QByteArray sheetOnTable() {
    return jpegOf(shaded(320, 240, [](double x, double y) { return x > 0.2 && x < 0.8 && y > 0.2 && y < 0.8 ? 240 : 60; }));
}

// Noise that JPEG cannot compress: about width * height * 1.5 bytes.
inline QByteArray noisyJpeg(int width, int height, unsigned seed = 7) {
    std::mt19937 random(seed);
    return jpegOf(shaded(width, height, [&](double, double) { return std::uint8_t(random()); }));
}

inline QByteArray pngBytes(int width = 64, int height = 48) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(200, 120, 40));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// Holds a worker of one thread (the import's by default) with a task of its own until release(): what
// it runs after that moment surely runs after everything the test did before. release() may come from
// any thread.
struct HeldWorker {
    explicit HeldWorker(AppModel& model) : HeldWorker(model.importWorker()) {}
    explicit HeldWorker(QThreadPool& worker) {
        worker.start([this] { released.acquire(); });
    }
    ~HeldWorker() {
        if (!wasReleased) release();
    }
    void release() {
        wasReleased = true;
        released.release();
    }
    QSemaphore released;
    bool wasReleased = false;
};

inline void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The book folder of a persisting model under the tests' private XDG_DATA_HOME.
inline QString bookFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Quillfen/Book";
}
inline QString documentPath() { return bookFolder() + "/book.json"; }
inline void removeBookFolder() { QDir(bookFolder()).removeRecursively(); }

inline QStringList originals(AppModel& model) {
    return QDir(model.folder() + "/Originals").entryList(QDir::Files | QDir::Hidden);
}

inline void editSettings(AppModel& model, const std::function<void(BookSettings&)>& change) {
    auto settings = model.settings();
    change(settings);
    model.setSettings(std::move(settings));
}

inline void editCalendar(AppModel& model, const std::function<void(CalendarSettings&)>& change) {
    auto calendar = model.calendar();
    change(calendar);
    model.setCalendar(std::move(calendar));
}

// Runs the event loop until the model has added every image it was asked to import.
inline bool importsFinished(AppModel& model) {
    return QTest::qWaitFor([&] { return model.importing() == 0; }, 20000);
}

// Runs the event loop until no drawing of the model is busy.
inline bool processed(AppModel& model) {
    return QTest::qWaitFor(
        [&] { return std::none_of(model.drawings().begin(), model.drawings().end(), [](const Drawing& d) { return d.busy; }); },
        60000);
}

// Adds a busy drawing whose original is `file` in the model's "Originals", as a loaded document does.
inline UUID addStored(AppModel& model, const QString& file) {
    Drawing d;
    d.info.id = UUID::random();
    d.file = file;
    auto drawings = model.drawings();
    drawings.push_back(d);
    model.setDrawings(std::move(drawings));
    return d.info.id;
}

// Runs `scenario` in a process of its own, so that a crash, an abort or a changed process limit fails
// or stays in the child instead of the whole test program; the scenario returns whether it saw what
// it should.
inline void inChildProcess(const std::function<bool()>& scenario) {
    EXPECT_EXIT(std::_Exit(scenario() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

inline const Drawing& drawingOf(const AppModel& model, const UUID& id) {
    const auto found = std::find_if(model.drawings().begin(), model.drawings().end(),
                                    [&](const Drawing& d) { return d.info.id == id; });
    if (found == model.drawings().end()) throw std::logic_error("no such drawing");
    return *found;
}

}  // namespace quillfen::testing
