#include "ModelFixtures.h"

#include "app/model/SavedBook.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

const char* const child1 = "1b4e28ba-2fa1-11d2-883f-0016d3cca427";
const char* const drawing1 = "6fa459ea-ee8a-3ca4-894e-db77e160355e";
const char* const drawing2 = "886313e1-3b8a-5372-9b90-0c9aee199e5d";

// A document as the original platform's encoder wrote it: keys in its own order, whole numbers
// without a fraction, escaped slashes, lower-case ids, nulls for absent optionals.
QByteArray originalDocument(bool withCalendar) {
    QString text = QStringLiteral(R"({"nextSequence":3,
"settings":{"coverInInterior":true,"closing":"","aboutPages":true,"dedication":"For Gran","coverColor":"sky",
 "coverDrawing":null,"subtitle":"","title":"Mom\/Dad","showDate":true,"showAge":false,"showName":true,
 "caption":"classic","order":"byChild","arrangement":"mix",
 "spec":{"maximumPages":0,"minimumPages":20,"pageMultiple":2,"safe":27,"bleed":9},"preset":"photoBook","size":"square10"},
"drawings":[{"file":"A.jpeg","info":{"sequence":1,"cleanup":{"whiten":0.5,"flatten":true,"straighten":-1.5,
  "quarterTurns":1,"autoCropped":true,"crop":{"bottomLeft":[0.1,0.1],"topLeft":[0.1,0.9],"topRight":[0.9,0.9],
  "bottomRight":[0.9,0.1]}},"pixelSize":[3000,4000],"aspect":0.75,"featured":true,"title":"Sun","age":"4",
  "date":700000000.5,"childID":"C1","id":"D1"}},
 {"info":{"id":"D2","childID":null,"date":710000000,"age":"","title":"","featured":false,"aspect":1,
  "pixelSize":[800,800],"cleanup":{"crop":null,"autoCropped":false,"quarterTurns":0,"straighten":0,"flatten":false,
  "whiten":0},"sequence":2},"file":"B.png"}],
CALENDAR"children":[{"about":"Loves \/ rockets","name":"Ana","id":"C1","birthday":null}]})");
    const QString calendar = QStringLiteral(R"("calendar":{"calendarOnly":["D2"],"fillPicture":false,
 "pictures":{"11":"D2","0":"D1"},"coverColor":"sky","subtitle":"","title":"","cover":true,"customEvents":[],
 "birthdays":true,"observances":true,"federalHolidays":true,"style":"handwritten","language":"system",
 "weekStart":1,"print":"printShop","format":"wall","startMonth":1,"startYear":2027},)");
    text.replace("CALENDAR", withCalendar ? calendar : QString());
    text.replace("C1", child1).replace("D1", drawing1).replace("D2", drawing2);
    return text.toUtf8();
}

UUID id(const char* text) { return UUID::parse(text).value(); }

// The model's document as a value, to compare whole libraries.
SavedBook snapshot(const AppModel& model) {
    SavedBook book{model.children(), {}, model.settings(), model.nextSequence(), model.calendar()};
    for (const auto& d : model.drawings()) book.drawings.push_back({d.info, d.file.toStdString()});
    return book;
}

// Runs this test program again as a child that runs only the test `name`, in this process's data
// folder (its own temporary files go there too), and returns once the child said it is ready.
void startChild(QProcess& child, const QString& name) {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLFEN_CHILD_DATA", qEnvironmentVariable("XDG_DATA_HOME"));
    environment.insert("TMPDIR", bookFolder());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=" + name});
    ASSERT_TRUE(child.waitForStarted());
    while (!child.readAllStandardOutput().contains("ready")) ASSERT_TRUE(child.waitForReadyRead(20000));
}

// In a child that startChild started: works in its parent's data folder. False in any other run.
bool runsAsChild() {
    const QByteArray dataFolder = qgetenv("QUILLFEN_CHILD_DATA");
    if (dataFolder.isEmpty()) return false;
    qputenv("XDG_DATA_HOME", dataFolder);
    return true;
}

void sayReady() {
    std::printf("ready\n");
    std::fflush(stdout);
}

class Document : public ::testing::Test {
protected:
    void SetUp() override { removeBookFolder(); }
};

}  // namespace

TEST_F(Document, OriginalPlatformDocumentsLoadWithEveryValueAndSurviveARoundTrip) {
    for (const bool withCalendar : {false, true}) {
        SCOPED_TRACE(withCalendar ? "with calendar" : "without calendar key");
        removeBookFolder();
        writeFile(documentPath(), originalDocument(withCalendar));
        SavedBook loaded;
        {
            AppModel model(true);
            model.load();
            ASSERT_EQ(model.drawings().size(), 2u);
            ASSERT_EQ(model.children().size(), 1u);
            EXPECT_EQ(model.children()[0].id, id(child1));
            EXPECT_EQ(model.children()[0].about, "Loves / rockets");
            EXPECT_FALSE(model.children()[0].birthday);
            const DrawingInfo& first = model.drawings()[0].info;
            EXPECT_EQ(first.id, id(drawing1));
            EXPECT_EQ(first.childID, id(child1));
            EXPECT_EQ(first.date.seconds, 700000000.5);
            EXPECT_EQ(first.cleanup.crop->topLeft, (Point{0.1, 0.9}));
            EXPECT_FALSE(model.drawings()[1].info.childID);
            EXPECT_EQ(model.settings().title, "Mom/Dad");
            if (withCalendar) {
                EXPECT_EQ(model.calendar().weekStart, 1);
                EXPECT_EQ(model.calendar().pictures,
                          (std::map<int, UUID>{{0, id(drawing1)}, {11, id(drawing2)}}));
            } else {
                EXPECT_EQ(model.calendar(), CalendarSettings());
            }
            EXPECT_EQ(model.selectedID(), id(drawing1));
            loaded = snapshot(model);
            model.save();
        }
        const QByteArray written = readFile(documentPath());
        EXPECT_TRUE(written.startsWith(R"({"children":[{"id":"1B4E28BA-)"));
        EXPECT_FALSE(written.contains('\n'));
        EXPECT_TRUE(written.contains(R"("calendar":{"startYear":)"));
        AppModel again(true);
        again.load();
        EXPECT_EQ(snapshot(again), loaded);
    }
}

TEST_F(Document, UnreadableDocumentIsKeptAsideAndNeverOverwritten) {
    {
        AppModel missing(true);  // no document at all: a new book, without a message
        missing.load();
        EXPECT_FALSE(missing.error());
    }
    const QByteArray valid = originalDocument(true);
    struct Case { const char* fault; QByteArray bytes; };
    const Case cases[] = {
        {"missing required key", QByteArray(valid).replace(R"("coverInInterior":true,)", "")},
        {"wrong type", QByteArray(valid).replace(R"("featured":true)", R"("featured":"yes")")},
        {"unknown case", QByteArray(valid).replace(R"("size":"square10")", R"("size":"huge")")},
        {"bad month key", QByteArray(valid).replace(R"("11":)", R"("eleven":)")},
        {"number beyond double", QByteArray(valid).replace(R"("aspect":0.75)", R"("aspect":1e999)")},
        {"truncated", valid.left(valid.size() / 2)},
    };
    const QRegularExpression message(
        "^Quillfen couldn't read your book, so it started a new one\\. The old file was kept as "
        "\u201C(book\\.unreadable-\\d{8}-\\d{6}\\.json)\u201D in the book folder\\.$");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        removeBookFolder();
        writeFile(documentPath(), c.bytes);
        AppModel model(true);
        model.load();
        EXPECT_TRUE(model.drawings().empty());
        EXPECT_TRUE(model.children().empty());
        const auto match = message.match(model.error().value_or(""));
        ASSERT_TRUE(match.hasMatch()) << model.error().value_or("(no message)").toStdString();
        const QString aside = bookFolder() + "/" + match.captured(1);
        EXPECT_EQ(readFile(aside), c.bytes);
        model.setSettings(BookSettings());
        model.save();
        EXPECT_EQ(readFile(aside), c.bytes);
        EXPECT_TRUE(QFile::exists(documentPath()));
    }
}

TEST_F(Document, RepeatedIdsBecomeUniqueAndNextSequencePassesEveryStoredOne) {
    QByteArray document = originalDocument(false);
    document.replace(drawing2, drawing1).replace(R"("sequence":2)", R"("sequence":9)");
    document.replace(R"("children":[)", QByteArray(R"("children":[{"about":"","name":"Twin","id":")") +
                                            child1 + R"("},)");
    writeFile(documentPath(), document);
    AppModel model(true);
    model.load();
    ASSERT_EQ(model.drawings().size(), 2u);
    ASSERT_EQ(model.children().size(), 2u);
    EXPECT_EQ(model.drawings()[0].info.id, id(drawing1));
    EXPECT_NE(model.drawings()[1].info.id, id(drawing1));
    EXPECT_NE(model.children()[0].id, model.children()[1].id);
    EXPECT_EQ(model.nextSequence(), 10);
}

// A text longer than any page shows (here a 20 MB book title) is held cut after the characters the
// pages set, so that the window never lays out more; shorter texts stay whole.
TEST_F(Document, TextsLongerThanAnyPageShowsAreCutAtLoad) {
    const auto repeated = [](const QString& text, int times) { return text.repeated(times).toUtf8(); };
    QByteArray document = originalDocument(true);
    document.replace(R"("title":"Mom\/Dad")", R"("title":")" + repeated("a", 20 << 20) + '"')
        .replace(R"("Loves \/ rockets")", '"' + repeated("\u00E9", 5000) + '"')  // two bytes each
        .replace(R"("title":"Sun")", R"("title":")" + repeated("\U0001F600", 4000) + '"')  // four bytes each
        .replace(R"("subtitle":"","title":"","cover")", R"("subtitle":"","title":")" + repeated("b", 4001) + R"(","cover")");
    writeFile(documentPath(), document);
    AppModel model(true);
    model.load();
    ASSERT_FALSE(model.error()) << model.error()->toStdString();
    EXPECT_EQ(model.settings().title, std::string(4000, 'a'));
    EXPECT_EQ(QString::fromStdString(model.children()[0].about), QString("\u00E9").repeated(4000));
    EXPECT_EQ(QString::fromStdString(model.drawings()[0].info.title), QString("\U0001F600").repeated(4000));
    EXPECT_EQ(model.calendar().title, std::string(4000, 'b'));
    EXPECT_EQ(model.settings().dedication, "For Gran");
}

TEST_F(Document, FileNamesThatLeaveOriginalsCountAsMissing) {
    AppModel model(true);
    writeFile(bookFolder() + "/outside.jpg", "not to be read");
    for (const QString name : {"../outside.jpg", "/etc/passwd", "", ".", "..", "sub/dir.jpg"}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(model.originalPath(Drawing{DrawingInfo{}, name, {}, true}).isEmpty());
    }
    EXPECT_EQ(model.originalPath(Drawing{DrawingInfo{}, "A.jpeg", {}, true}), bookFolder() + "/Originals/A.jpeg");
}

TEST_F(Document, FailedSaveKeepsTheDocumentAndSaysWhy) {
    AppModel model(true);
    model.save();
    const QByteArray before = readFile(documentPath());
    ASSERT_FALSE(before.isEmpty());
    Drawing broken{DrawingInfo{}, "A.jpeg", {}, false};
    broken.info.aspect = std::numeric_limits<double>::quiet_NaN();
    model.setDrawings({broken});
    model.save();
    EXPECT_TRUE(model.error().value_or("").startsWith("Couldn't save the book: "));
    EXPECT_EQ(readFile(documentPath()), before);

    model.setDrawings({});
    model.setError(std::nullopt);
    QFile::remove(documentPath());
    QDir().mkpath(documentPath() + "/blocking");  // the document's name is taken by a folder
    model.save();
    EXPECT_TRUE(model.error().value_or("").startsWith("Couldn't save the book: "));
}

TEST_F(Document, TenQuickChangesSaveOnceAndNextSequenceAloneNever) {
    AppModel model(true);
    model.setNextSequence(7);
    QTest::qWait(600);
    EXPECT_FALSE(QFile::exists(documentPath()));
    for (int i = 0; i < 10; ++i) {
        editSettings(model, [&](BookSettings& s) { s.title = "Title " + std::to_string(i); });
        QTest::qWait(100);
        EXPECT_FALSE(QFile::exists(documentPath())) << "saved after change " << i;
    }
    ASSERT_TRUE(QTest::qWaitFor([] { return QFile::exists(documentPath()); }, 2000));
    const auto firstSave = QFileInfo(documentPath()).fileTime(QFileDevice::FileModificationTime);
    QTest::qWait(600);
    EXPECT_EQ(QFileInfo(documentPath()).fileTime(QFileDevice::FileModificationTime), firstSave);
    EXPECT_TRUE(readFile(documentPath()).contains(R"("title":"Title 9")"));
}

TEST_F(Document, PendingSaveIsWrittenAtQuit) {
    AppModel model(true);
    editSettings(model, [&](BookSettings& s) { s.title = "Written at quit"; });
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_TRUE(readFile(documentPath()).contains("Written at quit"));
}

TEST_F(Document, SecondCopyLeavesTheBookFolderAlone) {
    writeFile(documentPath(), originalDocument(true));
    AppModel first(true);
    ASSERT_TRUE(first.ownsBookFolder());
    AppModel second(true);
    EXPECT_FALSE(second.ownsBookFolder());
    second.load();
    EXPECT_TRUE(second.drawings().empty());
    second.save();
    EXPECT_EQ(readFile(documentPath()), originalDocument(true));
}

TEST_F(Document, ALaterCopyTakesTheBookFolderOnceTheFirstHasGone) {
    auto first = std::make_unique<AppModel>(true);
    ASSERT_TRUE(first->ownsBookFolder());
    AppModel second(true);
    EXPECT_FALSE(second.ownsBookFolder());
    first.reset();
    EXPECT_TRUE(second.ownsBookFolder());
}

TEST_F(Document, ModelWithoutDocumentWorksInAPrivateFolderOfItsOwn) {
    AppModel a(false), b(false);
    EXPECT_NE(a.folder(), b.folder());
    EXPECT_EQ(QFileInfo(a.folder()).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup),
              QFileDevice::Permissions());
    a.setSettings(BookSettings());
    a.save();
    a.load();
    EXPECT_FALSE(QFile::exists(a.folder() + "/book.json"));
}

// Runs only as the child of KilledWhileSavingLeavesAWholeDocument: saves a large library over and
// over until it is killed.
TEST(DocumentChild, SavesUntilKilled) {
    if (!runsAsChild()) GTEST_SKIP() << "only as a child process";
    AppModel model(true);
    std::vector<Drawing> drawings(3000);
    for (auto& d : drawings) {
        d.info.id = UUID::random();
        d.file = "A.jpeg";
    }
    model.setDrawings(std::move(drawings));
    for (std::int64_t version = 0;; ++version) {
        model.setNextSequence(version);
        model.save();
        if (version == 0) sayReady();
    }
}

TEST_F(Document, KilledWhileSavingLeavesAWholeDocument) {
    constexpr int runs = 40;
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE(::testing::Message() << "run " << run);
        QProcess child;
        ASSERT_NO_FATAL_FAILURE(startChild(child, "DocumentChild.SavesUntilKilled"));
        QThread::msleep(QRandomGenerator::global()->bounded(1, 60));
        child.kill();
        child.waitForFinished();
        const QByteArray bytes = readFile(documentPath());
        EXPECT_NO_THROW(EXPECT_EQ(bookFromDocument({bytes.constData(), std::size_t(bytes.size())}).drawings.size(),
                                  3000u));
    }
}

TEST_F(Document, AutosaveThatCannotWriteSaysWhyAndANewerSaveStillLands) {
    AppModel model(true);
    QDir().mkpath(documentPath() + "/blocking");  // the document's name is taken by a folder
    editSettings(model, [&](BookSettings& s) { s.title = "Autosaved"; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.error().has_value(); }, 3000));
    EXPECT_TRUE(model.error()->startsWith("Couldn't save the book: "));

    QDir(documentPath()).removeRecursively();
    model.setError(std::nullopt);
    editSettings(model, [&](BookSettings& s) { s.title = "Newer"; });
    model.save();
    EXPECT_FALSE(model.error());
    EXPECT_TRUE(readFile(documentPath()).contains(R"("title":"Newer")"));
}

// A "book.json" that is a link to a file elsewhere: saving replaces the link in the book folder with
// the document and leaves the file it pointed to, and its folder, as they were.
TEST_F(Document, SavingReplacesALinkedDocumentNotItsTarget) {
    QTemporaryDir outside;
    writeFile(outside.filePath("elsewhere.json"), originalDocument(true));
    QDir().mkpath(bookFolder());
    ASSERT_TRUE(QFile::link(outside.filePath("elsewhere.json"), documentPath()));
    AppModel model(true);
    model.load();
    editSettings(model, [](BookSettings& s) { s.title = "Saved in the book folder"; });
    model.save();
    EXPECT_FALSE(model.error());
    EXPECT_FALSE(QFileInfo(documentPath()).isSymLink());
    EXPECT_TRUE(readFile(documentPath()).contains("Saved in the book folder"));
    EXPECT_EQ(readFile(outside.filePath("elsewhere.json")), originalDocument(true));
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"elsewhere.json"});
}

// Copies an interrupted import left in "Originals" go at the next load; every other file stays:
// named ones, newer ones (an import under way), files the program did not make, and every file when
// the document could not be read.
TEST_F(Document, LoadRemovesOnlyUnnamedCopiesOlderThanTheDocument) {
    const QDateTime saved = QDateTime::currentDateTime().addSecs(-600);
    const auto touch = [](const QString& path, const QDateTime& time) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    };
    const auto copyName = [](const char* extension) { return QString::fromStdString(UUID::random().string()) + extension; };
    const QString named = copyName(".jpeg"), newer = copyName(".jpeg");
    const QStringList orphans{copyName(".jpeg"), copyName(".png")};
    const QStringList notOurs{"holiday.jpeg", copyName(".txt")};
    for (const bool readable : {true, false}) {
        SCOPED_TRACE(readable ? "readable document" : "unreadable document");
        removeBookFolder();
        writeFile(documentPath(), readable ? originalDocument(true).replace("A.jpeg", named.toUtf8()) : "{\"drawings\": [");
        touch(documentPath(), saved);
        for (const QString& name : QStringList{named} + orphans + notOurs + QStringList{newer}) {
            writeFile(bookFolder() + "/Originals/" + name, jpegBytes());
            touch(bookFolder() + "/Originals/" + name, name == newer ? saved.addSecs(60) : saved.addSecs(-60));
        }
        {
            AppModel model(true);
            model.load();
            model.processingPool().waitForDone();
        }
        QStringList expected = QStringList{named, newer} + notOurs;
        if (!readable) expected += orphans;
        expected.sort();
        QStringList left = QDir(bookFolder() + "/Originals").entryList(QDir::Files);
        left.sort();
        EXPECT_EQ(left, expected);
    }
}

// Runs only as the child of KilledDuringALongImportLosesOnlyItsLastSeconds: imports a photo every
// 100 ms, so that the document changes more often than the autosave's delay, until it is killed.
TEST(DocumentChild, ImportsUntilKilled) {
    if (!runsAsChild()) GTEST_SKIP() << "only as a child process";
    QTemporaryDir photos;
    writeFile(photos.filePath("photo.jpg"), jpegBytes());
    AppModel model(true);
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, &model,
                     [&] { model.importURLs({QUrl::fromLocalFile(photos.filePath("photo.jpg"))}); });
    pace.start(100);
    sayReady();
    QTest::qWait(600000);
}

// An import killed at a random moment: every copy made more than the autosave's longest wait (2 s,
// and as much again for a busy machine) before the kill is in the document, and every copy the
// document names is in "Originals".
TEST_F(Document, KilledDuringALongImportLosesOnlyItsLastSeconds) {
    const QRegularExpression copyName("^[0-9A-F-]{36}\\.[a-z]+$");
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(::testing::Message() << "run " << run);
        removeBookFolder();
        QProcess child;
        ASSERT_NO_FATAL_FAILURE(startChild(child, "DocumentChild.ImportsUntilKilled"));
        QThread::msleep(QRandomGenerator::global()->bounded(5500, 8500));
        const QDateTime killed = QDateTime::currentDateTime();
        child.kill();
        child.waitForFinished();

        const QByteArray bytes = readFile(documentPath());
        QSet<QString> named;
        if (!bytes.isEmpty()) {
            SavedBook saved;
            ASSERT_NO_THROW(saved = bookFromDocument({bytes.constData(), std::size_t(bytes.size())}));
            for (const auto& item : saved.drawings) named.insert(QString::fromStdString(item.file));
        }
        const QDir originalsFolder(bookFolder() + "/Originals");
        for (const QString& file : named) EXPECT_TRUE(originalsFolder.exists(file)) << file.toStdString();
        int copies = 0;
        QStringList lost;
        for (const QFileInfo& copy : originalsFolder.entryInfoList(QDir::Files | QDir::Hidden)) {
            const bool madeLongBefore = copy.lastModified() < killed.addSecs(-4);
            if (!copyName.match(copy.fileName()).hasMatch() || !madeLongBefore) continue;
            ++copies;
            if (!named.contains(copy.fileName())) lost.push_back(copy.fileName());
        }
        EXPECT_GT(copies, 0);
        EXPECT_TRUE(lost.isEmpty()) << lost.size() << " of " << copies << " lost";
    }
}

// A direct save while the autosave's write of an older revision waits on the writer: the direct save
// waits for it, so the newer document lands last.
TEST_F(Document, DirectSaveLandsAfterAnAutosaveStillWriting) {
    AppModel model(true);
    HeldWorker held(model.documentWriter());
    editSettings(model, [](BookSettings& s) { s.title = "Autosaved"; });
    QTest::qWait(1000);  // the autosave has fired and waits behind the held writer
    editSettings(model, [](BookSettings& s) { s.title = "Saved directly"; });
    // Released once the direct save has landed, or after a while when it waits for the writer.
    std::thread releaser([&] {
        QDeadlineTimer patience(1000);
        while (!readFile(documentPath()).contains("Saved directly") && !patience.hasExpired())
            QThread::msleep(10);
        held.release();
    });
    model.save();
    releaser.join();
    model.documentWriter().waitForDone();
    EXPECT_TRUE(readFile(documentPath()).contains(R"("title":"Saved directly")"));
}
