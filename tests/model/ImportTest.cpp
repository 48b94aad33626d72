#include "ModelFixtures.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

QUrl url(const QTemporaryDir& dir, const QString& name) { return QUrl::fromLocalFile(dir.filePath(name)); }

QStringList names(const QTemporaryDir& dir, const QList<QUrl>& urls) {
    QStringList out;
    for (const auto& u : urls) out.push_back(QDir(dir.path()).relativeFilePath(u.toLocalFile()));
    return out;
}

// In a child process whose files may not grow beyond `bytes`: imports the file, prints the
// message and exits with 0 when nothing was added.
[[noreturn]] void importWithFilesLimitedTo(rlim_t bytes, AppModel& model, const QUrl& file) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
    model.importURLs({file});
    const bool finished = importsFinished(model);
    std::fprintf(stderr, "%s\n", qPrintable(model.error().value_or("no message")));
    std::_Exit(finished && model.drawings().empty() && model.nextSequence() == 0 ? 0 : 1);
}

}  // namespace

TEST(Import, ImageFilesWalkFoldersInNaturalOrderSkippingHiddenAndOtherFiles) {
    QTemporaryDir dir;
    for (const char* name : {"img10.jpg", "img2.png", "IMG3.JPG", "notes.txt", ".hidden.jpg",
                             ".thumbs/inside.jpg", "Sub/a.heic", "zeta/b.tiff", "noextension"}) {
        writeFile(dir.filePath(name), "x");
    }
    struct Case { const char* what; QUrl url; QStringList expected; };
    const Case cases[] = {
        {"folder", url(dir, ""), {"img2.png", "IMG3.JPG", "img10.jpg", "Sub/a.heic", "zeta/b.tiff"}},
        {"image file", url(dir, "img10.jpg"), {"img10.jpg"}},
        {"text file", url(dir, "notes.txt"), {}},
        {"missing path", url(dir, "gone.jpg"), {}},
        {"not a file URL", QUrl("https://example.com/a.jpg"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(names(dir, AppModel::imageFiles(c.url)), c.expected);
    }
}

TEST(Import, UnreadableFilesAreCountedAfterTheOthersAreAddedInListOrder) {
    QTemporaryDir dir;
    writeFile(dir.filePath("1.jpg"), jpegBytes());
    writeFile(dir.filePath("3.jpg"), pngBytes());  // the stored extension follows the content
    writeFile(dir.filePath("5.png"), jpegBytes());
    // Two files that open, but every read fails.
    ASSERT_TRUE(QFile::link("/proc/self/mem", dir.filePath("2.jpg")));
    ASSERT_TRUE(QFile::link("/proc/thread-self/mem", dir.filePath("4.jpg")));
    AppModel model(false);
    model.setImportForCalendar(true);
    QSignalSpy importing(&model, &AppModel::importingChanged);

    model.importURLs({url(dir, "")});
    EXPECT_EQ(model.importing(), 5);
    EXPECT_FALSE(model.importForCalendar());
    ASSERT_TRUE(importsFinished(model));

    ASSERT_EQ(model.drawings().size(), 3u);
    EXPECT_EQ(model.error(), QString("2 files couldn't be read."));
    EXPECT_EQ(model.calendar().calendarOnly.size(), 3u);  // the flag read at the call
    EXPECT_EQ(model.selectedID(), model.drawings().back().info.id);
    EXPECT_EQ(importing.count(), 6);  // up once by five, down once per file
    EXPECT_EQ(originals(model).size(), 3);
    for (std::size_t i = 0; i < 3; ++i) {
        const Drawing& d = model.drawings()[i];
        EXPECT_EQ(d.info.sequence, std::int64_t(i));
        EXPECT_EQ(d.file, QString::fromStdString(d.info.id.string()) + (i == 1 ? ".png" : ".jpeg"));
    }
}

TEST(Import, BytesTheDecoderRefusesAddNothing) {
    const QByteArray jpeg = jpegBytes();
    struct Case { const char* what; QByteArray data; };
    const Case cases[] = {
        {"text", "just some words"},
        {"truncated JPEG", jpeg.left(jpeg.size() / 3)},
        {"empty", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        model.addImage(c.data, {});
        EXPECT_EQ(model.error(), QString("That file isn't an image Quillfen can read."));
        EXPECT_TRUE(model.drawings().empty());
        EXPECT_EQ(model.nextSequence(), 0);
        EXPECT_TRUE(originals(model).isEmpty());
    }
}

TEST(Import, ImportsThatAddNothingStillClearTheCalendarFlag) {
    QTemporaryDir dir;
    writeFile(dir.filePath("notes.txt"), "x");
    const QString noImages = "No images found there. Quillfen adds photos and scans (JPEG, HEIC, PNG, TIFF).";
    struct Case { const char* what; std::function<void(AppModel&)> close; std::optional<QString> error; };
    const Case cases[] = {
        {"open dialog cancelled", [](AppModel& m) { m.chooseFiles(); }, std::nullopt},
        {"photo dialog cancelled", [](AppModel& m) { m.importPhotos({}); }, std::nullopt},
        {"nothing found", [&](AppModel& m) { m.importURLs({url(dir, "notes.txt")}); }, noImages},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        model.setDialogs({[] { return QList<QUrl>{}; }, {}});
        model.setImportForCalendar(true);
        c.close(model);
        EXPECT_FALSE(model.importForCalendar());
        EXPECT_EQ(model.error(), c.error);
        EXPECT_EQ(model.importing(), 0);
    }
}

TEST(Import, NewDrawingsTakeTheirArtistDateAndCleanupByTheirRoad) {
    QTemporaryDir dir;
    const QByteArray dated = jpegBytes();
    writeFile(dir.filePath("photo.jpg"), dated);
    QFile touched(dir.filePath("photo.jpg"));
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(QDateTime::fromSecsSinceEpoch(1'600'000'000), QFileDevice::FileModificationTime);
    touched.close();
    AppModel model(false);
    const UUID only = model.addChild("Ada");

    model.importURLs({url(dir, "photo.jpg")});   // book drawing: the only child, the file's date
    ASSERT_TRUE(importsFinished(model));
    model.setMode(ViewMode::calendar);
    model.addDropped({{dated}});                 // calendar picture: no artist, all off, January
    ASSERT_TRUE(importsFinished(model));
    model.setMode(ViewMode::drawing);
    model.importPhotos({url(dir, "photo.jpg")});  // a file from the photo dialog: its file date too
    ASSERT_TRUE(importsFinished(model));

    ASSERT_EQ(model.drawings().size(), 3u);
    const auto& book = model.drawings()[0].info;
    EXPECT_EQ(book.childID, only);
    EXPECT_EQ(book.date, Date::fromUnixSeconds(1'600'000'000));
    EXPECT_EQ(book.cleanup, (CleanupSettings{std::nullopt, false, 0, 0, true, 0.6}));
    const auto& picture = model.drawings()[1].info;
    EXPECT_FALSE(picture.childID);
    EXPECT_EQ(picture.cleanup, CleanupSettings::defaults());
    EXPECT_EQ(model.calendar().pictures.at(0), picture.id);
    EXPECT_EQ(model.drawings()[2].info.date, Date::fromUnixSeconds(1'600'000'000));
}

TEST(Import, AFullDiskDuringTheCopyLeavesNoPartialFileAndAddsNothing) {
    QTemporaryDir dir;
    writeFile(dir.filePath("big.jpg"), noisyJpeg(400, 300));
    AppModel model(false);
    const QString originalsFolder = model.folder() + "/Originals";
    EXPECT_EXIT(importWithFilesLimitedTo(64 * 1024, model, url(dir, "big.jpg")), ::testing::ExitedWithCode(0),
                "Couldn't copy the image into Quillfen's folder: File too large");
    EXPECT_TRUE(QDir(originalsFolder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(Import, OneImportAddsEachFileOnceHoweverItIsNamed) {
    QTemporaryDir dir;
    writeFile(dir.filePath("drawings/a.jpg"), jpegBytes());
    writeFile(dir.filePath("drawings/b.jpg"), jpegBytes());
    ASSERT_TRUE(QFile::link(dir.filePath("drawings/a.jpg"), dir.filePath("link.jpg")));
    const QUrl folder = url(dir, "drawings");
    const QUrl a = url(dir, "drawings/a.jpg");
    struct Case { const char* what; std::function<void(AppModel&)> import; std::size_t added; };
    const Case cases[] = {
        {"folder with a file from inside it", [&](AppModel& m) { m.importURLs({folder, a}); }, 2},
        {"the same file by another path", [&](AppModel& m) { m.importURLs({a, url(dir, "drawings/../drawings/a.jpg")}); }, 1},
        {"a link beside its target", [&](AppModel& m) { m.importURLs({url(dir, "link.jpg"), folder}); }, 2},
        {"one photo chosen twice", [&](AppModel& m) { m.importPhotos({a, a}); }, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        c.import(model);
        ASSERT_TRUE(importsFinished(model));
        EXPECT_EQ(model.drawings().size(), c.added);
        EXPECT_EQ(originals(model).size(), static_cast<qsizetype>(c.added));
    }
}

TEST(Import, AChoiceMadeDuringAnImportStaysChosen) {
    QTemporaryDir dir;
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg"}) writeFile(dir.filePath(name), jpegBytes());
    AppModel model(false);
    writeFile(model.folder() + "/Originals/earlier.jpeg", jpegBytes());
    const UUID earlier = addStored(model, "earlier.jpeg");

    model.importURLs({url(dir, "1.jpg"), url(dir, "2.jpg")});
    HeldWorker held(model);
    model.importURLs({url(dir, "3.jpg")});  // the same running import, held before its last image
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.drawings().size() == 3; }, 20000));
    EXPECT_EQ(model.selectedID(), model.drawings()[2].info.id);  // the import shows what it adds
    model.setSelectedID(earlier);                                 // until the parent clicks one
    held.release();
    ASSERT_TRUE(importsFinished(model));
    EXPECT_EQ(model.drawings().size(), 4u);
    EXPECT_EQ(model.selectedID(), earlier);

    model.importURLs({url(dir, "3.jpg")});  // the next import shows its drawing again
    ASSERT_TRUE(importsFinished(model));
    EXPECT_EQ(model.selectedID(), model.drawings().back().info.id);
}

TEST(Import, ANewBookDropsTheImportStillRunningAndItsCopies) {
    removeBookFolder();
    QTemporaryDir dir;
    QList<QUrl> files;
    for (int i = 1; i <= 40; ++i) {
        writeFile(dir.filePath(QString("%1.jpg").arg(i)), jpegBytes());
        files << url(dir, QString("%1.jpg").arg(i));
    }
    AppModel model(true);
    model.importURLs(files.mid(0, 1));
    HeldWorker held(model);
    model.importURLs(files.mid(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.drawings().empty(); }, 20000));

    model.newBook();
    held.release();  // the rest is copied after the new book began
    ASSERT_TRUE(importsFinished(model));
    EXPECT_TRUE(model.drawings().empty());
    EXPECT_FALSE(model.selectedID());
    EXPECT_FALSE(model.error());
    EXPECT_TRUE(QTest::qWaitFor([&] { return originals(model).isEmpty(); }, 5000)) << originals(model).join(", ").toStdString();
}

// A copy the worker makes while a new book begins, or has made but not yet handed over: the new
// book gets neither its drawing nor its file.
TEST(Import, ANewBookDropsTheCopyInFlight) {
    QTemporaryDir dir;
    writeFile(dir.filePath("1.jpg"), jpegBytes());
    for (const bool copyMade : {true, false}) {
        SCOPED_TRACE(copyMade ? "copy made" : "copy under way");
        removeBookFolder();
        AppModel model(true);
        model.importURLs({url(dir, "1.jpg")});
        if (copyMade) model.importWorker().waitForDone();  // its result waits for the event loop
        model.newBook();
        ASSERT_TRUE(importsFinished(model));
        EXPECT_TRUE(model.drawings().empty());
        EXPECT_EQ(model.nextSequence(), 0);
        EXPECT_TRUE(originals(model).isEmpty()) << originals(model).join(", ").toStdString();
    }
}

// Copies that all fail give one message: the reason, and how many failed.
TEST(Import, FailedCopiesAreCountedInOneMessage) {
    QTemporaryDir dir;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) writeFile(dir.filePath(name), jpegBytes());
    AppModel model(false);
    const QString originals = model.folder() + "/Originals";
    QDir(originals).removeRecursively();
    writeFile(originals, "a file where the folder belongs");
    model.importURLs({QUrl::fromLocalFile(dir.path())});
    ASSERT_TRUE(importsFinished(model));
    EXPECT_TRUE(model.drawings().empty());
    EXPECT_TRUE(model.error().value_or("").startsWith("Couldn't copy the image into Quillfen's folder: "));
    EXPECT_GT(model.error()->size(), QString("Couldn't copy the image into Quillfen's folder: ").size());
    EXPECT_EQ(model.errorDetail(), "3 images couldn't be copied.");
}

// Only regular files no larger than a photo can be are read: a FIFO would block the import for
// ever, a device never ends, and a file of 600 MB (here a small JPEG followed by zeros, which
// decodes) is no photo. The road through the photo dialog reads its files without a walk first.
TEST(Import, OnlyRegularFilesOfAPhotosSizeAreRead) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.jpg")));
    writeFile(dir.filePath("huge.jpg"), jpegBytes());
    ASSERT_TRUE(QFile::resize(dir.filePath("huge.jpg"), qint64(600) << 20));
    writeFile(dir.filePath("photo.jpg"), jpegBytes());

    EXPECT_EQ(names(dir, AppModel::imageFiles(url(dir, ""))).join(' '), "huge.jpg photo.jpg");
    EXPECT_TRUE(AppModel::imageFiles(url(dir, "pipe.jpg")).isEmpty());
    EXPECT_TRUE(AppModel::imageFiles(url(dir, "zero.jpg")).isEmpty());

    AppModel model(false);
    model.importPhotos({url(dir, "pipe.jpg"), url(dir, "huge.jpg"), url(dir, "photo.jpg")});
    const bool finished = importsFinished(model);
    if (!finished) ::close(::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK));  // let it go
    ASSERT_TRUE(finished) << "the import waits on the FIFO";
    ASSERT_EQ(model.drawings().size(), 1u);
    EXPECT_EQ(originals(model).size(), 1);
    EXPECT_EQ(model.error(), QString("That file isn't an image Quillfen can read."));
}

// A refused or unreadable file is named under the message, the first three by name and the rest
// counted, so that the parent can find it among the others.
TEST(Import, FailuresNameTheFilesUnderTheMessage) {
    const QByteArray jpeg = jpegBytes();
    const QByteArray truncated = jpeg.left(jpeg.size() / 3);
    struct Case {
        const char* what;
        QStringList good, bad;
        QString detail;
    };
    const Case cases[] = {
        {"one truncated JPEG among six", {"1.jpg", "2.jpg", "4.jpg", "5.jpg", "6.jpg"}, {"3.jpg"}, "“3.jpg”."},
        {"a folder with three bad files", {}, {"a.jpg", "b.png", "c.tiff"}, "“a.jpg”, “b.png”, “c.tiff”."},
        {"five bad files", {"ok.jpg"}, {"v1.jpg", "v2.jpg", "v3.jpg", "v4.jpg", "v5.jpg"},
         "“v1.jpg”, “v2.jpg”, “v3.jpg” and 2 more."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        for (const auto& name : c.good) writeFile(dir.filePath(name), jpeg);
        for (const auto& name : c.bad) writeFile(dir.filePath(name), truncated);
        AppModel model(false);
        model.importURLs({url(dir, "")});
        ASSERT_TRUE(importsFinished(model));
        EXPECT_EQ(model.drawings().size(), static_cast<std::size_t>(c.good.size()));
        EXPECT_EQ(model.error(), QString("That file isn't an image Quillfen can read."));
        EXPECT_EQ(model.errorDetail().toStdString(), c.detail.toStdString());
    }

    QTemporaryDir dir;
    writeFile(dir.filePath("1.jpg"), jpeg);
    ASSERT_TRUE(QFile::link("/proc/self/mem", dir.filePath("2.jpg")));
    AppModel model(false);
    model.importURLs({url(dir, "")});
    ASSERT_TRUE(importsFinished(model));
    EXPECT_EQ(model.error(), QString("1 file couldn't be read."));
    EXPECT_EQ(model.errorDetail().toStdString(), "“2.jpg”.");
}
