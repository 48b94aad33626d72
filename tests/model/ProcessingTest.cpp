#include "ModelFixtures.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

using namespace quillfen;
using namespace quillfen::testing;


TEST(Processing, MeasuresTheFullPictureAndThumbnailsItCompactly) {
    struct Case { int width, height; Size pixelSize; QSize thumb; };
    const Case cases[] = {
        {4000, 3000, {4000, 3000}, {700, 525}},
        {500, 300, {500, 300}, {500, 300}},  // small pictures keep their size
    };
    AppModel model(false);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        writeFile(model.folder() + "/Originals/photo.jpeg", jpegBytes(c.width, c.height));
        const UUID id = addStored(model, "photo.jpeg");
        model.process(id, false);
        ASSERT_TRUE(processed(model));
        const Drawing& d = drawingOf(model, id);
        EXPECT_EQ(d.info.pixelSize, c.pixelSize);
        EXPECT_DOUBLE_EQ(d.info.aspect, c.pixelSize.width / c.pixelSize.height);
        EXPECT_EQ(d.thumb.size(), c.thumb);
        EXPECT_EQ(d.thumb.format(), QImage::Format_RGB888);
        EXPECT_FALSE(model.error());
    }
}

TEST(Processing, MissingOriginalStopsBusyAndSaysSo) {
    AppModel model(false);
    for (const QString file : {"deleted.jpeg", "../escape.jpeg"}) {
        SCOPED_TRACE(file.toStdString());
        model.setError(std::nullopt);
        writeFile(model.folder() + "/escape.jpeg", jpegBytes(64, 64));
        const UUID id = addStored(model, file);
        model.process(id, false);
        ASSERT_TRUE(processed(model));
        EXPECT_TRUE(drawingOf(model, id).thumb.isNull());
        EXPECT_EQ(model.error(), "Couldn't read one of the images.");
    }
}

// Every change of the library re-renders the views' pages: results that reach the GUI thread in one
// pass of the event loop (as at a launch) are stored with one change, not one each.
TEST(Processing, ResultsArrivingTogetherChangeTheLibraryOnce) {
    AppModel model(false);
    writeFile(model.folder() + "/Originals/photo.jpeg", jpegBytes(400, 300));
    std::vector<UUID> ids;
    for (int i = 0; i < 3; ++i) ids.push_back(addStored(model, "photo.jpeg"));
    for (const auto& id : ids) model.process(id, false);
    model.processingPool().waitForDone();

    QSignalSpy changes(&model, &AppModel::drawingsChanged);
    ASSERT_TRUE(processed(model));
    EXPECT_EQ(changes.count(), 1);
    for (const auto& id : ids) EXPECT_EQ(drawingOf(model, id).thumb.size(), QSize(400, 300));
}

// The first processing reads from a pipe that is written only after the second one's result was
// applied, so the older result surely arrives last.
TEST(Processing, LateResultOfAnOlderEditNeverReplacesTheNewer) {
    AppModel model(false);
    const QString originals = model.folder() + "/Originals/";
    ASSERT_EQ(::mkfifo(QFile::encodeName(originals + "slow.jpeg").constData(), 0600), 0);
    writeFile(originals + "photo.jpeg", jpegBytes(800, 600));
    const UUID id = addStored(model, "slow.jpeg");
    model.process(id, false);

    auto drawings = model.drawings();
    drawings[0].file = "photo.jpeg";
    drawings[0].info.cleanup.quarterTurns = 1;
    model.setDrawings(drawings);
    model.process(id, false);
    const bool newerApplied = processed(model);

    QSignalSpy changes(&model, &AppModel::drawingsChanged);
    const int pipe = ::open(QFile::encodeName(originals + "slow.jpeg").constData(), O_WRONLY);
    const QByteArray older = jpegBytes(800, 600);
    EXPECT_EQ(::write(pipe, older.constData(), static_cast<std::size_t>(older.size())), older.size());
    ::close(pipe);
    model.processingPool().waitForDone();
    QCoreApplication::sendPostedEvents(&model, QEvent::MetaCall);

    ASSERT_TRUE(newerApplied);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(drawingOf(model, id).info.cleanup.quarterTurns, 1);
    EXPECT_EQ(drawingOf(model, id).info.pixelSize, (Size{600, 800}));
    EXPECT_EQ(drawingOf(model, id).thumb.size(), QSize(525, 700));
}

TEST(Processing, LoadedLibraryIsRebuiltFromItsOriginalsAndSavedAgain) {
    removeBookFolder();
    writeFile(bookFolder() + "/Originals/A.jpeg", jpegBytes(400, 300));
    {
        AppModel model(true);
        const UUID id = addStored(model, "A.jpeg");
        model.save();
        EXPECT_EQ(drawingOf(model, id).info.pixelSize, (Size{0, 0}));
    }
    AppModel model(true);
    model.load();
    ASSERT_TRUE(processed(model));
    EXPECT_FALSE(model.drawings()[0].thumb.isNull());
    ASSERT_TRUE(QTest::qWaitFor([] { return readFile(documentPath()).contains(R"("pixelSize":[400.0,300.0])"); },
                                3000));
}
