#include "engine/cleanup/detail/PaperLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace quillfen;

namespace {

// A line through the point at the angle given (degrees from the x axis), brighter on its left.
detail::paper::EdgeLine lineAt(cv::Point2d point, double degrees) {
    const cv::Point2d direction(std::cos(degrees * CV_PI / 180), std::sin(degrees * CV_PI / 180));
    return {point, direction, {-direction.y, direction.x}, {{0, 100}}, 100};
}

}  // namespace

TEST(PaperLines, AWallsStripesEdgesAreSetAsideAndASheetsSidesKept) {
    struct Case {
        const char* what;
        int stripes;          // edges of stripes 12 pixels apart
        double stripeAngle;   // degrees
        double spread;        // degrees between one stripe's edge and the next
        std::size_t kept;
    };
    const Case cases[] = {
        {"eleven upright stripes' edges", 11, 90, 0, 5},
        {"eleven stripes' edges leaning 30 degrees, each turned a little from the last", 11, 120, 0.15, 5},
        {"ten stripes' edges: each has nine others only", 10, 90, 0, 15},
        {"eleven edges fanning out by 2.5 degrees each are no stripes", 11, 90, 2.5, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A sheet turned by 14 degrees (its four sides, two pairs of parallel ones) and a room's edge.
        std::vector<detail::paper::EdgeLine> lines{lineAt({100, 100}, 14), lineAt({120, 300}, 194),
                                                   lineAt({100, 100}, 104), lineAt({300, 120}, 284),
                                                   lineAt({0, 380}, 2)};
        for (int k = 0; k < c.stripes; ++k)
            lines.push_back(lineAt({20.0 + 12 * k, 0}, c.stripeAngle + c.spread * k));
        const auto kept = detail::paper::stripesSetAside(lines);
        EXPECT_EQ(kept.size(), c.kept);
        for (std::size_t k = 0; k < std::min<std::size_t>(5, kept.size()); ++k)
            EXPECT_EQ(kept[k].point, lines[k].point);  // the sheet's sides and the room's edge, in their order
    }
}

TEST(PaperLines, AWallsStripesRunOutOfThePictureWhereStrokesDrawnOnASheetEndInsideIt) {
    // A 400 x 300 picture with edges 12 pixels apart, each 200 pixels long, upright from the top or lying from
    // the right; those that reach the border end the given distance from it, the rest end 40 pixels inside it.
    struct Case {
        const char* what;
        int edges;
        int reaching;
        double gap;  // pixels between the reaching edges' ends and the border
        bool upright;
        bool striped;
    };
    const Case cases[] = {
        {"eleven stripes' edges down from the top border", 11, 11, 0, true, true},
        {"eleven stripes' edges ending a pixel and a half short of the top border", 11, 11, 1.5, true, true},
        {"eleven edges ending two and a half pixels short of the border", 11, 11, 2.5, true, false},
        {"eleven stripes' edges in from the right border", 11, 11, 0, false, true},
        {"eleven strokes of grass drawn on a sheet, all ending inside the picture", 11, 0, 0, true, false},
        {"eleven strokes, two of them out to the border by chance", 11, 2, 0, true, false},
        {"eleven edges, three of them out to the border", 11, 3, 0, true, true},
        {"ten edges out to the border: each has nine others only", 10, 10, 0, true, false},
    };
    const cv::Size picture(400, 300);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<detail::paper::EdgeLine> lines;
        for (int k = 0; k < c.edges; ++k) {
            const double from = k < c.reaching ? c.gap : 40;
            // Upright lines run down from y = from; lying ones run left from x = 399 - from.
            const cv::Point2d point =
                c.upright ? cv::Point2d(60.0 + 12 * k, from) : cv::Point2d(399 - from, 60.0 + 12 * k);
            const cv::Point2d direction = c.upright ? cv::Point2d(0, 1) : cv::Point2d(-1, 0);
            lines.push_back({point, direction, {-direction.y, direction.x}, {{0, 200}}, 200});
        }
        EXPECT_EQ(detail::paper::stripedSurface(lines, picture), c.striped);
    }
}
