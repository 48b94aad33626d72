#include "ModelFixtures.h"

#include "app/model/ExportJob.h"
#include "engine/book/BookRenderer.h"
#include "engine/calendar/CalendarRenderer.h"
#include "engine/render/HomeSheet.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

using namespace quillfen;
using namespace quillfen::testing;
namespace fs = std::filesystem;

namespace {

std::string run(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

// The value of a "Key: value" line of pdfinfo.
std::string pdfinfo(const fs::path& file, const std::string& key, const std::string& options = "") {
    std::istringstream lines(run("pdfinfo " + options + " '" + file.string() + "' 2>/dev/null"));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + ":", 0) != 0) continue;
        const auto value = line.find_first_not_of(' ', key.size() + 1);
        return value == std::string::npos ? "" : line.substr(value);
    }
    return "";
}

// The pixel sizes of the file's JPEG image objects, each object once (shadows are other images), sorted.
std::vector<std::pair<int, int>> jpegSizes(const fs::path& file) {
    std::istringstream lines(run("pdfimages -list '" + file.string() + "' 2>/dev/null"));
    std::map<int, std::pair<int, int>> byObject;
    std::string line, skip, encoding;
    std::getline(lines, line);
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int width = 0, height = 0, object = 0;
        fields >> skip >> skip >> skip >> width >> height >> skip >> skip >> skip >> encoding >> skip >> object;
        if (encoding == "jpeg") byObject.emplace(object, std::pair{width, height});
    }
    std::vector<std::pair<int, int>> result;
    for (const auto& [object, size] : byObject) result.push_back(size);
    std::sort(result.begin(), result.end());
    return result;
}

QByteArray contents(const fs::path& file) { return readFile(QString::fromStdString(file.string())); }

// A model holding a library of generated photos, landscape and portrait, with its originals in the
// model's own "Originals" folder, and a save dialog that answers with a file in a temporary folder.
class Export : public ::testing::Test {
protected:
    void SetUp() override {
        model.setDialogs({{}, [this](const QString& name, const QString& message) -> std::optional<QUrl> {
                              asked.emplace_back(name, message);
                              return answer;
                          }});
        answer = QUrl::fromLocalFile(out.filePath("book.pdf"));
    }

    void addDrawings(int count, bool calendarOnly = false) {
        auto drawings = model.drawings();
        auto calendar = model.calendar();
        for (int i = 0; i < count; ++i) {
            const int n = static_cast<int>(drawings.size());
            const bool wide = n % 3 != 1;
            const int width = wide ? 1200 + 8 * n : 900, height = wide ? 900 : 1200 + 8 * n;
            Drawing d;
            d.info.id = UUID::random();
            d.info.title = "Drawing " + std::to_string(n + 1);
            d.info.date = Date(1.0e8 + 86400.0 * n);
            d.info.sequence = n;
            d.info.aspect = static_cast<double>(width) / height;
            d.info.pixelSize = {static_cast<double>(width), static_cast<double>(height)};
            d.file = QString::fromStdString(d.info.id.string()) + ".jpeg";
            writeFile(model.folder() + "/Originals/" + d.file, noisyJpeg(width, height, static_cast<unsigned>(n)));
            if (calendarOnly) calendar.calendarOnly.push_back(d.info.id);
            drawings.push_back(d);
        }
        model.setDrawings(drawings);
        model.setCalendar(calendar);
    }

    fs::path destination() const { return answer->toLocalFile().toStdString(); }

    // Runs the export of the current mode and waits for its end.
    void exportAndWait(ExportKind kind) {
        model.runExport(kind);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !model.exportProgress(); }, 120000));
    }

    // The pixel size the export gives a cleaned picture of `size` placed at `slot` points: the long
    // side for the slot's longer side at `dpi`, the other side rounded outwards.
    static std::pair<int, int> expected(Size slot, Size size, double dpi) {
        const double target = std::max(slot.width, slot.height) / 72 * dpi;
        const double side = slot.width >= slot.height ? size.width : size.height;
        const double longSide = std::round(std::max(size.width, size.height) * std::min(target / side, 1.0));
        const double scale = longSide / std::max(size.width, size.height);
        const auto outward = [](double v) { return static_cast<int>(std::ceil(v - 1e-6)); };
        return {outward(size.width * scale), outward(size.height * scale)};
    }

    AppModel model{false};
    QTemporaryDir out;
    std::optional<QUrl> answer;
    std::vector<std::pair<QString, QString>> asked;
};

}  // namespace

TEST_F(Export, BookFilesCarryEachDrawingOnceAsJpegAtThePrintedResolution) {
    addDrawings(7);
    editSettings(model, [](BookSettings& s) {
        s.title = "Our Year";
        s.size = BookSize::square12;
    });
    const auto layout = model.layout();
    const auto placed = BookRenderer::placedSizes(layout, model.bookContent());
    const auto sheet = BookRenderer::homeSheet(layout.trimSize.width, layout.trimSize.height);
    const double homeScale = sheet.page.width() / layout.trimSize.width;
    ASSERT_LT(homeScale, 0.9);  // a large page shrinks onto the sheet: its pictures need fewer pixels

    struct Case { ExportKind kind; int pages; double dpi; double scale; bool trimmed; };
    const Case cases[] = {
        {ExportKind::print, static_cast<int>(layout.pages.size()), 360, 1, true},
        {ExportKind::home, static_cast<int>(std::count_if(layout.pages.begin(), layout.pages.end(),
                                                          [](const BookPage& p) {
                                                              return !std::holds_alternative<BlankPage>(p.content);
                                                          })),
         150, homeScale, false},
        {ExportKind::cover, 1, 360, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(caseName(c.kind));
        exportAndWait(c.kind);
        EXPECT_EQ(model.error(), std::nullopt);
        EXPECT_EQ(pdfinfo(destination(), "Pages"), std::to_string(c.pages));
        EXPECT_EQ(pdfinfo(destination(), "Creator"), "Quillfen");
        EXPECT_EQ(pdfinfo(destination(), "Title"), c.kind == ExportKind::cover ? "Our Year (cover)" : "Our Year");
        EXPECT_EQ(pdfinfo(destination(), "TrimBox", "-box").empty() ? "" : "present", "present");
        EXPECT_EQ(pdfinfo(destination(), "MediaBox", "-box") == pdfinfo(destination(), "TrimBox", "-box"),
                  !c.trimmed);

        std::vector<std::pair<int, int>> wanted;
        for (const auto& d : model.drawings()) {
            const bool onCover = d.info.id == *model.bookContent().coverDrawing();
            if (c.kind == ExportKind::cover && !onCover) continue;
            const Size slot = placed.at(d.info.id);
            wanted.push_back(expected({slot.width * c.scale, slot.height * c.scale}, d.info.pixelSize, c.dpi));
        }
        std::sort(wanted.begin(), wanted.end());
        EXPECT_EQ(jpegSizes(destination()), wanted);
    }
}

// A calendar-only picture is not in the book: neither as the oldest drawing nor as a stored choice
// does it become the cover that the preview shows and the cover file prints.
TEST_F(Export, CoverFileShowsTheCoverOfTheBookContent) {
    addDrawings(1, true);
    addDrawings(3);
    const UUID calendarPicture = model.drawings()[0].info.id;
    const Drawing& oldestInBook = model.drawings()[1];
    for (const auto chosen : {std::optional<UUID>{}, std::optional<UUID>{calendarPicture}}) {
        SCOPED_TRACE(chosen ? "chosen" : "none chosen");
        editSettings(model, [&](BookSettings& s) { s.coverDrawing = chosen; });
        const BookContent content = model.bookContent();
        EXPECT_FALSE(content.drawings.contains(calendarPicture));
        ASSERT_EQ(content.coverDrawing(), oldestInBook.info.id);

        exportAndWait(ExportKind::cover);
        const auto layout = model.layout();
        const Size slot = BookRenderer::placedSizes(layout, content).at(oldestInBook.info.id);
        EXPECT_EQ(jpegSizes(destination()),
                  (std::vector{expected(slot, oldestInBook.info.pixelSize, 360)}));
    }
}

TEST_F(Export, PreparingAheadInParallelWritesTheSameBytesAsOneAtATime) {
    addDrawings(9);  // more than the cache holds, with the cover drawing asked for twice
    for (const auto kind : {ExportKind::print, ExportKind::home}) {
        SCOPED_TRACE(caseName(kind));
        ExportJob job{kind, model.layout(), model.settings(), model.children(), model.bookInfos(), {}, {}};
        for (const auto& d : model.drawings()) {
            job.files.emplace(d.info.id, model.originalPath(d).toStdString());
        }
        job.url = fs::path(out.path().toStdString()) / "one.pdf";
        ASSERT_TRUE(job.run({}, 1));
        job.url = fs::path(out.path().toStdString()) / "many.pdf";
        ASSERT_TRUE(job.run({}, 4));
        EXPECT_TRUE(contents(fs::path(out.path().toStdString()) / "one.pdf") ==
                    contents(fs::path(out.path().toStdString()) / "many.pdf"));
    }
}

TEST_F(Export, MissingOriginalLeavesItsPictureOutAndStillSucceeds) {
    addDrawings(3);
    QFile::remove(model.originalPath(model.drawings()[1]));
    exportAndWait(ExportKind::print);
    EXPECT_EQ(model.error(), std::nullopt);
    EXPECT_EQ(model.exportedURL(), answer);
    EXPECT_EQ(jpegSizes(destination()).size(), 2u);
}

TEST_F(Export, CalendarHomeFileSizesItsPicturesForTheEnlargedDeskPage) {
    addDrawings(2);
    addDrawings(2, true);
    editCalendar(model, [&](CalendarSettings& c) {
        c.format = CalendarFormat::desk5x7;
        c.pictures = {{0, model.drawings()[0].info.id}, {1, model.drawings()[3].info.id}};
    });
    const auto calendar = model.calendar();
    model.setMode(ViewMode::calendar);
    const auto layout = model.calendarLayout();
    const auto sheet = BookRenderer::homeSheet(layout.trimSize.width, layout.trimSize.height);
    const double scale = sheet.page.width() / layout.trimSize.width;
    ASSERT_GT(scale, 1.4);  // the desk page is enlarged onto Letter

    exportAndWait(ExportKind::home);
    EXPECT_EQ(model.error(), std::nullopt);
    EXPECT_EQ(pdfinfo(destination(), "Pages"), std::to_string(layout.pages.size()));
    std::unordered_map<UUID, DrawingInfo> infos;
    for (const auto& d : model.drawings()) infos.emplace(d.info.id, d.info);
    std::vector<std::pair<int, int>> wanted;
    for (const auto& [id, slot] : CalendarRenderer::placedSizes(layout, calendar, infos)) {
        wanted.push_back(expected({slot.width * scale, slot.height * scale}, infos.at(id).pixelSize, 150));
    }
    std::sort(wanted.begin(), wanted.end());
    ASSERT_EQ(wanted.size(), 2u);
    EXPECT_EQ(jpegSizes(destination()), wanted);
}

TEST_F(Export, ProposedNamesFollowTheTitleAndKindAndStayInTheChosenFolder) {
    addDrawings(1);
    struct Case { ViewMode mode; std::string title; ExportKind kind; const char16_t* name; };
    const Case cases[] = {
        {ViewMode::book, "", ExportKind::home, u"Art Book \u2013 home print.pdf"},
        {ViewMode::book, " ../Our\tYear/2026\n", ExportKind::print, u" ..-Our Year-2026  \u2013 print.pdf"},
        {ViewMode::calendar, "", ExportKind::cover, u"Calendar 2027 \u2013 print.pdf"},  // a calendar has no cover file
        {ViewMode::calendar, "Grandma/Grandpa", ExportKind::home, u"Calendar Grandma-Grandpa \u2013 home print.pdf"},
    };
    answer.reset();  // cancelled: nothing starts
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        model.setMode(c.mode);
        editSettings(model, [&](BookSettings& s) { s.title = c.title; });
        editCalendar(model, [&](CalendarSettings& calendar) {
            calendar.title = c.title;
            calendar.startYear = 2027;
            calendar.startMonth = 1;
        });
        asked.clear();
        model.runExport(c.kind);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].first, QString::fromUtf16(c.name));
        EXPECT_EQ(model.exportProgress(), std::nullopt);
    }
    EXPECT_EQ(model.settings().title, "Grandma/Grandpa");  // the title itself is unchanged

    editSettings(model, [](BookSettings& s) { s.title = std::string(300, 'x'); });
    model.setMode(ViewMode::book);
    asked.clear();
    model.runExport(ExportKind::print);
    EXPECT_LE(asked.at(0).first.toUtf8().size(), 255);
}

TEST_F(Export, UnwritableDestinationReportsTheFailureAndLeavesNothing) {
    addDrawings(1);
    model.setExportedURL(QUrl("file:///earlier.pdf"));
    answer = QUrl::fromLocalFile(out.filePath("no such folder/book.pdf"));
    exportAndWait(ExportKind::print);
    EXPECT_EQ(model.error(), QString("Couldn't write the PDF."));
    EXPECT_EQ(model.errorDetail(), "No such file or directory");
    EXPECT_EQ(model.exportedURL(), QUrl("file:///earlier.pdf"));
    EXPECT_FALSE(fs::exists(fs::path(out.path().toStdString()) / "no such folder"));
}

TEST_F(Export, FullDiskKeepsTheExistingFileAndLeavesNoPartialFile) {
    addDrawings(4);
    const fs::path folder = out.path().toStdString();
    const fs::path existing = folder / "book.pdf";
    std::ofstream(existing) << "the user's earlier book";
    ExportJob job{ExportKind::print, model.layout(), model.settings(), {}, model.bookInfos(), {}, existing};
    for (const auto& d : model.drawings()) job.files.emplace(d.info.id, model.originalPath(d).toStdString());

    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{200'000, 200'000};  // far less than the book's pictures
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(job.run({}, 1) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "reported as written";
    EXPECT_EQ(contents(existing), "the user's earlier book");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(Export, ProgressRisesToOneThenClearsAndASecondExportWaits) {
    model.requestExport(ExportKind::home);  // nothing to export yet
    EXPECT_FALSE(model.exportShown());
    addDrawings(3);
    std::vector<std::optional<double>> seen;
    QObject::connect(&model, &AppModel::exportProgressChanged, [&] { seen.push_back(model.exportProgress()); });
    QSignalSpy announced(&model, &AppModel::announcement);
    model.runExport(ExportKind::print);
    model.runExport(ExportKind::home);  // refused while the first runs
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.exportProgress(); }, 120000));
    EXPECT_EQ(asked.size(), 1u);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), 0.0);
    EXPECT_EQ(seen[seen.size() - 2], 1.0);
    EXPECT_EQ(seen.back(), std::nullopt);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end() - 1));
    EXPECT_EQ(model.exportedURL(), answer);
    ASSERT_EQ(announced.count(), 1);
    EXPECT_EQ(announced[0][0].toString(), "Export finished");

    model.requestExport(ExportKind::cover);
    EXPECT_EQ(model.exportedURL(), std::nullopt);
    EXPECT_EQ(model.exportKind(), ExportKind::cover);
    EXPECT_TRUE(model.exportShown());
}

TEST(ExportImages, ASlotWithoutAreaGivesNoPicture) {
    QTemporaryDir folder;
    const fs::path file = folder.filePath("photo.jpeg").toStdString();
    writeFile(folder.filePath("photo.jpeg"), jpegBytes(400, 300));
    struct Case { Size slot; bool picture; };
    const Case cases[] = {{{0, 0}, false}, {{0, 200}, false}, {{-5, 200}, false}, {{72, 54}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.slot.width << " x " << c.slot.height);
        const auto image = ExportImages::prepare(file, {}, c.slot, ExportImages::quality(ExportKind::print));
        EXPECT_EQ(image.has_value(), c.picture);
    }
}

// A full disk under the destination: the message says so.
TEST_F(Export, FullDiskSaysWhyThePdfWasNotWritten) {
    const QString full = out.filePath("full");
    QDir().mkpath(full);
    if (::mount("quillfen-test", QFile::encodeName(full).constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "this machine lets the test mount no file system";
    addDrawings(4);
    answer = QUrl::fromLocalFile(full + "/book.pdf");
    exportAndWait(ExportKind::print);
    ::umount2(QFile::encodeName(full).constData(), MNT_DETACH);
    EXPECT_EQ(model.error(), QString("Couldn't write the PDF."));
    EXPECT_EQ(model.errorDetail(), "No space left on device");
}

// The export prepares its pictures on every core; at the window's own priority they crowd out the GUI
// thread like any other work that fills the cores.
TEST_F(Export, PicturesArePreparedTenNiceLevelsBelowTheWindow) {
    addDrawings(6);
    ExportJob job{ExportKind::print, model.layout(), model.settings(), model.children(), model.bookInfos(), {}, {}};
    for (const auto& d : model.drawings()) job.files.emplace(d.info.id, model.originalPath(d).toStdString());
    job.url = fs::path(out.path().toStdString()) / "book.pdf";
    const int window = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    std::atomic<bool> done = false;
    std::thread exporting([&] {
        job.run({}, 4);
        done = true;
    });
    int lowest = window;  // the highest nice value of any thread of this process while the export runs
    while (!done) {
        std::error_code gone;  // threads come and go while the folder is read
        for (fs::directory_iterator task("/proc/self/task", gone), end; !gone && task != end; task.increment(gone)) {
            std::ifstream stat(task->path() / "stat");
            std::string line;
            if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) continue;
            std::istringstream fields(line.substr(line.rfind(')') + 1));
            std::string field;
            for (int i = 3; i <= 19 && fields >> field; ++i) {
                if (i == 19) lowest = std::max(lowest, std::atoi(field.c_str()));
            }
        }
    }
    exporting.join();
    EXPECT_EQ(lowest, std::min(window + 10, 19));
}
