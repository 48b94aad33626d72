#include "engine/book/BookContent.h"

#include "engine/book/Paginator.h"

#include <algorithm>

namespace quillfen {

FontSet fonts(CaptionStyle style) {
    switch (style) {
        case CaptionStyle::handwritten:
            return {"Noteworthy-Bold", "Noteworthy-Light", "Noteworthy-Bold"};
        case CaptionStyle::classic:
            return {"Georgia-Italic", "Georgia", "Georgia-BoldItalic"};
        case CaptionStyle::modern:
        case CaptionStyle::none:
            break;
    }
    return {"AvenirNext-DemiBold", "AvenirNext-Regular", "AvenirNext-Heavy"};
}

BookContent BookContent::make(BookSettings settings, std::span<const Child> children,
                              std::span<const DrawingInfo> drawings, ImageSource image) {
    BookContent content;
    content.settings = std::move(settings);
    content.children.assign(children.begin(), children.end());
    for (const auto& drawing : drawings) content.drawings.try_emplace(drawing.id, drawing);
    content.image = std::move(image);
    return content;
}

std::optional<Child> BookContent::child(const std::optional<UUID>& id) const {
    if (!id) return std::nullopt;
    const auto found =
        std::find_if(children.begin(), children.end(), [&](const Child& c) { return c.id == *id; });
    if (found == children.end()) return std::nullopt;
    return *found;
}

std::optional<UUID> BookContent::coverDrawing() const {
    std::vector<const DrawingInfo*> all;
    all.reserve(drawings.size());
    for (const auto& [id, drawing] : drawings) all.push_back(&drawing);
    return Paginator::coverDrawing(settings.coverDrawing, all);
}

std::optional<PageImage> BookContent::imageOf(const UUID& id) const {
    if (!image) return std::nullopt;
    return image(id);
}

}  // namespace quillfen
