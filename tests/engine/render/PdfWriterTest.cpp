#include "engine/render/PdfWriter.h"

#include "tests/engine/PdfReading.h"
#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <fstream>
#include <iterator>
#include <thread>

using namespace quillfen;
using namespace quillfen::pdfreading;

namespace {

using PdfWriterTest = TemporaryFolderTest;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The first page as poppler renders it, one gray pixel per point; gray(x, y) counts y upwards.
std::function<int(int, int)> renderedFirstPage(const fs::path& file) {
    cv::Mat gray;
    cv::cvtColor(renderPage(file, 1, 72), gray, cv::COLOR_BGR2GRAY);
    EXPECT_FALSE(gray.empty());
    return [gray](int x, int y) { return int(gray.at<std::uint8_t>(gray.rows - 1 - y, x)); };
}

}  // namespace

TEST_F(PdfWriterTest, PagesKeepTheirBoxesTheTitleAndTheJpegBytesOnceAndUnchanged) {
    const auto first = fixtures::jpegBytes(fixtures::rampBitmap(300, 200), 92);
    const auto second = fixtures::jpegBytes(fixtures::rampBitmap(120, 160), 80);
    const auto a = PageImage::fromJpeg(first);
    const auto b = PageImage::fromJpeg(second);
    ASSERT_TRUE(a && b);
    const fs::path file = folder / "book.pdf";
    const std::string title = "Mia’s Book – 2024 · ✓ Ñandú";
    const std::vector<PdfPageBoxes> asked = {
        {{0, 0, 594, 594}, Rect{0, 0, 594, 594}, Rect{9, 9, 576, 576}},
        {{0, 0, 612, 792}, std::nullopt, std::nullopt},
        {{0, 0, 576, 576}, Rect{0, 0, 576, 576}, Rect{0, 0, 576, 576}},
    };
    PdfWriter writer(file, title);
    for (std::size_t page = 0; page < asked.size(); ++page) {
        Canvas* canvas = writer.beginPage(asked[page]);
        ASSERT_NE(canvas, nullptr);
        canvas->drawImage(*a, {10, 10, 150, 100});
        canvas->drawImage(*a, {200, 200, 75, 50});  // the same drawing twice on a page, at another size
        if (page == 1) canvas->drawImage(*b, {10, 200, 60, 80});
        writer.endPage();
    }
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(files(), std::vector<std::string>{"book.pdf"}) << "temporary files left behind";

    const ReadBack read = readBack(file);
    ASSERT_EQ(read.pages.size(), asked.size());
    for (std::size_t i = 0; i < asked.size(); ++i) {
        SCOPED_TRACE(i);
        Boxes expected{{"/MediaBox", asked[i].media}};
        if (asked[i].bleed) expected["/BleedBox"] = *asked[i].bleed;
        if (asked[i].trim) expected["/TrimBox"] = *asked[i].trim;
        EXPECT_EQ(read.pages[i], expected);
    }
    EXPECT_EQ(read.info, (std::map<std::string, std::string>{{"/Creator", "Quillfen"}, {"/Title", title}}));

    QPDF pdf;
    pdf.processFile(file.c_str());
    std::set<std::string> streams;
    for (auto& object : pdf.getAllObjects()) {
        if (!object.isStream() || !object.getDict().getKey("/Subtype").isNameAndEquals("/Image")) continue;
        EXPECT_TRUE(object.getDict().getKey("/Filter").isNameAndEquals("/DCTDecode"));
        const auto data = object.getRawStreamData();
        streams.emplace(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    }
    EXPECT_EQ(streams, (std::set<std::string>{{first.begin(), first.end()}, {second.begin(), second.end()}}))
        << "every drawing must be one image object holding its JPEG bytes";

    // The ramp is black at its top-left corner and light at its bottom-right, wherever it is drawn.
    const auto gray = renderedFirstPage(file);
    EXPECT_LT(gray(12, 108), 40);
    EXPECT_GT(gray(157, 12), 180);
    EXPECT_LT(gray(202, 248), 40);
    EXPECT_EQ(gray(5, 5), 255);
    EXPECT_EQ(gray(165, 60), 255);
}

TEST_F(PdfWriterTest, TheFileIdentifierFollowsTheContentAndEqualBooksGiveEqualBytes) {
    const auto ramp = PageImage::fromJpeg(fixtures::jpegBytes(fixtures::rampBitmap(300, 200), 92));
    const auto other = PageImage::fromJpeg(fixtures::jpegBytes(fixtures::rampBitmap(300, 201), 92));
    ASSERT_TRUE(ramp && other);
    struct Book {
        const char* name;
        std::string title = "Our year";
        PdfPageBoxes boxes{{0, 0, 594, 594}, Rect{0, 0, 594, 594}, Rect{9, 9, 576, 576}};
        const PageImage* picture = nullptr;
    };
    const auto write = [&](const Book& book) {
        const fs::path file = folder / (std::string(book.name) + ".pdf");
        PdfWriter writer(file, book.title);
        for (int page = 0; page < 2; ++page) {
            const PageImage& picture = page == 1 && book.picture ? *book.picture : *ramp;
            writer.beginPage(book.boxes)->drawImage(picture, {9, 9, 300, 200});
            writer.endPage();
        }
        EXPECT_TRUE(writer.finish());
        QPDF pdf;
        pdf.processFile(file.c_str());
        QPDFObjectHandle ids = pdf.getTrailer().getKey("/ID");
        const std::string id = ids.getArrayItem(0).getStringValue();
        EXPECT_EQ(id.size(), 16u);
        EXPECT_EQ(ids.getArrayItem(1).getStringValue(), id) << "a new file's two identifiers are one";
        return std::pair(readAll(file), id);
    };
    const auto [bytes, id] = write({"first"});
    const std::time_t second = std::time(nullptr);
    while (std::time(nullptr) == second) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(write({"again"}).first == bytes) << "the same book a second later must give the same bytes";
    const Book changed[] = {
        {"title", "Our other year"},
        {"trim", "Our year", {{0, 0, 594, 594}, Rect{0, 0, 594, 594}, Rect{9, 9, 576, 575}}},
        {"no bleed", "Our year", {{0, 0, 594, 594}, std::nullopt, Rect{9, 9, 576, 576}}},
        {"picture", "Our year", {{0, 0, 594, 594}, Rect{0, 0, 594, 594}, Rect{9, 9, 576, 576}}, &*other},
    };
    for (const auto& book : changed) {
        SCOPED_TRACE(book.name);
        EXPECT_NE(write(book).second, id) << "another book must have another identifier";
    }
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

    const auto gray = renderedFirstPage(file);
    EXPECT_EQ(gray(100, 100), 255) << "the shape itself is white";
    EXPECT_GT(gray(100, 156), 245) << "the shadow shows above the shape";
    // The shadow's edge (half its darkness) lies 12 points below the shape's bottom at y = 50.
    const int darkest = gray(100, 45);
    int edge = 20;
    while (edge < 50 && gray(100, edge) > (255 + darkest) / 2) ++edge;
    EXPECT_LT(darkest, 120);
    EXPECT_NEAR(edge, 38, 2.5) << "the offset is not 12 points of the page";
}

TEST_F(PdfWriterTest, AShadowRepeatedOnManyPagesIsHeldOnce) {
    // The pictures in the file when `sizes` are drawn with a shadow, one a page.
    const auto images = [&](const std::vector<double>& sizes) {
        const fs::path file = folder / "shadows.pdf";
        PdfWriter writer(file, "Shadows");
        for (const double size : sizes) {
            Canvas* canvas = writer.beginPage({{0, 0, 300, 300}, std::nullopt, std::nullopt});
            canvas->setShadow({0, -2}, 8, Color::black(0.3));
            canvas->fillRect({50, 50, size, size});
            writer.endPage();
        }
        EXPECT_TRUE(writer.finish());
        QPDF pdf;
        pdf.processFile(file.c_str());
        int count = 0;
        for (auto& object : pdf.getAllObjects())
            count += object.isStream() && object.getDict().getKey("/Subtype").isNameAndEquals("/Image");
        return count;
    };
    const int one = images({100});
    EXPECT_GT(one, 0);
    EXPECT_EQ(images({100, 100, 100, 100}), one);
    EXPECT_EQ(images({100, 120, 100}), 2 * one) << "another shape casts another shadow";
}

TEST_F(PdfWriterTest, AShadowAfterAnotherIsItsOwnWhateverCameBefore) {
    // A shape with its shadow, drawn on a page of its own.
    struct Shadow {
        Rect rect;
        double scale;
        double blur;
    };
    const auto draw = [](PdfWriter& writer, const Shadow& shadow) {
        Canvas* canvas = writer.beginPage({{0, 0, 300, 300}, std::nullopt, std::nullopt});
        canvas->scale(shadow.scale, shadow.scale);
        canvas->setShadow({0, -6}, shadow.blur, Color::black(0.6));
        canvas->setFillColor(Color::white());
        canvas->fillRect(shadow.rect);
        writer.endPage();
    };
    const Shadow first{{60, 60, 120, 120}, 1, 2};
    const std::vector<Shadow> seconds = {
        {{60, 60, 120, 120}, 1, 2},     // the same
        {{60, 60, 120, 120}, 1, 1.6},   // sharper, on a mask of the same size
        {{60, 60, 120, 120}, 1, 12},    // softer
        {{60, 60, 150, 120}, 1, 2},     // wider
        {{60.5, 60, 120, 120}, 1, 2},   // half a point over
        {{60.25, 60, 119.5, 120}, 1, 2},  // a quarter point over, on a mask of the same size
        {{30, 30, 60, 60}, 2, 2},       // the same box through another transform
    };
    for (const auto& second : seconds) {
        const fs::path both = folder / "both.pdf", alone = folder / "alone.pdf";
        PdfWriter pair(both, "Shadows");
        draw(pair, first);
        draw(pair, second);
        ASSERT_TRUE(pair.finish());
        PdfWriter single(alone, "Shadows");
        draw(single, second);
        ASSERT_TRUE(single.finish());
        cv::Mat difference;
        cv::absdiff(renderPage(both, 2, 72), renderPage(alone, 1, 72), difference);
        EXPECT_EQ(cv::countNonZero(difference.reshape(1)), 0)
            << "the second page's shadow differs, at " << second.rect.origin.x << " blur " << second.blur;
    }
}

TEST_F(PdfWriterTest, UnwritableDestinationsFailAndLeaveNothing) {
    std::ofstream(folder / "a-file") << "not a folder";
    fs::create_directories(folder / "a-folder.pdf");
    const fs::path cases[] = {
        folder / "missing" / "book.pdf",  // no such folder
        folder / "a-file" / "book.pdf",   // the folder is a file
        folder / "a-folder.pdf",          // a folder in the way
        "/proc/quillfen-book.pdf",        // a folder no one may write in, not even root
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
    EXPECT_EQ(files().size(), 2u);

    PdfWriter invalid(folder / "book.pdf", "Book");  // a page without size fails the whole file
    EXPECT_EQ(invalid.beginPage({{0, 0, 0, 100}, std::nullopt, std::nullopt}), nullptr);
    EXPECT_FALSE(invalid.finish());
    EXPECT_EQ(files().size(), 2u);
}

TEST_F(PdfWriterTest, FullDiskFailsAndKeepsTheEarlierFile) {
    const fs::path file = folder / "book.pdf";
    std::ofstream(file) << "the earlier export";
    const auto jpeg = PageImage::fromJpeg(fixtures::jpegBytes(fixtures::rampBitmap(800, 800), 100));
    ASSERT_GT(jpeg->jpeg()->size(), 60000u);
    // In a child process, files may grow to 40 kB only, like a disk that fills up while writing.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{40000, 40000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        PdfWriter writer(file, "Book");
        Canvas* canvas = writer.beginPage({{0, 0, 500, 500}, std::nullopt, std::nullopt});
        if (!canvas) ::_exit(3);
        canvas->drawImage(*jpeg, {0, 0, 500, 500});
        writer.endPage();
        ::_exit(writer.finish() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a write to a full disk reported success (1) or never began (3)";
    EXPECT_EQ(files(), std::vector<std::string>{"book.pdf"}) << "partial files left behind";
    EXPECT_EQ(readAll(file), "the earlier export");
}
