#include "engine/cleanup/Cleaner.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/engine/PaleFillScenes.h"

using namespace quillfen;
using namespace quillfen::palefills;

namespace {

// Where a shadow falls: positive under it, its distance from the shadow's edge in sheet heights.
struct Shade {
    const char* name;
    std::function<double(double u, double v)> inside;
};

const Shade shades[] = {
    {"corner", [](double u, double v) { return std::min((0.45 - u) * 4 / 3, v - 0.5); }},
    {"half the sheet", [](double u, double v) { return (v - u) * 0.8; }},
    {"bottom band", [](double, double v) { return v - 0.65; }},
    {"right band", [](double u, double) { return (u - 0.6) * 4 / 3; }},
};

// How far from a shadow's edge the paper is measured: the lit paper across the edge brightens the
// estimate a little way in.
constexpr int edgeMargin = 16;

}  // namespace

// A hard shadow over part of the sheet, light falling to 40-75 % with a horizon and a trunk running
// on through its edge, evens out to white paper like the sunlit rest of the sheet.
TEST(HardShadows, PaperUnderAHardShadowComesOutWhite) {
    const Drawing drawing{640, 480, {}, 0, true};
    const Bitmap flat = drawing.flat();
    const cv::Mat bare = barePaper(flat, 6);
    for (const Shade& shade : shades) {
        for (const double depth : {0.4, 0.5, 0.6, 0.75}) {
            SCOPED_TRACE(::testing::Message() << shade.name << ", light at " << depth);
            const Bitmap cleaned = Cleaner::apply(
                bookDefault(), photographed(flat, hardShadow(shade.name, depth, shade.inside)));
            const auto paperAt = [&](int x, int y) { return bare.at<std::uint8_t>(y, x) > 0; };
            const auto depthAt = [&](int x, int y) {
                return shade.inside((x + 0.5) / 640, (y + 0.5) / 480) * 480;
            };
            const double shaded = darkestLuma(
                cleaned, [&](int x, int y) { return paperAt(x, y) && depthAt(x, y) > edgeMargin; });
            const double lit = darkestLuma(
                cleaned, [&](int x, int y) { return paperAt(x, y) && depthAt(x, y) < -edgeMargin; });
            std::printf("%-16s light %.2f  shaded paper %.3f  lit paper %.3f\n", shade.name, depth, shaded,
                        lit);
            EXPECT_GE(shaded, 0.97);
            EXPECT_GE(lit, 0.97);
        }
    }
}

// A grey ground coloured along the bottom of the sheet and outlined runs out to the sheet's edge like
// a shadow, but its outline bounds it all along: it stays grey.
TEST(HardShadows, AnOutlinedGroundAlongTheSheetsEdgeIsNoShadow) {
    const Drawing drawing{640, 480, {}, 0, true};
    Bitmap flat = drawing.flat();
    const auto ground = [](int, int y) { return y > 400; };
    for (int y = 0; y < flat.height; ++y) {
        for (int x = 0; x < flat.width; ++x) {
            std::uint8_t* p = flat.pixel(x, y);
            const int shade = std::abs(y - 340) < 2 ? 50 : y > 340 ? 150 + (x * 7 + y * 13) % 17 : -1;
            if (shade >= 0 && !drawing.onLine(x, y)) p[0] = p[1] = p[2] = static_cast<std::uint8_t>(shade);
        }
    }
    for (const Light& light : {fallingLight(), hardShadow("shadow", 0.5, shades[3].inside)}) {
        SCOPED_TRACE(light.name);
        const Bitmap cleaned = Cleaner::apply(bookDefault(), photographed(flat, light));
        const double error =
            deltaE76(meanColour(cleaned, ground), meanColour(Cleaner::whiten(flat, 0.6), ground));
        std::printf("%-16s ground dE76 %.1f\n", light.name.c_str(), error);
        EXPECT_LE(error, 10);
    }
}
