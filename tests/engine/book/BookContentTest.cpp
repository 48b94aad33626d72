#include "engine/book/AboutPage.h"
#include "engine/book/BookContent.h"

#include "tests/engine/CalendarFixtures.h"
#include "tests/engine/IcuDefaults.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quillfen;
using quillfen::fixtures::idNumber;

namespace {

constexpr double day = 86400;

DrawingInfo drawing(std::uint8_t id, double days, std::int64_t sequence, std::optional<UUID> child = {},
                    std::string age = {}) {
    DrawingInfo info;
    info.id = idNumber(id);
    info.childID = child;
    info.date = Date::fromSecondsSinceReferenceDate(days * day);
    info.sequence = sequence;
    info.age = std::move(age);
    return info;
}

}  // namespace

TEST(BookContent, CoverDrawingFallsBackToTheOldestThenTheLowestSequence) {
    struct Case {
        const char* name;
        std::vector<DrawingInfo> drawings;
        std::optional<UUID> chosen;
        std::optional<UUID> expected;
    };
    const Case cases[] = {
        {"chosen and present", {drawing(1, 10, 1), drawing(2, 20, 2)}, idNumber(2), idNumber(2)},
        {"chosen but deleted", {drawing(1, 30, 1), drawing(2, 20, 2)}, idNumber(9), idNumber(2)},
        {"equal dates", {drawing(1, 20, 7), drawing(2, 20, 3), drawing(3, 20, 5)}, {}, idNumber(2)},
        {"no drawings", {}, idNumber(1), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BookSettings settings;
        settings.coverDrawing = c.chosen;
        auto reversed = c.drawings;
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_EQ(BookContent::make(settings, {}, c.drawings, {}).coverDrawing(), c.expected);
        EXPECT_EQ(BookContent::make(settings, {}, reversed, {}).coverDrawing(), c.expected);
    }
}

TEST(AboutPage, SummaryCountsDrawingsAndSpansTheirAges) {
    const quillfen::testing::ScopedIcuDefaults icu("UTC", "en_US");
    const UUID mia = idNumber(100);
    const UUID leo = idNumber(101);
    struct Case {
        const char* name;
        std::vector<DrawingInfo> drawings;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"three drawings",
         {drawing(1, 30, 1, mia, "6"), drawing(2, 10, 2, mia, "4"), drawing(3, 20, 3, mia, "5")},
         "3 drawings, ages 4 to 6"},
        {"equal dates go by sequence",
         {drawing(1, 10, 9, mia, "3"), drawing(2, 10, 4, mia, "4")},
         "2 drawings, ages 4 to 3"},
        {"another child's drawings", {drawing(1, 10, 1, leo, "4"), drawing(2, 10, 2)}, std::nullopt},
    };
    const Child child{mia, "Mia", std::nullopt, ""};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto drawings = c.drawings;
        for (int round = 0; round < 2; ++round) {  // the same whatever order the library lists them in
            EXPECT_EQ(BookRenderer::aboutSummary(child, BookContent::make({}, {}, drawings, {})), c.expected);
            std::reverse(drawings.begin(), drawings.end());
        }
    }
}
