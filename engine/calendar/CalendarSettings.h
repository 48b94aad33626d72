#pragma once

#include <array>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/book/BookSettings.h"
#include "engine/calendar/CalendarEvent.h"
#include "engine/calendar/CalendarLanguage.h"
#include "engine/calendar/CalendarLayout.h"
#include "engine/calendar/CalendarMath.h"
#include "engine/calendar/Day.h"
#include "engine/core/Enumeration.h"
#include "engine/core/Json.h"
#include "engine/library/LibraryRecords.h"
#include "engine/book/PrintGeometry.h"
#include "engine/core/UUID.h"

namespace quillfen {

// The page formats of a calendar. Wall and square calendars give each month a picture page and a
// grid page; the others one page that holds both, desk formats side by side.
enum class CalendarFormat { wall, letter, square12, desk5x7, desk6x4 };

template <>
struct CaseNames<CalendarFormat> {
    static constexpr std::array<std::pair<CalendarFormat, std::string_view>, 5> cases{{
        {CalendarFormat::wall, "wall"},
        {CalendarFormat::letter, "letter"},
        {CalendarFormat::square12, "square12"},
        {CalendarFormat::desk5x7, "desk5x7"},
        {CalendarFormat::desk6x4, "desk6x4"},
    }};
};

std::string_view label(CalendarFormat format);
Size inches(CalendarFormat format);    // width first
Size trimSize(CalendarFormat format);  // 72 points to the inch
bool hasPicturePage(CalendarFormat format);
bool isDesk(CalendarFormat format);

// Printed by a print service with bleed, or at home without.
enum class CalendarPrint { printShop, home };

template <>
struct CaseNames<CalendarPrint> {
    static constexpr std::array<std::pair<CalendarPrint, std::string_view>, 2> cases{{
        {CalendarPrint::printShop, "printShop"},
        {CalendarPrint::home, "home"},
    }};
};

std::string_view label(CalendarPrint print);
// Bleed 9 or 0, safe margin 18, any page count.
PrintSpec spec(CalendarPrint print);

// Everything the user chooses about the calendar. Stored values are kept as read; the derived values
// carry a start month outside 1...12 into the year, hold the start year within 1...9999 and take the
// week start modulo 7. A plain value; safe to copy across threads.
struct CalendarSettings {
    int startYear = 2027;
    int startMonth = 1;  // 1...12
    CalendarFormat format = CalendarFormat::wall;
    CalendarPrint print = CalendarPrint::printShop;
    int weekStart = 0;  // 0 = Sunday, 1 = Monday
    CalendarLanguage language = CalendarLanguage::system;
    CaptionStyle style = CaptionStyle::handwritten;
    bool federalHolidays = true;
    bool observances = true;
    bool birthdays = true;
    std::vector<CustomEvent> customEvents;  // in the order added
    bool cover = true;
    std::string title;  // as typed; see displayTitle
    std::string subtitle;
    std::optional<UUID> coverPicture;  // none: the first month's picture
    CoverColor coverColor = CoverColor::sky;
    std::map<int, UUID> pictures;  // by month index 0...11 from the first month
    bool fillPicture = false;      // crop pictures to fill their area instead of fitting them
    std::vector<UUID> calendarOnly;

    PrintSpec spec() const { return quillfen::spec(print); }
    // The twelve months of the calendar, in order.
    std::vector<CalendarMath::YearMonth> months() const;
    // The trimmed title, or the year ("2027") or years ("2027–2028") the calendar covers.
    std::string displayTitle() const;
    // The drawing shown on a page of that content: the month's picture, or for the cover
    // `coverPicture`, else the first month's picture.
    std::optional<UUID> pictureID(const CalendarPageContent& content) const;
    // The events of every whole year the calendar touches, by day. A day's events are ordered by kind,
    // then by title in code-point order of their composed (NFC) form.
    std::map<Day, std::vector<CalendarEvent>> events(std::span<const Child> children) const;

    bool operator==(const CalendarSettings&) const = default;
};

template <>
struct Coding<CalendarSettings> {
    static CalendarSettings read(const Json& v);
    static Json write(const CalendarSettings& s);
};

}  // namespace quillfen
