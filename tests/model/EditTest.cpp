#include "ModelFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

const Quad handCrop{{0.1, 0.9}, {0.9, 0.9}, {0.9, 0.1}, {0.1, 0.1}};

// A model with one drawing whose original is `image`, selected; added as a calendar picture so that
// no paper search of the import's own runs.
UUID addDrawing(AppModel& model, const QByteArray& image = jpegBytes()) {
    ImageOptions options;
    options.forCalendar = true;
    model.addImage(image, options);
    return model.drawings().back().info.id;
}

const CleanupSettings& cleanupOf(const AppModel& model) { return model.drawings().back().info.cleanup; }

}  // namespace

TEST(Edits, NamedEditsChangeExactlyTheirFields) {
    const CleanupSettings reset{std::nullopt, false, 0, 0, true, 0.6};
    CleanupSettings autoCropped = reset;
    autoCropped.crop = handCrop;
    autoCropped.autoCropped = true;
    struct Case {
        const char* what;
        CleanupSettings start;
        std::function<void(AppModel&, const UUID&)> edit;
        CleanupSettings expected;
    };
    const Case cases[] = {
        {"right from 3 wraps to 0", {std::nullopt, false, 3, 0, false, 0},
         [](AppModel& m, const UUID& id) { m.rotateRight(id); }, {std::nullopt, false, 0, 0, false, 0}},
        {"left from 0 wraps to 3", {}, [](AppModel& m, const UUID& id) { m.rotateLeft(id); },
         {std::nullopt, false, 3, 0, false, 0}},
        {"reset keeps an automatic crop", {handCrop, true, 2, 4.5, false, 0},
         [](AppModel& m, const UUID& id) { m.resetCleanup(id); }, autoCropped},
        {"reset drops a hand crop", {handCrop, false, 1, -3, false, 1},
         [](AppModel& m, const UUID& id) { m.resetCleanup(id); }, reset},
        {"whole photo drops crop and flag", {handCrop, true, 1, 0, true, 0.6},
         [](AppModel& m, const UUID& id) { m.useWholePhoto(id); }, {std::nullopt, false, 1, 0, true, 0.6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        const UUID id = addDrawing(model);
        model.update(id, [&](DrawingInfo& info) { info.cleanup = c.start; });
        const auto revision = model.revision();
        c.edit(model, id);
        EXPECT_EQ(cleanupOf(model), c.expected);
        EXPECT_EQ(model.revision(), revision + 1);
    }
}

TEST(Edits, EditsWithNumbersThatCannotBeSavedAreRefusedWhole) {
    AppModel model(false);
    const UUID id = addDrawing(model);
    const CleanupSettings before = cleanupOf(model);
    const auto revision = model.revision();
    for (const double bad : {std::nan(""), HUGE_VAL}) {
        model.update(id, [&](DrawingInfo& info) {
            info.title = "changed";
            info.cleanup.straighten = bad;
        });
        model.setCrop(id, Quad{{bad, 1}, {1, 1}, {1, 0}, {0, 0}}, false);
    }
    EXPECT_EQ(cleanupOf(model), before);
    EXPECT_EQ(model.drawings().back().info.title, "");
    EXPECT_EQ(model.revision(), revision);
}

TEST(Edits, EveryEditOfADrawingWithAnArtistMakesItTheLastChild) {
    AppModel model(false);
    const UUID first = model.addChild("Ada"), second = model.addChild("Bo");
    const UUID drawn = addDrawing(model), anonymous = addDrawing(model);
    model.update(drawn, [&](DrawingInfo& info) { info.childID = first; });
    model.setLastChild(second);

    model.update(drawn, [](DrawingInfo& info) { info.title = "Sun"; });  // not a change of artist
    EXPECT_EQ(model.lastChild(), first);
    model.setLastChild(second);
    model.rotateRight(anonymous);  // no artist: left alone
    EXPECT_EQ(model.lastChild(), second);

    const auto revision = model.revision();
    model.rotateRight(UUID::random());  // no such drawing
    EXPECT_EQ(model.revision(), revision);
}

TEST(Edits, PaperSearchAppliesAFoundSheetOrExplainsWhyNot) {
    const QByteArray onTable = sheetOnTable();
    const QByteArray flatbedScan = jpegOf(shaded(320, 240, [](double x, double) {
        return std::abs(x - 0.5) < 0.01 ? 30 : 245;  // one pencil line on white paper
    }));
    struct Case { const char* what; QByteArray image; bool found; };
    const Case cases[] = {{"sheet on a table", onTable, true}, {"flatbed scan", flatbedScan, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        const UUID id = addDrawing(model, c.image);
        model.setCrop(id, handCrop, false);
        model.findPaperEdgesAgain();
        ASSERT_TRUE(QTest::qWaitFor([&] { return model.error() || cleanupOf(model).autoCropped; }, 20000));
        if (c.found) {
            EXPECT_FALSE(model.error());
            EXPECT_NEAR(cleanupOf(model).crop->topLeft.x, 0.2, 0.03);
            EXPECT_NEAR(cleanupOf(model).crop->bottomRight.y, 0.2, 0.03);
        } else {
            EXPECT_EQ(model.error(), QString("Couldn't find the paper's edges in this photo. Drag the corners "
                                             "by hand, or use the whole photo (best for flatbed scans)."));
            EXPECT_EQ(cleanupOf(model).crop, handCrop);
            EXPECT_FALSE(cleanupOf(model).autoCropped);
        }
    }
}

// The edits come before the import's own search for the sheet has returned.
TEST(Edits, AnEarlyEditKeepsThePaperSearchOfTheImportUnlessItSetsTheCrop) {
    struct Case { const char* what; std::function<void(AppModel&, const UUID&)> edit; bool searched; int turns; };
    const Case cases[] = {
        {"rotated", [](AppModel& m, const UUID& id) { m.rotateRight(id); }, true, 1},
        {"rotated twice and whitened", [](AppModel& m, const UUID& id) {
             m.rotateRight(id);
             m.rotateRight(id);
             m.update(id, [](DrawingInfo& info) { info.cleanup.whiten = 0.2; });
         }, true, 2},
        {"cropped by hand", [](AppModel& m, const UUID& id) { m.setCrop(id, handCrop, false); }, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        model.addImage(sheetOnTable(), {});
        const UUID id = model.drawings().back().info.id;
        c.edit(model, id);
        ASSERT_TRUE(processed(model));
        EXPECT_EQ(cleanupOf(model).quarterTurns, c.turns);
        EXPECT_EQ(cleanupOf(model).autoCropped, c.searched);
        ASSERT_TRUE(cleanupOf(model).crop);
        if (c.searched) EXPECT_NEAR(cleanupOf(model).crop->topLeft.x, 0.2, 0.03);
        else EXPECT_EQ(cleanupOf(model).crop, handCrop);
    }
}

// Edits find their drawing by id whatever happened to the drawings since: appended by imports,
// replaced in another order, or a drawing taken out.
TEST(Edits, EditsReachTheirDrawingAfterAppendsReordersAndRemovals) {
    AppModel model(false);
    const auto retitle = [&](const UUID& id, const char* title) {
        model.update(id, [&](DrawingInfo& info) { info.title = title; });
        EXPECT_EQ(drawingOf(model, id).info.title, title);
    };
    for (int i = 0; i < 3; ++i) model.addImage(jpegBytes(), {});
    const UUID first = model.drawings()[0].info.id, last = model.drawings()[2].info.id;
    retitle(last, "last");
    auto reversed = model.drawings();
    std::reverse(reversed.begin(), reversed.end());
    model.setDrawings(std::move(reversed));
    retitle(first, "first");
    EXPECT_EQ(model.drawings()[2].info.title, "first");
    model.addImage(jpegBytes(), {});
    retitle(model.drawings().back().info.id, "added");
    model.removeDrawing(last);
    retitle(first, "first again");
    model.update(last, [](DrawingInfo& info) { info.title = "gone"; });
    EXPECT_EQ(std::count_if(model.drawings().begin(), model.drawings().end(),
                            [](const Drawing& d) { return d.info.title == "gone"; }), 0);
}
