#include "engine/calendar/Day.h"

#include <cstdio>

#include "engine/calendar/CalendarMath.h"

namespace quillfen {

std::string Day::description() const {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

int Day::weekday() const {
    return CalendarMath::weekday(year, month, day);
}

std::int64_t Day::ordinal() const {
    return CalendarMath::ordinal(year, month, day);
}

Day Day::adding(std::int64_t days) const {
    return CalendarMath::day(ordinal() + days);
}

Day Coding<Day>::read(const Json& v) {
    return Day{required<int>(v, "year"), required<int>(v, "month"), required<int>(v, "day")};
}

Json Coding<Day>::write(const Day& d) {
    Json out = Json::object();
    put(out, "year", d.year);
    put(out, "month", d.month);
    put(out, "day", d.day);
    return out;
}

}  // namespace quillfen
