#pragma once

#include <vector>

#include "engine/book/BookLayout.h"
#include "engine/book/BookSettings.h"
#include "engine/core/Geometry.h"
#include "engine/core/UUID.h"

// Placement of the drawings of one book page and of the cover drawing: pure arithmetic on rectangles in
// page points, origin at the lower left, y upwards. Any thread.
namespace quillfen {

// Caption type sizes and the height of the caption band under each picture of a book page.
struct CaptionMetrics {
    double titleSize = 0;
    double detailSize = 0;
    double height = 0;

    // For a page of `count` drawings and the given page size; reads only the three caption switches.
    static CaptionMetrics forPage(const BookSettings& settings, int count, double width, double height);

    bool operator==(const CaptionMetrics&) const = default;
};

// A drawing to place: its id and its width / height.
struct PlacedDrawing {
    UUID id;
    double aspect = 1;
};

namespace Paginator {

// `count` equal cells side by side, left to right, full height.
std::vector<Rect> row(int count, const Rect& rect, double gutter);
// `count` equal cells stacked, the first at the top, full width.
std::vector<Rect> column(int count, const Rect& rect, double gutter);
// The largest rectangle of that aspect centred in `rect`; an aspect that is not positive counts as 1.
Rect aspectFit(double aspect, const Rect& rect);
// The candidate cell layouts for `count` drawings, in the order they are tried.
std::vector<std::vector<Rect>> candidateCells(int count, const Rect& rect);
// The i-th drawing in the i-th cell, its image above a caption band of `captionHeight`; extra
// drawings or cells are ignored.
std::vector<Slot> fit(const std::vector<PlacedDrawing>& drawings, const std::vector<Rect>& cells,
                      double captionHeight);
// The candidate that gives the pictures the most area, or, when about equal, the largest smallest picture.
std::vector<Slot> slots(const std::vector<PlacedDrawing>& drawings, const Rect& rect, double captionHeight);
// The cover drawing's rectangle relative to the trim's lower-left corner; the zero rectangle when the
// safe margin leaves no room.
Rect coverPictureRect(double trimWidth, double trimHeight, double safe, double aspect);

}  // namespace Paginator

}  // namespace quillfen
