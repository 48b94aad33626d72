#include "engine/CalendarPaginator.h"
#include "engine/CalendarRenderer.h"
#include "engine/HomeSheet.h"

#include "tests/engine/CalendarFixtures.h"
#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

using namespace quillfen;
using namespace quillfen::fixtures;
namespace fs = std::filesystem;

namespace {

class CalendarRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() / ("quillfen-calendar-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
};

Rect rectOf(QPDFObjectHandle page, const char* key) {
    const auto r = page.getKey(key).getArrayAsRectangle();
    return {r.llx, r.lly, r.urx - r.llx, r.ury - r.lly};
}

struct Progressed {
    std::vector<std::pair<int, int>> calls;
    CalendarRenderer::Progress function() {
        return [this](int done, int total) { calls.emplace_back(done, total); };
    }
};

std::vector<std::pair<int, int>> everyPage(int n) {
    std::vector<std::pair<int, int>> calls;
    for (int i = 1; i <= n; ++i) calls.emplace_back(i, n);
    return calls;
}

// A calendar with a JPEG picture for every month and the cover, every drawing 4:3.
struct Pictured {
    CalendarSettings settings;
    std::vector<DrawingInfo> drawings;
    CalendarLayout layout;
    CalendarContent content;

    explicit Pictured(CalendarSettings s) : settings(std::move(s)) {
        const auto jpeg = PageImage::fromJpeg(jpegBytes(rampBitmap(400, 300)));
        for (int month = 0; month < 12; ++month) {
            DrawingInfo drawing;
            drawing.id = idNumber(std::uint8_t(month % 3 + 1));  // three drawings, each on four months
            drawing.aspect = 4.0 / 3;
            drawing.pixelSize = {4000, 3000};
            if (month < 3) drawings.push_back(drawing);
            settings.pictures[month] = drawing.id;
        }
        std::unordered_map<UUID, DrawingInfo> byID;
        for (const auto& d : drawings) byID.emplace(d.id, d);
        layout = CalendarPaginator::paginate(settings, byID);
        content = CalendarContent::make(settings, {}, drawings, [jpeg](const UUID&) { return jpeg; });
    }
};

cv::Mat bgr(const Bitmap& b) {
    cv::Mat rgba(b.height, b.width, CV_8UC4, const_cast<std::uint8_t*>(b.pixels.data()));
    cv::Mat out;
    cv::cvtColor(rgba, out, cv::COLOR_RGBA2BGR);
    return out;
}

// Compares with tests/data/golden/<name>.png; QUILLFEN_UPDATE_GOLDENS=1 writes the file instead.
void expectMatchesGolden(const Bitmap& bitmap, const std::string& name) {
    const std::string path = std::string(QUILLFEN_TEST_DATA) + "/golden/" + name + ".png";
    if (std::getenv("QUILLFEN_UPDATE_GOLDENS")) {
        fs::create_directories(fs::path(path).parent_path());
        cv::imwrite(path, bgr(bitmap));
        return;
    }
    const cv::Mat golden = cv::imread(path, cv::IMREAD_COLOR);
    ASSERT_FALSE(golden.empty()) << "missing golden image " << path;
    const cv::Mat drawn = bgr(bitmap);
    ASSERT_EQ(golden.size(), drawn.size());
    cv::Mat difference;
    cv::absdiff(golden, drawn, difference);
    const cv::Scalar mean = cv::mean(difference);
    EXPECT_LT((mean[0] + mean[1] + mean[2]) / 3, 1.0) << name << " differs from its golden image";
    cv::Mat gray;
    cv::cvtColor(difference, gray, cv::COLOR_BGR2GRAY);
    EXPECT_LT(cv::countNonZero(gray > 40), int(gray.total() / 100))
        << name << " differs from its golden image";
}

}  // namespace

TEST_F(CalendarRendererTest, ThumbnailFillsTheMediaBoxAtTheAskedWidth) {
    struct Case {
        CalendarFormat format;
        CalendarPrint print;
        int width, height;
    };
    const Case cases[] = {
        {CalendarFormat::wall, CalendarPrint::printShop, 400, 311},  // 810 × 630
        {CalendarFormat::wall, CalendarPrint::home, 400, 309},       // 792 × 612
        {CalendarFormat::desk6x4, CalendarPrint::printShop, 300, 204},
        {CalendarFormat::square12, CalendarPrint::printShop, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(label(c.format));
        CalendarSettings settings = quietCalendar(c.format);
        settings.print = c.print;
        const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
        const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
        const auto bitmap = CalendarRenderer::thumbnail(layout.pages[1], layout, content, c.width, false);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->width, c.width);
        EXPECT_EQ(bitmap->height, c.height);
        EXPECT_EQ(bitmap->pixel(0, 0)[3], 255) << "the bleed is painted too";
    }
    const CalendarSettings settings = quietCalendar();
    const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
    const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
    EXPECT_FALSE(CalendarRenderer::thumbnail(layout.pages[0], layout, content, 0, false));
    EXPECT_FALSE(CalendarRenderer::thumbnail(layout.pages[0], layout, content, -5, false));
}

TEST_F(CalendarRendererTest, PrintFileHasAPagePerLayoutPageWithItsThreeBoxes) {
    const CalendarFormat formats[] = {CalendarFormat::wall, CalendarFormat::letter, CalendarFormat::square12,
                                      CalendarFormat::desk5x7, CalendarFormat::desk6x4};
    for (const auto format : formats) {
        for (const auto print : {CalendarPrint::printShop, CalendarPrint::home}) {
            SCOPED_TRACE(::testing::Message() << label(format) << ", " << label(print));
            CalendarSettings settings = quietCalendar(format);
            settings.print = print;
            settings.title = "Our Year";
            settings.language =
                format == CalendarFormat::letter ? CalendarLanguage::spanish : CalendarLanguage::english;
            const Pictured calendar(settings);
            const fs::path file = folder / "calendar.pdf";
            Progressed progress;
            ASSERT_TRUE(
                CalendarRenderer::printPDF(calendar.layout, calendar.content, file, progress.function()));
            const int n = int(calendar.layout.pages.size());
            EXPECT_EQ(n, hasPicturePage(format) ? 25 : 13);
            EXPECT_EQ(progress.calls, everyPage(n));

            QPDF pdf;
            pdf.processFile(file.c_str());
            const auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
            ASSERT_EQ(int(pages.size()), n);
            const double W = trimSize(format).width, H = trimSize(format).height;
            const double b = print == CalendarPrint::home ? 0 : 9;
            for (const auto& page : pages) {
                QPDFObjectHandle handle = page.getObjectHandle();
                EXPECT_EQ(rectOf(handle, "/MediaBox"), Rect(0, 0, W + 2 * b, H + 2 * b));
                EXPECT_EQ(rectOf(handle, "/BleedBox"), Rect(0, 0, W + 2 * b, H + 2 * b));
                EXPECT_EQ(rectOf(handle, "/TrimBox"), Rect(b, b, W, H));
            }
            QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
            EXPECT_EQ(info.getKeys(), (std::set<std::string>{"/Creator", "/Title"}));
            EXPECT_EQ(info.getKey("/Title").getUTF8Value(), "Our Year");
            EXPECT_EQ(info.getKey("/Creator").getUTF8Value(), "Quillfen");

            // Every page's picture is the same JPEG: it enters the file once, unchanged. (Shadows are
            // images of their own, not JPEGs.)
            int jpegs = 0;
            for (auto& object : pdf.getAllObjects()) {
                jpegs += object.isStream() && object.getDict().getKey("/Subtype").isNameAndEquals("/Image") &&
                         object.getDict().getKey("/Filter").isNameAndEquals("/DCTDecode");
            }
            EXPECT_EQ(jpegs, 1) << "the one JPEG that every source returns is one image object";
        }
    }
}

TEST_F(CalendarRendererTest, EmptyLayoutsAndUnwritableFolders) {
    const CalendarSettings settings = quietCalendar();
    const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
    CalendarLayout empty = CalendarPaginator::paginate(settings, {});
    empty.pages.clear();
    Progressed progress;
    const fs::path file = folder / "empty.pdf";
    ASSERT_TRUE(CalendarRenderer::printPDF(empty, content, file, progress.function()));
    QPDF pdf;
    pdf.processFile(file.c_str());
    EXPECT_EQ(QPDFPageDocumentHelper(pdf).getAllPages().size(), 0u);
    EXPECT_TRUE(progress.calls.empty());

    const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
    EXPECT_FALSE(
        CalendarRenderer::printPDF(layout, content, folder / "missing" / "c.pdf", progress.function()));
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST(CalendarRendererPlacedSizes, KeepsTheLargestPlacementOfEachDrawing) {
    const UUID a = idNumber(1), b = idNumber(2), c = idNumber(3), missing = idNumber(9);
    DrawingInfo square, wide;
    square.id = a;
    square.aspect = 1;
    wide.id = b;
    wide.aspect = 2;
    DrawingInfo flat = wide;
    flat.id = c;
    flat.aspect = 0;
    const std::unordered_map<UUID, DrawingInfo> drawings{{a, square}, {b, wide}, {c, flat}};

    CalendarLayout layout;
    layout.trimSize = {792, 612};
    layout.pages = {
        {1, CalendarCoverPage{}, Rect(0, 0, 500, 300), std::nullopt},
        {2, CalendarPicturePage{0}, Rect(0, 0, 400, 300), std::nullopt},
        {3, CalendarGridPage{0}, std::nullopt, Rect(0, 0, 700, 500)},
        {4, CalendarPicturePage{1}, Rect(0, 0, 400, 300), std::nullopt},
        {5, CalendarPicturePage{2}, Rect(0, 0, 300, 400), std::nullopt},
        {6, CalendarPicturePage{3}, Rect(0, 0, 100, 100), std::nullopt},  // no picture for this month
        {7, CalendarPicturePage{4}, Rect(0, 0, 200, 100), std::nullopt},
        {8, CalendarPicturePage{5}, Rect(0, 0, 300, 120), std::nullopt},
        {9, CalendarMonthPage{6}, Rect(0, 0, 300, 400), Rect(0, 0, 10, 10)},  // equal area to month 1's
        {10, CalendarMonthPage{7}, std::nullopt, Rect(0, 0, 10, 10)},         // no picture rectangle
    };
    CalendarSettings settings;
    settings.coverPicture = a;
    settings.pictures = {{0, a}, {1, b}, {2, a}, {4, missing}, {5, c}, {6, b}, {7, idNumber(10)}};

    struct Case {
        bool fill;
        Size a, b, c, missing;
    };
    const Case cases[] = {
        // Of two equal areas the earlier page's size stays.
        {false, {500, 300}, {400, 300}, {300, 120}, {200, 100}},
        // Filling: a square over 400 × 300 is 400 × 400, beating the cover's own 500 × 300; a 2:1
        // drawing over 300 × 400 is 800 × 400; an unknown or flat drawing keeps its rectangle.
        {true, {400, 400}, {800, 400}, {300, 120}, {200, 100}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.fill ? "fill" : "fit");
        settings.fillPicture = k.fill;
        const auto sizes = CalendarRenderer::placedSizes(layout, settings, drawings);
        EXPECT_EQ(sizes.size(), 4u);
        EXPECT_EQ(sizes.at(a), k.a);
        EXPECT_EQ(sizes.at(b), k.b);
        EXPECT_EQ(sizes.at(c), k.c);
        EXPECT_EQ(sizes.at(missing), k.missing);
    }
}

TEST(CalendarRendererGolden, ThumbnailsMatchTheirGoldenImages) {
    struct Case {
        const char* name;
        CalendarFormat format;
        CalendarLanguage language;
        int weekStart;
        CoverColor cover;
        int page;
    };
    const Case cases[] = {
        {"calendar-wall-grid-es-monday", CalendarFormat::wall, CalendarLanguage::spanish, 1, CoverColor::sky,
         4},
        {"calendar-desk5x7-month", CalendarFormat::desk5x7, CalendarLanguage::english, 0, CoverColor::sky, 3},
        {"calendar-square-cover", CalendarFormat::square12, CalendarLanguage::english, 0,
         CoverColor::charcoal, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CalendarSettings settings = quietCalendar(c.format);
        settings.language = c.language;
        settings.weekStart = c.weekStart;
        settings.coverColor = c.cover;
        settings.federalHolidays = true;
        settings.subtitle = "Drawings by Mia";
        const Pictured calendar(settings);
        const auto bitmap = CalendarRenderer::thumbnail(calendar.layout.pages[c.page], calendar.layout,
                                                        calendar.content, 240, true);
        ASSERT_TRUE(bitmap);
        expectMatchesGolden(*bitmap, c.name);
    }
}

TEST_F(CalendarRendererTest, EveryPageIsALetterSheetWithOnlyAMediaBox) {
    struct Case {
        CalendarFormat format;
        Size sheet;
    };
    const Case cases[] = {
        {CalendarFormat::wall, {792, 612}},     {CalendarFormat::letter, {612, 792}},
        {CalendarFormat::square12, {612, 792}}, {CalendarFormat::desk5x7, {792, 612}},
        {CalendarFormat::desk6x4, {792, 612}},
    };
    for (const auto& c : cases) {
        for (const auto print : {CalendarPrint::printShop, CalendarPrint::home}) {
            SCOPED_TRACE(::testing::Message() << label(c.format) << ", " << label(print));
            CalendarSettings settings = quietCalendar(c.format);
            settings.print = print;
            const CalendarLayout layout = CalendarPaginator::paginate(settings, {});
            const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
            const fs::path file = folder / "home.pdf";
            std::vector<std::pair<int, int>> calls;
            ASSERT_TRUE(CalendarRenderer::homePrintPDF(
                layout, content, file, [&](int done, int total) { calls.emplace_back(done, total); }));
            const int n = int(layout.pages.size());
            ASSERT_EQ(int(calls.size()), n);
            EXPECT_EQ(calls.back(), std::make_pair(n, n));

            QPDF pdf;
            pdf.processFile(file.c_str());
            const auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
            ASSERT_EQ(int(pages.size()), n);
            for (const auto& page : pages) {
                QPDFObjectHandle handle = page.getObjectHandle();
                EXPECT_EQ(rectOf(handle, "/MediaBox"), Rect({0, 0}, c.sheet));
                EXPECT_FALSE(handle.hasKey("/BleedBox"));
                EXPECT_FALSE(handle.hasKey("/TrimBox"));
            }
            QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
            EXPECT_EQ(info.getKeys(), (std::set<std::string>{"/Creator", "/Title"}));
            EXPECT_EQ(info.getKey("/Title").getUTF8Value(), "2027");
        }
    }
}

// The square calendar's cover, bleed and all, lands clipped to its trim at (18, 108, 576, 576) on a
// portrait sheet, outlined in light grey; read back through poppler at four pixels a point.
TEST_F(CalendarRendererTest, PageIsClippedToItsTrimAndOutlined) {
    CalendarSettings settings = quietCalendar(CalendarFormat::square12);
    settings.coverColor = CoverColor::charcoal;
    CalendarLayout layout = CalendarPaginator::paginate(settings, {});
    layout.pages.resize(1);
    const CalendarContent content = CalendarContent::make(settings, {}, {}, {});
    const fs::path file = folder / "cover.pdf";
    ASSERT_TRUE(CalendarRenderer::homePrintPDF(layout, content, file));
    const std::string command =
        "pdftoppm -r 288 -png -singlefile " + file.string() + " " + (folder / "cover").string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    const cv::Mat sheet = cv::imread((folder / "cover.png").string(), cv::IMREAD_GRAYSCALE);
    ASSERT_EQ(sheet.cols, 612 * 4);
    ASSERT_EQ(sheet.rows, 792 * 4);
    const int middle = (792 - 108 - 288) * 4;  // the page's middle row, counted from the top
    EXPECT_EQ(sheet.at<std::uint8_t>(middle, 18 * 4 - 6), 255) << "the bleed must not reach the sheet";
    EXPECT_LT(sheet.at<std::uint8_t>(middle, 18 * 4 + 6), 100) << "the charcoal cover fills the trim";
    const int outline = sheet.at<std::uint8_t>(middle, 18 * 4 - 1);
    EXPECT_GT(outline, 190);
    EXPECT_LT(outline, 240);
    const int below = (792 - 108) * 4;  // the first row under the page
    const int underOutline = sheet.at<std::uint8_t>(below, 300);
    EXPECT_GT(underOutline, 190);
    EXPECT_LT(underOutline, 240);
}
