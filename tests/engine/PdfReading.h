#pragma once

#include "engine/core/Geometry.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// PDF files read back as a printer or viewer would: page boxes and document information with qpdf, page
// pixels with poppler's pdftoppm, and a fresh folder per test.
namespace quillfen::pdfreading {

namespace fs = std::filesystem;

// The boxes a page dictionary itself holds, by key ("/MediaBox", "/BleedBox", ...).
using Boxes = std::map<std::string, Rect>;

struct ReadBack {
    std::vector<Boxes> pages;
    std::map<std::string, std::string> info;  // every document information entry
};

inline ReadBack readBack(const fs::path& file) {
    QPDF pdf;
    pdf.processFile(file.c_str());
    ReadBack result;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        Boxes boxes;
        QPDFObjectHandle dictionary = page.getObjectHandle();
        for (const char* key : {"/MediaBox", "/CropBox", "/BleedBox", "/TrimBox", "/ArtBox"}) {
            if (!dictionary.hasKey(key)) continue;
            const auto r = dictionary.getKey(key).getArrayAsRectangle();
            boxes[key] = Rect(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly);
        }
        result.pages.push_back(boxes);
    }
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    if (info.isDictionary()) {
        for (const auto& key : info.getKeys()) result.info[key] = info.getKey(key).getUTF8Value();
    }
    return result;
}

// One page (from 1) rendered at `dpi` as BGR pixels, rows from the top.
inline cv::Mat renderPage(const fs::path& file, int page, int dpi) {
    const fs::path stem = file.parent_path() / ("page-" + std::to_string(page));
    const std::string command = "pdftoppm -png -singlefile -r " + std::to_string(dpi) + " -f " +
                                std::to_string(page) + " -l " + std::to_string(page) + " '" + file.string() +
                                "' '" + stem.string() + "'";
    if (std::system(command.c_str()) != 0) return {};
    return cv::imread(stem.string() + ".png", cv::IMREAD_COLOR);
}

// The pixel at (x, y) of a page rendered at 72 dpi, y counted from the bottom as on the page.
inline cv::Vec3b pagePixel(const cv::Mat& page, double x, double y) {
    return page.at<cv::Vec3b>(page.rows - 1 - static_cast<int>(y), static_cast<int>(x));
}

// Whether a BGR pixel shows a colour whose red, green and blue run from 0 to 1.
template <typename Colour>
bool shows(cv::Vec3b bgr, const Colour& c, double tolerance) {
    return std::abs(bgr[2] - c.red * 255) < tolerance && std::abs(bgr[1] - c.green * 255) < tolerance &&
           std::abs(bgr[0] - c.blue * 255) < tolerance;
}

// A fresh, empty folder for each test, removed afterwards.
class TemporaryFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() / ("quillfen-" + std::string(test->test_suite_name()) + "-" +
                                              test->name() + "-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
        return names;
    }

    fs::path folder;
};

}  // namespace quillfen::pdfreading
