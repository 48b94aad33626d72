#pragma once

#include "engine/core/Geometry.h"

#include <string>
#include <string_view>

namespace quillfen {

// A font by the PostScript name the pages use ("Georgia-Italic", "AvenirNext-DemiBold", ...) and a size
// in points. Names resolve through the engine's own font table; a name it lacks falls back to the
// closest font that fontconfig finds, and characters the font lacks to the system's fonts.
struct Font {
    std::string name;
    double size = 12;

    bool operator==(const Font&) const = default;
};

enum class TextAlignment { left, center };

// Text measurement in points, laid out the same way at every scale and on every target (72 dpi,
// unhinted metrics, unrounded glyph positions). Text is taken as UTF-8: ill-formed bytes and NUL set
// as U+FFFD, and only the first few thousand characters, more than any page can show, are set.
// Safe to call from any thread.
namespace Text {

// The typographic width of the text set as one line.
double lineWidth(std::string_view text, const Font& font);

// The size of the whole text wrapped at width with centred lines, as a frame would need to hold it.
Size suggestedFrameSize(std::string_view text, const Font& font, double width);

// The size at which a centred block of text fits the box: from size, shrunk by factors of 0.9 while
// its wrapped height exceeds the box's height and the size is above 8 (so it may end just below 8).
double fittedSize(std::string_view text, const std::string& fontName, double size, const Rect& box);

}  // namespace Text

}  // namespace quillfen
