#include "app/book/BookExportSheet.h"
#include "app/calendar/CalendarExportSheet.h"
#include "tests/model/ModelFixtures.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

// A model whose save dialog answers with `destination` (nothing: cancelled).
struct ExportFixture {
    explicit ExportFixture(int drawings = 2) {
        model.setDialogs({nullptr, [this](const QString&, const QString&) { return destination; }});
        for (int i = 0; i < drawings; ++i) model.addImage(jpegBytes(640, 480), {});
    }
    // Runs the event loop until the running export has ended.
    bool exportEnded() {
        return QTest::qWaitFor([this] { return !model.exportProgress(); }, 60000);
    }

    AppModel model{false};
    QTemporaryDir folder;
    std::optional<QUrl> destination;
};

QPushButton* button(QWidget& sheet, const QString& text) {
    for (auto* candidate : sheet.findChildren<QPushButton*>())
        if (candidate->text() == text) return candidate;
    return nullptr;
}

QLabel* label(QWidget& sheet, const QString& text) {
    for (auto* candidate : sheet.findChildren<QLabel*>())
        if (candidate->text() == text) return candidate;
    return nullptr;
}

// Visible within the sheet, whether or not the sheet itself is on screen.
bool shown(QWidget* widget) {
    return widget && widget->isVisibleTo(widget->window());
}

QWidget* progress(QWidget& sheet) {
    auto* bar = sheet.findChild<QProgressBar*>();
    return bar ? bar->parentWidget() : nullptr;
}

bool validPdf(const QString& path) {
    QProcess qpdf;
    qpdf.start("qpdf", {"--check", path});
    return qpdf.waitForFinished(60000) && qpdf.exitStatus() == QProcess::NormalExit && qpdf.exitCode() == 0;
}

std::unique_ptr<ExportSheetFrame> sheetFor(AppModel& model) {
    if (model.mode() == ViewMode::calendar) return std::make_unique<CalendarExportSheet>(model);
    return std::make_unique<BookExportSheet>(model);
}

// Drawings far too small for a sharp print, so the book warns about each of them.
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
