// The pictures of the two image paths for a fixed set of generated photos, written to compare two
// builds of the cleanup. `CleanupOutputs write FOLDER` makes the photos (JPEGs of EXIF orientations
// 1, 3, 6 and 8, a HEIC and a PNG with transparency; crops, quarter turns, straightening, lighting
// and whitening on and off) and writes each one's thumbnail path (decoded for 1000 px, cleaned at
// 700 px) and print path (decoded whole, cleaned at its print size), the way the application
// makes them, as PPM files.
// `CleanupOutputs compare FOLDER_A FOLDER_B` prints the PSNR of every pair and the worst per path.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <opencv2/imgcodecs.hpp>

#include "bench/DrawingPhotos.h"
#include "engine/cleanup/Cleaner.h"

using namespace quillfen;

namespace {

enum class Format { jpeg, heic, png };

struct Case {
    const char* name;
    int width, height;
    Format format;
    int orientation;
    std::optional<Quad> crop;
    std::int64_t quarterTurns;
    double straighten;
    bool flatten;
    double whiten;
    double printSide;
};

const Quad tilted{{0.1, 0.88}, {0.86, 0.9}, {0.88, 0.12}, {0.12, 0.1}};
const Quad skewed{{0.16, 0.8}, {0.9, 0.93}, {0.8, 0.05}, {0.05, 0.2}};

const std::vector<Case>& cases() {
    static const std::vector<Case> all{
        {"plain-o1", 4032, 3024, Format::jpeg, 1, std::nullopt, 0, 0, false, 0, 2880},
        {"phone-o6", 4032, 3024, Format::jpeg, 6, tilted, 0, 0, true, 0.6, 2880},
        {"skewed-o3", 4032, 3024, Format::jpeg, 3, skewed, 1, 2.5, false, 0.3, 2880},
        {"straightened-o8", 4032, 3024, Format::jpeg, 8, tilted, 0, -4, true, 0, 2880},
        {"turned-o6", 3024, 4032, Format::jpeg, 6, std::nullopt, 2, 0, false, 1, 1400},
        {"portrait-o1", 3000, 4000, Format::jpeg, 1, skewed, 3, 0.7, true, 0.6, 2880},
        {"level-o1", 4032, 3024, Format::jpeg, 1, std::nullopt, 1, 3, false, 0.6, 2880},
        {"small-o1", 900, 640, Format::jpeg, 1, tilted, 1, 0, true, 0.6, 2880},
        {"heic", 2000, 1500, Format::heic, 1, tilted, 0, 0, true, 0.6, 1200},
        {"png-alpha", 1600, 1200, Format::png, 1, skewed, 0, -1.5, true, 0.45, 2880},
    };
    return all;
}

std::vector<std::uint8_t> photoFile(const Case& c, std::uint32_t seed) {
    Bitmap picture = bench::photoOfADrawing(c.width, c.height, seed);
    switch (c.format) {
        case Format::jpeg:
            return bench::phoneJpeg(picture, c.orientation);
        case Format::heic:
            return fixtures::heicOf(picture);
        case Format::png: {
            // A transparent band across the top, the way a cut-out scan comes.
            cv::Mat bgra(picture.height, picture.width, CV_8UC4);
            for (int y = 0; y < picture.height; ++y) {
                for (int x = 0; x < picture.width; ++x) {
                    const std::uint8_t* p = picture.pixel(x, y);
                    const auto alpha =
                        static_cast<std::uint8_t>(y < picture.height / 5 ? x * 255 / picture.width : 255);
                    bgra.at<cv::Vec4b>(y, x) = {p[2], p[1], p[0], alpha};
                }
            }
            std::vector<std::uint8_t> out;
            cv::imencode(".png", bgra, out);
            return out;
        }
    }
    return {};
}

void writePpm(const Bitmap& picture, const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << picture.width << ' ' << picture.height << "\n255\n";
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x)
            out.write(reinterpret_cast<const char*>(picture.pixel(x, y)), 3);
    }
}

int write(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    std::uint32_t seed = 0;
    for (const Case& c : cases()) {
        const auto file = photoFile(c, seed++);
        CleanupSettings settings;
        settings.crop = c.crop;
        settings.quarterTurns = c.quarterTurns;
        settings.straighten = c.straighten;
        settings.flatten = c.flatten;
        settings.whiten = c.whiten;
        const auto working = Cleaner::decodeSource(file, 1000);
        const auto whole = Cleaner::decodeSource(file);
        if (!working || !whole) {
            std::fprintf(stderr, "%s: not decoded\n", c.name);
            return 1;
        }
        writePpm(Cleaner::cleanedAtMost(settings, *working, 700).value(),
                 folder / (std::string(c.name) + "-thumbnail.ppm"));
        writePpm(Cleaner::cleanedAtMost(settings, *whole, c.printSide).value(),
                 folder / (std::string(c.name) + "-print.ppm"));
    }
    return 0;
}

// The PSNR of two pictures of the same size over their colour samples; minus one for pictures
// of different sizes or unreadable files, infinity for identical ones.
double psnr(const std::filesystem::path& a, const std::filesystem::path& b) {
    const cv::Mat first = cv::imread(a.string(), cv::IMREAD_COLOR);
    const cv::Mat second = cv::imread(b.string(), cv::IMREAD_COLOR);
    if (first.empty() || first.size() != second.size()) return -1;
    cv::Mat difference;
    cv::absdiff(first, second, difference);
    difference.convertTo(difference, CV_64F);
    const cv::Scalar squares = cv::sum(difference.mul(difference));
    const double mean = (squares[0] + squares[1] + squares[2]) / (3.0 * static_cast<double>(first.total()));
    return mean == 0 ? std::numeric_limits<double>::infinity() : 10 * std::log10(255.0 * 255.0 / mean);
}

int compare(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::map<std::string, double> worst{{"thumbnail", std::numeric_limits<double>::infinity()},
                                        {"print", std::numeric_limits<double>::infinity()}};
    for (const Case& c : cases()) {
        for (auto& [path, floor] : worst) {
            const std::string name = std::string(c.name) + "-" + path + ".ppm";
            const double db = psnr(a / name, b / name);
            std::printf("%-36s %8.2f dB\n", name.c_str(), db);
            floor = std::min(floor, db);
        }
    }
    for (const auto& [path, floor] : worst) std::printf("worst %-10s %8.2f dB\n", path.c_str(), floor);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "write" && argc == 3) return write(argv[2]);
    if (mode == "compare" && argc == 4) return compare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: CleanupOutputs write FOLDER | compare FOLDER_A FOLDER_B\n");
    return 2;
}
