#include "engine/cleanup/Cleaner.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/engine/GoldenImages.h"
#include "tests/engine/PaleFillScenes.h"

using namespace quillfen;
using namespace quillfen::palefills;

namespace {

CleanupSettings bookDefault() {
    CleanupSettings settings;
    settings.flatten = true;
    settings.whiten = 0.6;
    return settings;
}

struct Crayon {
    const char* name;
    Colour colour;
};

const Crayon crayons[] = {
    {"lavender", {196, 170, 228}},     {"sky blue", {140, 195, 235}},   {"pink", {246, 172, 196}},
    {"pale yellow", {250, 236, 150}},  {"pale green", {172, 222, 160}}, {"light grey-blue", {164, 180, 204}},
    {"grey shading", {150, 150, 150}}, {"mid blue", {96, 140, 200}},
};

constexpr int paperMargin = 12;

}  // namespace

// Every pastel and mid-tone fill, from a quarter of the sheet down to 3 % of it, keeps its colour under
// light that falls to 70 % across the sheet, warm or cool; the bare paper around it turns white.
TEST(PaleFills, KeepTheirColourUnderFallingLight) {
    const Light lights[] = {fallingLight(), fallingLight({0.86, 0.95, 1.0})};
    std::printf("%-16s %5s  %-22s %6s %6s %6s %6s\n", "fill", "area", "light", "dE76", "sat", "wanted",
                "paper");
    for (const Crayon& crayon : crayons) {
        for (const double area : {0.25, 0.1, 0.03}) {
            for (const Light& light : lights) {
                SCOPED_TRACE(::testing::Message() << crayon.name << ", " << area << " of the sheet, "
                                                  << light.name << " tinted " << light.tint[2]);
                const Drawing drawing{640, 480, crayon.colour, area};
                const Bitmap flat = drawing.flat();
                const cv::Mat bare = barePaper(flat, paperMargin);
                const Bitmap wanted = Cleaner::whiten(flat, 0.6);
                const Bitmap cleaned = Cleaner::apply(bookDefault(), photographed(flat, light));
                const auto centre = [&](int x, int y) { return drawing.inFillCentre(x, y); };
                const auto got = meanColour(cleaned, centre), expected = meanColour(wanted, centre);
                const double paper =
                    darkestLuma(cleaned, [&](int x, int y) { return bare.at<std::uint8_t>(y, x) > 0; });
                std::printf("%-16s %5.2f  %-22s %6.1f %6.3f %6.3f %6.3f\n", crayon.name, area,
                            (light.name + (light.tint[2] < 1 ? " warm" : " cool")).c_str(),
                            deltaE76(got, expected), saturation(got), saturation(expected), paper);
                EXPECT_LE(deltaE76(got, expected), 10);
                EXPECT_GE(saturation(got), 0.5 * saturation(expected));
                EXPECT_GE(paper, 0.97);
            }
        }
    }
}

// The paper stays paper wherever the light is uneven: a lamp's fall-off, vignetting and a soft shadow
// even out with a pale fill on the sheet, and the fill keeps its colour.
TEST(PaleFills, PaperUnderUnevenLightStillEvensOut) {
    for (const Light& light : {lampLight(), vignetting(), softShadow(), mixedLight()}) {
        for (const Crayon& crayon : {crayons[0], crayons[3]}) {
            SCOPED_TRACE(::testing::Message() << light.name << ", " << crayon.name);
            const Drawing drawing{640, 480, crayon.colour, 0.1};
            const Bitmap flat = drawing.flat();
            const cv::Mat bare = barePaper(flat, paperMargin);
            const Bitmap cleaned = Cleaner::apply(bookDefault(), photographed(flat, light));
            const auto isPaper = [&](int x, int y) { return bare.at<std::uint8_t>(y, x) > 0; };
            const double paper = darkestLuma(cleaned, isPaper);
            const auto centre = [&](int x, int y) { return drawing.inFillCentre(x, y); };
            const double error =
                deltaE76(meanColour(cleaned, centre), meanColour(Cleaner::whiten(flat, 0.6), centre));
            // Without whitening, which hides a little unevenness, the paper is even too.
            CleanupSettings flattenOnly;
            flattenOnly.flatten = true;
            const double flattened =
                darkestLuma(Cleaner::apply(flattenOnly, photographed(flat, light)), isPaper);
            std::printf("%-16s %-14s paper %.3f  flattened only %.3f  dE76 %.1f\n", crayon.name,
                        light.name.c_str(), paper, flattened, error);
            EXPECT_GE(paper, 0.97);
            EXPECT_GE(flattened, 0.96);
            EXPECT_LE(error, 10);
        }
    }
}

// A drawing in thin lines only, without fills, cleans as it always has: the paper decision changes
// nothing where there is nothing but paper and lines.
TEST(PaleFills, LineDrawingsCleanAsBefore) {
    const std::pair<const char*, Light> cases[] = {
        {"falling", fallingLight()}, {"lamp", lampLight()}, {"shadow", softShadow()}};
    for (const auto& [name, light] : cases) {
        SCOPED_TRACE(light.name);
        const Drawing drawing{400, 300, {}, 0};
        // Evened out only: whitening would hide a changed map on the paper.
        CleanupSettings flattenOnly;
        flattenOnly.flatten = true;
        const Bitmap cleaned = Cleaner::apply(flattenOnly, photographed(drawing.flat(), light));
        const cv::Mat drawn = golden::bgr(cleaned);
        const std::string path = std::string(QUILLFEN_TEST_DATA) + "/golden/line-drawing-" + name + ".png";
        if (std::getenv("QUILLFEN_UPDATE_GOLDENS")) {
            cv::imwrite(path, drawn, {cv::IMWRITE_PNG_COMPRESSION, 9});
            continue;
        }
        const cv::Mat before = cv::imread(path, cv::IMREAD_COLOR);
        ASSERT_EQ(before.size(), drawn.size()) << path;
        cv::Mat difference;
        cv::absdiff(before, drawn, difference);
        const cv::Scalar mean = cv::mean(difference);
        EXPECT_LE(std::max({mean[0], mean[1], mean[2]}), 1.0);
    }
}
