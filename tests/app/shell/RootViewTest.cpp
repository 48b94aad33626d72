#include "app/shell/RootView.h"

#include "app/shell/EmptyState.h"
#include "app/shell/MainToolbar.h"
#include "app/shell/Presentations.h"
#include "app/shell/ShellDialogs.h"
#include "app/shell/StatusAnnouncer.h"
#include "tests/app/AppFixtures.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

using namespace quillfen;
using quillfen::testing::drawing;
using quillfen::testing::editCalendar;
using quillfen::testing::editSettings;
using quillfen::testing::settle;

namespace {

QString name(const QWidget* widget) { return widget ? widget->objectName() : QStringLiteral("none"); }

// Drags data over the window and drops it, as the platform does; true when the drop was taken.
bool drop(QWidget& window, const QMimeData& data) {
    const QPoint centre = window.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent dropped(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &dropped);
    return enter.isAccepted() && dropped.isAccepted();
}

}  // namespace

TEST(RootView, RoutesEachModeAndSelectionToItsScreens) {
    AppModel model(false);
    RootView window(model);
    const auto a = drawing(0);
    const auto calendarPhoto = drawing(1);
    struct Case {
        const char* what;
        bool library;
        int importing;
        ViewMode mode;
        std::optional<UUID> selected;
        const char* detail;
        const char* inspector;
    };
    const Case cases[] = {
        {"empty library", false, 0, ViewMode::drawing, std::nullopt, "emptyState", "none"},
        {"empty library while importing", false, 1, ViewMode::drawing, std::nullopt, "bookPreview", "none"},
        {"drawing mode without selection", true, 0, ViewMode::drawing, std::nullopt, "bookPreview", "bookInspector"},
        {"drawing mode with selection", true, 0, ViewMode::drawing, a.info.id, "drawingEditor", "drawingInspector"},
        {"calendar photo selected", true, 0, ViewMode::drawing, calendarPhoto.info.id, "drawingEditor",
         "drawingInspector"},
        {"book mode keeps the selection aside", true, 0, ViewMode::book, a.info.id, "bookPreview", "bookInspector"},
        {"calendar mode", true, 0, ViewMode::calendar, a.info.id, "calendarPreview", "calendarInspector"},
        {"empty again", false, 0, ViewMode::calendar, std::nullopt, "emptyState", "none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        model.setDrawings(c.library ? std::vector<Drawing>{a, calendarPhoto} : std::vector<Drawing>{});
        editCalendar(model, [&](CalendarSettings& cal) { cal.calendarOnly = {calendarPhoto.info.id}; });
        model.setImporting(c.importing);
        model.setMode(c.mode);
        model.setSelectedID(c.selected);
        settle();
        EXPECT_EQ(name(window.detail()), c.detail);
        EXPECT_EQ(name(window.inspector()), c.inspector);
    }
    model.setDrawings({a, calendarPhoto});
    model.setMode(ViewMode::drawing);
    model.setSelectedID(a.info.id);
    settle();
    const QWidget* editor = window.detail();
    model.setSelectedID(calendarPhoto.info.id);
    settle();
    EXPECT_EQ(window.detail(), editor);  // the editor keeps its own state as the selection moves
}

TEST(RootView, TitleNamesTheBookAndCountsDrawingsAndPages) {
    AppModel model(false);
    RootView window(model);
    window.show();
    struct Case { std::string title; int drawings; QString expected; };
    const Case cases[] = {
        {"", 0, "Quillfen"},
        {"Our Art", 1, "Our Art — 1 drawing · %1 pages"},
        {"Our Art", 2, "Our Art — 2 drawings · %1 pages"},
        {"  ", 0, "  "},                // spaces stay a title
        {"A [*] B", 0, "A [*] B"},      // not taken for Qt's modified marker
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title + " / " + std::to_string(c.drawings));
        editSettings(model, [&](BookSettings& s) { s.title = c.title; });
        model.setDrawings(quillfen::testing::drawings(c.drawings));
        settle();
        const auto pages = QString::number(model.layout().pages.size());
        EXPECT_EQ(window.windowHandle()->title(), QString(c.expected).replace("%1", pages));
    }
}

TEST(RootView, DragHoverLightsTheEmptyStateFrameUntilItLeaves) {
    AppModel model(false);
    RootView window(model);
    window.show();
    settle();
    auto* empty = qobject_cast<EmptyState*>(window.detail());
    ASSERT_TRUE(empty);
    const QColor resting = empty->frameColor();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.png"))});
    QDragEnterEvent enter(QPoint(600, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(empty->frameColor(), window.palette().color(QPalette::Highlight));
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_EQ(empty->frameColor(), resting);
}

TEST(RootView, ErrorAlertShowsTheMessageAsPlainTextAndClosingClearsTheError) {
    AppModel model(false);
    RootView window(model);
    window.show();
    model.setError(QStringLiteral("<b>drawing.heic</b> couldn't be read."));
    settle();
    auto* alert = window.presentations()->errorAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->text(), "Something went wrong");
    auto* message = alert->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_EQ(message->text(), "<b>drawing.heic</b> couldn't be read.");

    model.setError(QStringLiteral("A newer message"));  // replaces the one shown
    settle();
    EXPECT_EQ(window.presentations()->errorAlert(), alert);
    EXPECT_EQ(message->text(), "A newer message");

    alert->button(QMessageBox::Ok)->click();
    settle();
    EXPECT_FALSE(model.error().has_value());
    EXPECT_FALSE(window.presentations()->errorAlert());
}

TEST(RootView, ConfirmationsChangeNothingUntilConfirmed) {
    AppModel model(false);
    RootView window(model);
    window.show();
    const auto a = drawing(0);
    model.setDrawings({a});

    model.setRemoveConfirm(a.info.id);
    model.setNewBookConfirm(true);
    settle();
    auto* remove = window.presentations()->removeConfirmation();
    auto* newBook = window.presentations()->newBookConfirmation();
    ASSERT_TRUE(remove && newBook);

    remove->button(QMessageBox::Cancel)->click();
    newBook->button(QMessageBox::Cancel)->click();
    settle();
    EXPECT_FALSE(model.removeConfirm().has_value());
    EXPECT_FALSE(model.newBookConfirm());
    EXPECT_EQ(model.drawings().size(), 1u);
    EXPECT_FALSE(window.presentations()->removeConfirmation());

    model.setRemoveConfirm(a.info.id);  // lowered from elsewhere: the dialog goes, nothing is removed
    settle();
    ASSERT_TRUE(window.presentations()->removeConfirmation());
    model.setRemoveConfirm(std::nullopt);
    settle();
    EXPECT_FALSE(window.presentations()->removeConfirmation());
    EXPECT_EQ(model.drawings().size(), 1u);

    model.setRemoveConfirm(a.info.id);
    settle();
    window.presentations()->removeConfirmation()->findChild<QAbstractButton*>("destructive")->click();
    settle();
    EXPECT_TRUE(model.drawings().empty());
    EXPECT_FALSE(model.removeConfirm().has_value());

    editSettings(model, [](BookSettings& s) { s.title = "Grandma's book"; });
    model.setNewBookConfirm(true);
    settle();
    window.presentations()->newBookConfirmation()->findChild<QAbstractButton*>("destructive")->click();
    settle();
    EXPECT_EQ(model.settings(), BookSettings());
    EXPECT_FALSE(model.newBookConfirm());
}

TEST(RootView, DropTakesLocalFilesImageBytesAndPlainImagesAndRefusesText) {
    AppModel model(false);
    RootView window(model);
    window.show();
    QTemporaryDir folder;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (const auto* file : {"one.png", "two.png"}) ASSERT_TRUE(picture.save(folder.filePath(file)));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(folder.filePath("one.png")), QUrl("https://example.com/b.jpg"),
                   QUrl::fromLocalFile(folder.filePath("two.png"))});
    EXPECT_TRUE(drop(window, files));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    QMimeData bytes;
    bytes.setData(QStringLiteral("image/png"), png);
    EXPECT_TRUE(drop(window, bytes));
    QMimeData plainImage;  // an application's image without a file type: handed on as PNG
    plainImage.setImageData(picture);
    EXPECT_TRUE(drop(window, plainImage));
    QMimeData text;
    text.setText(QStringLiteral("not a picture"));
    EXPECT_FALSE(drop(window, text));

    EXPECT_TRUE(QTest::qWaitFor([&] { return model.drawings().size() == 4 && model.importing() == 0; }, 10000));
    EXPECT_EQ(model.drawings().size(), 4u);
    EXPECT_FALSE(model.error().has_value());
}

TEST(RootView, SheetsAndThePhotoDialogOpenWithTheirFlagAndLowerItWhenClosed) {
    AppModel model(false);
    RootView window(model);
    window.show();
    model.setChildrenShown(true);
    model.setExportShown(true);
    model.setPhotosPickerShown(true);
    settle();
    auto* children = window.presentations()->childrenSheet();
    auto* photos = window.presentations()->photoDialog();
    ASSERT_TRUE(children && photos && window.presentations()->exportSheet());
    EXPECT_EQ(children->windowModality(), Qt::WindowModal);
    children->reject();
    photos->reject();  // cancelled: the flag falls, nothing is imported
    settle();
    EXPECT_FALSE(model.childrenShown());
    EXPECT_FALSE(model.photosPickerShown());
    EXPECT_EQ(model.importing(), 0);
    EXPECT_TRUE(model.exportShown());
    model.setExportShown(false);
    settle();
    EXPECT_FALSE(window.presentations()->exportSheet());
}

TEST(RootView, ToolbarFollowsTheLibraryAndTheMode) {
    AppModel model(false);
    RootView window(model);
    auto* toolbar = window.toolbar();
    EXPECT_FALSE(toolbar->modePicker()->isEnabled());
    EXPECT_FALSE(toolbar->exportButton()->isEnabled());
    EXPECT_TRUE(toolbar->addButton()->isEnabled());

    model.setDrawings({drawing(0), drawing(1)});
    model.setImporting(2);
    EXPECT_TRUE(toolbar->modePicker()->isEnabled());
    EXPECT_TRUE(toolbar->exportButton()->isEnabled());
    EXPECT_TRUE(toolbar->progress()->isVisible());

    QSignalSpy modes(&model, &AppModel::modeChanged);
    toolbar->modeButton(ViewMode::drawing)->click();  // the current mode: nobody is told
    EXPECT_EQ(modes.count(), 0);
    toolbar->modeButton(ViewMode::calendar)->click();  // through showCalendar: the months get pictures
    EXPECT_EQ(model.mode(), ViewMode::calendar);
    EXPECT_FALSE(model.calendar().pictures.empty());

    model.setImporting(0);
    EXPECT_FALSE(toolbar->progress()->isVisible());
    model.announce(QStringLiteral("Export finished"));  // read out through the status label
    EXPECT_EQ(window.statusAnnouncer()->accessibleName(), "Export finished");
}
