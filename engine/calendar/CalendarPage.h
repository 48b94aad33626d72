#pragma once

#include "engine/calendar/CalendarContent.h"
#include "engine/calendar/CalendarLayout.h"
#include "engine/render/Canvas.h"
#include "engine/core/Geometry.h"
#include "engine/core/UUID.h"

#include <optional>
#include <string_view>

namespace quillfen::CalendarRenderer {

// Shown in a picture rectangle whose month has no picture or whose picture cannot be had.
inline constexpr std::string_view placeholderText = "Choose a picture for this month";

// Draws one calendar page with its trim's lower-left corner at (dx, dy) on the canvas: the white page
// with its bleed, then the month's picture, its grid, both, or the cover, and on request the trim (only
// with a bleed) and safe guide lines over everything. Leaves the canvas's state as it found it.
void drawPage(const CalendarPage& page, const CalendarLayout& layout, const CalendarContent& content,
              Canvas& canvas, double dx, double dy, bool guides);

// Draws a drawing into rect: cropped to cover it when filling, else whole on a white backing with a
// soft shadow; without an id or an image, the grey placeholder with its centred text.
void drawPicture(const std::optional<UUID>& id, bool fill, const CalendarContent& content, Canvas& canvas,
                 const Rect& rect);

}  // namespace quillfen::CalendarRenderer
