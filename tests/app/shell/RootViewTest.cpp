#include "app/shell/RootView.h"

#include "app/shell/Presentations.h"
#include "app/shell/ShellDialogs.h"
#include "tests/app/AppFixtures.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QBuffer>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

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

TEST(RootView, EitherPickerClosedWithoutPhotosEndsTheCalendarRequest) {
    // Rejects the first picker that opens: the photo dialog opens window-modal, the file dialog runs its own loop.
    const auto rejectTheOpenDialog = [](RootView& window) {
        QTimer::singleShot(0, &window, [&window] {
            if (auto* dialog = window.findChild<QFileDialog*>()) dialog->reject();
        });
    };
    struct Case { const char* what; std::function<void(AppModel&, RootView&)> open; };
    const Case cases[] = {
        {"photo dialog cancelled",
         [&](AppModel& m, RootView& w) {
             m.setPhotosPickerShown(true);
             settle();
             rejectTheOpenDialog(w);
         }},
        {"photo dialog closed from elsewhere",
         [](AppModel& m, RootView&) {
             m.setPhotosPickerShown(true);
             settle();
             m.setPhotosPickerShown(false);
         }},
        {"file dialog cancelled",
         [&](AppModel& m, RootView& w) {
             rejectTheOpenDialog(w);
             m.chooseFiles();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppModel model(false);
        RootView window(model);
        window.show();
        model.setImportForCalendar(true);
        c.open(model, window);
        settle();
        EXPECT_FALSE(window.findChild<QFileDialog*>());
        EXPECT_FALSE(model.photosPickerShown());
        EXPECT_FALSE(model.importForCalendar()) << "the next book import would add calendar pictures";
        EXPECT_FALSE(model.error().has_value());
    }
}

TEST(RootView, PhotoDialogOpensOnPicturesOrCleanlyOnTheHomeFolder) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    for (const bool hasPictures : {false, true}) {
        SCOPED_TRACE(hasPictures ? "with a Pictures folder" : "without one");
        if (hasPictures) {
            ASSERT_TRUE(QDir(home.path()).mkdir("Pictures"));
        }
        std::unique_ptr<QFileDialog> dialog(makePhotoDialog(nullptr));
        const QString expected = hasPictures ? home.filePath("Pictures") : home.path();
        EXPECT_EQ(QFileInfo(dialog->directory().absolutePath()).canonicalFilePath(),
                  QFileInfo(expected).canonicalFilePath());
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(name);
        EXPECT_EQ(name->text(), "") << "no missing folder typed in as a file to open";
    }
    qputenv("HOME", oldHome);
}

TEST(RootView, TheContentKeepsItsLeastSizeBelowTheMenusAndToolbar) {
    AppModel model(false);
    RootView window(model);
    window.menuBar()->addMenu("File");
    window.show();
    window.resize(1, 1);  // as small as the window lets itself be made
    settle();
    EXPECT_GE(window.centralWidget()->width(), 1080);
    EXPECT_GE(window.centralWidget()->height(), 680);
    EXPECT_GT(window.height(), window.centralWidget()->height()) << "menus and toolbar come on top";
}

namespace {

// Widgets that a layout places side by side but that overlap each other or reach outside the widget
// holding them, one line per fault; what scrolls inside a scroll area is left out.
QStringList crowded(const QWidget& root) {
    QStringList faults;
    const auto label = [](const QWidget* w) {
        return QString("%1 %2").arg(w->metaObject()->className(), w->objectName());
    };
    std::function<void(const QWidget&)> visit = [&](const QWidget& holder) {
        QList<const QWidget*> placed;
        for (const QWidget* child : holder.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow() || !child->isVisible() || !child->testAttribute(Qt::WA_LaidOut)) continue;
            if (!holder.rect().contains(child->geometry()))
                faults << label(child) + " is cut off in " + label(&holder);
            for (const QWidget* other : placed)
                if (child->geometry().intersects(other->geometry())) faults << label(child) + " overlaps " + label(other);
            placed << child;
            if (!qobject_cast<const QAbstractScrollArea*>(child)) visit(*child);
        }
    };
    visit(root);
    return faults;
}

}  // namespace

TEST(RootView, NothingOverlapsOrIsCutOffAtTheLeastSizeInAnyMode) {
    AppModel model(false);
    RootView window(model);
    window.show();
    window.resize(1, 1);
    const auto all = quillfen::testing::drawings(4);
    struct Case { const char* what; bool library; ViewMode mode; bool selected; };
    const Case cases[] = {
        {"empty state", false, ViewMode::drawing, false},
        {"drawing editor", true, ViewMode::drawing, true},
        {"book", true, ViewMode::book, false},
        {"calendar", true, ViewMode::calendar, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        model.setDrawings(c.library ? all : std::vector<Drawing>{});
        model.setMode(c.mode);
        model.setSelectedID(c.selected ? std::optional(all[0].info.id) : std::nullopt);
        settle();
        QTest::qWait(50);
        EXPECT_EQ(window.centralWidget()->size(), QSize(1080, 680));
        const QStringList faults = crowded(*window.centralWidget());
        EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
    }
}

// The alert carries the failure's count and reason under its message; a save that fails at quit is
// shown before the program ends, saying the latest edits are lost.
TEST(RootView, ErrorAlertShowsTheDetailAndAFailedSaveAtQuit) {
    AppModel model(true);
    RootView window(model);
    window.show();
    model.setError(QStringLiteral("Couldn't write the PDF."), QStringLiteral("No space left on device"));
    settle();
    auto* message = window.presentations()->errorAlert()->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text(), "Couldn't write the PDF.\n\nNo space left on device");
    window.presentations()->errorAlert()->button(QMessageBox::Ok)->click();
    settle();

    QDir().mkpath(model.folder() + "/book.json/taken");  // no document can be written there
    editSettings(model, [](BookSettings& s) { s.title = "Not on disk"; });
    QString shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* alert = window.presentations()->errorAlert();
        if (!alert || !alert->isVisible()) return;
        shown = alert->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))->text();
        alert->button(QMessageBox::Ok)->click();
    });
    answer.start(20);
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_TRUE(shown.startsWith("Couldn't save the book: ")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("are lost")) << shown.toStdString();
    QDir(model.folder() + "/book.json").removeRecursively();
}
