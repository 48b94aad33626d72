#pragma once

#include <opencv2/imgproc.hpp>

#include <cmath>

#include "tests/engine/PaperScenes.h"

// Pictures of a sheet on tables of several kinds, for the tests of what lies along and beyond a sheet's sides.
namespace quillfen::paperscenes {

enum class Table { brown, grey, paleStriped, stripedWall, pale, uprightStripes, narrowStripes, fineStripes, greyPatch };

// How the sheet across a hard shadow's edge is lit and drawn on: plainly; in light so strong that the sunlit
// paper, a pale yellow, is burnt out to white in its red and green; or with a dark red band drawn across the
// shadow's edge along half of it (y 130...230).
enum class Sunlit { plain, burntOut, drawnAcross };

// A 480 x 360 RGB picture of a sheet (x 120...360, y 80...280) on a table, lightly smoothed as the analysis
// smooths it. A hard shadow keeps half the light right of x = 240, on the table and the sheet alike. The pale
// striped table has a dark stripe 10 pixels wide along the sheet's bottom edge; the striped wall is grey with
// white stripes 12 of every 30 pixels wide, leaning 2 pixels across for every 5 down. The pale table is plain.
// The upright stripes are grey with white stripes 30 of every 60 pixels wide, white from x = 90 to 120 beside
// the sheet's left edge, grey from 360 to 390 beside its right edge and white again beyond. The narrow stripes
// are grey with white stripes 20 of every 50 pixels wide, white from x = 85 to 105 and from 385 to 405, the
// sheet's edges in the middle of grey stripes. The fine stripes are grey with upright white stripes 4 of every 8
// pixels wide from x = 0, so that just either side of the shadow's edge lie more white and more grey in turn.
// The grey table with a patch has a dark patch above the sheet's top left corner, from 8 pixels left of the line
// along the sheet's left side on (x 60...112, y 0...80), dark enough that a wide band there steps down by the
// share the paper does to the table.
inline cv::Mat scene(Table table, bool shadow, Sunlit sunlit = Sunlit::plain) {
    const cv::Scalar colours[] = {{0.45, 0.3, 0.18},    cv::Scalar::all(0.5), cv::Scalar::all(0.9),
                                  cv::Scalar::all(0.5), cv::Scalar::all(0.9), cv::Scalar::all(0.5),
                                  cv::Scalar::all(0.5), cv::Scalar::all(0.5), cv::Scalar::all(0.5)};
    cv::Mat picture(360, 480, CV_32FC3, colours[static_cast<int>(table)]);
    if (table == Table::paleStriped) picture(cv::Rect(0, 281, 480, 10)).setTo(cv::Scalar::all(0.45));
    if (table == Table::stripedWall)
        for (int y = 0; y < picture.rows; ++y)
            for (int x = 0; x < picture.cols; ++x)
                if (std::fmod(x + 0.4 * y, 30.0) < 12) picture.at<cv::Vec3f>(y, x) = cv::Vec3f::all(0.9f);
    if (table == Table::uprightStripes)
        for (int x = 30; x < picture.cols; x += 60)
            picture(cv::Rect(x, 0, 30, picture.rows)).setTo(cv::Scalar::all(0.9));
    if (table == Table::narrowStripes)
        for (int x = 35; x < picture.cols; x += 50)
            picture(cv::Rect(x, 0, 20, picture.rows)).setTo(cv::Scalar::all(0.9));
    if (table == Table::fineStripes)
        for (int x = 0; x < picture.cols; x += 8) picture(cv::Rect(x, 0, 4, picture.rows)).setTo(cv::Scalar::all(0.9));
    if (table == Table::greyPatch) picture(cv::Rect(60, 0, 53, 80)).setTo(cv::Scalar::all(0.2));
    picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
    if (sunlit == Sunlit::burntOut) picture(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.92, 0.6));
    if (sunlit == Sunlit::drawnAcross) picture(cv::Rect(180, 130, 120, 100)).setTo(cv::Scalar(0.6, 0.12, 0.1));
    if (shadow) picture(cv::Rect(240, 0, 240, 360)) *= 0.5;
    if (sunlit == Sunlit::burntOut) picture *= 1.4;
    return photographed(cv::min(picture, 1.0));
}

// The sheet (x 120...360, y 80...280) across the edge of a table at y = 180: the table top below, the darker
// floor beyond its edge showing through the paper above.
inline cv::Mat sheetAcrossTableEdge() {
    cv::Mat lit(360, 480, CV_32FC3, cv::Scalar(0.6, 0.58, 0.5));
    lit(cv::Rect(0, 0, 480, 180)).setTo(cv::Scalar(0.2, 0.18, 0.15));
    lit(cv::Rect(120, 80, 240, 200)).setTo(cv::Scalar(0.95, 0.95, 0.93));
    lit(cv::Rect(120, 80, 240, 100)) *= 0.75;
    return photographed(lit);
}

// The same sheet on the brown table, with a line drawn across it at y = 180, or half in a hard shadow.
inline cv::Mat sheetCrossedOnBrownTable(bool drawnLine, bool shadow) {
    cv::Mat picture = scene(Table::brown, shadow);
    if (drawnLine) cv::line(picture, cv::Point(120, 180), cv::Point(359, 180), cv::Scalar(40, 60, 30), 5);
    return picture;
}

}  // namespace quillfen::paperscenes
