#include "app/book/BookInspector.h"
#include "app/book/InchField.h"
#include "app/book/PrintSpecSection.h"
#include "app/book/Stepper.h"
#include "app/calendar/CalendarDates.h"
#include "app/calendar/CalendarInspector.h"
#include "app/editor/CleanupBar.h"
#include "app/editor/CropView.h"
#include "app/shell/Presentations.h"
#include "tests/e2e/AppDriver.h"

#include <QDragEnterEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

class ParentJourney : public ::testing::Test {
protected:
    ParentJourney() { qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8()); }

    // Drops the folder on the main window as a file manager does.
    static void dropFolder(RootView& window, const QString& folder) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(folder)});
        const QPoint at = window.rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
    }

    // Selects the drawing in the sidebar's list with a click on its row.
    static void clickDrawing(App& app, const UUID& id) {
        auto* list = named<QListView>(&app.window, QObject::tr("Drawings"));
        ASSERT_TRUE(list);
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            const QModelIndex index = list->model()->index(row, 0);
            list->scrollTo(index);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
            App::settle();
            if (app.model.selectedID() == id) return;
        }
        FAIL() << "no row selects the drawing";
    }

    // Exports through the File menu's command and the export sheet it opens, answering the save dialog
    // with `path`, then closes the sheet.
    static void exportAs(App& app, const char* command, const QString& kind, const QString& path) {
        app.command(command);
        QDialog* sheet = app.window.presentations()->exportSheet();
        ASSERT_TRUE(sheet && sheet->isVisible());
        QRadioButton* choice = named<QRadioButton>(sheet, kind);
        ASSERT_TRUE(choice);
        click(choice, QPoint(8, choice->height() / 2));  // on its round mark: the row is wider than its text
        answerNextFileDialog(path);
        click(named<QPushButton>(sheet, QObject::tr("Export…")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app.model.exportProgress(); }, 180000));
        ASSERT_EQ(app.model.exportedURL(), QUrl::fromLocalFile(path));
        click(named<QPushButton>(sheet, QObject::tr("Done")));
        EXPECT_FALSE(app.model.exportShown());
    }

    QTemporaryDir home;
};

}  // namespace

// The whole road a parent takes: the empty window, the sample book, photos by drop and by the open
// dialog, edits in the editor, book and calendar settings, five PDFs, then quitting and starting again
// with everything as it was.
TEST_F(ParentJourney, EverySettingDrawingCropAndEventSurvivesExportsAndARestart) {
    BookSettings book;
    CalendarSettings calendar;
    std::vector<DrawingInfo> infos;
    std::vector<Child> children;
    {
        App app;
        ASSERT_EQ(app.window.detail()->objectName(), "emptyState");
        click(named<QAbstractButton>(&app.window, QObject::tr("Try a Sample Book")));
        app.waitForThumbnails();
        const auto sampleCount = app.model.drawings().size();

        // Photos from a phone: one folder dropped on the window, one chosen in the open dialog.
        writePhotoFolder(home.path() + "/dropped", Qt::red);
        writePhotoFolder(home.path() + "/chosen", Qt::blue);
        dropFolder(app.window, home.path() + "/dropped");
        answerNextFileDialog(home.path() + "/chosen");
        app.command("addFiles");
        app.waitForThumbnails();
        ASSERT_EQ(app.model.drawings().size(), sampleCount + 6);
        const auto jpeg = std::find_if(app.model.drawings().begin() + static_cast<std::ptrdiff_t>(sampleCount),
                                       app.model.drawings().end(),
                                       [](const Drawing& d) { return QFileInfo(d.file).suffix().startsWith("jp"); });
        ASSERT_NE(jpeg, app.model.drawings().end());
        const Drawing sideways = *jpeg;
        EXPECT_GT(sideways.info.pixelSize.height, sideways.info.pixelSize.width) << "the EXIF orientation was not applied";

        // The editor: a corner dragged, a quarter turn, whiter paper, then the next drawing.
        clickDrawing(app, sideways.info.id);
        ASSERT_EQ(app.window.detail()->objectName(), "drawingEditor");
        auto* crop = app.window.detail()->findChild<CropView*>();
        ASSERT_TRUE(QTest::qWaitFor([&] { return crop->handle(0)->isVisible(); }, 10000));
        QWidget* corner = crop->handle(0);
        const QPoint grip = corner->rect().center();
        QTest::mousePress(corner, Qt::LeftButton, {}, grip);
        QTest::mouseMove(corner, grip + QPoint(25, 20));
        QTest::mouseRelease(corner, Qt::LeftButton, {}, grip + QPoint(25, 20));
        App::settle();
        click(named<QAbstractButton>(app.window.detail(), QObject::tr("Rotate right")));
        auto* whiten = app.window.detail()->findChild<CleanupBar*>()->whitenSlider();
        whiten->setFocus();
        QTest::keyClick(whiten, Qt::Key_PageUp);
        App::settle();
        const DrawingInfo edited = app.model.selected()->info;
        EXPECT_FALSE(edited.cleanup.autoCropped) << "the dragged corner was not kept";
        EXPECT_NE(edited.cleanup.quarterTurns, sideways.info.cleanup.quarterTurns);
        EXPECT_NE(edited.cleanup.whiten, sideways.info.cleanup.whiten);
        app.command("nextDrawing");
        EXPECT_NE(app.model.selectedID(), sideways.info.id);

        // The book: size, arrangement, captions and a custom print spec.
        app.command("showBook");
        auto* inspector = app.window.inspector()->findChild<BookInspector*>();
        if (!inspector) inspector = qobject_cast<BookInspector*>(app.window.inspector());
        ASSERT_TRUE(inspector);
        pick(inspector->size(), BookSize::landscape11x8);
        pick(inspector->arrangement(), Arrangement::two);
        pick(inspector->caption(), CaptionStyle::classic);
        pick(inspector->printSpec().printer(), PrintPreset::custom);
        click(named<QAbstractButton>(&inspector->printSpec().multiple(), QObject::tr("Increment")));
        InchField& bleed = inspector->printSpec().bleed();
        bleed.setFocus();
        bleed.selectAll();
        QTest::keyClicks(&bleed, "0.2");
        QTest::keyClick(&bleed, Qt::Key_Return);
        App::settle();
        EXPECT_EQ(app.model.settings().size, BookSize::landscape11x8);
        EXPECT_EQ(app.model.settings().arrangement, Arrangement::two);
        EXPECT_EQ(app.model.settings().caption, CaptionStyle::classic);
        EXPECT_EQ(app.model.settings().preset, PrintPreset::custom);
        EXPECT_DOUBLE_EQ(app.model.settings().spec.bleed, 0.2 * 72);

        // The calendar: September start, Spanish, Monday first, an event and a picture for one month.
        app.command("showCalendar");
        auto* dates = app.window.inspector()->findChild<CalendarInspector*>();
        if (!dates) dates = qobject_cast<CalendarInspector*>(app.window.inspector());
        ASSERT_TRUE(dates);
        pick(dates->startBox(), 9);
        pick(dates->languageBox(), CalendarLanguage::spanish);
        pick(dates->weekStartBox(), 1);
        auto* event = named<QLineEdit>(&dates->dates(), QObject::tr("New event"));
        QTest::keyClicks(event, "Abuela");
        click(named<QAbstractButton>(&dates->dates(), QObject::tr("Add Event")));
        pick(dates->monthBox(2), QString::fromStdString(sideways.info.id.string()));
        EXPECT_EQ(app.model.calendar().startMonth, 9);
        EXPECT_EQ(app.model.calendar().language, CalendarLanguage::spanish);
        EXPECT_EQ(app.model.calendar().weekStart, 1);
        ASSERT_EQ(app.model.calendar().customEvents.size(), 1u);
        EXPECT_EQ(app.model.calendar().pictures.at(2), sideways.info.id);

        // Five PDFs, each checked by qpdf and poppler.
        const QString out = home.path() + "/out/";
        QDir().mkpath(out);
        const QString print = "Print-ready PDF (with bleed)", homePrint = "Home-print PDF (letter paper)";
        exportAs(app, "exportPrint", print, out + "calendar.pdf");
        exportAs(app, "exportHome", homePrint, out + "calendar-home.pdf");
        app.command("showBook");
        exportAs(app, "exportPrint", print, out + "book.pdf");
        exportAs(app, "exportHome", homePrint, out + "book-home.pdf");
        exportAs(app, "exportPrint", "Cover only (with bleed)", out + "cover.pdf");
        struct Expected {
            const char* file;
            bool bleed;
            int pages;  // 0: more than one
        };
        for (const Expected& expected : std::initializer_list<Expected>{{"book.pdf", true, 0},
                                                                       {"book-home.pdf", false, 0},
                                                                       {"cover.pdf", true, 1},
                                                                       {"calendar.pdf", true, 0},
                                                                       {"calendar-home.pdf", false, 0}}) {
            SCOPED_TRACE(expected.file);
            const PdfFacts facts = pdfFacts(out + expected.file);
            EXPECT_TRUE(facts.valid);
            EXPECT_TRUE(expected.pages ? facts.pages == expected.pages : facts.pages > 1) << facts.pages;
            EXPECT_EQ(facts.bleed, expected.bleed) << facts.info.toStdString();
            EXPECT_GT(facts.imageEncodings.count("jpeg"), 0);  // the drawings; shadows are masked images
            EXPECT_GT(facts.fonts, 0);
            EXPECT_EQ(facts.fontsNotEmbedded, 0);
        }

        book = app.model.settings();
        calendar = app.model.calendar();
        children = app.model.children();
        for (const auto& d : app.model.drawings()) infos.push_back(d.info);
    }

    App again;
    again.waitForThumbnails();
    EXPECT_EQ(again.model.settings(), book);
    EXPECT_EQ(again.model.calendar(), calendar);
    EXPECT_EQ(again.model.children(), children);
    std::vector<DrawingInfo> restored;
    for (const auto& d : again.model.drawings()) restored.push_back(d.info);
    EXPECT_EQ(restored, infos);
    EXPECT_FALSE(again.model.error());
}
