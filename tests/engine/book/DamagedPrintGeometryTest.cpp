#include "engine/book/BookRenderer.h"
#include "engine/book/PrintGeometry.h"

#include <gtest/gtest.h>

#include "tests/engine/IcuDefaults.h"
#include "tests/engine/PdfReading.h"
#include "tests/engine/SmallBook.h"

using namespace quillfen;
using namespace quillfen::pdfreading;

TEST(DamagedPrintGeometry, BleedAndSafeMarginAreHeldWhereTheyEnterTheEngine) {
    struct Case { double bleed, safe, heldBleed, heldSafe; };
    const Case cases[] = {{-9, -1e7, 0, 0}, {5e6, 1e9, 864, 864}, {9, 27, 9, 27}, {36, 72, 36, 72}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bleed << " / " << c.safe);
        Json stored = encode(spec(PrintPreset::photoBook));
        stored["bleed"] = c.bleed, stored["safe"] = c.safe;
        const PrintSpec read = decode<PrintSpec>(stored);
        EXPECT_EQ(read.bleed, c.heldBleed);
        EXPECT_EQ(read.safe, c.heldSafe);
        EXPECT_EQ(PrintSpec::make(c.bleed, c.safe, 2, 20, 0), read);
    }
    for (const PrintPreset preset : {PrintPreset::photoBook, PrintPreset::layFlat, PrintPreset::softcover,
                                     PrintPreset::saddleStitch, PrintPreset::homePrint, PrintPreset::custom}) {
        EXPECT_EQ(spec(preset).heldTo(trimSize(BookSize::square8)), spec(preset)) << title(preset);
    }
}

using DamagedPrintGeometryFiles = TemporaryFolderTest;

TEST_F(DamagedPrintGeometryFiles, BookFromDamagedSpecPrintsItsPagesInsideTheirBoxes) {
    const quillfen::testing::ScopedIcuDefaults icu("UTC", "en_US");
    struct Case { PrintSpec stored; double bleed, safe; };
    const Case cases[] = {
        {{-20, 27, 2, 20, 0}, 0, 27},    // the trim box would lie outside the media box
        {{1e9, 27, 2, 20, 0}, 576, 27},  // a "valid" file with empty pages
        {{9, -1e7, 2, 20, 0}, 9, 0},     // overflowed the text layout
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.stored.bleed << " / " << c.stored.safe);
        fixtures::SmallBook book;
        book.settings.spec = c.stored;  // as a damaged document or a stray caller hands it over
        const BookLayout layout = book.layout();
        ASSERT_EQ(layout.spec.bleed, c.bleed);
        ASSERT_EQ(layout.spec.safe, c.safe);
        ASSERT_TRUE(BookRenderer::printPDF(layout, book.content(true), folder / "print.pdf"));
        const double side = 576 + 2 * c.bleed;
        EXPECT_EQ(readBack(folder / "print.pdf").pages.front(),
                  (Boxes{{"/MediaBox", {0, 0, side, side}},
                         {"/BleedBox", {0, 0, side, side}},
                         {"/TrimBox", {c.bleed, c.bleed, 576, 576}}}));
        const cv::Mat cover = renderPage(folder / "print.pdf", 1, 18);  // 4 points to the pixel
        const int inside = static_cast<int>((c.bleed + 8) / 4);
        EXPECT_TRUE(shows(pagePixel(cover, inside, inside), rgb(book.settings.coverColor), 5)) << "no cover";
    }
}
