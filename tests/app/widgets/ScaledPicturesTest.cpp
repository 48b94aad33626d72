#include "app/widgets/ScaledPictures.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace quillfen;

namespace {

QImage picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(200, 120, 40));
    return image;
}

}  // namespace

TEST(ScaledPictures, ScalesEachPictureOnceOffTheGuiThreadToFitItsBox) {
    ScaledPictures pictures(10);
    QSignalSpy ready(&pictures, &ScaledPictures::ready);
    const QImage thumb = picture(700, 525);
    struct Case { QSizeF box; qreal ratio; QSize pixels; };
    const Case cases[] = {{{52, 44}, 1, {52, 39}}, {{52, 44}, 2, {104, 78}}, {{34, 34}, 1, {34, 26}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.box.width() << " x " << c.box.height() << " at " << c.ratio);
        ready.clear();
        EXPECT_TRUE(pictures.pixmap(thumb, c.box, c.ratio).isNull()) << "made on the painting thread";
        EXPECT_TRUE(pictures.pixmap(thumb, c.box, c.ratio).isNull());
        ASSERT_TRUE(ready.wait(5000));
        const QPixmap scaled = pictures.pixmap(thumb, c.box, c.ratio);
        EXPECT_EQ(scaled.size(), c.pixels);
        EXPECT_EQ(scaled.devicePixelRatio(), c.ratio);
        QTest::qWait(50);
        EXPECT_EQ(ready.count(), 1) << "scaled once, however often asked";
    }
    EXPECT_TRUE(pictures.pixmap(QImage(), {52, 44}, 1).isNull());
}

TEST(ScaledPictures, ScalingsStillRunningWhenTheyGoDeliverNothing) {
    QObject receiver;
    bool delivered = false;
    {
        auto pictures = std::make_unique<ScaledPictures>(10);
        QObject::connect(pictures.get(), &ScaledPictures::ready, &receiver, [&] { delivered = true; });
        for (int i = 0; i < 4; ++i) pictures->pixmap(picture(4000 + i, 3000), {52, 44}, 1);
    }
    QTest::qWait(200);
    EXPECT_FALSE(delivered);
}
