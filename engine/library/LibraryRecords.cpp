#include "engine/library/LibraryRecords.h"

#include "engine/core/Hashing.h"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

namespace quillfen {

namespace {

// The start of the calendar day that `date` falls on in ICU's default time zone, as the same day at
// midnight in UTC: days compared or counted in UTC meet no daylight-saving change.
std::optional<UDate> dayOf(Date date) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar local(icu::TimeZone::createDefault(), status);
    local.setTime(date.icuMilliseconds(), status);
    icu::GregorianCalendar day(icu::TimeZone::getGMT()->clone(), status);
    day.clear();
    for (const UCalendarDateFields field : {UCAL_ERA, UCAL_YEAR, UCAL_MONTH, UCAL_DATE})
        day.set(field, local.get(field, status));
    const UDate start = day.getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return start;
}

}  // namespace

std::optional<int> Child::age(Date at) const {
    if (!birthday) return std::nullopt;
    const auto born = dayOf(*birthday), drawn = dayOf(at);
    if (!born || !drawn || *born > *drawn) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(icu::TimeZone::getGMT()->clone(), status);
    calendar.setTime(*born, status);
    const int32_t years = calendar.fieldDifference(*drawn, UCAL_YEAR, status);
    if (U_FAILURE(status)) return std::nullopt;
    return years;
}

Child Coding<Child>::read(const Json& v) {
    return Child{required<UUID>(v, "id"), required<std::string>(v, "name"), optional<Date>(v, "birthday"),
                 required<std::string>(v, "about")};
}

Json Coding<Child>::write(const Child& c) {
    Json out = Json::object();
    put(out, "id", c.id);
    put(out, "name", c.name);
    putOptional(out, "birthday", c.birthday);
    put(out, "about", c.about);
    return out;
}

DrawingInfo Coding<DrawingInfo>::read(const Json& v) {
    return DrawingInfo{required<UUID>(v, "id"),
                       optional<UUID>(v, "childID"),
                       required<Date>(v, "date"),
                       required<std::string>(v, "age"),
                       required<std::string>(v, "title"),
                       required<bool>(v, "featured"),
                       required<double>(v, "aspect"),
                       required<Size>(v, "pixelSize"),
                       required<CleanupSettings>(v, "cleanup"),
                       required<std::int64_t>(v, "sequence")};
}

Json Coding<DrawingInfo>::write(const DrawingInfo& d) {
    Json out = Json::object();
    put(out, "id", d.id);
    putOptional(out, "childID", d.childID);
    put(out, "date", d.date);
    put(out, "age", d.age);
    put(out, "title", d.title);
    put(out, "featured", d.featured);
    put(out, "aspect", d.aspect);
    put(out, "pixelSize", d.pixelSize);
    put(out, "cleanup", d.cleanup);
    put(out, "sequence", d.sequence);
    return out;
}

}  // namespace quillfen

std::size_t std::hash<quillfen::Child>::operator()(const quillfen::Child& child) const noexcept {
    std::size_t h = std::hash<quillfen::UUID>{}(child.id);
    const auto mix = [&h](std::size_t v) { quillfen::hash_detail::combine(h, v); };
    mix(std::hash<std::string>{}(child.name));
    mix(child.birthday ? 1 : 0);
    if (child.birthday) mix(std::hash<double>{}(child.birthday->seconds));
    mix(std::hash<std::string>{}(child.about));
    return h;
}
