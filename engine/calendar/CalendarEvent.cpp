#include "engine/calendar/CalendarEvent.h"

namespace quillfen {

CustomEvent Coding<CustomEvent>::read(const Json& v) {
    return CustomEvent{required<UUID>(v, "id"), required<std::string>(v, "title"), required<Day>(v, "date"),
                       required<bool>(v, "yearly")};
}

Json Coding<CustomEvent>::write(const CustomEvent& e) {
    Json out = Json::object();
    put(out, "id", e.id);
    put(out, "title", e.title);
    put(out, "date", e.date);
    put(out, "yearly", e.yearly);
    return out;
}

}  // namespace quillfen
