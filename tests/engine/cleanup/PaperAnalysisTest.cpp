#include "engine/cleanup/detail/PaperAnalysis.h"
#include "engine/cleanup/detail/PaperAveraging.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

using namespace quillfen;

TEST(PaperAnalysis, AreaAveragedCopyIsWhatOpenCvsAreaResizeGives) {
    struct Case {
        const char* name;
        cv::Size from, to;
        int levels, scale;  // values 0...levels - 1, times scale
    };
    const Case cases[] = {
        {"a landscape working copy", {1024, 768}, {384, 288}, 256, 1},
        {"a portrait working copy", {768, 1024}, {288, 384}, 256, 1},
        {"halfway between 127 and 128, rounded up to even", {1024, 768}, {384, 288}, 2, 255},
        {"halfway between 0 and 1, rounded down to even", {1024, 768}, {384, 288}, 2, 1},
        {"one box of 8 x 8", {8, 8}, {3, 3}, 256, 1},
        {"a picture of other proportions", {1000, 700}, {375, 263}, 256, 1},
        {"a picture copied at its own size", {40, 30}, {40, 30}, 256, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat picture(c.from, CV_8UC3);
        cv::RNG random(7);
        random.fill(picture, cv::RNG::UNIFORM, 0, c.levels);
        picture *= c.scale;
        cv::Mat expected;
        cv::resize(picture, expected, c.to, 0, 0, cv::INTER_AREA);
        const cv::Mat found = detail::paper::areaAveraged(picture, c.to);
        ASSERT_EQ(found.size(), c.to);
        ASSERT_EQ(found.type(), CV_8UC3);
        EXPECT_EQ(cv::norm(found, expected, cv::NORM_INF), 0);
    }
}

TEST(PaperAnalysis, BoxAveragedCopyIsWhatOpenCvsAreaResizeGives) {
    struct Case {
        const char* name;
        cv::Size from, to;
        int type, levels;  // values 0...levels - 1
    };
    const Case cases[] = {
        {"a working copy on the luma grid", {1024, 768}, {64, 48}, CV_8UC4, 256},
        {"sums halfway between two bytes", {1024, 768}, {64, 48}, CV_8UC4, 2},
        {"boxes of 16 x 12, a share that a float rounds", {1024, 576}, {64, 48}, CV_8UC4, 256},
        {"three channels in boxes of 3 x 2", {30, 20}, {10, 10}, CV_8UC3, 256},
        {"boxes of one pixel", {64, 48}, {64, 48}, CV_8UC4, 256},
        {"a picture that does not divide into whole boxes", {1000, 700}, {64, 48}, CV_8UC4, 256},
        {"a portrait working copy on the luma grid, boxes of 12 x 21 1/3", {768, 1024}, {64, 48}, CV_8UC4, 256},
        {"partial boxes, sums near halfway", {768, 1024}, {64, 48}, CV_8UC4, 2},
        {"partial boxes only down", {64, 100}, {64, 30}, CV_8UC4, 256},
        {"three channels in partial boxes", {100, 70}, {30, 20}, CV_8UC3, 256},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cv::Mat picture(c.from, c.type);
        cv::RNG random(11);
        random.fill(picture, cv::RNG::UNIFORM, 0, c.levels);
        cv::Mat expected;
        cv::resize(picture, expected, c.to, 0, 0, cv::INTER_AREA);
        const cv::Mat found = detail::paper::boxAveraged(picture, c.to);
        ASSERT_EQ(found.size(), c.to);
        ASSERT_EQ(found.type(), c.type);
        EXPECT_EQ(cv::norm(found, expected, cv::NORM_INF), 0);
    }
}

// A picture of four channels whose pixels lie off an int's alignment, as one over another's buffer may.
TEST(PaperAnalysis, BoxAveragedCopyOfAPictureOffAnIntsAlignmentIsWhatOpenCvsAreaResizeGives) {
    const cv::Size from(100, 70), to(30, 20);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(from.area()) * 4 + 1);
    cv::Mat picture(from, CV_8UC4, buffer.data() + 1);
    cv::RNG random(13);
    random.fill(picture, cv::RNG::UNIFORM, 0, 256);
    cv::Mat expected;
    cv::resize(picture, expected, to, 0, 0, cv::INTER_AREA);
    EXPECT_EQ(cv::norm(detail::paper::boxAveraged(picture, to), expected, cv::NORM_INF), 0);
}

TEST(PaperAnalysis, AnAnalysisKeepsItsColourWhileTheSameThreadAnalysesOtherPictures) {
    auto randomPicture = [](int width, int height, int seed) {
        Bitmap picture = Bitmap::toBeFilled(width, height);
        cv::Mat pixels(height, width, CV_8UC4, picture.pixels.data());
        cv::RNG random(seed);
        random.fill(pixels, cv::RNG::UNIFORM, 0, 256);
        return picture;
    };
    const Bitmap first = randomPicture(64, 48, 1), same = randomPicture(64, 48, 2), larger = randomPicture(80, 60, 3);
    const detail::paper::Analysis held = detail::paper::analyse(first);
    const cv::Mat colour = held.colour.clone();
    for (const Bitmap* other : {&same, &larger}) {
        const detail::paper::Analysis next = detail::paper::analyse(*other);
        EXPECT_EQ(cv::norm(held.colour, colour, cv::NORM_INF), 0);
        EXPECT_GT(cv::norm(next.colour(cv::Rect(0, 0, 64, 48)), colour, cv::NORM_INF), 0);
    }
    EXPECT_EQ(cv::norm(detail::paper::analyse(first).colour, colour, cv::NORM_INF), 0);
}

TEST(PaperAnalysis, APartOfASheetLitMoreBrightlyThanBeyondItsSideMustStandOutInItsOwnLight) {
    // A sheet (x 120...360, y 80...280) on a table of 480 x 360 pixels; a hard shadow keeps half the light
    // right of x = 240. The sunlit part's side along the shadow's edge is side 1, the shaded part's side 3.
    auto scene = [](cv::Scalar table) {
        cv::Mat picture(360, 480, CV_32FC4, table);
        picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93, 1));
        picture(cv::Rect(240, 0, 240, 360)) =
            picture(cv::Rect(240, 0, 240, 360)).mul(cv::Scalar(0.5, 0.5, 0.5, 1));
        Bitmap image(480, 360);
        cv::Mat bytes(360, 480, CV_8UC4, image.pixels.data());
        picture.convertTo(bytes, CV_8UC4, 255);
        return detail::paper::analyse(image);
    };
    using Corners = detail::paper::Corners;
    const Corners sunlit{{{120, 80}, {239, 80}, {239, 279}, {120, 279}}};
    const Corners shaded{{{240, 80}, {359, 80}, {359, 279}, {240, 279}}};
    struct Case {
        const char* what;
        cv::Scalar table;
        const Corners& part;
        int side;
        bool standsOut;
    };
    const Case cases[] = {
        {"the sunlit part on a brown table", {0.5, 0.4, 0.3, 1}, sunlit, 1, true},
        {"the sunlit part on a white table", {0.92, 0.92, 0.9, 1}, sunlit, 1, false},
        {"the shaded part on a white table, darker than the paper beyond its side",
         {0.92, 0.92, 0.9, 1},
         shaded,
         3,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(detail::paper::standsOutInItsLight(scene(c.table), c.part, c.side), c.standsOut);
    }
}

TEST(PaperAnalysis, RegionSupportCountsTheSetPixelsInsideAnOutlineAndInTheBandAroundIt) {
    // A foreground of the analysis copy of a 1024 x 768 working copy set here and there, to 255 or to any other
    // value but 0; the band around an outline is 12 analysis pixels wide.
    detail::paper::Analysis a;
    a.size = cv::Size(1024, 768);
    a.smallScale = 0.375;
    a.smallLuma = cv::Mat(288, 384, CV_8U, cv::Scalar(0));
    a.foreground.create(288, 384, CV_8U);
    cv::randu(a.foreground, 0, 6);
    a.foreground.setTo(0, a.foreground > 2);
    a.foreground.setTo(255, a.foreground == 2);
    using Corners = detail::paper::Corners;
    for (const Corners& c : {Corners{{{200, 150}, {820, 170}, {800, 600}, {190, 580}}},
                             Corners{{{500, 100}, {530, 100}, {530, 700}, {500, 700}}}}) {
        cv::Mat inside(a.foreground.size(), CV_8U, cv::Scalar(0)), band;
        cv::fillConvexPoly(inside, detail::paper::smallPolygon(a, c), cv::Scalar(255));
        cv::dilate(inside, band, cv::Mat::ones(25, 25, CV_8U));
        band &= ~inside;
        const double standing = cv::countNonZero(a.foreground & inside) / double(cv::countNonZero(inside));
        const double plain = 1 - cv::countNonZero(a.foreground & band) / double(cv::countNonZero(band));
        EXPECT_DOUBLE_EQ(detail::paper::regionSupport(a, c), standing * plain);
    }
}

TEST(PaperAnalysis, PlanesOfAColourAreTheSameWhereverItLiesAlongARow) {
    // Bands of one colour across a portrait copy 263 analysis pixels wide, taken sixteen at a time and the
    // rest one by one. Luma, whiteness and neutrality where known; -1 where only their sameness is held.
    const std::pair<cv::Vec3b, cv::Vec3i> bands[] = {
        {{255, 255, 255}, {255, 255, 255}}, {{0, 0, 0}, {0, 0, 255}},    {{255, 0, 0}, {54, 0, 0}},
        {{250, 244, 230}, {-1, -1, -1}},    {{90, 60, 40}, {-1, -1, -1}},
        {{47, 197, 147}, {-1, -1, -1}},  // its luma on a rounding edge
    };
    Bitmap picture(700, 1024);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            for (int k = 0; k < 4; ++k)
                picture.pixel(x, y)[k] = k == 3 ? 255 : bands[std::min(y / 170, 5)].first[k];
    const detail::paper::Analysis a = detail::paper::analyse(picture);
    for (int i = 0; i < 6; ++i) {
        const int y = cvRound((i * 170 + 85.5) * a.smallScale - 0.5);
        const cv::Mat* planes[] = {&a.smallLuma, &a.smallWhite, &a.smallNeutral};
        for (int k = 0; k < 3; ++k) {
            const int last = planes[k]->at<std::uint8_t>(y, planes[k]->cols - 1);
            if (bands[i].second[k] >= 0) {
                EXPECT_EQ(last, bands[i].second[k]) << "band " << i << " plane " << k;
            }
            for (int x = 0; x < planes[k]->cols; ++x)
                ASSERT_EQ(planes[k]->at<std::uint8_t>(y, x), last)
                    << "band " << i << " plane " << k << " x " << x;
        }
    }
}
