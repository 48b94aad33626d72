#include "app/book/BookInspector.h"
#include "app/book/BookPages.h"
#include "app/book/BookPreview.h"
#include "app/calendar/CalendarDates.h"
#include "app/calendar/CalendarInspector.h"
#include "app/editor/AfterView.h"
#include "app/editor/CropView.h"
#include "app/editor/DrawingInspector.h"
#include "app/editor/EditorPane.h"
#include "app/editor/PreviewRender.h"
#include "app/shell/RootView.h"
#include "app/widgets/BookCover.h"
#include "tests/app/AppFixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

// The main window over a model without persistence, shown, with its screens as it keeps them.
struct Window {
    Window() {
        view.resize(1400, 900);
        view.show();
    }
    EditorPane* editor() const { return qobject_cast<EditorPane*>(view.detail()); }
    DrawingInspector* drawingInspector() const { return qobject_cast<DrawingInspector*>(view.inspector()); }
    // Runs the loop until the editor's pictures are those of the selected drawing, or fails after 20 s.
    void waitForPictures() {
        const bool loaded = QTest::qWaitFor(
            [&] {
                settle();
                return editor() && editor()->afterView()->state() != PreviewState::loading &&
                       editor()->cropView()->state() != PreviewState::loading;
            },
            20000);
        EXPECT_TRUE(loaded) << "the editor's pictures were still loading";
    }

    AppModel model{false};
    RootView view{model};
};

// A photo of a sheet on a table whose ink differs with `seed`, as a JPEG file in `folder`.
QUrl photoFile(const QTemporaryDir& folder, int seed) {
    const QString path = folder.filePath(QStringLiteral("IMG_%1.jpg").arg(seed));
    writeFile(path, jpegOf(shaded(480, 360, [seed](double x, double y) {
                  const bool sheet = x > 0.15 && x < 0.85 && y > 0.15 && y < 0.85;
                  const bool ink = sheet && std::abs(x - y - 0.05 * seed) < 0.04;
                  return std::uint8_t(ink ? 30 + 10 * seed : sheet ? 235 : 70);
              })));
    return QUrl::fromLocalFile(path);
}

// The cleaned picture of the drawing rendered straight from its original file.
QImage afterFromFile(const AppModel& model, const Drawing& drawing) {
    const auto photo = PreviewRender::loadPhoto(model.originalPath(drawing));
    return photo ? PreviewRender::renderAfter(*photo->working, drawing.info.cleanup) : QImage();
}

bool anyBusy(const AppModel& model) {
    return std::any_of(model.drawings().begin(), model.drawings().end(),
                       [](const Drawing& d) { return d.busy; });
}

// Titles every drawing "Drawing <sequence>", so that each screen says which one it shows.
void nameAll(AppModel& model) {
    for (const Drawing& d : std::vector<Drawing>(model.drawings())) {
        model.update(d.info.id,
                     [](DrawingInfo& info) { info.title = "Drawing " + std::to_string(info.sequence); });
    }
}

// What the editor and the inspector show is the selected drawing, with its own pictures.
void expectShowsSelected(Window& window) {
    const auto selected = window.model.selected();
    ASSERT_TRUE(selected && window.editor() && window.drawingInspector());
    window.waitForPictures();
    const QString title = QString::fromStdString(selected->info.title);
    EXPECT_EQ(window.drawingInspector()->titleField()->text(), title);
    EXPECT_EQ(window.editor()->afterView()->accessibleName(), QStringLiteral("Cleaned drawing: ") + title);
    EXPECT_EQ(window.editor()->cropView()->state(), PreviewState::shown);
    EXPECT_EQ(window.editor()->afterView()->image(), afterFromFile(window.model, *selected));
}

}  // namespace

// The parent switches between the book and a drawing while an import adds and processes photos: the
// screens are built once, the editor set aside holds no decoded photo, and each screen brought back
// shows what changed while it was away.
TEST(KeptScreens, SwitchingBookAndDrawingDuringAnImportShowsTheModelAsItIsNow) {
    Window window;
    QTemporaryDir folder;
    QList<QUrl> photos;
    for (int seed = 0; seed < 10; ++seed) photos << photoFile(folder, seed);
    window.model.importURLs(photos);
    window.model.setMode(ViewMode::drawing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.model.selected().has_value(); }, 20000));
    settle();
    const QPointer<QWidget> editor = window.view.detail();
    const QPointer<QWidget> drawingInspector = window.view.inspector();
    window.model.setMode(ViewMode::book);
    settle();
    const QPointer<QWidget> book = window.view.detail();
    const QPointer<QWidget> bookInspector = window.view.inspector();
    ASSERT_EQ(editor->objectName(), "drawingEditor");
    ASSERT_EQ(book->objectName(), "bookPreview");

    int switches = 0;
    while ((window.model.importing() > 0 || anyBusy(window.model) || switches < 4) && switches < 4000) {
        window.model.setMode(switches % 2 ? ViewMode::book : ViewMode::drawing);
        settle();
        QTest::qWait(15);
        if (switches % 2) {
            ASSERT_EQ(window.view.detail(), book.data());
            ASSERT_EQ(window.view.inspector(), bookInspector.data());
            EXPECT_EQ(qobject_cast<EditorPane*>(editor.data())->keptPhotos(), 0u);
        } else {
            ASSERT_EQ(window.view.detail(), editor.data());
            ASSERT_EQ(window.view.inspector(), drawingInspector.data());
        }
        ++switches;
    }
    ASSERT_EQ(window.model.drawings().size(), 10u);

    window.model.setMode(ViewMode::drawing);
    settle();
    nameAll(window.model);  // while the book's screens are set aside
    window.model.removeDrawing(window.model.bookDrawings()[0].info.id);
    window.model.setMode(ViewMode::book);
    settle();
    const auto& preview = *qobject_cast<BookPreview*>(book.data());
    EXPECT_EQ(preview.summary(),
              BookPages::pageCountSummary(window.model.layout(), window.model.settings().preset));
    const QComboBox& covers = qobject_cast<BookInspector*>(bookInspector.data())->coverDrawing();
    ASSERT_EQ(covers.count(), 9);
    EXPECT_EQ(covers.itemText(8), BookCover::choiceLabel(window.model.bookDrawings()[8]));

    window.model.setSelectedID(window.model.bookDrawings()[3].info.id);  // chosen while the book shows
    window.model.setMode(ViewMode::drawing);
    settle();
    expectShowsSelected(window);
}

// A drawing removed while the editor and its inspector are set aside never shows when they come back.
TEST(KeptScreens, ADrawingRemovedWhileItsScreensAreSetAsideIsNotShownAgain) {
    Window window;
    QTemporaryDir folder;
    window.model.importURLs({photoFile(folder, 1), photoFile(folder, 4), photoFile(folder, 7)});
    ASSERT_TRUE(importsFinished(window.model) && processed(window.model));
    nameAll(window.model);
    const auto book = window.model.bookDrawings();
    window.model.setSelectedID(book[1].info.id);
    window.model.setMode(ViewMode::drawing);
    settle();
    expectShowsSelected(window);

    window.model.setMode(ViewMode::book);
    settle();
    window.model.removeDrawing(book[1].info.id);
    settle();
    ASSERT_TRUE(window.model.selected());
    ASSERT_NE(window.model.selected()->info.id, book[1].info.id);
    window.model.setMode(ViewMode::drawing);
    settle();
    expectShowsSelected(window);

    window.model.setMode(ViewMode::book);
    settle();
    for (const Drawing& d : book) window.model.removeDrawing(d.info.id);
    window.model.importURLs({photoFile(folder, 2)});
    ASSERT_TRUE(importsFinished(window.model) && processed(window.model));
    nameAll(window.model);
    window.model.setMode(ViewMode::drawing);
    settle();
    expectShowsSelected(window);
}

// Kept screens keep their widgets, not what the user half typed into an inspector's form: the calendar's
// new event and the drawing's new child start afresh each time their inspector is shown again.
TEST(KeptScreens, InspectorsShownAgainStartWithANewForm) {
    Window window;
    window.model.setDrawings(drawings(2));
    window.model.setSelectedID(window.model.drawings().front().info.id);
    window.model.setMode(ViewMode::calendar);
    settle();
    auto* calendar = qobject_cast<CalendarInspector*>(window.view.inspector());
    ASSERT_TRUE(calendar);
    CalendarDates& dates = calendar->dates();
    QTest::keyClicks(&dates.newTitleEdit(), "Grandma");
    dates.newDateEdit().setDate(QDate::currentDate().addDays(-40));
    dates.yearlyBox().setChecked(false);

    window.model.setMode(ViewMode::drawing);
    settle();
    auto* inspector = window.drawingInspector();
    ASSERT_TRUE(inspector);
    QPushButton* addChild = nullptr;
    for (auto* button : inspector->findChildren<QPushButton*>())
        if (button->text() == "Add a Child…") addChild = button;
    ASSERT_TRUE(addChild);
    addChild->click();
    QWidget* row = inspector->addButton()->window();
    auto* name = row->findChild<QLineEdit*>();
    ASSERT_TRUE(row->isVisible() && name);
    QTest::keyClicks(name, "Maya");

    window.model.setMode(ViewMode::calendar);
    settle();
    ASSERT_EQ(window.view.inspector(), calendar);
    EXPECT_EQ(dates.newTitleEdit().text(), "");
    EXPECT_EQ(dates.newDateEdit().date(), QDate::currentDate());
    EXPECT_TRUE(dates.yearlyBox().isChecked());
    EXPECT_FALSE(row->isVisible()) << "the add-child row stays open over another inspector";

    window.model.setMode(ViewMode::drawing);
    settle();
    ASSERT_EQ(window.view.inspector(), inspector);
    EXPECT_FALSE(row->isVisible());
    EXPECT_EQ(name->text(), "");
    EXPECT_TRUE(window.model.children().empty());
}
