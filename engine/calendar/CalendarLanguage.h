#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <unicode/locid.h>

#include "engine/core/Enumeration.h"

namespace quillfen {

// The language of a calendar's month, weekday, holiday and birthday names. `system` follows ICU's
// default locale. Stored by its raw value.
enum class CalendarLanguage { system, english, spanish };

template <>
struct CaseNames<CalendarLanguage> {
    static constexpr std::array<std::pair<CalendarLanguage, std::string_view>, 3> cases{{
        {CalendarLanguage::system, "system"},
        {CalendarLanguage::english, "english"},
        {CalendarLanguage::spanish, "spanish"},
    }};
};

std::string_view title(CalendarLanguage language);
// The locale its names come from: ICU's default locale for `system`.
icu::Locale locale(CalendarLanguage language);
// `english` or `spanish`; `system` is `spanish` exactly when the default locale's language is "es".
CalendarLanguage resolved(CalendarLanguage language);
// The standalone name of a month 1...12 with a capital initial; empty for any other number.
std::string monthNames(CalendarLanguage language, int month);
// Seven short standalone weekday names without full stops and with a capital initial, the first
// for `weekStart` (taken modulo 7).
std::vector<std::string> weekdayNames(CalendarLanguage language, int weekStart);

}  // namespace quillfen
