#include "engine/book/SlotGeometry.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

UUID idNumber(int n) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[15] = static_cast<std::uint8_t>(n);
    return UUID(bytes);
}

std::vector<PlacedDrawing> drawings(std::initializer_list<double> aspects) {
    std::vector<PlacedDrawing> out;
    int n = 0;
    for (double a : aspects) out.push_back({idNumber(++n), a});
    return out;
}

const Rect square8Content{27, 27, 522, 522};

}  // namespace

TEST(CaptionMetrics, ScaleWithThePageAndTheNumberOfDrawings) {
    BookSettings on;
    BookSettings off;
    off.showName = off.showAge = off.showDate = false;
    struct Case {
        const BookSettings* settings;
        int count;
        double side;
        CaptionMetrics expected;
    };
    const Case cases[] = {
        {&on, 2, 576, {14.45, 10.404, 27.455 + 14.5656}},
        {&off, 1, 864, {26, 18.72, 49.4}},
        {&on, 3, 200, {9 * 0.72, 9 * 0.72 * 0.72, 1.9 * 9 * 0.72 + 1.4 * 9 * 0.72 * 0.72}},  // floor of 9
        {&off, 0, 250, {9, 6.48, 17.1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.count << " drawings on " << c.side);
        const auto m = CaptionMetrics::forPage(*c.settings, c.count, c.side, c.side + 100);
        EXPECT_DOUBLE_EQ(m.titleSize, c.expected.titleSize);
        EXPECT_DOUBLE_EQ(m.detailSize, c.expected.detailSize);
        EXPECT_DOUBLE_EQ(m.height, c.expected.height);
    }
}

TEST(SlotGeometry, AspectFitCentresAndTreatsBadAspectsAsSquare) {
    const Rect box{0, 0, 200, 100};
    EXPECT_EQ(Paginator::aspectFit(2, box), box);
    EXPECT_EQ(Paginator::aspectFit(4, box), (Rect{0, 25, 200, 50}));
    EXPECT_EQ(Paginator::aspectFit(0.5, box), (Rect{75, 0, 50, 100}));
    for (double bad : {0.0, -2.0, std::nan("")})
        EXPECT_EQ(Paginator::aspectFit(bad, box), (Rect{50, 0, 100, 100}));
}

TEST(SlotGeometry, PlacesAtMostFourDrawingsRowByRow) {
    const auto six = drawings({1, 1, 1, 1, 1, 1});
    const auto slots = Paginator::slots(six, square8Content, 0);
    const Rect cells[] = {{27, 297, 252, 252}, {297, 297, 252, 252}, {27, 27, 252, 252}, {297, 27, 252, 252}};
    ASSERT_EQ(slots.size(), 4u);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        EXPECT_EQ(slots[i].drawing, six[i].id);
        EXPECT_EQ(slots[i].cell, cells[i]);
        EXPECT_EQ(slots[i].caption, (Rect{0, 0, 0, 0}));
    }
}

TEST(SlotGeometry, EqualCandidatesKeepTheEarlierOne) {
    // A square content area: a row and a column of two squares give the same areas, so the row stays.
    const Rect square{0, 0, 218, 218};
    const auto slots = Paginator::slots(drawings({1, 1}), square, 0);
    EXPECT_EQ(slots[0].cell, Paginator::row(2, square, 18)[0]);

    // Within one square point of the best total, a larger smallest picture still wins.
    const Rect taller{0, 0, 218, 218.002};
    EXPECT_EQ(Paginator::slots(drawings({1, 1}), taller, 0)[0].cell, Paginator::column(2, taller, 18)[0]);

    // Big on top takes 58 % of the height; big at the bottom leaves 42 % to the row above it.
    const auto cells = Paginator::candidateCells(3, square8Content);
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(cells[2][0], (Rect{27, 549 - (522 - 18) * 0.58, 522, (522 - 18) * 0.58}));
    EXPECT_EQ(cells[4][2], (Rect{27, 27, 522, 522 - (522 - 18) * 0.42 - 18}));
}

TEST(SlotGeometry, CaptionsSitBelowThePictureWhichKeepsAtLeastOnePoint) {
    const auto one = Paginator::slots(drawings({1}), square8Content, 42);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].cell, square8Content);
    EXPECT_EQ(one[0].image, (Rect{27 + 21, 27 + 42, 480, 480}));
    EXPECT_EQ(one[0].caption, (Rect{27, 27, 522, 42}));
    const auto slots = Paginator::fit(drawings({2}), {{0, 0, 100, 30}}, 50);
    ASSERT_EQ(slots.size(), 1u);
    EXPECT_EQ(slots[0].image, (Rect{49, 50, 2, 1}));
    EXPECT_EQ(slots[0].caption, (Rect{0, 0, 100, 50}));
    EXPECT_TRUE(Paginator::fit(drawings({1, 1}), {}, 10).empty());
    EXPECT_TRUE(Paginator::slots({}, square8Content, 10).empty());
}

TEST(SlotGeometry, CoverPictureLeavesRoomForTitleAndSubtitle) {
    const Rect cover = Paginator::coverPictureRect(576, 576, 27, 1);
    EXPECT_NEAR(cover.origin.x, 124.92, 1e-9);
    EXPECT_NEAR(cover.origin.y, 84.6, 1e-9);
    EXPECT_NEAR(cover.size.width, 326.16, 1e-9);
    EXPECT_NEAR(cover.size.height, 326.16, 1e-9);
    EXPECT_EQ(Paginator::coverPictureRect(576, 576, 400, 1), (Rect{0, 0, 0, 0}));
}
