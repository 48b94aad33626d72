#include "ModelFixtures.h"

#include "app/model/ExportJob.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

// An original that is no photo the program wrote, and the reason its drawing is reported with.
struct Hostile {
    const char* what;
    std::function<bool(const QString& path)> make;
    QString reason;
};

const Hostile hostileOriginals[] = {
    {"a FIFO", [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
     "not a regular file"},
    {"a file of 3 GB", [](const QString& path) {
         QFile sparse(path);
         return sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(3) << 30);
     }, "larger than 512 MB"},
    {"a link to /dev/zero", [](const QString& path) { return QFile::link("/dev/zero", path); }, "not a regular file"},
};

// Processing, the paper search and the export each meet `original` in "Originals" and give up on it
// at once, the drawing counted as missing with its reason. In a child process with an alarm and a
// bound on memory, so that a reader that waits on the file or reads it whole fails alone.
bool everyReaderGivesUp(const Hostile& original) {
    ::alarm(60);
    const rlimit memory{rlim_t(2) << 30, rlim_t(2) << 30};
    ::setrlimit(RLIMIT_AS, &memory);
    AppModel model(false);
    const QString path = model.folder() + "/Originals/hostile.jpeg";
    if (!original.make(path)) return false;
    const UUID id = addStored(model, "hostile.jpeg");
    model.process(id, true);
    if (!processed(model) || model.errorDetail() != "1 image couldn't be read: " + original.reason + ".") {
        std::fprintf(stderr, "processing: %s\n", qPrintable(model.errorDetail()));
        return false;
    }
    model.setError(std::nullopt);
    model.setSelectedID(id);
    model.findPaperEdgesAgain();
    if (!model.editorPool().waitForDone(30000)) return false;
    QTest::qWait(20);
    if (model.error() || drawingOf(model, id).info.cleanup.crop) return false;
    const Size slot{300, 300};
    return !ExportImages::prepare(QFile::encodeName(path).toStdString(), {}, slot, ExportImages::quality(ExportKind::home));
}

}  // namespace

TEST(Originals, OriginalsThatBlockOrNeverEndAreMissingOnEveryPath) {
    for (const Hostile& original : hostileOriginals) {
        SCOPED_TRACE(original.what);
        inChildProcess([&] { return everyReaderGivesUp(original); });
    }
}
