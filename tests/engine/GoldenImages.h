#pragma once

#include "engine/core/Bitmap.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <filesystem>
#include <string>

// Rendered pages compared with golden PNG files under tests/data/golden, within a tolerance that lets
// anti-aliasing and font rasterising differ a little. QUILLFEN_UPDATE_GOLDENS=1 writes the files instead.
namespace quillfen::golden {

inline cv::Mat bgr(const Bitmap& bitmap) {
    cv::Mat rgba(bitmap.height, bitmap.width, CV_8UC4, const_cast<std::uint8_t*>(bitmap.pixels.data()));
    cv::Mat out;
    cv::cvtColor(rgba, out, cv::COLOR_RGBA2BGR);
    return out;
}

inline void expectMatches(const cv::Mat& drawn, const std::string& name) {
    const std::string path = std::string(QUILLFEN_TEST_DATA) + "/golden/" + name + ".png";
    if (std::getenv("QUILLFEN_UPDATE_GOLDENS")) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        cv::imwrite(path, drawn, {cv::IMWRITE_PNG_COMPRESSION, 9});
        return;
    }
    const cv::Mat golden = cv::imread(path, cv::IMREAD_COLOR);
    ASSERT_FALSE(golden.empty()) << "missing golden image " << path;
    ASSERT_EQ(golden.size(), drawn.size()) << name;
    cv::Mat difference, gray;
    cv::absdiff(golden, drawn, difference);
    const cv::Scalar mean = cv::mean(difference);
    EXPECT_LT((mean[0] + mean[1] + mean[2]) / 3, 1.0) << name << " differs from its golden image";
    cv::cvtColor(difference, gray, cv::COLOR_BGR2GRAY);
    EXPECT_LT(cv::countNonZero(gray > 40), static_cast<int>(gray.total() / 200))
        << name << " differs from its golden image";
}

inline void expectMatches(const Bitmap& bitmap, const std::string& name) {
    expectMatches(bgr(bitmap), name);
}

}  // namespace quillfen::golden
