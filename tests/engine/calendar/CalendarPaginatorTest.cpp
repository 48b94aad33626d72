#include "engine/calendar/CalendarPaginator.h"

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

const UUID sun = *UUID::parse("11111111-1111-4111-8111-111111111111");
const UUID moon = *UUID::parse("22222222-2222-4222-8222-222222222222");
const UUID ghost = *UUID::parse("33333333-3333-4333-8333-333333333333");

CalendarSettings settings(CalendarFormat format, bool cover = true, bool fill = false,
                          CalendarPrint print = CalendarPrint::printShop) {
    CalendarSettings s;
    s.format = format;
    s.cover = cover;
    s.fillPicture = fill;
    s.print = print;
    return s;
}

DrawingInfo drawing(const UUID& id, double aspect, Size pixels, std::string title = "Sun") {
    DrawingInfo d;
    d.id = id;
    d.aspect = aspect;
    d.pixelSize = pixels;
    d.title = std::move(title);
    return d;
}

std::unordered_map<UUID, DrawingInfo> library(std::initializer_list<DrawingInfo> drawings) {
    std::unordered_map<UUID, DrawingInfo> out;
    for (const auto& d : drawings) out.emplace(d.id, d);
    return out;
}

void expectRect(const std::optional<Rect>& actual, const Rect& expected) {
    ASSERT_TRUE(actual.has_value());
    EXPECT_NEAR(actual->minX(), expected.minX(), 1e-9);
    EXPECT_NEAR(actual->minY(), expected.minY(), 1e-9);
    EXPECT_NEAR(actual->width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual->height(), expected.height(), 1e-9);
}

}  // namespace

TEST(CalendarPaginator, PageOrderOfEveryFormat) {
    struct Case {
        CalendarFormat format;
        bool cover;
        std::size_t pages;
        CalendarPageContent second, last;
    };
    const Case cases[] = {
        {CalendarFormat::wall, true, 25, CalendarPicturePage{0}, CalendarGridPage{11}},
        {CalendarFormat::wall, false, 24, CalendarGridPage{0}, CalendarGridPage{11}},
        {CalendarFormat::letter, false, 12, CalendarMonthPage{1}, CalendarMonthPage{11}},
        {CalendarFormat::desk5x7, true, 13, CalendarMonthPage{0}, CalendarMonthPage{11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << rawValue(c.format) << (c.cover ? " with cover" : ""));
        const CalendarLayout layout = CalendarPaginator::paginate(settings(c.format, c.cover), {});
        ASSERT_EQ(layout.pages.size(), c.pages);
        for (std::size_t i = 0; i < layout.pages.size(); ++i) EXPECT_EQ(layout.pages[i].number, int(i) + 1);
        EXPECT_EQ(std::holds_alternative<CalendarCoverPage>(layout.pages[0].content), c.cover);
        EXPECT_EQ(layout.pages[1].content, c.second);
        EXPECT_EQ(layout.pages.back().content, c.last);
        EXPECT_TRUE(layout.warnings.empty());
    }
    const auto home =
        CalendarPaginator::paginate(settings(CalendarFormat::wall, true, false, CalendarPrint::home), {});
    EXPECT_EQ(home.spec, (PrintSpec{0, 18, 1, 1, 0}));
}

TEST(CalendarPaginator, WarnsAtTheResolutionBounds) {
    // A wall picture page fitted at aspect 1.3 is 576 points (8 inches) high; without a cover it is page 1.
    struct Case {
        double pixelsHigh;
        std::optional<LayoutWarning> warning;
    };
    const Case cases[] = {
        {1200,
         LayoutWarning{1, sun,
                       "“Sun” on page 1 prints at 150 dpi (300 looks sharp). It may look a little soft.",
                       false}},
        {1199.92,
         LayoutWarning{1, sun,
                       "“Sun” on page 1 prints at only 149 dpi and will look blurry. Use a sharper photo "
                       "or scan.",
                       true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixelsHigh);
        CalendarSettings s = settings(CalendarFormat::wall, false);
        s.pictures[0] = sun;
        const auto layout = CalendarPaginator::paginate(s, library({drawing(sun, 1.3, {1e6, c.pixelsHigh})}));
        ASSERT_EQ(layout.warnings.size(), c.warning ? 1u : 0u);
        if (c.warning) {
            EXPECT_EQ(layout.warnings[0], *c.warning);
        }
    }
}

TEST(CalendarPaginator, FilledPicturesAreMeasuredAtTheirCoveringSize) {
    CalendarSettings s = settings(CalendarFormat::wall, false);
    s.pictures[0] = sun;
    const auto lib = library({drawing(sun, 1.3, {1e6, 2396}, "")});
    EXPECT_TRUE(CalendarPaginator::paginate(s, lib).warnings.empty());
    s.fillPicture = true;  // covers 819 × 630 points: 2396 px over 8.75 in
    const auto warnings = CalendarPaginator::paginate(s, lib).warnings;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].text,
              "An untitled picture on page 1 prints at 273 dpi (300 looks sharp). It may look a "
              "little soft.");

    // Aspect 0: fitted as a square; filled, measured at the rectangle's own size (810 × 630 points).
    const auto flat = library({drawing(sun, 0, {4000, 2396})});
    s.fillPicture = false;
    const auto square = CalendarPaginator::paginate(s, flat);
    expectRect(square.pages[0].picture, {108, 18, 576, 576});
    EXPECT_TRUE(square.warnings.empty());
    s.fillPicture = true;
    const auto filled = CalendarPaginator::paginate(s, flat).warnings;
    ASSERT_EQ(filled.size(), 1u);
    EXPECT_NE(filled[0].text.find("prints at 273 dpi"), std::string::npos) << filled[0].text;
}

TEST(CalendarPaginator, CoverPicturesAndMissingDrawings) {
    CalendarSettings s = settings(CalendarFormat::wall, true, true);
    s.pictures[0] = sun;
    const auto blurry = library({drawing(sun, 1.3, {600, 500})});
    const auto both = CalendarPaginator::paginate(s, blurry).warnings;
    ASSERT_EQ(both.size(), 2u);  // the cover falls back to the first month's picture
    EXPECT_EQ(both[0].page, 1);
    EXPECT_EQ(both[1].page, 2);
    EXPECT_TRUE(both[0].severe);

    // The cover is fitted, also with fill on (478.296 × 367.92 points: about 301 dpi), while the filled
    // picture page covers 819 × 630 points (about 176 dpi).
    const auto sharpEnough = CalendarPaginator::paginate(s, library({drawing(sun, 1.3, {2000, 1540})}));
    ASSERT_EQ(sharpEnough.warnings.size(), 1u);
    EXPECT_EQ(sharpEnough.warnings[0].page, 2);
    EXPECT_FALSE(sharpEnough.warnings[0].severe);

    // A cover picture that is not in the library leaves the cover without a drawing.
    s.coverPicture = ghost;
    const auto layout = CalendarPaginator::paginate(s, blurry);
    ASSERT_EQ(layout.warnings.size(), 1u);
    EXPECT_EQ(layout.warnings[0].page, 2);
    expectRect(layout.pages[0].picture, {156.852, 79.2, 478.296, 367.92});
    s.coverPicture = moon;
    s.pictures[3] = ghost;
    EXPECT_EQ(CalendarPaginator::paginate(s, library({drawing(moon, 2, {100, 50}, "Moon")})).warnings.size(),
              1u);
}
