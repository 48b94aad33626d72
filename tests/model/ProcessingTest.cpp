#include "ModelFixtures.h"

#include <QSignalSpy>

#include <cmath>

#include <gtest/gtest.h>

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

// Several originals missing at once: one message, with how many and why.
TEST(Processing, MissingOriginalsAreCountedWithTheirReason) {
    AppModel model(false);
    for (int i = 0; i < 3; ++i) model.process(addStored(model, QStringLiteral("gone-%1.jpeg").arg(i)), false);
    ASSERT_TRUE(processed(model));
    EXPECT_EQ(model.error(), "Couldn't read one of the images.");
    EXPECT_EQ(model.errorDetail(), "3 images couldn't be read: No such file or directory.");
    writeFile(model.folder() + "/Originals/text.jpeg", "not a picture");
    model.setError(std::nullopt);
    model.process(addStored(model, "text.jpeg"), false);
    ASSERT_TRUE(processed(model));
    EXPECT_EQ(model.errorDetail(), "1 image couldn't be read: not an image Quillfen can read.");
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

// One pool thread, held: the newer processing (a PNG, which the pool starts first) runs, and its
// result is applied, before a second hold lets the older one (a JPEG) run, so its result arrives last.
TEST(Processing, LateResultOfAnOlderEditNeverReplacesTheNewer) {
    AppModel model(false);
    const QString originals = model.folder() + "/Originals/";
    writeFile(originals + "older.jpeg", jpegBytes(800, 600));
    writeFile(originals + "photo.png", pngBytes(800, 600));
    model.processingPool().setMaxThreadCount(1);
    QSemaphore first, second;
    model.processingPool().start([&first] { first.acquire(); });
    model.processingPool().start([&second] { second.acquire(); });
    const UUID id = addStored(model, "older.jpeg");
    model.process(id, false);

    auto drawings = model.drawings();
    drawings[0].file = "photo.png";
    drawings[0].info.cleanup.quarterTurns = 1;
    model.setDrawings(drawings);
    model.process(id, false);
    first.release();
    const bool newerApplied = processed(model);

    QSignalSpy changes(&model, &AppModel::drawingsChanged);
    second.release();
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

namespace {

// Peak signal-to-noise ratio of two pictures of one size, in dB; 0 when the sizes differ.
double psnr(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) sum += (p[i] - q[i]) * (p[i] - q[i]);
    }
    const double mse = sum / (x.width() * x.height() * 3.0);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace

// A paper search decodes the whole photo and scales the working copy from it instead of decoding the
// file again; the thumbnail must be the one the reduced-size decode gives for the same crop, up to
// the two ways of scaling (hard pencil edges land a fraction of a pixel apart).
TEST(Processing, ThumbnailOfAPaperSearchMatchesTheReducedDecodeOfTheSameCrop) {
    const QByteArray sheet = jpegOf(shaded(2400, 1800, [](double x, double y) {
        if (x < 0.15 || x > 0.85 || y < 0.1 || y > 0.9) return std::uint8_t(50);  // the table
        return std::uint8_t(std::sin(x * 90) * std::cos(y * 70) > 0.6 ? 70 : 235);  // a drawing
    }));
    CleanupSettings cleanup;
    cleanup.whiten = 0.6;
    cleanup.flatten = true;
    const auto searched = AppModel::makeProcessed(sheet, cleanup, true);
    ASSERT_TRUE(searched);
    ASSERT_TRUE(searched->cleanup.crop) << "the sheet was not found";
    const auto reduced = AppModel::makeProcessed(sheet, searched->cleanup, false);
    ASSERT_TRUE(reduced);
    EXPECT_EQ(searched->pixelSize, reduced->pixelSize);
    EXPECT_EQ(searched->thumb.size(), reduced->thumb.size());
    EXPECT_GE(psnr(searched->thumb, reduced->thumb), 30);
}
