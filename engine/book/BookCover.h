#pragma once

#include "engine/book/BookContent.h"
#include "engine/book/BookLayout.h"
#include "engine/render/Canvas.h"
#include "engine/core/Color.h"
#include "engine/core/Geometry.h"

namespace quillfen::BookRenderer {

// The cover's text colour: white on a dark cover colour, else (0.14, 0.14, 0.17).
Color coverTextColor(CoverColor color);

// Draws the front cover: the bleed in the cover colour, the title across the top, the cover drawing on
// a white mat with a soft shadow, and the subtitle at the foot. `trim` is the page's trim box on the
// canvas and `bleed` the trim grown by the layout's bleed. The caller saves and restores the state.
void drawCover(const BookContent& content, const BookLayout& layout, Canvas& canvas, const Rect& trim,
               const Rect& bleed);

}  // namespace quillfen::BookRenderer
