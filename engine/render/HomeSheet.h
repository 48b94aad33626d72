#pragma once

#include "engine/core/Geometry.h"

// Where a page lands on a US Letter sheet for home printing; shared by the book's and the calendar's
// home-print files. Pure; any thread.
namespace quillfen::BookRenderer {

// The US Letter sheet in points, portrait.
inline constexpr Size letter{612, 792};
// Kept free on every side of a home-print sheet.
inline constexpr double homeMargin = 18;

// A home-print sheet and the rectangle on it into which the trimmed page is scaled.
struct HomeSheet {
    Size sheet;  // 612 × 792 or 792 × 612
    Rect page;

    bool operator==(const HomeSheet&) const = default;
};

// The trim's aspect fitted and centred in each sheet orientation less its margin; the orientation that
// gives the wider page wins, portrait on a tie. An aspect that is not above 0 counts as square.
HomeSheet homeSheet(double trimWidth, double trimHeight);

}  // namespace quillfen::BookRenderer
