#include "app/shell/Presentations.h"
#include "tests/e2e/AppDriver.h"
#include "tests/common/AddressLimit.h"
#include "tests/e2e/RealProgram.h"

#include <QImageReader>
#include <QLockFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <cstdio>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

class Faults : public ::testing::Test {
protected:
    Faults() { qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8()); }

    // This program acting as the application in a process of its own.
    Copy act(const QString& name, const QString& argument = {}, qint64 fileSizeLimit = 0) {
        return Copy(QCoreApplication::applicationFilePath(), home.path(), {"--act", name, argument}, fileSizeLimit);
    }

    // After an abrupt end: the document reads, names only complete originals, and nothing half
    // written is left in the book folder.
    void expectLibraryIntact() {
        const QString book = home.path() + "/data/Quillfen/Book";
        EXPECT_EQ(QDir(book).entryList(QDir::Files | QDir::Hidden).filter(".tmp").join(' '), QString());
        const QStringList documents = QDir(book).entryList({"book*.json"}, QDir::Files);
        EXPECT_TRUE(documents.isEmpty() || documents == QStringList{"book.json"}) << documents.join(' ').toStdString();
        for (const QString& name : originals(home.path())) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_FALSE(name.startsWith('.'));
            if (name.endsWith(".heic")) continue;  // Qt reads no HEIC; the restart below decodes it
            QImageReader reader(book + "/Originals/" + name);
            EXPECT_FALSE(reader.read().isNull()) << reader.errorString().toStdString();
        }
        const int saved = std::max(drawingsOnDisk(home.path()), 0);
        App again;
        EXPECT_FALSE(again.model.error()) << again.model.error()->toStdString();
        EXPECT_EQ(static_cast<int>(again.model.drawings().size()), saved);
        if (saved > 0) again.waitForThumbnails();
    }

    QTemporaryDir home;
};

}  // namespace

// Files given at launch arrive after the library has loaded, a second copy hands its files to the
// running one and exits, and a change still pending when the program is told to quit reaches the disk.
TEST_F(Faults, OpenedFilesJoinTheLoadedLibraryThroughOneCopyAndSurviveQuitting) {
    writePhotoFolder(home.path() + "/photos", Qt::red);
    const QString a = home.path() + "/photos/IMG_0002.heic", b = home.path() + "/photos/IMG_0001.jpg",
                  c = home.path() + "/photos/IMG_0003.png";
    {
        Copy first(quillfenProgram(), home.path(), {a});
        ASSERT_TRUE(QTest::qWaitFor([&] { return drawingsOnDisk(home.path()) == 1; }, 30000));
        EXPECT_EQ(first.quit(), 0);
    }
    Copy first(quillfenProgram(), home.path(), {b});
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawingsOnDisk(home.path()) == 2; }, 30000))
        << "the file given at launch was replaced by the library's load";

    Copy second(quillfenProgram(), home.path(), {c});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(first.quit(), 0);  // at once: the forwarded drawing is still waiting for its autosave
    EXPECT_EQ(drawingsOnDisk(home.path()), 3);
    expectLibraryIntact();
}

// A parent clicking drawings while a large import runs: the editor drops the photo loads of drawings
// it leaves and meets them again when the parent comes back.
TEST_F(Faults, ClickingDrawingsDuringAnImportNeverCrashes) {
    const QString photos = home.path() + "/photos";
    QDir().mkpath(photos);
    for (int number = 0; number < 48; ++number) {
        const QColor ink = QColor::fromHsv(number * 3 % 360, 200, 160);
        ASSERT_TRUE(photo(1200, 900, ink).save(QStringLiteral("%1/IMG_%2.jpg").arg(photos).arg(number, 4, 10, QChar('0')), "JPEG", 90));
    }
    Copy clicking = act("click-during-import", photos);
    ASSERT_TRUE(clicking.waitForFinished(110000));
    const QString said = QString::fromUtf8(clicking.readAllStandardOutput());
    EXPECT_EQ(clicking.exitStatus(), QProcess::NormalExit) << said.toStdString();
    EXPECT_EQ(clicking.exitCode(), 0);
    EXPECT_TRUE(said.contains("drawings 48")) << said.toStdString();
}

// The program killed while it copies photos into the library, at several moments.
TEST_F(Faults, KilledDuringImportLeavesTheLibraryIntact) {
    for (const QColor ink : {Qt::red, Qt::blue, Qt::green, Qt::magenta})
        writePhotoFolder(home.path() + "/photos/" + ink.name(), ink);
    for (const int after : {300, 1200, 2500}) {
        SCOPED_TRACE(after);
        Copy program(quillfenProgram(), home.path(), {home.path() + "/photos"});
        QTest::qWait(after);
        program.killNow();
    }
    expectLibraryIntact();
}

TEST_F(Faults, KilledDuringSaveLeavesTheLibraryIntact) {
    Copy saving = act("save");
    ASSERT_TRUE(saving.waitForLine("saving"));
    QTest::qWait(200);
    saving.killNow();
    EXPECT_TRUE(savedBook(home.path()).value("settings").toObject().value("title").toString().startsWith("Our Art"));
    expectLibraryIntact();
}

// An export cut off leaves neither a partial PDF nor any of its temporary files beside it.
TEST_F(Faults, KilledDuringExportLeavesNoPartialFile) {
    const QString out = home.path() + "/out";
    QDir().mkpath(out);
    Copy exporting = act("export", out + "/book.pdf");
    ASSERT_TRUE(exporting.waitForLine("exporting"));
    exporting.killNow();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).join(' '), QString()) << "a partial file was left";
    expectLibraryIntact();
}

// A document damaged by hand is kept aside under another name, the window says so, and the library
// starts afresh and saves again.
TEST_F(Faults, DamagedDocumentIsKeptAsideWithAMessage) {
    const QString book = home.path() + "/data/Quillfen/Book";
    QDir().mkpath(book);
    QFile damaged(book + "/book.json");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{\"drawings\": [ {\"id\": ");
    damaged.close();

    App app;
    App::settle();
    QMessageBox* alert = app.window.presentations()->errorAlert();
    ASSERT_TRUE(alert && alert->isVisible());
    EXPECT_FALSE(alert->text().isEmpty());
    const QStringList kept = QDir(book).entryList({"*.json"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_NE(kept.front(), "book.json");
    alert->accept();
    App::settle();
    writePhotoFolder(home.path() + "/photos", Qt::red);
    app.model.importURLs({QUrl::fromLocalFile(home.path() + "/photos")});
    app.waitForThumbnails();
    app.model.save();
    EXPECT_EQ(drawingsOnDisk(home.path()), 3);
}

// The book folder on a full disk: the photo that does not fit is reported and leaves nothing behind,
// the one that fits is kept.
TEST_F(Faults, FullDiskReportsTheFailedCopyAndKeepsTheRest) {
    const QString photos = home.path() + "/photos";
    QDir().mkpath(photos);
    ASSERT_TRUE(photo(400, 300, Qt::red).save(photos + "/small.jpg", "JPEG", 80));
    QImage noise(1600, 1200, QImage::Format_RGB888);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
    ASSERT_TRUE(noise.save(photos + "/large.png"));
    ASSERT_GT(QFileInfo(photos + "/large.png").size(), 200 * 1024);

    Copy importing = act("import", photos, 150 * 1024);
    ASSERT_TRUE(importing.waitForFinished(180000));
    const QString said = QString::fromUtf8(importing.readAllStandardOutput());
    EXPECT_TRUE(said.contains("drawings 1")) << said.toStdString();
    EXPECT_FALSE(said.contains("error: \n")) << "the failed copy was not reported";
    EXPECT_EQ(originals(home.path()).size(), 1);
    expectLibraryIntact();
}

// A second start that finds the book held by a copy that does not answer (one finishing its quit, or
// still starting) waits, and starts normally once the book is free.
TEST_F(Faults, ASecondStartWaitsForTheBookAndStartsOnceItIsFree) {
    writePhotoFolder(home.path() + "/photos", Qt::red);
    const QString book = home.path() + "/data/Quillfen/Book";
    QDir().mkpath(book);
    QLockFile held(book + "/book.lock");
    held.setStaleLockTime(0);
    ASSERT_TRUE(held.tryLock(0));

    Copy second(quillfenProgram(), home.path(), {home.path() + "/photos/IMG_0003.png"});
    QTest::qWait(6000);
    EXPECT_EQ(second.state(), QProcess::Running);
    held.unlock();
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawingsOnDisk(home.path()) == 1; }, 30000));
    EXPECT_EQ(second.quit(), 0);
}

// A second start that gives up says so in a window, not only on the terminal.
TEST_F(Faults, ASecondStartThatGivesUpSaysSoInAWindow) {
    const QString book = home.path() + "/data/Quillfen/Book";
    QDir().mkpath(book);
    QLockFile held(book + "/book.lock");
    held.setStaleLockTime(0);
    ASSERT_TRUE(held.tryLock(0));

    Copy second(quillfenProgram(), home.path(), {});
    const auto windows = [] { return run("xwininfo", {"-root", "-tree"}); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return windows().contains("\"Something went wrong\""); }, 60000))
        << windows().toStdString();
    EXPECT_EQ(second.state(), QProcess::Running);
    EXPECT_TRUE(second.readAllStandardError().contains("Quillfen is already running, but it does not answer."));
}

// A document nested far deeper than any the program writes is kept aside like any unreadable one,
// instead of ending the program at every start.
TEST_F(Faults, DeeplyNestedDocumentIsKeptAsideInsteadOfEndingEveryStart) {
    const QString book = home.path() + "/data/Quillfen/Book";
    QDir().mkpath(book);
    QFile nested(book + "/book.json");
    ASSERT_TRUE(nested.open(QIODevice::WriteOnly));
    nested.write("{\"children\":" + QByteArray(80000, '[') + QByteArray(80000, ']') + "}");
    nested.close();

    Copy program(quillfenProgram(), home.path(), {});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QDir(book).entryList({"book.unreadable-*.json"}).isEmpty(); }, 30000))
        << "the document was not kept aside";
    QTest::qWait(500);
    EXPECT_EQ(program.state(), QProcess::Running);
    EXPECT_EQ(program.quit(), 0);
}

// A FIFO, a device, a file far larger than any photo and a HEIC composed to abort libheif, all named
// like photos, are skipped: the import goes on with the next photo, memory stays bounded, and the
// program still quits.
TEST_F(Faults, HostileFilesNamedLikePhotosNeitherHangNorEndTheProgram) {
    writePhotoFolder(home.path() + "/photos", Qt::red);
    const QString photos = home.path() + "/photos", pipe = photos + "/pipe.jpg", zero = photos + "/zero.jpg",
                  huge = photos + "/huge.tif", crafted = photos + "/crafted.heic";
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    QFile sparse(huge);
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.write("II*\0", 4) == 4 && sparse.resize(qint64(3) << 30));
    sparse.close();
    // An identity picture of an item of a type libheif does not decode (a grid file recomposed).
    QFile grid(QStringLiteral(QUILLFEN_TEST_DATA) + "/heic-grid-30000.heic");
    ASSERT_TRUE(grid.open(QIODevice::ReadOnly));
    QByteArray heic = grid.readAll();
    heic.replace(QByteArray("\x75\x30\x75\x30", 4), QByteArray("\0\x20\0\x18", 4)).replace("grid", "iden").replace("hvc1", "hvc0");
    QFile craftedFile(crafted);
    ASSERT_TRUE(craftedFile.open(QIODevice::WriteOnly) && craftedFile.write(heic) == heic.size());
    craftedFile.close();

    Copy first(quillfenProgram(), home.path(), {photos + "/IMG_0001.jpg"}, 0, childAddressLimit());
    ASSERT_TRUE(QTest::qWaitFor([&] { return drawingsOnDisk(home.path()) == 1; }, 180000));
    for (const QString& file : {pipe, zero, huge, crafted, photos + "/IMG_0003.png"}) {
        Copy forwarding(quillfenProgram(), home.path(), {file});
        ASSERT_TRUE(forwarding.waitForFinished(180000));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawingsOnDisk(home.path()) == 2; }, 180000))
        << "the photo after them never arrived";
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(first.quit(), 0);
    EXPECT_EQ(originals(home.path()).size(), 2);
}

// Originals the program never wrote, named by its own document: one that would block its reader and
// ones that would never end. The window comes up, the drawing counts as missing, and the program
// still quits when asked.
TEST_F(Faults, OriginalsThatBlockOrNeverEndNeitherHangNorEndTheProgram) {
    writePhotoFolder(home.path() + "/photos", Qt::red);
    {
        App app;
        auto settings = app.model.settings();
        settings.title = "Hostile Originals";
        app.model.setSettings(settings);
        app.model.importURLs({QUrl::fromLocalFile(home.path() + "/photos/IMG_0003.png")});
        app.waitForThumbnails();
        app.model.save();
    }
    ASSERT_EQ(originals(home.path()).size(), 1);
    const QString original = home.path() + "/data/Quillfen/Book/Originals/" + originals(home.path()).front();
    const std::pair<const char*, std::function<bool()>> hostile[] = {
        {"a FIFO", [&] { return ::mkfifo(QFile::encodeName(original).constData(), 0600) == 0; }},
        {"a file of 3 GB", [&] {
             QFile sparse(original);
             return sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(3) << 30);
         }},
        {"a link to /dev/zero", [&] { return QFile::link("/dev/zero", original); }},
    };
    for (const auto& [what, make] : hostile) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(QFile::remove(original) && make());
        Copy program(quillfenProgram(), home.path(), {}, 0, childAddressLimit());
        const auto windows = [] { return run("xwininfo", {"-root", "-tree"}); };
        EXPECT_TRUE(QTest::qWaitFor([&] { return windows().contains("Hostile Originals"); }, 60000));
        QTest::qWait(2000);  // the drawing's processing and the editor's photo load meet the original
        EXPECT_EQ(program.state(), QProcess::Running);
        EXPECT_EQ(program.quit(), 0);
    }
}
