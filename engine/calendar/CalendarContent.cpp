#include "engine/calendar/CalendarContent.h"

namespace quillfen {

CalendarContent CalendarContent::make(CalendarSettings settings, std::span<const Child> children,
                                      std::span<const DrawingInfo> drawings, ImageSource image) {
    CalendarContent content;
    content.events = settings.events(children);
    content.settings = std::move(settings);
    for (const auto& drawing : drawings) content.pictures.try_emplace(drawing.id, drawing);
    content.image = std::move(image);
    return content;
}

const std::vector<CalendarEvent>& CalendarContent::eventsOn(const Day& day) const {
    static const std::vector<CalendarEvent> none;
    const auto found = events.find(day);
    return found == events.end() ? none : found->second;
}

std::optional<PageImage> CalendarContent::imageOf(const UUID& id) const {
    if (!image) return std::nullopt;
    return image(id);
}

Color CalendarRenderer::kindColor(CalendarEvent::Kind kind) {
    switch (kind) {
        case CalendarEvent::Kind::federal:
        case CalendarEvent::Kind::observance:
            return holidayColor;
        case CalendarEvent::Kind::birthday:
            return birthdayColor;
        case CalendarEvent::Kind::custom:
            break;
    }
    return customColor;
}

}  // namespace quillfen
