#pragma once

#include "engine/book/BookContent.h"
#include "engine/render/Canvas.h"
#include "engine/core/Geometry.h"
#include "engine/library/LibraryRecords.h"

#include <optional>
#include <string>
#include <vector>

namespace quillfen::BookRenderer {

// The child's drawings among the content's, earliest first; drawings of equal date in sequence order
// (then by id), so the same content always gives the same order.
std::vector<DrawingInfo> drawingsOf(const Child& child, const BookContent& content);

// The count of the child's drawings with the span of ages they were drawn at ("3 drawings, ages 4 to
// 6"); nothing when the child has no drawings in the content.
std::optional<std::string> aboutSummary(const Child& child, const BookContent& content);

// Draws an "About the artist" page inside the safe rectangle S: heading, name, six coloured dots, the
// summary and the child's note. m is the page's shorter trim side, which every size is a fraction of.
// Leaves the fill colour changed; the caller saves and restores the state around the page.
void drawAboutPage(const Child& child, const BookContent& content, const FontSet& fonts, Canvas& canvas,
                   const Rect& S, double m);

}  // namespace quillfen::BookRenderer
