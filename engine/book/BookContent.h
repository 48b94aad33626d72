#pragma once

#include "engine/book/BookSettings.h"
#include "engine/core/Color.h"
#include "engine/library/LibraryRecords.h"
#include "engine/render/PageImage.h"
#include "engine/core/UUID.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillfen {

// The three fonts of a lettering style, by PostScript name: `title` for caption titles, the
// dedication, the closing text and full month grids' day numbers; `detail` for caption detail lines,
// subtitles, weekday names, event lines and compact day numbers; `display` for the book cover's title
// and the calendar's cover and month titles.
struct FontSet {
    std::string title;
    std::string detail;
    std::string display;

    bool operator==(const FontSet&) const = default;
};

// The fonts of a caption style; `none` letters its covers like `modern`.
FontSet fonts(CaptionStyle style);

// The image of a drawing by its id, or nothing. Called on the rendering thread each time a page draws
// the drawing.
using ImageSource = std::function<std::optional<PageImage>(const UUID&)>;

// What the book's pages read beyond the layout: the settings, the children, the drawings by id and the
// image source. A plain value; the preview and each export pass make their own.
struct BookContent {
    BookSettings settings;
    std::vector<Child> children;
    std::unordered_map<UUID, DrawingInfo> drawings;
    ImageSource image;

    // Where ids repeat, the first drawing with an id is kept. A missing image source yields no images.
    static BookContent make(BookSettings settings, std::span<const Child> children,
                            std::span<const DrawingInfo> drawings, ImageSource image);

    // The first child with that id; nothing without an id or when no child has it.
    std::optional<Child> child(const std::optional<UUID>& id) const;
    // The chosen cover drawing when it is among the drawings, else the oldest drawing (of equally old
    // ones the lowest sequence); nothing without drawings.
    std::optional<UUID> coverDrawing() const;
    // The image of a drawing through the source; nothing without a source.
    std::optional<PageImage> imageOf(const UUID& id) const;
};

namespace BookRenderer {

// The book's text colours: caption titles, dedication and closing text; caption detail lines.
inline constexpr Color inkColor{0.16, 0.16, 0.18, 1};
inline constexpr Color mutedColor{0.42, 0.42, 0.45, 1};

}  // namespace BookRenderer

}  // namespace quillfen
