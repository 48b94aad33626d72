#include "ModelFixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

std::vector<UUID> addDrawings(AppModel& model, int count) {
    for (int i = 0; i < count; ++i) model.addImage(jpegBytes(), {});
    std::vector<UUID> ids;
    for (const auto& d : model.drawings()) ids.push_back(d.info.id);
    return ids;
}

bool documentNames(const AppModel& model, const QString& file) {
    QFile document(model.folder() + "/book.json");
    return document.open(QIODevice::ReadOnly) && document.readAll().contains(file.toUtf8());
}

}  // namespace

TEST(LibraryEdits, RemovingADrawingClearsEveryReferenceToIt) {
    AppModel model(false);
    const auto ids = addDrawings(model, 2);
    const UUID gone = ids[0], kept = ids[1];
    editSettings(model, [&](BookSettings& s) { s.coverDrawing = gone; });
    editCalendar(model, [&](CalendarSettings& c) {
        c.pictures = {{0, gone}, {3, gone}, {5, kept}};
        c.coverPicture = gone;
        c.calendarOnly = {gone, kept};
    });

    model.removeDrawing(gone);
    ASSERT_EQ(model.drawings().size(), 1u);
    EXPECT_FALSE(model.settings().coverDrawing);
    EXPECT_EQ(model.calendar().pictures, (std::map<int, UUID>{{5, kept}}));
    EXPECT_FALSE(model.calendar().coverPicture);
    EXPECT_EQ(model.calendar().calendarOnly, std::vector<UUID>{kept});
}

// Each removal names its drawing or child by an id stored in the very records it replaces; the
// records are freed on the way, and every reference after that must still be found.
TEST(LibraryEdits, RemovingByAnIdHeldInTheRemovedRecordsStillClearsEveryReference) {
    struct Case {
        const char* what;
        std::function<void(AppModel&)> remove;
    };
    const Case cases[] = {
        {"drawing named by the drawings", [](AppModel& m) { m.removeDrawing(m.drawings()[0].info.id); }},
        {"drawing named by the calendar", [](AppModel& m) { m.removeDrawing(m.calendar().calendarOnly[0]); }},
        {"child named by the children", [](AppModel& m) { m.removeChild(m.children()[0].id); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        model.setLastChild(model.addChild("Ada"));
        const auto ids = addDrawings(model, 2);
        editSettings(model, [&](BookSettings& s) { s.coverDrawing = ids[0]; });
        editCalendar(model, [&](CalendarSettings& calendar) {
            calendar.calendarOnly = {ids[0]};
            calendar.pictures = {{0, ids[0]}};
            calendar.coverPicture = ids[0];
        });
        model.setSelectedID(ids[0]);
        c.remove(model);
        if (model.children().empty()) {
            EXPECT_FALSE(model.lastChild());
            for (const auto& d : model.drawings()) EXPECT_FALSE(d.info.childID);
            continue;
        }
        EXPECT_FALSE(model.settings().coverDrawing);
        EXPECT_TRUE(model.calendar().calendarOnly.empty());
        EXPECT_TRUE(model.calendar().pictures.empty());
        EXPECT_FALSE(model.calendar().coverPicture);
        EXPECT_EQ(model.selectedID(), ids[1]);
    }
}

TEST(LibraryEdits, RemovingTheSelectedDrawingSelectsItsSuccessorInBookOrder) {
    struct Case { const char* what; int removed; int selected; bool calendarOnly; int expected; };
    const Case cases[] = {
        {"middle", 2, 2, false, 3},
        {"last", 4, 4, false, 3},
        {"not selected", 1, 3, false, 3},
        {"selected calendar picture", 4, 4, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        const auto ids = addDrawings(model, 5);  // book order is import order: dated at import
        if (c.calendarOnly) {
            editCalendar(model, [&](CalendarSettings& calendar) { calendar.calendarOnly = {ids[c.removed]}; });
        }
        model.setSelectedID(ids[c.selected]);
        model.removeDrawing(ids[c.removed]);
        EXPECT_EQ(model.selectedID(), ids[c.expected]);
    }
    AppModel alone(false);
    const auto only = addDrawings(alone, 1);
    alone.removeDrawing(only[0]);
    EXPECT_FALSE(alone.selectedID());
}

TEST(LibraryEdits, RemovingAChildClearsItsArtworkAndLastChild) {
    AppModel model(false);
    const UUID child = model.addChild("Ada");
    addDrawings(model, 3);
    for (const auto& d : model.drawings()) EXPECT_EQ(d.info.childID, child);  // the only child
    model.setLastChild(child);
    const auto revision = model.revision();
    model.removeChild(child);
    for (const auto& d : model.drawings()) EXPECT_FALSE(d.info.childID);
    EXPECT_EQ(model.revision(), revision + 4);
    EXPECT_FALSE(model.lastChild());
    EXPECT_TRUE(model.children().empty());
}

TEST(LibraryEdits, NewBookForgetsTheLastChild) {
    AppModel model(false);
    model.setLastChild(model.addChild("Ada"));
    addDrawings(model, 2);
    model.newBook();
    EXPECT_FALSE(model.lastChild());
    EXPECT_TRUE(model.drawings().empty());
    EXPECT_EQ(model.nextSequence(), 0);
    model.addImage(jpegBytes(), {});
    EXPECT_FALSE(model.drawings().back().info.childID);
}

TEST(LibraryEdits, ARemovalKilledBeforeItsSaveKeepsTheOriginalTheDocumentNames) {
    removeBookFolder();
    AppModel model(true);
    const UUID id = addDrawings(model, 1)[0];
    const Drawing drawing = model.drawings()[0];
    const QString original = model.originalPath(drawing);
    writeFile(model.folder() + "/book.json", "{\"drawings\":[{\"file\":\"" + drawing.file.toUtf8() + "\"}]}");

    EXPECT_EXIT((model.removeDrawing(id), std::raise(SIGKILL)), ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_TRUE(QFile::exists(original));
    EXPECT_TRUE(documentNames(model, drawing.file));
}

TEST(LibraryEdits, RemovedOriginalsGoWithTheFirstSaveAfterAnyRunningExport) {
    removeBookFolder();
    AppModel model(true);
    const UUID id = addDrawings(model, 1)[0];
    const Drawing drawing = model.drawings()[0];
    const QString original = model.originalPath(drawing);
    model.save();
    ASSERT_TRUE(documentNames(model, drawing.file));

    model.setExportProgress(0.5);  // an export may still read it
    model.removeDrawing(id);
    model.exportFinished(false, {});  // the document on disk still names it
    EXPECT_TRUE(QFile::exists(original));
    model.setExportProgress(0.5);
    model.save();
    EXPECT_FALSE(documentNames(model, drawing.file));
    EXPECT_TRUE(QFile::exists(original));
    model.setExportProgress(std::nullopt);
    model.save();
    EXPECT_FALSE(QFile::exists(original));
}

// Two drawings of a document naming one original, by distinct or repeated ids: the file stays while
// either drawing or the saved document names it, also when an export holds the deletions back.
TEST(LibraryEdits, AnOriginalTwoDrawingsShareGoesOnlyWithTheLastOfThem) {
    for (const bool repeatedId : {false, true}) {
        for (const bool duringExport : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "repeated id " << repeatedId << ", during export " << duringExport);
            removeBookFolder();
            {
                AppModel model(true);
                addDrawings(model, 1);
                auto drawings = model.drawings();
                drawings.push_back(drawings[0]);
                if (!repeatedId) drawings[1].info.id = UUID::random();
                model.setDrawings(std::move(drawings));
                model.save();
            }
            AppModel model(true);
            model.load();
            ASSERT_EQ(model.drawings().size(), 2u);
            const QString original = model.originalPath(model.drawings()[0]);
            ASSERT_EQ(model.originalPath(model.drawings()[1]), original);
            const UUID first = model.drawings()[0].info.id, second = model.drawings()[1].info.id;
            if (duringExport) model.setExportProgress(0.5);
            model.removeDrawing(first);
            model.save();
            if (duringExport) {
                model.removeDrawing(second);  // not saved yet: the document on disk still names the file
                model.exportFinished(false, {});
                EXPECT_TRUE(QFile::exists(original));
                model.save();
                EXPECT_FALSE(QFile::exists(original));
                continue;
            }
            EXPECT_TRUE(QFile::exists(original));
            ASSERT_TRUE(processed(model));
            EXPECT_FALSE(model.error());
            model.removeDrawing(second);
            model.save();
            EXPECT_FALSE(QFile::exists(original));
        }
    }
}

// A book folder whose "Originals" is a link to a folder elsewhere, or whose originals are links to
// files elsewhere: starting a new book deletes nothing outside the book folder.
TEST(LibraryEdits, DeletionNeverFollowsALinkOutOfTheBookFolder) {
    for (const bool linkedFolder : {true, false}) {
        SCOPED_TRACE(linkedFolder ? "Originals is a link" : "originals are links");
        removeBookFolder();
        QTemporaryDir outside;
        writeFile(outside.filePath("A.jpeg"), jpegBytes());
        QDir().mkpath(bookFolder());
        if (linkedFolder) {
            ASSERT_TRUE(QFile::link(outside.path(), bookFolder() + "/Originals"));
        } else {
            QDir().mkpath(bookFolder() + "/Originals");
            ASSERT_TRUE(QFile::link(outside.filePath("A.jpeg"), bookFolder() + "/Originals/A.jpeg"));
        }
        AppModel model(true);
        const UUID id = addStored(model, "A.jpeg");
        model.save();
        model.removeDrawing(id);
        model.newBook();
        model.save();
        EXPECT_TRUE(model.drawings().empty());
        EXPECT_EQ(readFile(outside.filePath("A.jpeg")), jpegBytes());
    }
}
