#include "engine/calendar/CalendarPaginator.h"
#include "engine/calendar/CalendarRenderer.h"
#include "engine/render/HomeSheet.h"

#include "tests/engine/CalendarFixtures.h"
#include "tests/engine/GoldenImages.h"
#include "tests/engine/PdfReading.h"
#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>

using namespace quillfen;
using namespace quillfen::fixtures;
using namespace quillfen::pdfreading;

namespace {

using CalendarRendererTest = TemporaryFolderTest;

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

int jpegObjects(const fs::path& file) {
    QPDF pdf;
    pdf.processFile(file.c_str());
    int jpegs = 0;
    for (auto& object : pdf.getAllObjects()) {
        jpegs += object.isStream() && object.getDict().getKey("/Subtype").isNameAndEquals("/Image") &&
                 object.getDict().getKey("/Filter").isNameAndEquals("/DCTDecode");
    }
    return jpegs;
}

}  // namespace

// The print-ready file has a page per layout page with its three boxes and the one JPEG every source
// returns, once and unchanged; the home file puts every page on a letter sheet with only a media box.
TEST_F(CalendarRendererTest, PrintReadyAndHomeFilesHaveAPagePerLayoutPageWithTheirBoxes) {
    struct Case {
        CalendarFormat format;
        CalendarPrint print;
        Size sheet;
    };
    const Case cases[] = {
        {CalendarFormat::wall, CalendarPrint::printShop, {792, 612}},
        {CalendarFormat::letter, CalendarPrint::home, {612, 792}},
        {CalendarFormat::desk6x4, CalendarPrint::printShop, {792, 612}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << label(c.format) << ", " << label(c.print));
        CalendarSettings settings = quietCalendar(c.format);
        settings.print = c.print;
        const bool home = c.print == CalendarPrint::home;
        settings.title = home ? "" : "Our Year";  // an untitled calendar is named by its year
        settings.language =
            c.format == CalendarFormat::letter ? CalendarLanguage::spanish : CalendarLanguage::english;
        const Pictured calendar(settings);
        const int n = int(calendar.layout.pages.size());
        EXPECT_EQ(n, hasPicturePage(c.format) ? 25 : 13);
        std::vector<std::pair<int, int>> calls, everyPage;
        for (int i = 1; i <= n; ++i) everyPage.emplace_back(i, n);
        const auto progress = [&](int done, int total) { calls.emplace_back(done, total); };

        const fs::path file = folder / "calendar.pdf";
        ASSERT_TRUE(CalendarRenderer::printPDF(calendar.layout, calendar.content, file, progress));
        EXPECT_EQ(calls, everyPage);
        const ReadBack printed = readBack(file);
        ASSERT_EQ(int(printed.pages.size()), n);
        const double W = trimSize(c.format).width, H = trimSize(c.format).height;
        const double b = home ? 0 : 9;
        const Rect media(0, 0, W + 2 * b, H + 2 * b);
        for (const auto& boxes : printed.pages)
            EXPECT_EQ(boxes, (Boxes{{"/MediaBox", media}, {"/BleedBox", media}, {"/TrimBox", {b, b, W, H}}}));
        EXPECT_EQ(printed.info, (std::map<std::string, std::string>{{"/Creator", "Quillfen"},
                                                                    {"/Title", home ? "2027" : "Our Year"}}));
        EXPECT_EQ(jpegObjects(file), 1) << "the one JPEG that every source returns is one image object";

        calls.clear();
        const fs::path sheetFile = folder / "home.pdf";
        ASSERT_TRUE(CalendarRenderer::homePrintPDF(calendar.layout, calendar.content, sheetFile, progress));
        EXPECT_EQ(calls, everyPage);
        const ReadBack sheets = readBack(sheetFile);
        ASSERT_EQ(int(sheets.pages.size()), n);
        for (const auto& boxes : sheets.pages) EXPECT_EQ(boxes, (Boxes{{"/MediaBox", {{0, 0}, c.sheet}}}));
        EXPECT_EQ(sheets.info, printed.info);
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
                                                        calendar.content, 480, true);
        ASSERT_TRUE(bitmap);
        golden::expectMatches(*bitmap, c.name);
    }
}
