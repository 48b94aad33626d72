#include "engine/calendar/Holidays.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include "engine/calendar/CalendarMath.h"
#include "engine/core/TextTrimming.h"

namespace quillfen::Holidays {

namespace {

constexpr int sunday = 0, monday = 1, thursday = 4;

template <int month, int day>
std::optional<Day> fixed(int year) {
    return Day{year, month, day};
}

template <int month, int weekday, int n>
std::optional<Day> nth(int year) {
    return Day{year, month, CalendarMath::nthWeekday(year, month, weekday, n)};
}

constexpr int last = 0;

constexpr std::array<Holiday, 21> holidayTable{{
    {"New Year’s Day", "Año Nuevo", true, fixed<1, 1>},
    {"Martin Luther King Jr. Day", "Día de Martin Luther King Jr.", true, nth<1, monday, 3>},
    {"Valentine’s Day", "San Valentín", false, fixed<2, 14>},
    {"Presidents’ Day", "Día de los Presidentes", true, nth<2, monday, 3>},
    {"St. Patrick’s Day", "San Patricio", false, fixed<3, 17>},
    {"Easter", "Pascua", false, [](int year) -> std::optional<Day> { return CalendarMath::easter(year); }},
    {"Mother’s Day", "Día de las Madres", false, nth<5, sunday, 2>},
    {"Memorial Day", "Día de los Caídos", true, nth<5, monday, last>},
    {"Father’s Day", "Día del Padre", false, nth<6, sunday, 3>},
    {"Juneteenth", "Juneteenth", true, fixed<6, 19>},
    {"Independence Day", "Día de la Independencia", true, fixed<7, 4>},
    {"Labor Day", "Día del Trabajo", true, nth<9, monday, 1>},
    {"Grandparents Day", "Día de los Abuelos", false,
     [](int year) -> std::optional<Day> { return nth<9, monday, 1>(year)->adding(6); }},
    {"Columbus Day / Indigenous Peoples’ Day", "Día de la Raza / de los Pueblos Indígenas", true,
     nth<10, monday, 2>},
    {"Halloween", "Halloween", false, fixed<10, 31>},
    {"Veterans Day", "Día de los Veteranos", true, fixed<11, 11>},
    {"Thanksgiving", "Día de Acción de Gracias", true, nth<11, thursday, 4>},
    {"Hanukkah (first day)", "Janucá (primer día)", false, CalendarMath::hanukkahFirstDay},
    {"Christmas Eve", "Nochebuena", false, fixed<12, 24>},
    {"Christmas Day", "Navidad", true, fixed<12, 25>},
    {"New Year’s Eve", "Nochevieja", false, fixed<12, 31>},
}};

// `day`, except that 29 February becomes 28 February in a common year.
Day inYear(int year, int month, int day) {
    if (month == 2 && day == 29 && !CalendarMath::isLeapYear(year)) day = 28;
    return Day{year, month, day};
}

std::optional<CalendarEvent> birthday(const Child& child, int year, bool spanish,
                                      const icu::Calendar& gregorian) {
    if (!child.birthday) return std::nullopt;
    const std::string name = trimmingHorizontalSpace(child.name);
    if (name.empty()) return std::nullopt;
    const Day born = CalendarMath::day(*child.birthday, gregorian);
    if (year < born.year) return std::nullopt;
    const long long age = static_cast<long long>(year) - born.year;
    std::string title = spanish ? "Cumpleaños de " + name : name + "’s birthday";
    if (age > 0) title += " (" + std::to_string(age) + ")";
    return CalendarEvent{inYear(year, born.month, born.day), std::move(title), CalendarEvent::Kind::birthday};
}

std::unique_ptr<icu::Calendar> localGregorian() {
    UErrorCode status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(icu::TimeZone::createDefault(), status);
    if (U_FAILURE(status)) return nullptr;
    return calendar;
}

}  // namespace

std::span<const Holiday> table() {
    return holidayTable;
}

std::vector<CalendarEvent> events(int year, bool federal, bool observances, bool spanish) {
    std::vector<CalendarEvent> out;
    for (const Holiday& holiday : holidayTable) {
        if (!(holiday.federal ? federal : observances)) continue;
        const std::optional<Day> day = holiday.rule(year);
        if (!day) continue;
        out.push_back({*day, std::string(spanish ? holiday.spanish : holiday.english),
                       holiday.federal ? CalendarEvent::Kind::federal : CalendarEvent::Kind::observance});
    }
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.day < b.day; });
    return out;
}

std::optional<CalendarEvent> birthdayEvent(const Child& child, int year, bool spanish) {
    if (!child.birthday) return std::nullopt;
    const auto gregorian = localGregorian();
    if (!gregorian) return std::nullopt;
    return birthday(child, year, spanish, *gregorian);
}

std::vector<CalendarEvent> birthdayEvents(std::span<const Child> children, int year, bool spanish) {
    std::vector<CalendarEvent> out;
    const auto gregorian = localGregorian();
    if (!gregorian) return out;
    for (const Child& child : children)
        if (auto event = birthday(child, year, spanish, *gregorian)) out.push_back(std::move(*event));
    return out;
}

std::vector<CalendarEvent> customEvents(std::span<const CustomEvent> events, int year) {
    std::vector<CalendarEvent> out;
    for (const CustomEvent& event : events) {
        if (trimmingHorizontalSpace(event.title).empty()) continue;
        if (event.yearly)
            out.push_back(
                {inYear(year, event.date.month, event.date.day), event.title, CalendarEvent::Kind::custom});
        else if (event.date.year == year)
            out.push_back({event.date, event.title, CalendarEvent::Kind::custom});
    }
    return out;
}

}  // namespace quillfen::Holidays
