#include "ModelFixtures.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillfen;
using namespace quillfen::testing;

// Quitting waits for the copies the parent asked for and the sheets their paper searches find, and
// for nothing else: the thumbnails are made again at the next start.
TEST(Quit, FinishesTheCopiesAndPaperSearchesButNoThumbnails) {
    removeBookFolder();
    QTemporaryDir dir;
    QList<QUrl> files;
    for (int i = 0; i < 6; ++i) {
        writeFile(dir.filePath(QString("%1.jpg").arg(i)), sheetOnTable());
        files << QUrl::fromLocalFile(dir.filePath(QString("%1.jpg").arg(i)));
    }
    {
        AppModel model(true);
        writeFile(model.folder() + "/Originals/earlier.jpeg", jpegBytes(400, 300));
        const UUID earlier = addStored(model, "earlier.jpeg");
        model.process(earlier, false);
        ASSERT_TRUE(processed(model));
        QSignalSpy ready(&model, &AppModel::readyToQuit);

        model.importURLs(files);
        model.finishForQuit();
        model.rotateRight(earlier);
        EXPECT_TRUE(model.finishingForQuit());
        ASSERT_TRUE(ready.wait(60000));
        EXPECT_FALSE(model.finishingForQuit());
        ASSERT_EQ(model.drawings().size(), 7u);
        for (const Drawing& d : model.drawings()) {
            if (d.info.id == earlier) {
                EXPECT_EQ(d.thumb.size(), QSize(400, 300));  // the turned thumbnail is left for later
                continue;
            }
            EXPECT_FALSE(d.busy);
            EXPECT_TRUE(d.thumb.isNull());
            EXPECT_TRUE(d.info.cleanup.autoCropped);
        }
        model.prepareToQuit();
        EXPECT_EQ(ready.count(), 1);
    }
    AppModel reopened(true);
    reopened.load();
    ASSERT_EQ(reopened.drawings().size(), 7u);
    EXPECT_EQ(reopened.drawings()[0].info.cleanup.quarterTurns, 1);
    for (std::size_t i = 1; i < 7; ++i) {
        ASSERT_TRUE(reopened.drawings()[i].info.cleanup.crop);
        EXPECT_NEAR(reopened.drawings()[i].info.cleanup.crop->topLeft.x, 0.2, 0.03);
    }
    EXPECT_EQ(originals(reopened).size(), 7);
}

TEST(Quit, WithNothingToFinishItIsReadyAtOnce) {
    AppModel model(false);
    QSignalSpy ready(&model, &AppModel::readyToQuit);
    model.finishForQuit();
    EXPECT_EQ(ready.count(), 1);
    model.finishForQuit();  // asked again: still only once
    EXPECT_EQ(ready.count(), 1);
}
