#include "ModelFixtures.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>

#include <cmath>
#include <csignal>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

constexpr qint64 room = 4096;

// The book folder on a disk with `room` bytes left, inside a child process: a small file system
// mounted on it and filled up where the test may mount one, else a limit on the size of every file
// the process writes (a write past it fails with EFBIG). makeRoom() frees the disk.
class SmallDisk {
public:
    explicit SmallDisk(bool fileSystem) : m_fileSystem(fileSystem) {
        removeBookFolder();
        QDir().mkpath(bookFolder());
        if (fileSystem) m_mounted = ::mount("quillfen-test", path().constData(), "tmpfs", 0, "size=1m") == 0;
    }
    ~SmallDisk() {
        if (m_mounted) ::umount2(path().constData(), MNT_DETACH);
    }
    static bool canMount() {
        static const bool can = SmallDisk(true).m_mounted;
        return can;
    }
    void fill() {
        if (!m_fileSystem) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(room), RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &limit);
            return;
        }
        struct statvfs disk {};
        ::statvfs(path().constData(), &disk);
        writeFile(bookFolder() + "/filler", QByteArray(qint64(disk.f_bavail * disk.f_frsize) - room, 'x'));
    }
    void makeRoom() {
        const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &none);
        QFile::remove(bookFolder() + "/filler");
    }

private:
    static QByteArray path() { return QFile::encodeName(bookFolder()); }
    bool m_fileSystem;
    bool m_mounted = false;
};

// Runs `scenario` in a child process on every small disk this machine offers, for files smaller and
// larger than the file device's buffer (16 KB): a small write used to fail only at the commit.
void onSmallDisks(const std::function<bool(SmallDisk&, int kilobytes)>& scenario) {
    for (const bool fileSystem : {true, false}) {
        if (fileSystem && !SmallDisk::canMount()) continue;
        for (const int kilobytes : {10, 40}) {
            SCOPED_TRACE(::testing::Message() << (fileSystem ? "full file system, " : "file size limit, ") << kilobytes << " KB");
            inChildProcess([&] {
                SmallDisk disk(fileSystem);
                return scenario(disk, kilobytes);
            });
        }
    }
}

// A PNG of noise, which does not compress: about side * side * 3 bytes.
QByteArray noisyPng(int side) {
    QImage image(side, side, QImage::Format_RGB888);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) image.setPixel(x, y, QRandomGenerator::global()->generate());
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

bool saysWhy(const std::optional<QString>& error, const QString& message) {
    return error && error->startsWith(message) && error->size() > message.size();
}

}  // namespace

// A save that does not fit keeps the document and the originals it still names, says why, and the
// edits stay in the model: once there is room again, the save at quit writes them.
TEST(FullDisk, FailedSaveKeepsTheOldDocumentAndItsFilesAndSavesTheEditsLater) {
    onSmallDisks([](SmallDisk& disk, int kilobytes) {
        AppModel model(true);
        model.addImage(pngBytes(), {});
        if (!processed(model) || model.drawings().size() != 1) return false;
        model.save();
        const QByteArray before = readFile(documentPath());
        const QString original = model.originalPath(model.drawings().front());

        disk.fill();
        model.removeDrawing(model.drawings().front().info.id);
        editSettings(model, [&](BookSettings& s) { s.title = std::string(kilobytes * 1024, 'a'); });
        model.save();
        QTest::qWait(600);  // the autosave the edits started fails as well
        const bool kept = saysWhy(model.error(), "Couldn't save the book: ") && readFile(documentPath()) == before &&
                          QFile::exists(original) &&
                          QDir(bookFolder()).entryList(QDir::Files | QDir::Hidden).filter("json") == QStringList{"book.json"};
        disk.makeRoom();
        return kept && model.prepareToQuit() && readFile(documentPath()).size() > kilobytes * 1024 &&
               !QFile::exists(original);
    });
}

// An image copy that does not fit adds nothing and leaves no partial file nor a changed document;
// the same image fits once there is room.
TEST(FullDisk, FailedImportCopyLeavesNoFileAndTheDocumentAsItWas) {
    onSmallDisks([](SmallDisk& disk, int kilobytes) {
        const QByteArray image = noisyPng(static_cast<int>(std::sqrt(kilobytes * 1024 / 3.0)));
        if (image.size() < room * 2 || (image.size() > 16 * 1024) != (kilobytes > 16)) return false;
        AppModel model(true);
        model.save();
        const QByteArray before = readFile(documentPath());

        disk.fill();
        model.addImage(image, {});
        QTest::qWait(600);  // an autosave, had anything changed
        const bool kept = saysWhy(model.error(), "Couldn't copy the image into Quillfen's folder: ") &&
                          model.drawings().empty() && originals(model).isEmpty() && readFile(documentPath()) == before;
        disk.makeRoom();
        model.addImage(image, {});
        return kept && model.drawings().size() == 1 && readFile(model.originalPath(model.drawings().front())) == image;
    });
}
