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

// The book folder on a disk with little room left, in a child process. Where the test may mount
// file systems, a small one of its own is mounted on the book folder and filled up; elsewhere (an
// unprivileged container) a limit on the size of every file this process writes stands in for it.
class SmallDisk {
public:
    enum class Kind { fileSystem, fileSizeLimit };

    // Whether this machine lets the test mount a small file system.
    static bool canMount() {
        static const bool can = [] {
            SmallDisk probe(Kind::fileSystem);
            return probe.m_mounted;
        }();
        return can;
    }

    explicit SmallDisk(Kind kind) : m_kind(kind) {
        if (kind != Kind::fileSystem) return;
        QDir().mkpath(bookFolder());
        m_mounted = ::mount("quillfen-test", QFile::encodeName(bookFolder()).constData(), "tmpfs", 0,
                            "size=1m") == 0;
    }
    ~SmallDisk() {
        if (m_mounted) ::umount2(QFile::encodeName(bookFolder()).constData(), MNT_DETACH);
    }

    // Leaves room for about `bytes` more, which a larger file does not fit.
    void leaveRoom(qint64 bytes) {
        if (m_kind == Kind::fileSizeLimit) {
            std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the process
            const rlimit limit{static_cast<rlim_t>(bytes), RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &limit);
            return;
        }
        struct statvfs disk {};
        ::statvfs(QFile::encodeName(bookFolder()).constData(), &disk);
        const qint64 free = static_cast<qint64>(disk.f_bavail) * static_cast<qint64>(disk.f_frsize);
        QFile filler(fillerPath());
        filler.open(QIODevice::WriteOnly);
        filler.write(QByteArray(free - bytes, 'x'));
    }
    void makeRoom() {
        const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &none);
        QFile::remove(fillerPath());
    }
    bool usable() const { return m_kind == Kind::fileSizeLimit || m_mounted; }

private:
    static QString fillerPath() { return bookFolder() + "/filler"; }
    Kind m_kind;
    bool m_mounted = false;
};

// A PNG of noise, which PNG cannot compress: about side * side * 3 bytes.
QByteArray noisyPng(int side) {
    QImage image(side, side, QImage::Format_RGB888);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, random->generate() | 0xff000000u);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// Every disk kind this machine offers, with files smaller and larger than the file device's buffer
// (16 KB): a small write fails only when the buffer is flushed.
struct Case {
    SmallDisk::Kind disk;
    int kilobytes;
};
std::vector<Case> cases() {
    std::vector<Case> all;
    for (const auto disk : {SmallDisk::Kind::fileSystem, SmallDisk::Kind::fileSizeLimit}) {
        if (disk == SmallDisk::Kind::fileSystem && !SmallDisk::canMount()) continue;
        for (const int kilobytes : {10, 40}) all.push_back({disk, kilobytes});
    }
    return all;
}

constexpr qint64 room = 4096;

}  // namespace

// A save that does not fit keeps the document and the originals it still names, says why, and the
// edits stay in the model: once there is room again, the save at quit writes them.
TEST(FullDisk, FailedSaveKeepsTheOldDocumentAndItsFilesAndSavesTheEditsLater) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(::testing::Message() << (c.disk == SmallDisk::Kind::fileSystem ? "full file system" : "file size limit")
                                          << ", " << c.kilobytes << " KB");
        inChildProcess([&] {
            removeBookFolder();
            SmallDisk disk(c.disk);
            if (!disk.usable()) return false;
            AppModel model(true);
            model.addImage(pngBytes(), {});
            if (!importsFinished(model) || !processed(model) || model.drawings().size() != 1) return false;
            model.save();
            const QByteArray before = readFile(documentPath());
            const QString original = model.originalPath(model.drawings().front());

            disk.leaveRoom(room);
            model.removeDrawing(model.drawings().front().info.id);
            editSettings(model, [&](BookSettings& s) { s.title = std::string(c.kilobytes * 1024, 'a'); });
            model.save();
            const QString said = model.error().value_or("");
            std::fprintf(stderr, "%s\n", qPrintable(said));
            QTest::qWait(600);  // the autosave the edits started fails as well
            const bool kept = readFile(documentPath()) == before && QFile::exists(original) &&
                              said.startsWith("Couldn't save the book: ") &&
                              said.size() > QString("Couldn't save the book: ").size() &&
                              QDir(bookFolder()).entryList(QDir::Files | QDir::Hidden).filter("json").join(' ') == "book.json";

            disk.makeRoom();
            model.setError(std::nullopt);
            model.prepareToQuit();
            const QByteArray after = readFile(documentPath());
            return kept && !model.error() && after.size() > c.kilobytes * 1024 && !QFile::exists(original);
        });
    }
}

// An image copy that does not fit adds nothing and leaves no partial file nor a changed document;
// the same image fits once there is room.
TEST(FullDisk, FailedImportCopyLeavesNoFileAndTheDocumentAsItWas) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(::testing::Message() << (c.disk == SmallDisk::Kind::fileSystem ? "full file system" : "file size limit")
                                          << ", " << c.kilobytes << " KB");
        const QByteArray image = noisyPng(static_cast<int>(std::sqrt(c.kilobytes * 1024 / 3.0)));
        ASSERT_GT(image.size(), room * 2);
        ASSERT_EQ(image.size() > 16 * 1024, c.kilobytes > 16);
        inChildProcess([&] {
            removeBookFolder();
            SmallDisk disk(c.disk);
            if (!disk.usable()) return false;
            AppModel model(true);
            model.save();
            const QByteArray before = readFile(documentPath());

            disk.leaveRoom(room);
            model.addImage(image, {});
            const QString said = model.error().value_or("");
            std::fprintf(stderr, "%s\n", qPrintable(said));
            QTest::qWait(600);  // an autosave, had anything changed
            const bool kept = said.startsWith("Couldn't copy the image into Quillfen's folder: ") &&
                              said.size() > QString("Couldn't copy the image into Quillfen's folder: ").size() &&
                              model.drawings().empty() && originals(model).isEmpty() &&
                              readFile(documentPath()) == before;

            disk.makeRoom();
            model.addImage(image, {});
            return kept && model.drawings().size() == 1 && readFile(model.originalPath(model.drawings().front())) == image;
        });
    }
}
