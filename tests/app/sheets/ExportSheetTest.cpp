#include "app/book/BookExportSheet.h"
#include "app/calendar/CalendarExportSheet.h"
#include "app/shell/LayoutCache.h"
#include "tests/model/ModelFixtures.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

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

TEST(ExportSheet, SavedBelongsToTheFinishedExportUntilAnotherStartsOrTheKindChanges) {
    ExportFixture fixture;
    const QString path = fixture.folder.filePath("book.pdf");
    fixture.destination = QUrl::fromLocalFile(path);
    fixture.model.setMode(ViewMode::book);
    fixture.model.requestExport(ExportKind::print);
    BookExportSheet sheet(fixture.model);
    sheet.show();
    const auto savedShown = [&] {
        return shown(label(sheet, "Saved.")) || shown(button(sheet, "Show in Folder")) ||
               shown(button(sheet, "Done"));
    };
    int runningAsSaved = 0;
    QObject::connect(&fixture.model, &AppModel::exportProgressChanged, &sheet, [&] {
        if (fixture.model.exportProgress() && (savedShown() || !shown(progress(sheet)))) ++runningAsSaved;
    });

    button(sheet, "Export…")->click();
    ASSERT_TRUE(fixture.exportEnded());
    EXPECT_TRUE(savedShown());
    sheet.findChildren<QRadioButton*>().at(1)->click();
    EXPECT_EQ(fixture.model.exportKind(), ExportKind::home);
    EXPECT_FALSE(savedShown()) << "the file written was of the other kind";
    EXPECT_TRUE(shown(button(sheet, "Cancel")));

    sheet.findChildren<QRadioButton*>().at(0)->click();
    button(sheet, "Export…")->click();  // to the same file again
    ASSERT_TRUE(fixture.exportEnded());
    EXPECT_TRUE(savedShown());
    button(sheet, "Export…")->click();
    ASSERT_TRUE(fixture.exportEnded());
    EXPECT_EQ(runningAsSaved, 0) << "a running export showed the one before it as saved";

    fixture.destination = QUrl::fromLocalFile(fixture.folder.filePath("missing/book.pdf"));
    button(sheet, "Export…")->click();
    ASSERT_TRUE(fixture.exportEnded());
    EXPECT_EQ(fixture.model.error(), QString("Couldn't write the PDF."));
    EXPECT_FALSE(savedShown()) << "the failed export showed the earlier file as saved";
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

// A book of many small pictures has a warning for each; the sheet lists them all as rows of a list,
// at most the list's height tall.
TEST(ExportSheet, HundredsOfWarningsAreListedWithTheirTexts) {
    ExportFixture fixture(0);
    std::vector<Drawing> drawings;
    for (int i = 0; i < 300; ++i) {
        Drawing d;
        d.info.id = UUID::random();
        d.info.sequence = i;
        d.info.pixelSize = {120, 90};
        d.info.aspect = 4.0 / 3;
        drawings.push_back(d);
    }
    fixture.model.setDrawings(drawings);
    fixture.model.setMode(ViewMode::book);
    fixture.model.requestExport(ExportKind::print);
    BookExportSheet sheet(fixture.model);
    sheet.show();
    auto* list = sheet.findChild<QListView*>();
    ASSERT_TRUE(list);
    const auto warnings = LayoutCache::layout(fixture.model).warnings;
    ASSERT_GE(warnings.size(), 300u);
    ASSERT_EQ(list->model()->rowCount(), static_cast<int>(warnings.size()));
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QString::fromStdString(warnings.front().text));
    EXPECT_EQ(list->model()->index(list->model()->rowCount() - 1, 0).data().toString(),
              QString::fromStdString(warnings.back().text));
    EXPECT_LE(list->height(), 140);
    EXPECT_GT(list->height(), 20);
}

// A cover-only file holds the cover page alone: the sheet lists the cover's own warnings, not those of
// the inside pages nor of the page count, whether the cover is page 1 of the book file or not.
TEST(ExportSheet, CoverOnlyListsTheCoversOwnWarnings) {
    ExportFixture fixture(0);
    std::vector<Drawing> drawings;
    for (int i = 0; i < 12; ++i) {
        Drawing d;
        d.info.id = UUID::random();
        d.info.sequence = i;
        d.info.title = "Drawing " + std::to_string(i);
        d.info.pixelSize = {300, 225};
        d.info.aspect = 4.0 / 3;
        drawings.push_back(d);
    }
    fixture.model.setDrawings(drawings);
    fixture.model.setMode(ViewMode::book);
    const auto rows = [](QListView& list) {
        QStringList texts;
        for (int row = 0; row < list.model()->rowCount(); ++row)
            texts << list.model()->index(row, 0).data().toString();
        return texts.join(" | ").toStdString();
    };
    struct Case {
        const char* what;
        bool coverInInterior;
        double safe;
        std::string expected;
    };
    const Case cases[] = {
        {"cover is page 1", true, 27, "The cover drawing prints at 49 dpi (300 looks sharp)."},
        {"cover in a file of its own", false, 27, "The cover drawing prints at 49 dpi (300 looks sharp)."},
        {"no room inside the safe margin", true, 300,
         "The safe margin leaves no room on the page. Choose a smaller safe margin."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BookSettings settings = fixture.model.settings();
        settings.coverInInterior = c.coverInInterior;
        settings.spec.safe = c.safe;
        settings.spec.maximumPages = 4;
        fixture.model.setSettings(settings);
        fixture.model.requestExport(ExportKind::cover);
        BookExportSheet sheet(fixture.model);
        sheet.show();
        auto* list = sheet.findChild<QListView*>();
        ASSERT_TRUE(list);
        ASSERT_GE(fixture.model.layout().warnings.size(), 2u);
        EXPECT_EQ(rows(*list), c.expected);

        fixture.model.setExportKind(ExportKind::print);
        EXPECT_EQ(list->model()->rowCount(), static_cast<int>(fixture.model.layout().warnings.size()));
    }
}
