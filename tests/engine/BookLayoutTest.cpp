#include "engine/BookLayout.h"

#include <unordered_set>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {
const UUID a = *UUID::parse("00000000-0000-4000-8000-00000000000A");
const UUID b = *UUID::parse("00000000-0000-4000-8000-00000000000B");
}  // namespace

TEST(PageContent, EqualOnlyForTheSameKindAndPayloadInOrder) {
    EXPECT_EQ(PageContent{CoverPage{}}, PageContent{CoverPage{}});
    EXPECT_NE(PageContent{CoverPage{}}, PageContent{BlankPage{}});
    EXPECT_NE(PageContent{AboutPage{a}}, PageContent{AboutPage{b}});
    EXPECT_NE(PageContent{(DrawingsPage{{a, b}})}, PageContent{(DrawingsPage{{b, a}})});
    EXPECT_NE(PageContent{(DrawingsPage{{a}})}, PageContent{(DrawingsPage{{a, a}})});
}

TEST(LayoutWarning, EveryFieldTellsWarningsApart) {
    const LayoutWarning base{3, a, "soft", false};
    LayoutWarning severe = base, noPage = base, noDrawing = base;
    severe.severe = true;
    noPage.page.reset();
    noDrawing.drawing.reset();
    const std::unordered_set<LayoutWarning> set{base, severe, noPage, noDrawing, base};
    EXPECT_EQ(set.size(), 4u);
    EXPECT_NE(base, severe);
    EXPECT_EQ(std::hash<LayoutWarning>{}(base),
              std::hash<LayoutWarning>{}(LayoutWarning{3, a, "soft", false}));
}

TEST(BookLayout, CountsAddedPagesAndGivesThePageBoxes) {
    BookLayout layout;
    layout.pages = {{1, CoverPage{}, {}}, {2, BlankPage{}, {}}, {3, BackPage{}, {}}};
    layout.trimSize = {612, 792};
    layout.spec = spec(PrintPreset::homePrint);
    layout.contentPages = 2;
    EXPECT_EQ(layout.addedPages(), 1);
    const PageBoxes boxes = layout.boxes();
    EXPECT_EQ(boxes.media, (Rect{0, 0, 612, 792}));
    EXPECT_EQ(boxes.trim, boxes.media);
    EXPECT_EQ(boxes.safe, (Rect{18, 18, 576, 756}));
}
