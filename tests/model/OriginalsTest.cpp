#include "ModelFixtures.h"

#include "app/model/ExportJob.h"
#include "tests/common/AddressLimit.h"

#include <QTemporaryDir>

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
    {"a link to /dev/zero", [](const QString& path) { return QFile::link("/dev/zero", path); }, "a link to another place"},
    {"a link to a photo outside the book", [](const QString& path) {
         writeFile(path + ".outside", jpegBytes(640, 480));
         return QFile::rename(path + ".outside", QFileInfo(path).path() + "/../outside.jpeg") &&
                QFile::link(QFileInfo(path).path() + "/../outside.jpeg", path);
     }, "a link to another place"},
};

// Processing, the paper search and the export each meet `original` in "Originals" and give up on it
// at once, the drawing counted as missing with its reason. In a child process with an alarm and a
// bound on memory, so that a reader that waits on the file or reads it whole fails alone.
bool everyReaderGivesUp(const Hostile& original) {
    ::alarm(60);
    if (const auto limit = rlim_t(childAddressLimit()); limit > 0) {
        const rlimit memory{limit, limit};
        ::setrlimit(RLIMIT_AS, &memory);
    }
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

// An "Originals" that is a link to a folder elsewhere is neither written nor read: a loaded book says
// so and reads no original, an import is refused with the reason, and processing counts the drawing
// as missing.
TEST(Originals, OriginalsFolderThatIsALinkIsNeitherWrittenNorRead) {
    removeBookFolder();
    QString file;
    {
        AppModel model(true);
        model.addImage(jpegBytes(), {});
        ASSERT_EQ(model.drawings().size(), 1u);
        file = model.drawings().front().file;
        model.save();
    }
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::rename(bookFolder() + "/Originals/" + file, elsewhere.filePath(file)));
    ASSERT_TRUE(QDir(bookFolder() + "/Originals").removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.path(), bookFolder() + "/Originals"));

    AppModel model(true);
    model.load();
    ASSERT_TRUE(processed(model));
    EXPECT_TRUE(model.error().value_or("").startsWith(
        "Quillfen doesn't use the \u201COriginals\u201D folder in the book folder, because it is a link"));
    EXPECT_TRUE(model.drawings().front().thumb.isNull());

    const QString reason = "the \u201COriginals\u201D folder is a link to another place";
    model.addImage(jpegBytes(), {});
    EXPECT_EQ(model.error(), "Couldn't copy the image into Quillfen's folder: " + reason);
    EXPECT_EQ(model.drawings().size(), 1u);
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{file});

    model.setError(std::nullopt);
    model.process(model.drawings().front().info.id, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.error().has_value(); }, 20000));
    EXPECT_EQ(model.errorDetail(), "1 image couldn't be read: " + reason + ".");
}
