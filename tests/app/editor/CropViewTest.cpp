#include "EditorFixture.h"

#include "app/editor/CropView.h"

#include <QSignalSpy>
#include <QWindow>

using namespace quillfen;
using quillfen::testing::EditorFixture;

namespace {

class CropViewTest : public EditorFixture {
protected:
    // A 600 × 600 view showing a 4:3 photo: the image rectangle is (0, 75, 600, 450).
    std::unique_ptr<CropView> showView(const Drawing& drawing) {
        auto view = std::make_unique<CropView>(
            model, QStringList{"Top-left", "Top-right", "Bottom-right", "Bottom-left"});
        view->resize(600, 600);
        view->setImage(photo(400, 300));
        view->setDrawing(drawing.info.id, drawing.info.cleanup.crop);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return view;
    }

    // Real pointer events through the window system, so the press grabs the handle under it.
    static void press(QWidget* view, QPointF at) {
        QTest::mousePress(view->windowHandle(), Qt::LeftButton, {}, at.toPoint());
    }
    static void move(QWidget* view, QPointF to) {
        QTest::mouseMove(view->windowHandle(), to.toPoint());
    }
    static void release(QWidget* view, QPointF at) {
        QTest::mouseRelease(view->windowHandle(), Qt::LeftButton, {}, at.toPoint());
    }
};

}  // namespace

TEST_F(CropViewTest, DragStoresTheClampedQuadOnceOnReleaseAndClearsAutoCropped) {
    CleanupSettings cleanup;
    cleanup.crop = Quad{{0.1, 0.9}, {0.9, 0.9}, {0.9, 0.1}, {0.1, 0.1}};
    cleanup.autoCropped = true;
    const Drawing added = addDrawing({}, "", cleanup);
    auto view = showView(added);
    QSignalSpy changes(&model, &AppModel::revisionChanged);

    const QPointF topLeft(60, 75 + 0.1 * 450);
    EXPECT_EQ(QRectF(view->handle(0)->geometry()).center(), topLeft);
    press(view.get(), topLeft);
    move(view.get(), {200, 300});
    move(view.get(), {-80, -40});  // far above and left of the photo
    EXPECT_EQ(changes.count(), 0) << "the model changes only when the drag ends";
    ASSERT_TRUE(view->dragging());
    EXPECT_EQ(view->dragging()->topLeft, (Point{0, 1}));
    release(view.get(), {-80, -40});

    EXPECT_EQ(changes.count(), 1);
    const CleanupSettings stored = drawing(added.info.id).info.cleanup;
    EXPECT_EQ(stored.crop, (Quad{{0, 1}, {0.9, 0.9}, {0.9, 0.1}, {0.1, 0.1}}));
    EXPECT_FALSE(stored.autoCropped);
    EXPECT_FALSE(view->dragging());
}

TEST_F(CropViewTest, PressOffCentreWithoutMovingCommitsThePressedPointOnAWholePhoto) {
    const Drawing added = addDrawing({});
    auto view = showView(added);
    const QPointF bottomRight(600, 75 + 450);
    EXPECT_EQ(QRectF(view->handle(2)->geometry()).center(), bottomRight);
    EXPECT_EQ(view->handle(2)->accessibleName(), QStringLiteral("Bottom-right corner of the paper"));

    const QPointF pressed = bottomRight - QPointF(6, 9);
    press(view.get(), pressed);
    release(view.get(), pressed);

    const auto crop = drawing(added.info.id).info.cleanup.crop;
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->topLeft, (Point{0, 1}));
    EXPECT_NEAR(crop->bottomRight.x, 594.0 / 600, 1e-12);
    EXPECT_NEAR(crop->bottomRight.y, 9.0 / 450, 1e-12);
}
