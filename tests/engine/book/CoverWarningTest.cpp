#include "engine/book/BookContent.h"
#include "engine/book/Paginator.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quillfen;

namespace {

UUID id(std::uint8_t kind, int n) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[0] = kind;
    bytes[15] = static_cast<std::uint8_t>(n);
    return UUID(bytes);
}

// A square drawing of `pixels` on a side by child `artist`, drawn on day `day`.
DrawingInfo drawing(int n, int day, int artist, double pixels) {
    DrawingInfo d;
    d.id = id(0xD0, n);
    d.date = Date{86400.0 * day};
    d.sequence = n;
    d.childID = id(0xC0, artist);
    d.pixelSize = {pixels, pixels};
    return d;
}

}  // namespace

// The warning must judge the drawing that the cover prints: the chosen one while it is in the book,
// else the oldest, whatever the book order.
TEST(CoverWarning, JudgesTheDrawingTheCoverPrints) {
    struct Case {
        const char* name;
        BookOrder order;
        std::optional<UUID> chosen;
        int coverIndex;  // into the drawings below
        const char* text;
        bool severe;
    };
    const std::vector<DrawingInfo> drawings = {drawing(1, 1, 2, 300), drawing(2, 5, 1, 6000),
                                               drawing(3, 9, 1, 1000)};
    const std::vector<Child> children = {{id(0xC0, 1), "Mia", std::nullopt, ""},
                                         {id(0xC0, 2), "Leo", std::nullopt, ""}};
    const Case cases[] = {
        {"by child, the oldest drawing is the second child's", BookOrder::byChild, std::nullopt, 0,
         "The cover drawing prints at 66 dpi (300 looks sharp).", true},
        {"chosen drawing no longer in the book", BookOrder::chronological, id(0xD0, 9), 0,
         "The cover drawing prints at 66 dpi (300 looks sharp).", true},
        {"chosen drawing in the book", BookOrder::byChild, drawings[2].id, 2,
         "The cover drawing prints at 220 dpi (300 looks sharp).", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BookSettings settings;
        settings.order = c.order;
        settings.coverDrawing = c.chosen;
        settings.coverInInterior = false;
        const UUID cover = drawings[c.coverIndex].id;
        EXPECT_EQ(BookContent::make(settings, children, drawings, {}).coverDrawing(), cover);
        const auto warnings = Paginator::paginate(settings, children, drawings).warnings;
        const auto found = std::find_if(warnings.begin(), warnings.end(),
                                        [](const LayoutWarning& w) { return !w.page.has_value(); });
        ASSERT_NE(found, warnings.end()) << "no cover warning";
        EXPECT_EQ(*found, (LayoutWarning{std::nullopt, cover, c.text, c.severe}));
    }
}
