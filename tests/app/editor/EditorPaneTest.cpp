#include "EditorFixture.h"

#include "app/editor/AfterView.h"
#include "app/editor/CropView.h"
#include "app/editor/EditorPane.h"
#include "app/editor/PreviewRender.h"
#include "tests/app/AppFixtures.h"

#include <QFile>
#include <QSignalSpy>
#include <QToolButton>

using namespace quillfen;
using quillfen::testing::EditorFixture;

namespace {

class EditorPaneTest : public EditorFixture {
protected:
    // The after preview rendered straight from the drawing's original file.
    QImage fromFile(const UUID& id) {
        const Drawing& d = drawing(id);
        const auto photo = PreviewRender::loadPhoto(model.originalPath(d));
        return photo ? PreviewRender::renderAfter(*photo->working, d.info.cleanup) : QImage();
    }
};

}  // namespace

TEST_F(EditorPaneTest, PreviewSizesNeverExceedTheirLimitsByRounding) {
    const struct {
        int width, height;
        QSize before;
        int workingSide;
    } cases[] = {
        {4000, 3000, {1400, 1050}, 1600},
        {1200, 900, {1200, 900}, 1200},  // never enlarged
        {2103, 1000, {1400, 666}, 1600},  // 1400 / 2103 × 2103 is above 1400 in floating point
        {1000, 2120, {661, 1400}, 1600},  // 1600 / 2120 × 2120 is above 1600 in floating point
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        const Drawing added = addDrawing(photo(c.width, c.height));
        const auto loaded = PreviewRender::loadPhoto(model.originalPath(added));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(std::max(loaded->working->width, loaded->working->height), c.workingSide);
        EXPECT_LE(loaded->before.width(), 1400);
        EXPECT_LE(loaded->before.height(), 1400);
        EXPECT_EQ(std::max(loaded->before.width(), loaded->before.height()),
                  std::max(c.before.width(), c.before.height()));
    }
}

TEST_F(EditorPaneTest, CommittedEditRendersFromTheKeptPhotoOfTheDrawingNowShown) {
    const Drawing first = addDrawing(photo(1800, 1200, Qt::red), "First");
    const Drawing second = addDrawing(photo(1200, 1800, Qt::blue), "Second");
    model.setSelectedID(first.info.id);
    EditorPane pane(model, first);
    settle();
    model.setSelectedID(second.info.id);
    settle();
    model.rotateRight(second.info.id);
    settle();

    EXPECT_EQ(pane.afterView()->state(), PreviewState::shown);
    EXPECT_EQ(pane.afterView()->image(), fromFile(second.info.id));
    EXPECT_EQ(pane.cropView()->state(), PreviewState::shown);
    EXPECT_FALSE(pane.spinnerShown());
}

TEST_F(EditorPaneTest, StaleAfterPreviewNeverReplacesANewerOne) {
    const Drawing added = addDrawing(photo(3000, 2000), "", CleanupSettings{std::nullopt, false, 0, 0, false, 0});
    model.setSelectedID(added.info.id);
    EditorPane pane(model, added);
    settle();
    QSignalSpy shown(&pane, &EditorPane::afterShown);

    model.setFlatten(added.info.id, true);  // the slower render, superseded at once
    model.rotateRight(added.info.id);
    settle();

    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(pane.afterView()->image(), fromFile(added.info.id));
}

TEST_F(EditorPaneTest, QuickSelectionChangesEndOnTheLastDrawingsImages) {
    const Drawing first = addDrawing(photo(1600, 1200, Qt::red));
    const Drawing second = addDrawing(photo(1200, 1600, Qt::blue));
    model.setSelectedID(first.info.id);
    EditorPane pane(model, first);
    model.setSelectedID(second.info.id);
    settle();
    EXPECT_EQ(pane.afterView()->image(), fromFile(second.info.id));
    EXPECT_EQ(pane.cropView()->imageRect().width() < pane.cropView()->imageRect().height(), true);
}

TEST_F(EditorPaneTest, AfterViewShowsLoadingUntilTheSelectedDrawingsOwnCleanedPictureArrives) {
    const Drawing first = addDrawing(photo(1600, 1200, Qt::red));
    const Drawing second = addDrawing(photo(1200, 1600, Qt::blue));
    model.setSelectedID(first.info.id);
    EditorPane pane(model, first);
    settle();
    ASSERT_EQ(pane.afterView()->state(), PreviewState::shown);

    model.setSelectedID(second.info.id);
    EXPECT_EQ(pane.afterView()->state(), PreviewState::loading) << "the first drawing's picture stood for it";
    settle();
    EXPECT_EQ(pane.afterView()->image(), fromFile(second.info.id));

    // Just added: the model is still looking for the paper, so the whole photo is not its cleaned picture.
    Drawing added = addDrawing(photo(1600, 1200, Qt::green));
    added.busy = true;
    model.setDrawings({model.drawings()[0], model.drawings()[1], added});
    model.setSelectedID(added.info.id);
    settle();
    EXPECT_EQ(pane.afterView()->state(), PreviewState::loading) << "the uncropped photo was shown";
    EXPECT_TRUE(pane.spinnerShown());
    added.busy = false;
    added.info.cleanup.crop = Quad{{0.1, 0.9}, {0.9, 0.9}, {0.9, 0.1}, {0.1, 0.1}};
    model.setDrawings({model.drawings()[0], model.drawings()[1], added});
    settle();
    EXPECT_EQ(pane.afterView()->state(), PreviewState::shown);
    EXPECT_EQ(pane.afterView()->image(), fromFile(added.info.id));
}

TEST_F(EditorPaneTest, StepToTheNextDrawingShowsItsOwnPhotoDecodedAheadAndKeepsAtMostThree) {
    for (const auto colour : {Qt::red, Qt::green, Qt::blue, Qt::yellow}) addDrawing(photo(1600, 1200, colour));
    model.setSelectedID(model.bookDrawings().front().info.id);
    EditorPane pane(model, *model.selected());
    settle();
    for (int step = 1; step < 4; ++step) {
        SCOPED_TRACE(step);
        const auto book = model.bookDrawings();
        const Drawing& next = book[static_cast<std::size_t>(step)];
        const QImage expected = fromFile(next.info.id);
        // Gone from the disk, the next drawing still shows: its photo was decoded while this one showed.
        QFile::remove(model.originalPath(next));
        model.step(1);
        settle();
        EXPECT_EQ(pane.cropView()->state(), PreviewState::shown);
        EXPECT_EQ(pane.afterView()->image(), expected);
        EXPECT_LE(pane.keptPhotos(), 3u);
    }
}

TEST_F(EditorPaneTest, MissingOriginalShowsTheNoteInsteadOfEndlessSpinners) {
    const Drawing added = addDrawing({}, "Lost");
    model.setSelectedID(added.info.id);
    EditorPane pane(model, added);
    settle();
    EXPECT_EQ(pane.cropView()->state(), PreviewState::unreadable);
    EXPECT_EQ(pane.afterView()->state(), PreviewState::unreadable);
    EXPECT_FALSE(pane.spinnerShown());
    EXPECT_EQ(pane.afterView()->accessibleName(), QStringLiteral("Cleaned drawing: Lost"));
}

// An import selects every drawing it adds; decoding their neighbours ahead would compete with the
// import for the cores.
TEST_F(EditorPaneTest, NoNeighbourLoadsWhileAnImportRuns) {
    for (const auto colour : {Qt::red, Qt::green, Qt::blue}) addDrawing(photo(800, 600, colour));
    model.setSelectedID(model.bookDrawings()[1].info.id);
    model.setImporting(1);
    EditorPane pane(model, *model.selected());
    settle();
    EXPECT_EQ(pane.cropView()->state(), PreviewState::shown);
    EXPECT_EQ(pane.keptPhotos(), 1u);

    model.setImporting(0);
    model.step(1);
    settle();
    EXPECT_EQ(pane.keptPhotos(), 2u) << "the last drawing and its one neighbour";
}

// The Previous and Next buttons drew the icon theme's pale arrows, which read as disabled while they
// worked: enabled, their symbol is drawn in the button text colour at full strength; disabled, in the
// disabled button text colour.
TEST_F(EditorPaneTest, PreviousAndNextDrawAtFullStrengthWhileEnabled) {
    const quillfen::testing::DesktopIcons icons;
    const Drawing added = addDrawing(photo(800, 600));
    model.setSelectedID(added.info.id);
    EditorPane pane(model, added);
    for (const QString name : {QStringLiteral("Previous drawing"), QStringLiteral("Next drawing")}) {
        QToolButton* button = nullptr;
        for (auto* candidate : pane.findChildren<QToolButton*>())
            if (candidate->accessibleName() == name) button = candidate;
        ASSERT_TRUE(button) << name.toStdString();
        for (const auto& [mode, group] : {std::pair{QIcon::Normal, QPalette::Active},
                                          std::pair{QIcon::Disabled, QPalette::Disabled}}) {
            SCOPED_TRACE(::testing::Message() << name.toStdString() << (mode == QIcon::Normal ? " enabled" : " disabled"));
            const QColor strongest = quillfen::testing::strongestPixel(button->icon().pixmap(button->iconSize(), mode));
            EXPECT_EQ(strongest.alpha(), 255);
            EXPECT_EQ(strongest.rgb(), button->palette().color(group, QPalette::ButtonText).rgb())
                << strongest.name().toStdString();
        }
    }
}
