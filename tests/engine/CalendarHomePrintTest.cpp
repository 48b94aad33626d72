#include "engine/CalendarPaginator.h"
#include "engine/CalendarRenderer.h"
#include "engine/HomeSheet.h"

#include "tests/engine/CalendarFixtures.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
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

class CalendarHomePrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() / ("quillfen-home-" + std::to_string(::getpid()) + "-" +
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

}  // namespace

TEST_F(CalendarHomePrintTest, EveryPageIsALetterSheetWithOnlyAMediaBox) {
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
TEST_F(CalendarHomePrintTest, PageIsClippedToItsTrimAndOutlined) {
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
