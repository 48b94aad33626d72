#include "engine/cleanup/detail/LargeMats.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/MappingFlags.h"

using namespace quillfen;

TEST(LargeMats, LargeWorkingPicturesHaveHugePagesSmallOnesDoNot) {
    if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage")) GTEST_SKIP() << "no huge pages";
    struct Case {
        int rows, columns, type;
        bool huge;
    };
    const Case cases[] = {
        {3078, 2230, CV_16UC3, true}, {4032, 3024, CV_8UC4, true}, {100, 100, CV_16UC3, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << " x " << c.rows);
        cv::Mat mat = detail::largeMat(c.rows, c.columns, c.type);
        ASSERT_EQ(mat.size(), cv::Size(c.columns, c.rows));
        mat.setTo(cv::Scalar::all(7));
        EXPECT_EQ(fixtures::advisedForHugePages(mat.data), c.huge);
        EXPECT_EQ(fixtures::advisedForHugePages(mat.ptr(c.rows - 1)), c.huge);
        const cv::Mat copy = mat;  // shares the storage, released once by the last holder
        mat.release();
        EXPECT_EQ(copy.ptr(c.rows - 1)[0], 7);
    }
}
