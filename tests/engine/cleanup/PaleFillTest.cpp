#include "engine/cleanup/Cleaner.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/engine/GoldenImages.h"
#include "tests/engine/PaleFillScenes.h"

using namespace quillfen;
using namespace quillfen::palefills;

namespace {

struct Crayon {
    const char* name;
    Colour colour;
};

const Crayon crayons[] = {
    {"lavender", {196, 170, 228}},
    {"sky blue", {140, 195, 235}},
    {"pink", {246, 172, 196}},
    {"pale yellow", {250, 236, 150}},
    {"pale green", {172, 222, 160}},
    {"light grey-blue", {164, 180, 204}},
    {"grey shading", {150, 150, 150}},
    {"mid blue", {96, 140, 200}},
    // The palest fills: 0.06 to 0.09 from the paper's chromaticity, just past what still counts as paper.
    {"dusty pink", {223, 209, 215}},
    {"grey-blue", {204, 211, 226}},
    {"sand", {221, 215, 197}},
    {"sage", {203, 220, 206}},
};

// The mean colours the fills' centres cleaned to when the table was made, by fill, area and light: a
// change to which pixels count as paper must leave every one of them where it was.
class EarlierColours {
public:
    EarlierColours() : m_writes(std::getenv("QUILLFEN_UPDATE_GOLDENS") != nullptr) {
        std::ifstream in(path());
        std::string line;
        while (std::getline(in, line)) {
            const auto comma = line.rfind(',', line.rfind(',', line.rfind(',') - 1) - 1);
            std::istringstream values(line.substr(comma + 1));
            std::array<double, 3> rgb{};
            char separator;
            values >> rgb[0] >> separator >> rgb[1] >> separator >> rgb[2];
            m_colours[line.substr(0, comma)] = rgb;
        }
    }
    ~EarlierColours() {
        if (!m_writes) return;
        std::ofstream out(path());
        for (const auto& [key, rgb] : m_colours)
            out << key << ',' << rgb[0] << ',' << rgb[1] << ',' << rgb[2] << '\n';
    }
    // The earlier colour of a row, or the row's colour itself while the table is being written.
    std::optional<std::array<double, 3>> of(const std::string& key, const std::array<double, 3>& now) {
        if (m_writes) m_colours[key] = now;
        const auto found = m_colours.find(key);
        return found == m_colours.end() ? std::nullopt : std::optional(found->second);
    }

private:
    static std::string path() { return std::string(QUILLFEN_TEST_DATA) + "/golden/pale-fill-colours.csv"; }
    bool m_writes;
    std::map<std::string, std::array<double, 3>> m_colours;
};

constexpr int paperMargin = 12;

}  // namespace

// Every pastel and mid-tone fill, from a quarter of the sheet down to 3 % of it, keeps its colour under
// light that falls to 70 % across the sheet, warm or cool, within a shade of the colour it kept when
// the table was made; the bare paper around it turns white.
TEST(PaleFills, KeepTheirColourUnderFallingLight) {
    const Light lights[] = {fallingLight(), fallingLight({0.86, 0.95, 1.0})};
    EarlierColours earlier;
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
                std::ostringstream key;
                key << crayon.name << ',' << area << ',' << (light.tint[2] < 1 ? "warm" : "cool");
                const auto before = earlier.of(key.str(), got);
                ASSERT_TRUE(before) << "no earlier colour";
                EXPECT_LE(deltaE76(got, *before), 1);
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
