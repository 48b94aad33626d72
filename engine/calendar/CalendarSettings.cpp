#include "engine/calendar/CalendarSettings.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include "engine/calendar/Holidays.h"
#include "engine/core/TextTrimming.h"

namespace quillfen {

namespace {

constexpr int firstYear = 1;
constexpr int lastYear = 9999;

// The calendar's first month with a stray month number carried into the year and the year held
// within 1...9999.
CalendarMath::YearMonth normalisedStart(const CalendarSettings& s) {
    const std::int64_t k = static_cast<std::int64_t>(s.startMonth) - 1;
    const std::int64_t year = static_cast<std::int64_t>(s.startYear) + CalendarMath::floorDiv(k, 12);
    return {static_cast<int>(std::clamp<std::int64_t>(year, firstYear, lastYear)),
            static_cast<int>(CalendarMath::floorMod(k, 12)) + 1};
}

// The composed (NFC) UTF-8 form; its byte order is code-point order.
std::string composed(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return text;
    const icu::UnicodeString normal = nfc->normalize(icu::UnicodeString::fromUTF8(text), status);
    if (U_FAILURE(status)) return text;
    std::string out;
    return normal.toUTF8String(out);
}

void sortDay(std::vector<CalendarEvent>& events) {
    if (events.size() < 2) return;
    std::vector<std::string> keys;
    keys.reserve(events.size());
    for (const auto& e : events) keys.push_back(composed(e.title));
    std::vector<std::size_t> order(events.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (events[a].kind != events[b].kind) return events[a].kind < events[b].kind;
        return keys[a] < keys[b];
    });
    std::vector<CalendarEvent> sorted;
    sorted.reserve(events.size());
    for (std::size_t i : order) sorted.push_back(std::move(events[i]));
    events = std::move(sorted);
}

}  // namespace

std::string_view label(CalendarFormat format) {
    switch (format) {
        case CalendarFormat::wall:
            return "Wall, 11 × 8.5 in (picture above, grid below)";
        case CalendarFormat::letter:
            return "Letter, 8.5 × 11 in (one page a month)";
        case CalendarFormat::square12:
            return "Square wall, 12 × 12 in (picture above, grid below)";
        case CalendarFormat::desk5x7:
            return "Desk, 7 × 5 in";
        case CalendarFormat::desk6x4:
            return "Desk, 6 × 4 in";
    }
    return {};
}

Size inches(CalendarFormat format) {
    switch (format) {
        case CalendarFormat::wall:
            return {11, 8.5};
        case CalendarFormat::letter:
            return {8.5, 11};
        case CalendarFormat::square12:
            return {12, 12};
        case CalendarFormat::desk5x7:
            return {7, 5};
        case CalendarFormat::desk6x4:
            return {6, 4};
    }
    return {};
}

Size trimSize(CalendarFormat format) {
    const Size in = inches(format);
    return {in.width * pointsPerInch, in.height * pointsPerInch};
}

bool hasPicturePage(CalendarFormat format) {
    return format == CalendarFormat::wall || format == CalendarFormat::square12;
}

bool isDesk(CalendarFormat format) {
    return format == CalendarFormat::desk5x7 || format == CalendarFormat::desk6x4;
}

std::string_view label(CalendarPrint print) {
    return print == CalendarPrint::home ? "Home printer (no bleed)"
                                        : "Print shop or photo service (with bleed)";
}

PrintSpec spec(CalendarPrint print) {
    return PrintSpec{print == CalendarPrint::home ? 0.0 : 9.0, 18, 1, 1, 0};
}

std::vector<CalendarMath::YearMonth> CalendarSettings::months() const {
    const CalendarMath::YearMonth start = normalisedStart(*this);
    return CalendarMath::months(start.year, start.month, 12);
}

std::string CalendarSettings::displayTitle() const {
    std::string trimmed = trimmingHorizontalSpace(title);
    if (!trimmed.empty()) return trimmed;
    const int first = normalisedStart(*this).year;
    const int last = months().back().year;
    if (last == first) return std::to_string(first);
    return std::to_string(first) + "–" + std::to_string(last);
}

std::optional<UUID> CalendarSettings::pictureID(const CalendarPageContent& content) const {
    const auto monthPicture = [this](int month) -> std::optional<UUID> {
        const auto it = pictures.find(month);
        if (it == pictures.end()) return std::nullopt;
        return it->second;
    };
    if (const auto* page = std::get_if<CalendarPicturePage>(&content)) return monthPicture(page->month);
    if (const auto* page = std::get_if<CalendarMonthPage>(&content)) return monthPicture(page->month);
    if (std::holds_alternative<CalendarCoverPage>(content))
        return coverPicture ? coverPicture : monthPicture(0);
    return std::nullopt;
}

std::map<Day, std::vector<CalendarEvent>> CalendarSettings::events(std::span<const Child> children) const {
    std::vector<int> years;
    for (const auto& m : months())
        if (std::find(years.begin(), years.end(), m.year) == years.end()) years.push_back(m.year);
    const bool spanish = resolved(language) == CalendarLanguage::spanish;
    std::vector<CalendarEvent> gathered;
    for (int year : years) {
        for (auto& e : Holidays::events(year, federalHolidays, observances, spanish))
            gathered.push_back(std::move(e));
        if (birthdays)
            for (auto& e : Holidays::birthdayEvents(children, year, spanish))
                gathered.push_back(std::move(e));
        for (auto& e : Holidays::customEvents(customEvents, year)) gathered.push_back(std::move(e));
    }
    std::map<Day, std::vector<CalendarEvent>> byDay;
    for (auto& e : gathered) byDay[e.day].push_back(std::move(e));
    for (auto& [day, list] : byDay) sortDay(list);
    return byDay;
}

CalendarSettings Coding<CalendarSettings>::read(const Json& v) {
    CalendarSettings s;
    s.startYear = required<int>(v, "startYear");
    s.startMonth = required<int>(v, "startMonth");
    s.format = required<CalendarFormat>(v, "format");
    s.print = required<CalendarPrint>(v, "print");
    s.weekStart = required<int>(v, "weekStart");
    s.language = required<CalendarLanguage>(v, "language");
    s.style = required<CaptionStyle>(v, "style");
    s.federalHolidays = required<bool>(v, "federalHolidays");
    s.observances = required<bool>(v, "observances");
    s.birthdays = required<bool>(v, "birthdays");
    s.customEvents = required<std::vector<CustomEvent>>(v, "customEvents");
    s.cover = required<bool>(v, "cover");
    s.title = required<std::string>(v, "title");
    s.subtitle = required<std::string>(v, "subtitle");
    s.coverPicture = optional<UUID>(v, "coverPicture");
    s.coverColor = required<CoverColor>(v, "coverColor");
    s.pictures = required<std::map<int, UUID>>(v, "pictures");
    s.fillPicture = required<bool>(v, "fillPicture");
    s.calendarOnly = required<std::vector<UUID>>(v, "calendarOnly");
    return s;
}

Json Coding<CalendarSettings>::write(const CalendarSettings& s) {
    Json out = Json::object();
    put(out, "startYear", s.startYear);
    put(out, "startMonth", s.startMonth);
    put(out, "format", s.format);
    put(out, "print", s.print);
    put(out, "weekStart", s.weekStart);
    put(out, "language", s.language);
    put(out, "style", s.style);
    put(out, "federalHolidays", s.federalHolidays);
    put(out, "observances", s.observances);
    put(out, "birthdays", s.birthdays);
    put(out, "customEvents", s.customEvents);
    put(out, "cover", s.cover);
    put(out, "title", s.title);
    put(out, "subtitle", s.subtitle);
    putOptional(out, "coverPicture", s.coverPicture);
    put(out, "coverColor", s.coverColor);
    put(out, "pictures", s.pictures);
    put(out, "fillPicture", s.fillPicture);
    put(out, "calendarOnly", s.calendarOnly);
    return out;
}

}  // namespace quillfen
