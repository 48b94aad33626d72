#include "engine/render/HomeSheet.h"
#include "engine/render/PageFiles.h"

#include "tests/engine/PdfReading.h"

#include <gtest/gtest.h>

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

bool isWhite(cv::Vec3b bgr) {
    return bgr[0] > 245 && bgr[1] > 245 && bgr[2] > 245;
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

TEST_F(PageFilesTest, HomePrintScalesEachPageIntoTheSheetAndClipsItsBleed) {
    for (const Size trim : {Size{576, 576}, Size{864, 864}, Size{792, 612}}) {
        SCOPED_TRACE(::testing::Message() << trim.width << " x " << trim.height);
        const fs::path file = folder / "home.pdf";
        const auto draw = [&](std::size_t, Canvas& canvas, Point origin) {
            EXPECT_EQ(origin, (Point{0, 0}));
            canvas.setFillColor(blue);  // reaches 40 points into where a bleed would be
            canvas.fillRect({origin.x - 40, origin.y - 40, trim.width + 80, trim.height + 80});
        };
        ASSERT_TRUE(PageFiles::homePrint(file, "Our Art", trim, 2, draw, {}));

        const auto [sheet, R] = BookRenderer::homeSheet(trim.width, trim.height);
        const auto back = readBack(file);
        ASSERT_EQ(back.pages.size(), 2u);
        for (const auto& boxes : back.pages) {
            EXPECT_EQ(boxes, (Boxes{{"/MediaBox", {0, 0, sheet.width, sheet.height}}}));
        }
        const cv::Mat page = renderPage(file, 1, 72);
        ASSERT_EQ(page.cols, static_cast<int>(sheet.width));
        ASSERT_EQ(page.rows, static_cast<int>(sheet.height));
        EXPECT_TRUE(shows(pagePixel(page, R.midX(), R.midY()), blue, 12));
        EXPECT_TRUE(shows(pagePixel(page, R.minX() + 2, R.minY() + 2), blue, 12));
        EXPECT_TRUE(shows(pagePixel(page, R.maxX() - 3, R.maxY() - 3), blue, 12));
        for (const Point outside : {Point{R.minX() - 3, R.midY()}, Point{R.maxX() + 3, R.midY()},
                                    Point{R.midX(), R.minY() - 3}, Point{R.midX(), R.maxY() + 3}}) {
            EXPECT_TRUE(isWhite(pagePixel(page, outside.x, outside.y))) << "the bleed reached the sheet";
        }
        // A light grey outline at the trim, read at four pixels a point.
        const cv::Mat fine = renderPage(file, 1, 288);
        const auto outline = fine.at<cv::Vec3b>(int((sheet.height - R.midY()) * 4), int(R.minX() * 4) - 1);
        EXPECT_GT(outline[1], 190);
        EXPECT_LT(outline[1], 240);
    }
}
