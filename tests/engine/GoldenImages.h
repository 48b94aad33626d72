#pragma once

#include "engine/core/Bitmap.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

// Rendered pages compared with golden PNG files under tests/data/golden, within a tolerance that lets
// anti-aliasing, font rasterising and picture resampling differ a little, over the whole image and in
// every 16-pixel tile. QUILLFEN_UPDATE_GOLDENS=1 writes the files instead.
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
    // A changed word or a day number of another colour is a small patch; small tiles catch it where the
    // whole image's average does not.
    constexpr int tile = 16;
    double worst = 0;
    for (int y = 0; y < difference.rows; y += tile) {
        for (int x = 0; x < difference.cols; x += tile) {
            const cv::Rect patch(x, y, std::min(tile, difference.cols - x), std::min(tile, difference.rows - y));
            const cv::Scalar m = cv::mean(difference(patch));
            worst = std::max(worst, (m[0] + m[1] + m[2]) / 3);
        }
    }
    EXPECT_LT(worst, 5.0) << name << " differs from its golden image in a " << tile << "-pixel tile";
}

inline void expectMatches(const Bitmap& bitmap, const std::string& name) {
    expectMatches(bgr(bitmap), name);
}

}  // namespace quillfen::golden
