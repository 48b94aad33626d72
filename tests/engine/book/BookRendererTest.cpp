#include "engine/book/BookRenderer.h"
#include "engine/book/SlotGeometry.h"

#include "tests/engine/IcuDefaults.h"
#include "tests/engine/PdfReading.h"
#include "tests/engine/SmallBook.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>


using namespace quillfen;
using namespace quillfen::pdfreading;
using fixtures::idNumber;
using fixtures::SmallBook;

namespace {

using Calls = std::vector<std::pair<int, int>>;

Calls expectedCalls(int n) {
    Calls calls;
    for (int i = 1; i <= n; ++i) calls.emplace_back(i, n);
    return calls;
}

int countBlank(const BookLayout& layout) {
    return static_cast<int>(std::count_if(layout.pages.begin(), layout.pages.end(), [](const BookPage& page) {
        return std::holds_alternative<BlankPage>(page.content);
    }));
}

using Meta = std::map<std::string, std::string>;

}  // namespace

using BookRendererTest = TemporaryFolderTest;

TEST_F(BookRendererTest, PrintFileKeepsEveryPageWithItsBoxesAndHomeFileLeavesBlanksOut) {
    const quillfen::testing::ScopedIcuDefaults icu("UTC", "en_US");
    SmallBook book;
    for (const PrintPreset preset : {PrintPreset::photoBook, PrintPreset::homePrint}) {
        SCOPED_TRACE(title(preset));
        book.settings.setPreset(preset);
        const BookLayout layout = book.layout();
        const BookContent content = book.content(true);
        const double b = layout.spec.bleed, W = layout.trimSize.width, H = layout.trimSize.height;
        const int n = static_cast<int>(layout.pages.size());

        Calls calls;
        const auto record = [&](int done, int total) { calls.emplace_back(done, total); };
        ASSERT_TRUE(BookRenderer::printPDF(layout, content, folder / "print.pdf", record));
        EXPECT_EQ(calls, expectedCalls(n));
        const auto print = readBack(folder / "print.pdf");
        ASSERT_EQ(static_cast<int>(print.pages.size()), n);
        const Rect media(0, 0, W + 2 * b, H + 2 * b);
        for (const auto& boxes : print.pages) {
            EXPECT_EQ(boxes, (Boxes{{"/MediaBox", media}, {"/BleedBox", media}, {"/TrimBox", {b, b, W, H}}}));
        }
        EXPECT_EQ(print.info, (Meta{{"/Title", "Our Art"}, {"/Creator", "Quillfen"}}));
        EXPECT_TRUE(shows(pagePixel(renderPage(folder / "print.pdf", 1, 72), 1, 1), rgb(book.settings.coverColor), 4))
            << "the cover is the first page";

        calls.clear();
        ASSERT_TRUE(BookRenderer::homePrintPDF(layout, content, folder / "home.pdf", record));
        const int kept = n - countBlank(layout);
        EXPECT_EQ(calls, expectedCalls(kept));
        const auto home = readBack(folder / "home.pdf");
        ASSERT_EQ(static_cast<int>(home.pages.size()), kept);
        for (const auto& boxes : home.pages) EXPECT_EQ(boxes, (Boxes{{"/MediaBox", {0, 0, 612, 792}}}));
        EXPECT_EQ(home.info, print.info);
        // The last sheet is the back page, not a blank one.
        const cv::Mat last = renderPage(folder / "home.pdf", kept, 72);
        cv::Mat gray;
        cv::cvtColor(last, gray, cv::COLOR_BGR2GRAY);
        EXPECT_GT(cv::countNonZero(gray(cv::Rect(18, 108, 576, 576)) < 128), 50);
    }
    for (const auto& name : files()) EXPECT_NE(name.front(), '.') << "a temporary file was left behind";
}

TEST_F(BookRendererTest, CoverFileShowsTheCoverEvenWhenTheInteriorLeavesItOut) {
    SmallBook book;
    book.settings.coverInInterior = false;
    book.settings.coverColor = CoverColor::sky;
    struct Case {
        std::string title, fileTitle;
    };
    for (const auto& c : {Case{"Our Art", "Our Art (cover)"}, Case{"", " (cover)"}}) {
        SCOPED_TRACE(c.title);
        book.settings.title = c.title;
        const BookLayout layout = book.layout();
        const BookContent content = book.content(true);
        ASSERT_TRUE(BookRenderer::coverPDF(layout, content, folder / "cover.pdf"));
        ASSERT_TRUE(BookRenderer::printPDF(layout, content, folder / "interior.pdf"));

        const auto cover = readBack(folder / "cover.pdf");
        ASSERT_EQ(cover.pages.size(), 1u);
        EXPECT_EQ(cover.pages[0], readBack(folder / "interior.pdf").pages[0]) << "same boxes as the interior";
        EXPECT_EQ(cover.info, (Meta{{"/Title", c.fileTitle}, {"/Creator", "Quillfen"}}));
        EXPECT_TRUE(shows(pagePixel(renderPage(folder / "cover.pdf", 1, 72), 1, 1), rgb(CoverColor::sky), 4));
        EXPECT_FALSE(shows(pagePixel(renderPage(folder / "interior.pdf", 1, 72), 1, 1), rgb(CoverColor::sky), 4));
    }
}

TEST_F(BookRendererTest, FailedWritesReturnFalseAndLeaveNoFile) {
    const SmallBook book;
    const BookLayout layout = book.layout();
    const BookContent content = book.content(true);
    const fs::path nowhere = folder / "missing" / "book.pdf";
    int reported = 0;
    const auto record = [&](int, int) { ++reported; };
    EXPECT_FALSE(BookRenderer::printPDF(layout, content, nowhere, record));
    EXPECT_FALSE(BookRenderer::homePrintPDF(layout, content, nowhere, record));
    EXPECT_FALSE(BookRenderer::coverPDF(layout, content, folder));  // a folder in the way
    EXPECT_EQ(reported, 0);
    EXPECT_TRUE(files().empty());
}

TEST(BookRenderer, PlacedSizesKeepEachDrawingsLargestPlacement) {
    const UUID a = idNumber(1), b = idNumber(2);
    const auto slot = [](UUID id, double width, double height) {
        return Slot{id, {}, {0, 0, width, height}, {}};
    };
    const Rect cover = Paginator::coverPictureRect(576, 576, 27, 1);  // 326.16 square
    struct Case {
        const char* name;
        std::vector<std::vector<Slot>> pages;
        bool coverInInterior;
        BookRenderer::PlacedSizes expected;
    };
    const Case cases[] = {
        {"larger area wins", {{slot(a, 300, 200)}, {slot(a, 250, 250)}}, true, {{a, {250, 250}}}},
        {"cover only in its own file", {{slot(b, 50, 40)}}, false, {{a, cover.size}, {b, {50, 40}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BookLayout layout;
        layout.trimSize = {576, 576};
        for (const auto& slots : c.pages) {
            DrawingsPage drawings;
            for (const auto& s : slots) drawings.drawings.push_back(s.drawing);
            layout.pages.push_back({static_cast<int>(layout.pages.size()) + 1, drawings, slots});
        }
        BookSettings settings;
        settings.coverDrawing = a;
        settings.coverInInterior = c.coverInInterior;
        std::vector<DrawingInfo> drawings(2);
        drawings[0].id = a;
        drawings[1].id = b;
        drawings[1].date = fixtures::dayNumber(-1);  // older, but a is chosen
        const auto content = BookContent::make(settings, {}, drawings, {});
        EXPECT_EQ(BookRenderer::placedSizes(layout, content), c.expected);
    }
}

TEST(BookRenderer, TargetLongSideNeverEnlargesADrawing) {
    struct Case {
        Size placed, pixels;
        double dpi, expected;
    };
    const Case cases[] = {
        {{576, 576}, {2000, 1500}, 360, 2000},  // 2880 wanted, 2000 there: kept
        {{72, 72}, {1024, 1024}, 100.5, 101},   // 100.5 rounds away from zero
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.placed.width << "x" << c.placed.height << " at " << c.dpi);
        EXPECT_DOUBLE_EQ(BookRenderer::targetLongSide(c.placed, c.pixels, c.dpi), c.expected);
    }
}
