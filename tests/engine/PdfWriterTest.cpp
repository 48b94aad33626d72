#include "engine/PdfWriter.h"

#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace quillfen;
namespace fs = std::filesystem;

namespace {

// A fresh folder per test, removed afterwards.
class PdfWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() / ("quillfen-pdf-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<fs::path> files() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(folder)) found.push_back(entry.path().filename());
        return found;
    }

    fs::path folder;
};

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Rect rectOf(QPDFObjectHandle page, const char* key) {
    const auto r = page.getKey(key).getArrayAsRectangle();
    return {r.llx, r.lly, r.urx - r.llx, r.ury - r.lly};
}

std::vector<QPDFObjectHandle> imageStreams(QPDF& pdf) {
    std::vector<QPDFObjectHandle> images;
    for (auto& object : pdf.getAllObjects()) {
        if (object.isStream() && object.getDict().getKey("/Subtype").isNameAndEquals("/Image")) {
            images.push_back(object);
        }
    }
    return images;
}

}  // namespace

TEST_F(PdfWriterTest, PagesCarryTheBoxesAskedForAndOnlyTitleAndCreator) {
    const fs::path file = folder / "book.pdf";
    const std::string title = "Mia’s Book – 2024 · ✓ Ñandú";
    const std::vector<PdfPageBoxes> asked = {
        {{0, 0, 594, 594}, Rect{0, 0, 594, 594}, Rect{9, 9, 576, 576}},
        {{0, 0, 612, 792}, std::nullopt, std::nullopt},
        {{0, 0, 576, 576}, Rect{0, 0, 576, 576}, Rect{0, 0, 576, 576}},
    };
    PdfWriter writer(file, title);
    ASSERT_TRUE(writer.isOpen());
    for (const auto& boxes : asked) {
        Canvas* canvas = writer.beginPage(boxes);
        ASSERT_NE(canvas, nullptr);
        canvas->setFillColor({0.2, 0.4, 0.8, 1});
        canvas->fillRect({20, 20, 100, 100});
        canvas->drawTextLine("Sunflowers", {"Georgia-Italic", 24}, {0, 0, 0, 1}, TextAlignment::left,
                             {30, 200}, 400);
        writer.endPage();
    }
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(files(), std::vector<fs::path>{"book.pdf"}) << "temporary files left behind";

    QPDF pdf;
    pdf.processFile(file.c_str());
    const auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    ASSERT_EQ(pages.size(), asked.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i);
        QPDFObjectHandle page = pages[i].getObjectHandle();
        EXPECT_EQ(rectOf(page, "/MediaBox"), asked[i].media);
        EXPECT_EQ(page.hasKey("/BleedBox"), asked[i].bleed.has_value());
        EXPECT_EQ(page.hasKey("/TrimBox"), asked[i].trim.has_value());
        if (asked[i].bleed) {
            EXPECT_EQ(rectOf(page, "/BleedBox"), *asked[i].bleed);
        }
        if (asked[i].trim) {
            EXPECT_EQ(rectOf(page, "/TrimBox"), *asked[i].trim);
        }
        EXPECT_FALSE(page.hasKey("/CropBox"));
    }
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    EXPECT_EQ(info.getKeys(), (std::set<std::string>{"/Creator", "/Title"}));
    EXPECT_EQ(info.getKey("/Title").getUTF8Value(), title);
    EXPECT_EQ(info.getKey("/Creator").getUTF8Value(), "Quillfen");
}

TEST_F(PdfWriterTest, JpegBytesEnterTheFileUnchangedAndOnce) {
    const auto first = fixtures::jpegBytes(fixtures::rampBitmap(300, 200), 92);
    const auto second = fixtures::jpegBytes(fixtures::rampBitmap(120, 160), 80);
    const auto a = PageImage::fromJpeg(first);
    const auto b = PageImage::fromJpeg(second);
    ASSERT_TRUE(a && b);
    const fs::path file = folder / "drawings.pdf";
    PdfWriter writer(file, "Drawings");
    for (int page = 0; page < 3; ++page) {
        Canvas* canvas = writer.beginPage({{0, 0, 400, 400}, std::nullopt, std::nullopt});
        ASSERT_NE(canvas, nullptr);
        canvas->drawImage(*a, {10, 10, 150, 100});
        canvas->drawImage(*a, {200, 200, 75, 50});  // the same drawing twice on a page, at another size
        if (page == 1) canvas->drawImage(*b, {10, 200, 60, 80});
        writer.endPage();
    }
    ASSERT_TRUE(writer.finish());

    QPDF pdf;
    pdf.processFile(file.c_str());
    const auto images = imageStreams(pdf);
    ASSERT_EQ(images.size(), 2u) << "a drawing used several times must be one image object";
    std::vector<std::string> streams;
    for (auto image : images) {
        EXPECT_TRUE(image.getDict().getKey("/Filter").isNameAndEquals("/DCTDecode"));
        const auto data = image.getRawStreamData();
        streams.emplace_back(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    }
    std::sort(streams.begin(), streams.end(), [](auto& x, auto& y) { return x.size() > y.size(); });
    EXPECT_EQ(streams[0], std::string(first.begin(), first.end()));
    EXPECT_EQ(streams[1], std::string(second.begin(), second.end()));
}

TEST_F(PdfWriterTest, DocumentWithoutPagesHasNoPages) {
    const fs::path file = folder / "empty.pdf";
    PdfWriter writer(file, "");
    ASSERT_TRUE(writer.finish());
    QPDF pdf;
    pdf.processFile(file.c_str());
    EXPECT_EQ(QPDFPageDocumentHelper(pdf).getAllPages().size(), 0u);
    EXPECT_EQ(pdf.getTrailer().getKey("/Info").getKeys(), (std::set<std::string>{"/Creator", "/Title"}));
}

TEST_F(PdfWriterTest, UnwritableDestinationsFailAndLeaveNothing) {
    std::ofstream(folder / "a-file") << "not a folder";
    fs::create_directories(folder / "a-folder.pdf");
    const fs::path cases[] = {
        folder / "missing" / "book.pdf",  // no such folder
        folder / "a-file" / "book.pdf",   // the folder is a file
        folder / "a-folder.pdf",          // a folder in the way
        "/proc/quillfen-book.pdf",        // a folder no one may write in
        "/dev/full",                      // a device is never replaced
    };
    for (const auto& destination : cases) {
        SCOPED_TRACE(destination);
        PdfWriter writer(destination, "Book");
        if (Canvas* canvas = writer.beginPage({{0, 0, 100, 100}, std::nullopt, std::nullopt})) {
            canvas->fillRect({0, 0, 10, 10});
            writer.endPage();
        }
        EXPECT_FALSE(writer.finish());
    }
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(fs::is_directory(folder / "a-folder.pdf"));
    EXPECT_EQ(readAll(folder / "a-file"), "not a folder");
    for (const auto& entry : fs::directory_iterator("/dev")) {
        EXPECT_EQ(entry.path().filename().string().find(".full."), std::string::npos) << entry.path();
    }
    EXPECT_EQ(files().size(), 2u);
}

TEST_F(PdfWriterTest, FullDiskFailsAndKeepsTheEarlierFile) {
    const fs::path file = folder / "book.pdf";
    std::ofstream(file) << "the earlier export";
    const auto jpeg = PageImage::fromJpeg(fixtures::jpegBytes(fixtures::rampBitmap(800, 800), 100));
    ASSERT_TRUE(jpeg);
    ASSERT_GT(jpeg->jpeg()->size(), 60000u);
    // Files may grow to 40 kB only, in a child process, like a disk that fills up while writing.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{40000, 40000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        PdfWriter writer(file, "Book");
        bool began = false;
        if (Canvas* canvas = writer.beginPage({{0, 0, 500, 500}, std::nullopt, std::nullopt})) {
            began = true;
            canvas->drawImage(*jpeg, {0, 0, 500, 500});
            writer.endPage();
        }
        ::_exit(!began ? 3 : writer.finish() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a write to a full disk reported success (1) or never began (3)";
    EXPECT_EQ(files(), std::vector<fs::path>{"book.pdf"}) << "partial files left behind";
    EXPECT_EQ(readAll(file), "the earlier export");
}

TEST_F(PdfWriterTest, InvalidPageSizeFailsTheWholeFile) {
    const fs::path file = folder / "book.pdf";
    PdfWriter writer(file, "Book");
    ASSERT_NE(writer.beginPage({{0, 0, 100, 100}, std::nullopt, std::nullopt}), nullptr);
    writer.endPage();
    EXPECT_EQ(writer.beginPage({{0, 0, 0, 100}, std::nullopt, std::nullopt}), nullptr);
    EXPECT_FALSE(writer.finish());
    EXPECT_TRUE(files().empty());
}

TEST_F(PdfWriterTest, ShadowsFallBelowShapesOnPdfPagesToo) {
    const fs::path file = folder / "shadow.pdf";
    PdfWriter writer(file, "Shadow");
    Canvas* canvas = writer.beginPage({{0, 0, 200, 200}, std::nullopt, std::nullopt});
    ASSERT_NE(canvas, nullptr);
    canvas->scale(0.5, 0.5);  // the offset and blur stay in points of the page
    canvas->setShadow({0, -12}, 6, Color::black(0.8));
    canvas->setFillColor(Color::white());
    canvas->fillRect({100, 100, 200, 200});  // the page's (50, 50)-(150, 150)
    writer.endPage();
    ASSERT_TRUE(writer.finish());

    // One gray pixel per point, rows from the top.
    const std::string command =
        "pdftoppm -r 72 -gray -singlefile '" + file.string() + "' '" + (folder / "shadow").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string pgm = readAll(folder / "shadow.pgm");
    ASSERT_GT(pgm.size(), 200u * 200u);
    const auto gray = [&](int x, int yFromBottom) {
        return static_cast<unsigned char>(pgm[pgm.size() - 200 * 200 + (199 - yFromBottom) * 200 + x]);
    };
    EXPECT_EQ(gray(100, 100), 255) << "the shape itself is white";
    EXPECT_GT(gray(100, 156), 245) << "the shadow shows above the shape";
    // The shadow's edge (half its darkness) lies 12 points below the shape's bottom at y = 50.
    const int darkest = gray(100, 45);
    int edge = 20;
    while (edge < 50 && gray(100, edge) > (255 + darkest) / 2) ++edge;
    EXPECT_LT(darkest, 120);
    EXPECT_NEAR(edge, 38, 2.5) << "the offset is not 12 points of the page";
}
