#include "engine/cleanup/detail/PaperNetwork.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "bench/PaperPhotoGenerator.h"
#include "engine/cleanup/PaperCandidates.h"
#include "engine/cleanup/PaperDetection.h"

using namespace quillfen;
using detail::paper::Corners;
namespace photos = quillfen::paperphotos;

namespace {

const cv::Size picture(1024, 768);

// Chances of side cells each way that are the share of each cell the polygons (pixels of picture) cover,
// as a network sure of every pixel would give them.
cv::Mat chancesOf(const std::vector<std::vector<cv::Point2d>>& polygons, int side = 64,
                  const std::vector<std::vector<cv::Point2d>>& holes = {}) {
    constexpr int shift = 4;
    cv::Mat fine(picture, CV_8U, cv::Scalar(0));
    auto fill = [&](const std::vector<cv::Point2d>& polygon, int value) {
        std::vector<cv::Point> points;
        for (const auto& p : polygon) points.emplace_back(p * (1 << shift));
        cv::fillPoly(fine, std::vector<std::vector<cv::Point>>{points}, cv::Scalar(value), cv::LINE_8, shift);
    };
    for (const auto& p : polygons) fill(p, 255);
    for (const auto& p : holes) fill(p, 0);
    cv::Mat chances;
    fine.convertTo(chances, CV_32F, 1 / 255.0);
    cv::resize(chances, chances, cv::Size(side, side), 0, 0, cv::INTER_AREA);
    return chances;
}

std::vector<cv::Point2d> pointsOf(const Corners& c) {
    return {c.begin(), c.end()};
}

}  // namespace

TEST(PaperNetwork, TheLargestRegionsOutlineGetsFourFittedSidesWithCornersWithinASixthOfACell) {
    const Corners upright{{{200, 150}, {800, 150}, {800, 650}, {200, 650}}};
    const Corners turned{{{300, 100}, {850, 190}, {770, 690}, {220, 600}}};
    const Corners perspective{{{330, 120}, {700, 140}, {860, 700}, {150, 660}}};
    const Corners wideAslant{{{184, 296}, {707, 276}, {758, 427}, {195, 449}}};
    // A hand over the sheet's lower side, a bump on its right side and a bright sliver beside it.
    const std::vector<cv::Point2d> hand{{450, 600}, {560, 600}, {560, 700}, {450, 700}};
    const std::vector<cv::Point2d> bump{{790, 300}, {830, 320}, {830, 380}, {790, 400}};
    const std::vector<cv::Point2d> sliver{{20, 20}, {120, 20}, {120, 740}, {20, 740}};
    // A blot the network takes for paper against the sheet's top left corner.
    const std::vector<cv::Point2d> spur{{150, 90}, {230, 90}, {230, 170}, {150, 170}};
    // A scan whose top right corner the network is unsure of.
    const Corners scan = detail::paper::frameOf(picture);
    const std::vector<cv::Point2d> unsureCorner{{700, -1}, {1025, -1}, {1025, 100}};
    struct Case {
        const char* name;
        cv::Mat chances;
        Corners expected;
    };
    const Case cases[] = {
        {"an upright sheet", chancesOf({pointsOf(upright)}), upright},
        {"a sheet turned by a tenth of a right angle", chancesOf({pointsOf(turned)}), turned},
        {"a sheet seen in perspective", chancesOf({pointsOf(perspective)}), perspective},
        {"a sheet seen on a finer square", chancesOf({pointsOf(perspective)}, 256), perspective},
        {"a wide sheet aslant, its corners rounded off", chancesOf({pointsOf(wideAslant)}, 160), wideAslant},
        {"a hand over one side", chancesOf({pointsOf(upright)}, 64, {hand}), upright},
        {"a bump on one side", chancesOf({pointsOf(upright), bump}), upright},
        {"a smaller region beside the sheet", chancesOf({pointsOf(turned), sliver}), turned},
        {"a blot against one corner", chancesOf({pointsOf(upright), spur}), upright},
        {"a scan with an unsure corner", chancesOf({pointsOf(scan)}, 64, {unsureCorner}) * 0.6 + 0.4, scan},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto found = detail::paper::regionOutline(c.chances, picture);
        ASSERT_TRUE(found.has_value());
        const double cell = 1024.0 / c.chances.cols;
        for (int i = 0; i < 4; ++i)
            EXPECT_LT(cv::norm((*found)[i] - c.expected[i]), cell / 6) << "corner " << i;
    }
}

TEST(PaperNetwork, AFringeJoinedToTheSheetBarelyAboveAHalfIsLeftOut) {
    // A rug's fringe below the sheet: tufts the network takes for paper, joined to the sheet by a weft it is
    // barely more sure of than not. At three quarters the region is the sheet alone, drawn in by a quarter of
    // a cell and rounded at its corners.
    const Corners sheet{{{200, 150}, {800, 150}, {800, 650}, {200, 650}}};
    const std::vector<cv::Point2d> weft{{200, 650}, {800, 650}, {800, 672}, {200, 672}};
    std::vector<std::vector<cv::Point2d>> tufts;
    for (double x = 216; x < 800; x += 96)
        tufts.push_back({{x, 672}, {x + 32, 672}, {x + 32, 760}, {x, 760}});
    const cv::Mat chances =
        cv::max(chancesOf({pointsOf(sheet)}), chancesOf({weft}) * 0.6 + chancesOf(tufts) * 0.9);
    const auto found = detail::paper::regionOutline(chances, picture);
    ASSERT_TRUE(found.has_value());
    const double cell = 1024.0 / chances.cols;
    for (int i = 0; i < 4; ++i) EXPECT_LT(cv::norm((*found)[i] - sheet[i]), 0.75 * cell) << "corner " << i;
}

TEST(PaperNetwork, NoOutlineWithoutARegionOfChancesAboveOneHalf) {
    EXPECT_EQ(detail::paper::regionOutline(cv::Mat(64, 64, CV_32F, cv::Scalar(0.4)), picture), std::nullopt);
    EXPECT_EQ(detail::paper::regionOutline(cv::Mat(64, 64, CV_32F, cv::Scalar(0)), picture), std::nullopt);
}

TEST(PaperNetwork, AgreementIsTheChancesMeanInsideAndTheirComplementsOutside) {
    // Cells 16 to 47 each way are sure, a quarter of the square; the outline runs along their outer edges,
    // and half a cell further in, through the centres of the outermost.
    cv::Mat sure(64, 64, CV_32F, cv::Scalar(0));
    sure(cv::Rect(16, 16, 32, 32)).setTo(1);
    const Corners sheet{{{255.5, 191.5}, {767.5, 191.5}, {767.5, 575.5}, {255.5, 575.5}}};
    const Corners within{{{263.5, 197.5}, {759.5, 197.5}, {759.5, 569.5}, {263.5, 569.5}}};
    const Corners whole = detail::paper::frameOf(picture);
    const cv::Mat unsure(64, 64, CV_32F, cv::Scalar(0.5));
    const double ring = (4 * 32 - 2) * 0.5 / (64 * 64);  // the outermost sure cells, half outside
    EXPECT_NEAR(detail::paper::agreement(sure, sheet, picture), 1.0, 1e-3);
    EXPECT_NEAR(detail::paper::agreement(1 - sure, sheet, picture), 0.0, 1e-3);
    EXPECT_NEAR(detail::paper::agreement(sure, within, picture), 1.0 - ring, 1e-3);
    EXPECT_NEAR(detail::paper::agreement(unsure, sheet, picture), 0.5, 1e-3);
    EXPECT_NEAR(detail::paper::agreement(sure, whole, picture), 0.25, 1e-3);
    const Corners farBeyond{{{-1e12, -1e12}, {1e12, -1e12}, {1e12, 1e12}, {-1e12, 1e12}}};
    EXPECT_NEAR(detail::paper::agreement(sure, farBeyond, picture), 0.25, 1e-3);
}

// A phone photo of a drawing, 1024 x 768, as the working copy holds it (lightly smoothed RGB): a sheet with
// the given corners and a few strokes of colour, on a surface of the given colour with a grain of noise, lit
// unevenly; when framed, printed with a broad gold frame a little inside its edges, as colouring pages are.
cv::Mat photoOfASheet(const Corners& sheet, cv::Scalar surface, std::uint64_t seed, bool framed) {
    cv::RNG random(seed);
    cv::Mat photo(picture, CV_8UC3, surface), grain(picture, CV_8UC3);
    random.fill(grain, cv::RNG::NORMAL, cv::Scalar::all(0), cv::Scalar::all(18));
    cv::GaussianBlur(grain, grain, cv::Size(), 2.5);
    photo += grain;
    std::vector<cv::Point> corners;
    for (const auto& p : sheet) corners.emplace_back(p * 16);
    cv::fillConvexPoly(photo, corners, cv::Scalar(236, 234, 226), cv::LINE_AA, 4);
    const cv::Point2d middle = (sheet[0] + sheet[2]) * 0.5;
    if (framed) {
        auto towardsMiddle = [&](double share) {
            std::vector<cv::Point> inset;
            for (const auto& p : sheet) inset.emplace_back((p + (middle - p) * share) * 16);
            return inset;
        };
        cv::fillConvexPoly(photo, towardsMiddle(0.04), cv::Scalar(40, 140, 185), cv::LINE_AA, 4);
        cv::polylines(photo, towardsMiddle(0.1), true, cv::Scalar(20, 70, 100), 3, cv::LINE_AA, 4);
        cv::fillConvexPoly(photo, towardsMiddle(0.16), cv::Scalar(236, 234, 226), cv::LINE_AA, 4);
    }
    for (int stroke = 0; stroke < 6; ++stroke) {
        const cv::Point2d from = middle + cv::Point2d(random.uniform(-120, 120), random.uniform(-90, 90));
        const cv::Point2d to = from + cv::Point2d(random.uniform(-80, 80), random.uniform(-60, 60));
        cv::line(photo, from, to,
                 cv::Scalar(random.uniform(0, 200), random.uniform(0, 200), random.uniform(0, 200)),
                 random.uniform(3, 9), cv::LINE_AA);
    }
    cv::Mat light(picture, CV_32F);
    for (int y = 0; y < light.rows; ++y)
        for (int x = 0; x < light.cols; ++x) light.at<float>(y, x) = 1.0f - 0.25f * x / light.cols;
    cv::Mat lit;
    photo.convertTo(lit, CV_32FC3);
    cv::Mat channels[3];
    cv::split(lit, channels);
    for (auto& c : channels) c = c.mul(light);
    cv::merge(channels, 3, lit);
    lit.convertTo(photo, CV_8UC3);
    cv::GaussianBlur(photo, photo, cv::Size(), 1.0);
    return photo;
}

// The network shipped with the library finds the sheet in photos it was never shown.
TEST(PaperNetwork, TheShippedNetworkFindsTheSheetInPhotos) {
    struct Case {
        const char* name;
        Corners sheet;
        cv::Scalar surface;
        bool framed = false;
    };
    const Case cases[] = {
        {"on a brown table", Corners{{{250, 140}, {760, 170}, {800, 610}, {210, 640}}},
         cv::Scalar(120, 80, 50)},
        {"on a dark blue cloth", Corners{{{320, 100}, {720, 120}, {700, 680}, {300, 660}}},
         cv::Scalar(30, 40, 90)},
        {"on grey stone", Corners{{{150, 200}, {870, 160}, {900, 560}, {130, 600}}}, cv::Scalar(90, 90, 85)},
        {"printed with a frame", Corners{{{250, 140}, {760, 170}, {800, 610}, {210, 640}}},
         cv::Scalar(60, 60, 70), true},
    };
    std::uint64_t seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto found = detail::paper::networkSheetIn(photoOfASheet(c.sheet, c.surface, seed++, c.framed));
        ASSERT_EQ(found.size(), 1u);
        EXPECT_GT(found.front().confidence, 0.9);
        const Quad truth = detail::paper::unitQuad(c.sheet, picture);
        EXPECT_GT(photos::jaccard(found.front().quad, truth, picture.width, picture.height), 0.97);
    }
}
