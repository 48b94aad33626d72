#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "engine/calendar/Day.h"
#include "engine/core/Json.h"
#include "engine/core/UUID.h"

namespace quillfen {

// One event on one day of a calendar, as the month grid prints it. Built from the holiday table,
// the children and the custom events; never stored.
struct CalendarEvent {
    // Ordered as the grid lists a day's events.
    enum class Kind { federal = 0, observance = 1, birthday = 2, custom = 3 };

    Day day;
    std::string title;
    Kind kind = Kind::custom;

    bool operator==(const CalendarEvent&) const = default;
};

// An event the user adds to the calendar. A yearly event comes back on its month and day every year;
// a one-time event shows only in the year of its date. Stored in the calendar settings.
struct CustomEvent {
    UUID id;
    std::string title;  // as typed
    Day date;
    bool yearly = false;

    bool operator==(const CustomEvent&) const = default;
};

template <>
struct Coding<CustomEvent> {
    static CustomEvent read(const Json& v);
    static Json write(const CustomEvent& e);
};

}  // namespace quillfen

template <>
struct std::hash<quillfen::CalendarEvent> {
    std::size_t operator()(const quillfen::CalendarEvent& e) const noexcept {
        std::size_t h = std::hash<quillfen::Day>{}(e.day);
        quillfen::hash_detail::combine(h, std::hash<std::string>{}(e.title));
        quillfen::hash_detail::combine(h, static_cast<std::size_t>(e.kind));
        return h;
    }
};

template <>
struct std::hash<quillfen::CustomEvent> {
    std::size_t operator()(const quillfen::CustomEvent& e) const noexcept {
        std::size_t h = std::hash<quillfen::UUID>{}(e.id);
        quillfen::hash_detail::combine(h, std::hash<std::string>{}(e.title));
        quillfen::hash_detail::combine(h, std::hash<quillfen::Day>{}(e.date));
        quillfen::hash_detail::combine(h, std::hash<bool>{}(e.yearly));
        return h;
    }
};
