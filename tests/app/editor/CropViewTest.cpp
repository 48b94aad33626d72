#include "EditorFixture.h"

#include "app/editor/CropView.h"

#include <QSignalSpy>
#include <QWindow>

using namespace quillfen;
using quillfen::testing::EditorFixture;

namespace {

class CropViewTest : public EditorFixture {
protected:
    // A view of `size` showing a photo of `photoSize`; by default a 4:3 photo in a 600 × 600 view.
    std::unique_ptr<CropView> showView(const Drawing& drawing, QSize size = {600, 600}, QSize photoSize = {400, 300}) {
        auto view = std::make_unique<CropView>(
            model, QStringList{"Top-left", "Top-right", "Bottom-right", "Bottom-left"});
        view->resize(size);
        view->setImage(photo(photoSize.width(), photoSize.height()));
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
    // Handles sit on whole pixels: their centres lie within half a pixel of the corner.
    static bool centredOn(const QWidget* handle, QPointF corner) {
        const QPointF off = QRectF(handle->geometry()).center() - corner;
        return std::abs(off.x()) <= 0.5 && std::abs(off.y()) <= 0.5;
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

    const QRectF r = view->imageRect();
    const QPointF topLeft(r.left() + 0.1 * r.width(), r.top() + 0.1 * r.height());
    EXPECT_TRUE(centredOn(view->handle(0), topLeft));
    press(view.get(), topLeft);
    move(view.get(), r.center());
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
    const QRectF r = view->imageRect();
    const QPointF bottomRight = r.bottomRight();
    EXPECT_TRUE(centredOn(view->handle(2), bottomRight));
    EXPECT_EQ(view->handle(2)->accessibleName(), QStringLiteral("Bottom-right corner of the paper"));

    const QPointF pressed = (bottomRight - QPointF(6, 9)).toPoint();
    press(view.get(), pressed);
    release(view.get(), pressed);

    const auto crop = drawing(added.info.id).info.cleanup.crop;
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->topLeft, (Point{0, 1}));
    EXPECT_NEAR(crop->bottomRight.x, (pressed.x() - r.left()) / r.width(), 1e-12);
    EXPECT_NEAR(crop->bottomRight.y, (r.bottom() - pressed.y()) / r.height(), 1e-12);
}

// The photo fills the view up to a margin, so a handle on any corner of the photo lies whole inside
// the view, and a press on the outer half of its hit circle still grabs it.
TEST_F(CropViewTest, HandlesOnThePhotosCornersAreWholeAndGrabbedOnTheirOuterSide) {
    const struct { QSize view, photo; } cases[] = {
        {{600, 600}, {400, 300}},  // landscape: the photo touches the left and right edges
        {{700, 300}, {300, 400}},  // portrait in a wide pane: the top and bottom edges
        {{400, 300}, {400, 300}},  // the same aspect: all four edges
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.view.width() << " x " << c.view.height());
        const Drawing added = addDrawing({});
        auto view = showView(added, c.view, c.photo);
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(view->rect().contains(view->handle(i)->geometry())) << "corner " << i;
        }
        const QPointF topLeft = view->imageRect().topLeft();
        EXPECT_TRUE(centredOn(view->handle(0), topLeft));
        const QPointF outside = topLeft - QPointF(10, 10);  // 14 points from the centre, off the photo
        press(view.get(), outside);
        release(view.get(), outside);
        const auto crop = drawing(added.info.id).info.cleanup.crop;
        ASSERT_TRUE(crop);
        EXPECT_EQ(crop->topLeft, (Point{0, 1}));
    }
}
