#include "engine/HomeSheet.h"
#include "engine/PageFiles.h"

#include "tests/engine/PdfReading.h"
#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <utility>

using namespace quillfen;
using namespace quillfen::pdfreading;

namespace {

constexpr Color blue{0.1, 0.3, 0.9, 1};

void expectRectNear(const Rect& actual, const Rect& expected) {
    EXPECT_NEAR(actual.minX(), expected.minX(), 1e-3);
    EXPECT_NEAR(actual.minY(), expected.minY(), 1e-3);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-3);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-3);
}

// Pixel (x, y) of a page rendered at 72 dpi, y counted from the bottom as on the page.
cv::Vec3b at(const cv::Mat& page, double x, double y) {
    return page.at<cv::Vec3b>(page.rows - 1 - static_cast<int>(y), static_cast<int>(x));
}

bool isBlue(cv::Vec3b bgr) {
    return std::abs(bgr[0] - 230) < 12 && std::abs(bgr[1] - 77) < 12 && std::abs(bgr[2] - 26) < 12;
}
bool isWhite(cv::Vec3b bgr) {
    return bgr[0] > 245 && bgr[1] > 245 && bgr[2] > 245;
}

using Calls = std::vector<std::pair<int, int>>;

PageProgress recording(Calls& calls) {
    return [&calls](int done, int total) { calls.emplace_back(done, total); };
}

Calls expectedCalls(int n) {
    Calls calls;
    for (int i = 1; i <= n; ++i) calls.emplace_back(i, n);
    return calls;
}

}  // namespace

TEST(HomeSheet, ChoosesTheOrientationThatShowsThePageLargest) {
    struct Case {
        double width, height;
        Size sheet;
        Rect page;
    };
    const Case cases[] = {
        {576, 576, {612, 792}, {18, 108, 576, 576}},  // a tie goes to portrait
        {720, 720, {612, 792}, {18, 108, 576, 576}},
        {864, 864, {612, 792}, {18, 108, 576, 576}},
        {792, 612, {792, 612}, {23.294117647, 18, 745.411764706, 576}},
        {612, 792, {612, 792}, {18, 23.294117647, 576, 745.411764706}},
        {0, 0, {612, 792}, {18, 108, 576, 576}},    // no aspect counts as square
        {-5, 10, {612, 792}, {18, 108, 576, 576}},  // nor does a negative one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        const auto placed = BookRenderer::homeSheet(c.width, c.height);
        EXPECT_EQ(placed.sheet, c.sheet);
        expectRectNear(placed.page, c.page);
        EXPECT_GE(placed.page.minX(), BookRenderer::homeMargin - 1e-9);
        EXPECT_GE(placed.page.minY(), BookRenderer::homeMargin - 1e-9);
        EXPECT_LE(placed.page.maxX(), placed.sheet.width - BookRenderer::homeMargin + 1e-9);
        EXPECT_LE(placed.page.maxY(), placed.sheet.height - BookRenderer::homeMargin + 1e-9);
    }
}

using PageFilesTest = TemporaryFolderTest;

TEST_F(PageFilesTest, PrintReadyPagesCarryMediaBleedAndTrimBoxes) {
    struct Case {
        Size trim;
        double bleed;
    };
    for (const Case c : {Case{{576, 576}, 9}, Case{{792, 612}, 0}}) {
        SCOPED_TRACE(::testing::Message() << "bleed " << c.bleed);
        const fs::path file = folder / "pages.pdf";
        Calls calls;
        std::vector<Point> origins;
        const auto draw = [&](std::size_t, Canvas& canvas, Point origin) {
            origins.push_back(origin);
            canvas.setFillColor(blue);
            canvas.fillRect({origin.x, origin.y, c.trim.width, c.trim.height});
        };
        ASSERT_TRUE(PageFiles::printReady(file, "Our Art", c.trim, c.bleed, 3, draw, recording(calls)));
        EXPECT_EQ(calls, expectedCalls(3));
        EXPECT_EQ(origins, std::vector<Point>(3, Point{c.bleed, c.bleed}));

        const auto back = readBack(file);
        const Rect media(0, 0, c.trim.width + 2 * c.bleed, c.trim.height + 2 * c.bleed);
        const Rect trim(c.bleed, c.bleed, c.trim.width, c.trim.height);
        ASSERT_EQ(back.pages.size(), 3u);
        for (const auto& boxes : back.pages) {
            EXPECT_EQ(boxes, (Boxes{{"/MediaBox", media}, {"/BleedBox", media}, {"/TrimBox", trim}}));
        }
        EXPECT_EQ(back.info,
                  (std::map<std::string, std::string>{{"/Title", "Our Art"}, {"/Creator", "Quillfen"}}));

        const cv::Mat page = renderPage(file, 2, 72);
        ASSERT_EQ(page.cols, static_cast<int>(media.width()));
        EXPECT_TRUE(isBlue(at(page, trim.minX() + 1, trim.minY() + 1)));
        if (c.bleed > 0) {
            EXPECT_TRUE(isWhite(at(page, 2, 2))) << "the trim is not at (bleed, bleed)";
        }
    }
}

TEST_F(PageFilesTest, HomePrintScalesEachPageIntoTheSheetAndClipsItsBleed) {
    for (const Size trim : {Size{576, 576}, Size{864, 864}, Size{792, 612}}) {
        SCOPED_TRACE(::testing::Message() << trim.width << " x " << trim.height);
        const fs::path file = folder / "home.pdf";
        Calls calls;
        const auto draw = [&](std::size_t, Canvas& canvas, Point origin) {
            EXPECT_EQ(origin, (Point{0, 0}));
            canvas.setFillColor(blue);  // reaches 40 points into where a bleed would be
            canvas.fillRect({origin.x - 40, origin.y - 40, trim.width + 80, trim.height + 80});
        };
        ASSERT_TRUE(PageFiles::homePrint(file, "Our Art", trim, 2, draw, recording(calls)));
        EXPECT_EQ(calls, expectedCalls(2));

        const auto [sheet, R] = BookRenderer::homeSheet(trim.width, trim.height);
        const auto back = readBack(file);
        ASSERT_EQ(back.pages.size(), 2u);
        for (const auto& boxes : back.pages) {
            EXPECT_EQ(boxes, (Boxes{{"/MediaBox", {0, 0, sheet.width, sheet.height}}}));
        }
        const cv::Mat page = renderPage(file, 1, 72);
        ASSERT_EQ(page.cols, static_cast<int>(sheet.width));
        ASSERT_EQ(page.rows, static_cast<int>(sheet.height));
        EXPECT_TRUE(isBlue(at(page, R.midX(), R.midY())));
        EXPECT_TRUE(isBlue(at(page, R.minX() + 2, R.minY() + 2)));
        EXPECT_TRUE(isBlue(at(page, R.maxX() - 3, R.maxY() - 3)));
        for (const Point outside : {Point{R.minX() - 3, R.midY()}, Point{R.maxX() + 3, R.midY()},
                                    Point{R.midX(), R.minY() - 3}, Point{R.midX(), R.maxY() + 3}}) {
            EXPECT_TRUE(isWhite(at(page, outside.x, outside.y))) << "the bleed reached the sheet";
        }
    }
}

TEST_F(PageFilesTest, NoPagesGiveAnEmptyFileAndNoProgress) {
    Calls calls;
    const auto draw = [](std::size_t, Canvas&, Point) { ADD_FAILURE() << "nothing to draw"; };
    ASSERT_TRUE(PageFiles::printReady(folder / "print.pdf", "", {576, 576}, 9, 0, draw, recording(calls)));
    ASSERT_TRUE(PageFiles::homePrint(folder / "home.pdf", "", {576, 576}, 0, draw, recording(calls)));
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(readBack(folder / "print.pdf").pages.empty());
    EXPECT_TRUE(readBack(folder / "home.pdf").pages.empty());
}

TEST_F(PageFilesTest, UnwritableDestinationFailsBeforeDrawing) {
    Calls calls;
    int drawn = 0;
    const auto draw = [&](std::size_t, Canvas&, Point) { ++drawn; };
    EXPECT_FALSE(PageFiles::printReady(folder / "missing" / "book.pdf", "Book", {576, 576}, 9, 4, draw,
                                       recording(calls)));
    EXPECT_FALSE(PageFiles::homePrint(folder, "Book", {576, 576}, 4, draw, recording(calls)));
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(files().empty());
}

TEST_F(PageFilesTest, FullDiskFailsAndKeepsTheEarlierFile) {
    const fs::path file = folder / "book.pdf";
    std::ofstream(file) << "the earlier export";
    const auto jpeg = PageImage::fromJpeg(fixtures::jpegBytes(fixtures::rampBitmap(600, 600), 100));
    ASSERT_TRUE(jpeg);
    // Files may grow to 100 kB only, in a child process, like a disk that fills up while writing.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int reported = 0;
        const auto draw = [&](std::size_t, Canvas& canvas, Point origin) {
            canvas.drawImage(*jpeg, {origin.x, origin.y, 576, 576});
        };
        const bool written =
            PageFiles::printReady(file, "Book", {576, 576}, 9, 12, draw, [&](int, int) { ++reported; });
        ::_exit(written ? 1 : reported == 12 ? 2 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: a full disk reported success; 2: drawing went on after it";
    EXPECT_EQ(files(), std::vector<std::string>{"book.pdf"}) << "partial files left behind";
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the earlier export");
}
