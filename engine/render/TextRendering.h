#pragma once

#include "engine/core/Color.h"
#include "engine/core/Geometry.h"
#include "engine/render/Text.h"

#include <cairo.h>

#include <string_view>

// Sets text on a cairo context whose user space has y upwards. Used by Canvas only; the same layout
// rules as the measurements of Text.
namespace quillfen::TextRendering {

// Draws text as one line with its baseline at anchor.y: from anchor.x when left-aligned, centred on
// anchor.x otherwise. Wider than maxWidth, it is cut at its end with "…" and placed as if exactly
// maxWidth wide; when not even "…" fits, nothing is drawn. Returns the width used for placement
// (0 when nothing was drawn).
double drawLine(cairo_t* cr, std::string_view text, const Font& font, Color color, TextAlignment alignment,
                Point anchor, double maxWidth);

// Draws text wrapped at the frame's width with centred lines, from the top of the frame down; a line
// that does not fit wholly inside the frame, and every line after it, is left out, and ink reaching
// outside the frame (a cluster wider than the frame) is clipped.
void drawFrame(cairo_t* cr, std::string_view text, const Font& font, Color color, const Rect& frame);

}  // namespace quillfen::TextRendering
