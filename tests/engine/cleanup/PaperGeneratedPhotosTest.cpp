#include "engine/cleanup/PaperDetection.h"

#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "bench/PaperPhotoGenerator.h"

using namespace quillfen;
namespace photos = quillfen::paperphotos;

TEST(PaperCandidates, FindsSheetsInGeneratedPhotosAndNoneOnWhiteTablesOrScans) {
    // Two photos of each plain table, one white table, one flatbed scan; detected side by side, as the
    // application does when several drawings are added at once.
    constexpr photos::Surface surfaces[] = {
        photos::Surface::wood,       photos::Surface::darkCloth,  photos::Surface::pattern,
        photos::Surface::lightTable, photos::Surface::stone,      photos::Surface::wood,
        photos::Surface::darkCloth,  photos::Surface::pattern,    photos::Surface::lightTable,
        photos::Surface::stone,      photos::Surface::whiteTable, photos::Surface::flatbed};
    struct Result {
        photos::PaperPhoto photo;
        std::optional<Quad> quad;
    };
    std::vector<std::future<Result>> jobs;
    for (std::uint32_t seed = 0; seed < std::size(surfaces); ++seed) {
        jobs.push_back(std::async(std::launch::async, [seed, &surfaces] {
            auto photo = photos::generate(seed, surfaces[seed]);
            const auto quad = Cleaner::detectPaper(photo.image);
            return Result{std::move(photo), quad};
        }));
    }
    for (std::uint32_t seed = 0; seed < jobs.size(); ++seed) {
        const auto [photo, quad] = jobs[seed].get();
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << photos::surfaceName(photo.surface));
        if (!photos::shouldBeFound(photo.surface)) {
            EXPECT_EQ(quad, std::nullopt);
            continue;
        }
        ASSERT_TRUE(quad.has_value());
        EXPECT_GT(photos::jaccard(*quad, photo.truth, photo.image.width, photo.image.height), 0.85);
    }
}

TEST(PaperCandidates, ShapesDrawnInTheArtworkAreNeverTakenForTheSheet) {
    // Each once returned a piece of the drawing: a white shape outlined in the middle of a coloured
    // sheet was taken for the sheet, and on a ruled scan the paper above a drawn horizon was, where the
    // whole scan is the answer; on a table's edge the paper beside a drawn horizon was, its side widened
    // along the horizon as though that were the sheet's edge, and on another the paper between a drawn
    // horizon and a band of colour, more surely paper than the whole sheet outlined around it. On another
    // ruled scan the paper above the horizon ran out of the picture, a side along its border and a corner
    // beyond it.
    struct Case {
        std::uint32_t seed;
        bool sheetInFrame;
    };
    for (const auto [seed, sheetInFrame] : {Case{500000, true},
                                            {500025, true},
                                            {500030, true},
                                            {500044, true},
                                            {4500079, true},
                                            {500013, false},
                                            {2500108, false}}) {
        const auto photo = photos::generate(seed, photos::hardSurfaceForSeed(seed - 500000));
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << photos::surfaceName(photo.surface));
        const auto quad = Cleaner::detectPaper(photo.image);
        if (!sheetInFrame) {
            EXPECT_EQ(quad, std::nullopt);
            continue;
        }
        ASSERT_TRUE(quad.has_value());
        EXPECT_GT(photos::jaccard(*quad, photo.truth, photo.image.width, photo.image.height), 0.95);
    }
}

