#include "engine/book/BookLayout.h"

#include <unordered_set>

#include <gtest/gtest.h>

using namespace quillfen;

TEST(LayoutWarning, EveryFieldTellsWarningsApart) {
    const UUID id = *UUID::parse("00000000-0000-4000-8000-00000000000A");
    const LayoutWarning base{3, id, "soft", false};
    LayoutWarning severe = base, noPage = base, noDrawing = base;
    severe.severe = true;
    noPage.page.reset();
    noDrawing.drawing.reset();
    const std::unordered_set<LayoutWarning> set{base, severe, noPage, noDrawing,
                                                LayoutWarning{3, id, "soft", false}};
    EXPECT_EQ(set.size(), 4u);
}
