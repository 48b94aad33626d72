#include "engine/cleanup/Cleaner.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/engine/GoldenImages.h"
#include "tests/engine/ImageFixtures.h"
#include "tests/engine/CleanupCases.h"

using namespace quillfen;
using namespace quillfen::cleanupcases;

namespace {

// The pictures the thumbnail and print paths made of these photos before their steps were
// rewritten for speed, under tests/data/golden; QUILLFEN_UPDATE_GOLDENS=1 writes them instead.
// The paths may round differently, never change the picture: at least 40 dB PSNR.
constexpr double floorDecibels = 40;

double psnr(const cv::Mat& a, const cv::Mat& b) {
    cv::Mat difference;
    cv::absdiff(a, b, difference);
    difference.convertTo(difference, CV_64F);
    const cv::Scalar squares = cv::sum(difference.mul(difference));
    const double mean = (squares[0] + squares[1] + squares[2]) / (3.0 * static_cast<double>(a.total()));
    return mean == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mean);
}

// Writes the golden image instead where asked to and allowed to.
void expectSamePicture(const Bitmap& made, const std::string& name, bool writes = true) {
    const std::string path = std::string(QUILLFEN_TEST_DATA) + "/golden/" + name + ".png";
    const cv::Mat drawn = golden::bgr(made);
    if (writes && std::getenv("QUILLFEN_UPDATE_GOLDENS")) {
        cv::imwrite(path, drawn, {cv::IMWRITE_PNG_COMPRESSION, 9});
        return;
    }
    const cv::Mat wanted = cv::imread(path, cv::IMREAD_COLOR);
    ASSERT_FALSE(wanted.empty()) << "missing golden image " << path;
    ASSERT_EQ(wanted.size(), drawn.size()) << name;
    EXPECT_GE(psnr(wanted, drawn), floorDecibels) << name;
}

struct PathCase {
    const char* name;
    int orientation;
    CleanupSettings settings;
    double printSide;
};

const PathCase pathCases[] = {
    {"phone-o6", 6, settings(tilted, 0, 0, true, 0.6), 500},
    {"turned-o3", 3, settings(skewed, 1, 2.5, false, 0.3), 500},
    {"plain-o8", 8, settings(std::nullopt, 0, 0, true, 0), 240},
};

}  // namespace

// A phone photo of a crayon drawing in uneven light, stored turned: its thumbnail (decoded for
// 400 px, cleaned, 300 px) and print picture (decoded whole, cleaned, scaled to the print size,
// through an area average where it shrinks by more than half) stay the pictures they were.
TEST(ImagePaths, ThumbnailAndPrintPicturesStayTheSame) {
    for (const PathCase& c : pathCases) {
        SCOPED_TRACE(c.name);
        const auto file = fixtures::withOrientation(fixtures::jpegBytes(photo()), c.orientation);
        const auto working = Cleaner::decode(file, 400);
        const auto whole = Cleaner::decode(file);
        ASSERT_TRUE(working && whole);
        const auto thumbnail = Cleaner::downscaled(Cleaner::apply(c.settings, *working), 300);
        const auto print = Cleaner::downscaled(Cleaner::apply(c.settings, *whole), c.printSide);
        ASSERT_TRUE(thumbnail && print);
        expectSamePicture(*thumbnail, std::string("paths-") + c.name + "-thumbnail");
        expectSamePicture(*print, std::string("paths-") + c.name + "-print");
    }
}

// The same pictures made the way the application makes them: the thumbnail cleaned at its size from
// the source decoded for 400 px, the print picture cleaned at the print size from the whole source.
TEST(ImagePaths, TheApplicationsPathsMakeThosePictures) {
    for (const PathCase& c : pathCases) {
        SCOPED_TRACE(c.name);
        const auto file = fixtures::withOrientation(fixtures::jpegBytes(photo()), c.orientation);
        const auto working = Cleaner::decodeSource(file, 400);
        const auto whole = Cleaner::decodeSource(file);
        ASSERT_TRUE(working && whole);
        const auto thumbnail = Cleaner::cleanedAtMost(c.settings, *working, 300);
        const auto print = Cleaner::cleanedAtMost(c.settings, *whole, c.printSide);
        ASSERT_TRUE(thumbnail && print);
        expectSamePicture(*thumbnail, std::string("paths-") + c.name + "-thumbnail", false);
        expectSamePicture(*print, std::string("paths-") + c.name + "-print", false);
    }
}
