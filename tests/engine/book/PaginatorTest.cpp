#include "engine/book/Paginator.h"
#include "engine/book/SlotGeometry.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

UUID makeID(int n, std::uint8_t kind) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[0] = kind;
    bytes[14] = static_cast<std::uint8_t>(n >> 8);
    bytes[15] = static_cast<std::uint8_t>(n);
    return UUID(bytes);
}

UUID childID(int n) {
    return makeID(n, 0xC0);
}

Child child(int n) {
    return Child{childID(n), "Child " + std::to_string(n), std::nullopt, ""};
}

// A sharp square drawing drawn on day `day`.
DrawingInfo drawing(int n, int day, std::optional<int> artist = std::nullopt) {
    DrawingInfo d;
    d.id = makeID(n, 0xD0);
    d.date = Date{86400.0 * day};
    d.sequence = n;
    d.title = "Drawing " + std::to_string(n);
    d.pixelSize = {6000, 6000};
    if (artist) d.childID = childID(*artist);
    return d;
}

std::vector<DrawingInfo> sharpDrawings(int count) {
    std::vector<DrawingInfo> out;
    for (int i = 0; i < count; ++i) out.push_back(drawing(i, i));
    return out;
}

std::vector<PlacedDrawing> placed(std::initializer_list<double> aspects) {
    std::vector<PlacedDrawing> out;
    for (double a : aspects) out.push_back({makeID(int(out.size()), 0xD0), a});
    return out;
}

const Rect square8Content{27, 27, 522, 522};

// A drawings page shows its number of drawings; other pages their kind.
std::string describe(const PageContent& content) {
    if (const auto* page = std::get_if<DrawingsPage>(&content)) return std::to_string(page->drawings.size());
    static const char* const kinds[] = {"about", "", "cover", "dedication", "blank", "back"};
    return kinds[content.index()];
}

std::vector<std::string> shape(const BookLayout& layout) {
    std::vector<std::string> out;
    for (const auto& page : layout.pages) out.push_back(describe(page.content));
    return out;
}

std::vector<std::string> withBlanks(std::vector<std::string> front, int blanks, bool back) {
    front.insert(front.end(), static_cast<std::size_t>(blanks), "blank");
    if (back) front.push_back("back");
    return front;
}

}  // namespace

TEST(Paginator, LaysOutTheWorkedExampleByChildAndChronologically) {
    BookSettings settings;
    settings.dedication = "For Grandma";
    settings.closing = "The end";
    settings.arrangement = Arrangement::two;
    const std::vector<Child> children{child(1), child(2)};
    // A has three drawings, B two, one has no child; dates interleave.
    const std::vector<DrawingInfo> drawings{drawing(1, 5, 1), drawing(2, 1, 2), drawing(3, 2),
                                            drawing(4, 3, 1), drawing(5, 4, 2), drawing(6, 6, 1)};

    settings.order = BookOrder::byChild;
    const BookLayout byChild = Paginator::paginate(settings, children, drawings);
    EXPECT_EQ(shape(byChild),
              withBlanks({"cover", "dedication", "about", "2", "1", "about", "2", "1"}, 11, true));
    EXPECT_EQ(byChild.contentPages, 9);
    EXPECT_EQ(byChild.addedPages(), 11);
    EXPECT_EQ(byChild.pages[2].content, PageContent{AboutPage{childID(1)}});
    EXPECT_EQ(byChild.pages[3].content, PageContent{(DrawingsPage{{drawings[3].id, drawings[0].id}})});
    EXPECT_EQ(byChild.pages[7].content, PageContent{(DrawingsPage{{drawings[2].id}})});

    settings.order = BookOrder::chronological;
    const BookLayout chronological = Paginator::paginate(settings, children, drawings);
    EXPECT_EQ(shape(chronological),
              withBlanks({"cover", "dedication", "about", "about", "2", "2", "2"}, 12, true));
    EXPECT_EQ(chronological.pages[3].content, PageContent{AboutPage{childID(2)}});
    EXPECT_EQ(chronological.pages[4].content, PageContent{(DrawingsPage{{drawings[1].id, drawings[2].id}})});
    for (std::size_t i = 0; i < chronological.pages.size(); ++i)
        EXPECT_EQ(chronological.pages[i].number, static_cast<int>(i + 1));
    EXPECT_TRUE(chronological.warnings.empty());
}

TEST(Paginator, PadsWithBlankPagesToThePresetsRules) {
    struct Case {
        const char* name;
        PrintSpec spec;
        int drawings;
        std::string dedication;
        std::string closing;
        std::vector<std::string> shape;
        int contentPages;
    };
    const Case cases[] = {
        {"empty book", spec(PrintPreset::photoBook), 0, "", "", withBlanks({"cover"}, 19, false), 1},
        {"closing", spec(PrintPreset::photoBook), 0, "", "Bye", withBlanks({"cover"}, 18, true), 2},
        {"blank texts", spec(PrintPreset::photoBook), 0, " \n\t", "\n \u2028",
         withBlanks({"cover"}, 19, false), 1},
        {"multiple of 4", spec(PrintPreset::saddleStitch), 8, "x", "",
         withBlanks({"cover", "dedication", "1", "1", "1", "1", "1", "1", "1", "1"}, 2, false), 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BookSettings settings;
        settings.spec = c.spec;
        settings.dedication = c.dedication;
        settings.closing = c.closing;
        const BookLayout layout = Paginator::paginate(settings, {}, sharpDrawings(c.drawings));
        EXPECT_EQ(shape(layout), c.shape);
        EXPECT_EQ(layout.contentPages, c.contentPages);
        EXPECT_TRUE(layout.warnings.empty());
    }
    BookSettings alone;
    alone.spec = spec(PrintPreset::homePrint);
    alone.coverInInterior = false;
    EXPECT_EQ(shape(Paginator::paginate(alone, {}, {})), std::vector<std::string>{"blank"});
}

TEST(Paginator, HugeStoredPageCountsFinishPromptlyAtTheCap) {
    BookSettings settings;
    settings.spec = PrintSpec{9, 27, INT64_MAX, INT64_MAX, 0};
    settings.closing = "The end";
    const BookLayout layout = Paginator::paginate(settings, {}, sharpDrawings(3));
    EXPECT_EQ(layout.pages.size(), 2000u);
    EXPECT_EQ(layout.pages.back().number, 2000);
    EXPECT_EQ(describe(layout.pages.back().content), "back");
    EXPECT_EQ(layout.contentPages, 5);
}

TEST(Paginator, ChunksByArrangementAndTheMixPattern) {
    const auto sizes = [](const std::vector<DrawingInfo>& drawings, Arrangement arrangement) {
        std::vector<std::size_t> out;
        for (const auto& page : Paginator::chunk(drawings, arrangement)) out.push_back(page.size());
        return out;
    };
    auto sevenWithFourthFeatured = sharpDrawings(7);
    sevenWithFourthFeatured[3].featured = true;
    auto featuredInARow = sharpDrawings(5);
    featuredInARow[0].featured = featuredInARow[1].featured = true;
    struct Case {
        const char* name;
        std::vector<DrawingInfo> drawings;
        Arrangement arrangement;
        std::vector<std::size_t> sizes;
    };
    const Case cases[] = {
        {"ten mixed", sharpDrawings(10), Arrangement::mix, {1, 2, 3, 1, 3}},
        {"fourth featured", sevenWithFourthFeatured, Arrangement::mix, {1, 2, 1, 1, 2}},
        {"featured in a row", featuredInARow, Arrangement::mix, {1, 1, 3}},
        {"three", sevenWithFourthFeatured, Arrangement::three, {3, 3, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sizes(c.drawings, c.arrangement), c.sizes);
    }
    EXPECT_EQ(Paginator::chunk(sevenWithFourthFeatured, Arrangement::mix)[2][0].id,
              sevenWithFourthFeatured[3].id);
}

TEST(Paginator, MixStartsAfreshForEachChildInByChildOrder) {
    BookSettings settings;
    settings.order = BookOrder::byChild;
    settings.arrangement = Arrangement::mix;
    settings.aboutPages = true;
    settings.spec = spec(PrintPreset::homePrint);
    settings.coverInInterior = false;
    const std::vector<Child> children{child(1), child(2), child(3)};  // child 3 has no drawings
    std::vector<DrawingInfo> drawings;
    for (int i = 0; i < 3; ++i) drawings.push_back(drawing(i, i, 2));
    for (int i = 3; i < 7; ++i) drawings.push_back(drawing(i, i, 1));
    drawings.push_back(drawing(7, 0, 9));  // a child not in the list
    drawings.push_back(drawing(8, 1));     // no child
    drawings.push_back(drawing(9, 2, 9));
    const BookLayout layout = Paginator::paginate(settings, children, drawings);
    EXPECT_EQ(shape(layout),
              (std::vector<std::string>{"about", "1", "2", "1", "about", "1", "2", "1", "1", "1"}));
    EXPECT_EQ(layout.pages[0].content, PageContent{AboutPage{childID(1)}});
    EXPECT_EQ(layout.pages[4].content, PageContent{AboutPage{childID(2)}});
}

TEST(Paginator, WarnsAboutSoftAndBlurryDrawingsWithTheirPageNumbers) {
    BookSettings settings;  // square8, safe 27: a single drawing's image is 480 points wide
    settings.spec = spec(PrintPreset::homePrint);
    settings.spec.safe = 27;
    settings.caption = CaptionStyle::none;  // the picture fills 522 points
    struct Case {
        double pixels;
        std::string title;
        std::optional<LayoutWarning> warning;
    };
    const UUID id = drawing(0, 0).id;
    const Case cases[] = {
        {522 / 72.0 * 150, "  ",
         LayoutWarning{
             2, id, "“  ” on page 2 prints at 150 dpi (300 looks sharp). It may look a little soft.", false}},
        {522 / 72.0 * 120, "",
         LayoutWarning{
             2, id,
             "“Untitled” on page 2 prints at only 120 dpi and will look blurry. Use a sharper photo or "
             "scan, or put it on a page with more drawings.",
             true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixels);
        DrawingInfo d = drawing(0, 0);
        d.pixelSize = {c.pixels, c.pixels};
        d.title = c.title;
        const DrawingInfo sharp = drawing(1, 1);  // on the cover: no cover warning
        settings.coverDrawing = sharp.id;
        const BookLayout layout = Paginator::paginate(settings, {}, std::vector{d, sharp});
        ASSERT_EQ(layout.warnings.size(), c.warning ? 1u : 0u);
        if (c.warning) {
            EXPECT_EQ(layout.warnings[0], *c.warning);
        }
    }
}

TEST(Paginator, WarnsAboutTheCoverAndThePageLimitLast) {
    BookSettings settings;
    settings.setPreset(PrintPreset::saddleStitch);
    settings.closing = "The end";
    std::vector<DrawingInfo> drawings = sharpDrawings(63);
    drawings[5].pixelSize = {100, 100};  // blurry on its page and on the cover
    drawings[5].date = Date{-1};         // the oldest: the cover drawing
    const BookLayout layout = Paginator::paginate(settings, {}, drawings);
    EXPECT_EQ(layout.contentPages, 65);
    EXPECT_EQ(layout.pages.size(), 68u);
    ASSERT_EQ(layout.warnings.size(), 3u);
    EXPECT_EQ(layout.warnings[0].page, 2);
    EXPECT_EQ(
        layout.warnings[1],
        (LayoutWarning{1, drawings[5].id, "The cover drawing prints at 20 dpi (300 looks sharp).", true}));
    EXPECT_EQ(
        layout.warnings[2],
        (LayoutWarning{std::nullopt, std::nullopt,
                       "68 pages is more than this preset's 64-page limit. Put more drawings on each page or "
                       "make two books.",
                       true}));
}

TEST(Paginator, RepeatedIdsKeepTheFirstOccurrence) {
    BookSettings settings;
    settings.spec = spec(PrintPreset::homePrint);
    settings.order = BookOrder::byChild;
    Child twin = child(1);
    twin.name = "Twin";
    DrawingInfo first = drawing(1, 1, 1);
    DrawingInfo copy = drawing(1, 0, 1);
    copy.aspect = 3;
    const BookLayout layout = Paginator::paginate(settings, std::vector{child(1), twin},
                                                  std::vector{first, copy, drawing(2, 2, 1)});
    EXPECT_EQ(shape(layout), (std::vector<std::string>{"cover", "about", "1", "1"}));
    EXPECT_EQ(layout.pages[2].content, PageContent{(DrawingsPage{{first.id}})});
    EXPECT_EQ(layout.pages[2].slots[0].image.width(),
              layout.pages[2].slots[0].image.height());  // aspect 1 kept
}

TEST(Paginator, ASafeMarginWithoutRoomIsASevereWarning) {
    BookSettings settings;
    settings.setPreset(PrintPreset::custom);
    settings.spec.safe = 288;  // half of an 8-inch page
    const BookLayout layout = Paginator::paginate(settings, {}, sharpDrawings(2));
    ASSERT_EQ(layout.warnings.size(), 1u);
    EXPECT_EQ(
        layout.warnings[0],
        (LayoutWarning{std::nullopt, std::nullopt,
                       "The safe margin leaves no room on the page. Choose a smaller safe margin.", true}));
    for (const auto& page : layout.pages) EXPECT_TRUE(page.slots.empty());
}

TEST(SlotGeometry, PlacesAtMostFourDrawingsRowByRow) {
    const auto six = placed({1, 1, 1, 1, 1, 1});
    const auto slots = Paginator::slots(six, square8Content, 0);
    const Rect cells[] = {{27, 297, 252, 252}, {297, 297, 252, 252}, {27, 27, 252, 252}, {297, 27, 252, 252}};
    ASSERT_EQ(slots.size(), 4u);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        EXPECT_EQ(slots[i].drawing, six[i].id);
        EXPECT_EQ(slots[i].cell, cells[i]);
        EXPECT_EQ(slots[i].caption, (Rect{0, 0, 0, 0}));
    }
}

