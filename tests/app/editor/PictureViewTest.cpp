#include "app/editor/AfterView.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

// A picture of one-pixel black and white squares: smoothly reduced it is an even grey; sampled, it
// stays black and white.
QImage fineChecks(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) line[x] = (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    }
    return image;
}

// How far the picture's middle is from an even grey, 0 to 127.
int distanceFromGrey(QWidget& view) {
    const QImage shown = view.grab().toImage();
    int farthest = 0;
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            const int grey = qGray(shown.pixel(shown.width() / 2 + dx, shown.height() / 2 + dy));
            farthest = std::max(farthest, std::abs(grey - 128));
        }
    }
    return farthest;
}

}  // namespace

// A new picture is shown at once and never scaled smoothly on the GUI thread, where a large one stalls
// the window for tens of milliseconds; the smooth picture follows from the pool.
TEST(PictureView, ANewPictureIsScaledSmoothlyOffTheGuiThread) {
    AfterView view;
    view.resize(400, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setImage(fineChecks(1400));
    EXPECT_GT(distanceFromGrey(view), 100) << "the first paint scaled the picture smoothly itself";
    EXPECT_TRUE(QTest::qWaitFor([&] { return distanceFromGrey(view) < 20; }, 10000))
        << "the smooth picture never arrived";
}
