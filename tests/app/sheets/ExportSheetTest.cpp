#include "app/book/BookExportSheet.h"
#include "app/calendar/CalendarExportSheet.h"
#include "tests/app/sheets/SheetFixtures.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

std::unique_ptr<ExportSheetFrame> sheetFor(AppModel& model) {
    if (model.mode() == ViewMode::calendar) return std::make_unique<CalendarExportSheet>(model);
    return std::make_unique<BookExportSheet>(model);
}

// Drawings too small for a sharp print: each gives the book a severe warning.
std::vector<Drawing> blurryDrawings(int count) {
    std::vector<Drawing> drawings;
    for (int i = 0; i < count; ++i) {
        Drawing drawing;
        drawing.info.id = UUID::random();
        drawing.info.pixelSize = {100, 100};
        drawing.info.sequence = i;
        drawings.push_back(drawing);
    }
    return drawings;
}

}  // namespace

TEST(ExportSheet, WritesAValidPdfOfEveryKindAndOffersToShowIt) {
    struct Case {
        ViewMode mode;
        ExportKind kind;
    };
    const Case cases[] = {{ViewMode::book, ExportKind::print},     {ViewMode::book, ExportKind::home},
                          {ViewMode::book, ExportKind::cover},     {ViewMode::calendar, ExportKind::print},
                          {ViewMode::calendar, ExportKind::home}};
    ExportFixture fixture;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << caseName(c.mode) << " " << caseName(c.kind));
        const QString path = fixture.folder.filePath(QString("%1-%2.pdf").arg(caseName(c.mode).data(), caseName(c.kind).data()));
        fixture.destination = QUrl::fromLocalFile(path);
        fixture.model.setMode(c.mode);
        fixture.model.requestExport(c.kind);
        auto sheet = sheetFor(fixture.model);
        std::vector<double> progressShown;
        QObject::connect(&fixture.model, &AppModel::exportProgressChanged, sheet.get(), [&] {
            if (fixture.model.exportProgress() && shown(progress(*sheet)) && !button(*sheet, "Export…")->isEnabled())
                progressShown.push_back(*fixture.model.exportProgress());
        });
        std::optional<QUrl> revealed;
        sheet->setReveal([&](const QUrl& url) { revealed = url; });
        sheet->show();
        EXPECT_FALSE(shown(button(*sheet, "Show in Folder")));
        EXPECT_TRUE(shown(button(*sheet, "Cancel")));

        button(*sheet, "Export…")->click();
        ASSERT_TRUE(fixture.exportEnded());

        EXPECT_TRUE(validPdf(path));
        ASSERT_FALSE(progressShown.empty());
        EXPECT_EQ(progressShown.front(), 0.0);
        EXPECT_EQ(progressShown.back(), 1.0);
        EXPECT_FALSE(shown(progress(*sheet)));
        EXPECT_TRUE(button(*sheet, "Export…")->isEnabled());
        EXPECT_TRUE(shown(label(*sheet, "Saved.")));
        EXPECT_TRUE(shown(button(*sheet, "Done")));
        button(*sheet, "Show in Folder")->click();
        EXPECT_EQ(revealed, QUrl::fromLocalFile(path));
        EXPECT_FALSE(fixture.model.error());
    }
}

TEST(ExportSheet, FailedWriteSaysSoAndLeavesNoFile) {
    ExportFixture fixture;
    const QString path = fixture.folder.filePath("missing/book.pdf");
    fixture.destination = QUrl::fromLocalFile(path);
    fixture.model.setMode(ViewMode::book);
    fixture.model.requestExport(ExportKind::print);
    BookExportSheet sheet(fixture.model);
    sheet.show();

    button(sheet, "Export…")->click();
    ASSERT_TRUE(fixture.exportEnded());

    EXPECT_EQ(fixture.model.error(), QString("Couldn't write the PDF."));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QDir(fixture.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_FALSE(shown(label(sheet, "Saved.")));
    EXPECT_FALSE(shown(button(sheet, "Show in Folder")));
    EXPECT_TRUE(shown(button(sheet, "Cancel")));
    EXPECT_TRUE(button(sheet, "Export…")->isEnabled());
}

TEST(ExportSheet, CancelledSaveDialogChangesNothing) {
    ExportFixture fixture;
    fixture.model.setMode(ViewMode::book);
    fixture.model.requestExport(ExportKind::home);
    BookExportSheet sheet(fixture.model);
    sheet.show();
    button(sheet, "Export…")->click();
    EXPECT_FALSE(fixture.model.exportProgress());
    EXPECT_FALSE(shown(progress(sheet)));
    EXPECT_TRUE(button(sheet, "Export…")->isEnabled());
}

TEST(ExportSheet, ClosingDoesNotStopTheExportAndReopeningShowsItsProgress) {
    ExportFixture fixture;
    const QString path = fixture.folder.filePath("book.pdf");
    fixture.destination = QUrl::fromLocalFile(path);
    fixture.model.setMode(ViewMode::book);
    fixture.model.requestExport(ExportKind::print);
    auto first = std::make_unique<BookExportSheet>(fixture.model);
    first->show();
    button(*first, "Export…")->click();
    button(*first, "Cancel")->click();
    EXPECT_FALSE(first->isVisible());
    first.reset();

    BookExportSheet second(fixture.model);
    second.show();
    EXPECT_TRUE(shown(progress(second)));
    EXPECT_FALSE(button(second, "Export…")->isEnabled());
    ASSERT_TRUE(fixture.exportEnded());
    EXPECT_TRUE(validPdf(path));
    EXPECT_TRUE(shown(label(second, "Saved.")));
}

TEST(ExportSheet, QuittingWaitsForTheExportWithItsProgressShown) {
    ExportFixture fixture;
    const QString path = fixture.folder.filePath("calendar.pdf");
    fixture.destination = QUrl::fromLocalFile(path);
    fixture.model.setMode(ViewMode::calendar);
    fixture.model.requestExport(ExportKind::print);
    {
        CalendarExportSheet sheet(fixture.model);
        button(sheet, "Export…")->click();
    }
    fixture.model.setExportShown(false);
    bool shownWhileRunning = false;
    QObject::connect(&fixture.model, &AppModel::exportProgressChanged, [&] {
        if (fixture.model.exportProgress() && fixture.model.exportShown()) shownWhileRunning = true;
    });

    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QApplication::exec();

    EXPECT_FALSE(fixture.model.exportProgress());
    EXPECT_TRUE(shownWhileRunning);
    EXPECT_TRUE(validPdf(path));
    EXPECT_EQ(QDir(fixture.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList("calendar.pdf"));
}

TEST(ExportSheet, ChoosingAKindWritesTheModelAndTheCalendarTurnsCoverIntoPrint) {
    ExportFixture fixture(1);
    fixture.model.requestExport(ExportKind::cover);
    CalendarExportSheet calendar(fixture.model);
    EXPECT_EQ(fixture.model.exportKind(), ExportKind::print);
    EXPECT_EQ(calendar.findChildren<QRadioButton*>().size(), 2);
    EXPECT_TRUE(calendar.findChildren<QRadioButton*>().front()->isChecked());

    BookExportSheet book(fixture.model);
    auto radios = book.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 3);
    radios[1]->click();
    EXPECT_EQ(fixture.model.exportKind(), ExportKind::home);
    const auto texts = book.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                            [](const QLabel* text) { return text->text().contains("pages on letter paper"); }));
    EXPECT_TRUE(calendar.findChildren<QRadioButton*>()[1]->isChecked());
}

TEST(ExportSheet, WarningsReplaceTheSharpLineAndScrollWithinTheList) {
    struct Case {
        int drawings;
        bool scrolls;
    };
    for (const Case c : {Case{1, false}, Case{60, true}}) {
        SCOPED_TRACE(::testing::Message() << c.drawings << " blurry drawings");
        AppModel model(false);
        model.setDrawings(blurryDrawings(c.drawings));
        BookExportSheet sheet(model);
        sheet.show();
        ASSERT_FALSE(model.layout().warnings.empty());
        EXPECT_FALSE(shown(label(sheet, "Every drawing prints at 300 dpi or more.")));
        auto* list = sheet.findChild<QScrollArea*>();
        ASSERT_TRUE(shown(list));
        EXPECT_LE(list->height(), 140);
        EXPECT_EQ(list->verticalScrollBar()->maximum() > 0, c.scrolls);
        const auto* row = label(sheet, QString::fromStdString(model.layout().warnings.front().text));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->palette().color(QPalette::WindowText), QColor(215, 45, 40));  // severe: red
    }
    AppModel sharp(false);
    auto drawings = blurryDrawings(1);
    drawings.front().info.pixelSize = {4000, 4000};
    sharp.setDrawings(drawings);
    BookExportSheet sheet(sharp);
    EXPECT_TRUE(shown(label(sheet, "Every drawing prints at 300 dpi or more.")));
    EXPECT_FALSE(shown(sheet.findChild<QScrollArea*>()));
    EXPECT_EQ(sheet.sizeHint().width(), 520);
}
