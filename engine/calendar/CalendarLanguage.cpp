#include "engine/calendar/CalendarLanguage.h"

#include <memory>
#include <utility>

#include <unicode/dtfmtsym.h>
#include <unicode/unistr.h>

#include "engine/calendar/CalendarMath.h"

namespace quillfen {

namespace {

// Gregorian names whatever calendar the locale prefers: the grids are Gregorian months.
std::unique_ptr<icu::DateFormatSymbols> symbols(CalendarLanguage language) {
    UErrorCode status = U_ZERO_ERROR;
    auto out = std::make_unique<icu::DateFormatSymbols>(locale(language), "gregorian", status);
    if (U_FAILURE(status)) return nullptr;
    return out;
}

// The first character upper-cased in the locale, the rest unchanged.
std::string capitalised(icu::UnicodeString name, const icu::Locale& locale) {
    std::string out;
    if (name.isEmpty()) return out;
    const int32_t firstLength = U16_LENGTH(name.char32At(0));
    icu::UnicodeString first(name, 0, firstLength);
    first.toUpper(locale);
    name.replace(0, firstLength, first);
    return name.toUTF8String(out);
}

}  // namespace

std::string_view title(CalendarLanguage language) {
    switch (language) {
        case CalendarLanguage::system:
            return "Same as this computer";
        case CalendarLanguage::english:
            return "English";
        case CalendarLanguage::spanish:
            return "Español";
    }
    return {};
}

icu::Locale locale(CalendarLanguage language) {
    switch (language) {
        case CalendarLanguage::english:
            return icu::Locale("en_US");
        case CalendarLanguage::spanish:
            return icu::Locale("es_US");
        case CalendarLanguage::system:
            break;
    }
    return icu::Locale::getDefault();
}

CalendarLanguage resolved(CalendarLanguage language) {
    if (language != CalendarLanguage::system) return language;
    return std::string_view(icu::Locale::getDefault().getLanguage()) == "es" ? CalendarLanguage::spanish
                                                                             : CalendarLanguage::english;
}

std::string monthNames(CalendarLanguage language, int month) {
    const auto names = symbols(language);
    if (!names || month < 1 || month > 12) return {};
    int32_t count = 0;
    const icu::UnicodeString* months =
        names->getMonths(count, icu::DateFormatSymbols::STANDALONE, icu::DateFormatSymbols::WIDE);
    if (!months || month > count) return {};
    return capitalised(months[month - 1], locale(language));
}

std::vector<std::string> weekdayNames(CalendarLanguage language, int weekStart) {
    static constexpr std::array<const char*, 7> fallback{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const icu::Locale loc = locale(language);
    const auto names = symbols(language);
    int32_t count = 0;
    // ICU's weekday arrays leave index 0 empty: Sunday is at 1.
    const icu::UnicodeString* weekdays = names ? names->getWeekdays(count, icu::DateFormatSymbols::STANDALONE,
                                                                    icu::DateFormatSymbols::ABBREVIATED)
                                               : nullptr;
    const bool complete = weekdays && count >= 8;
    std::vector<std::string> out;
    out.reserve(7);
    for (int i = 0; i < 7; ++i) {
        const auto n = static_cast<int>(CalendarMath::floorMod(static_cast<std::int64_t>(weekStart) + i, 7));
        icu::UnicodeString name =
            complete ? weekdays[n + 1] : icu::UnicodeString::fromUTF8(fallback[static_cast<std::size_t>(n)]);
        name.findAndReplace(".", "");
        out.push_back(capitalised(name, loc));
    }
    return out;
}

}  // namespace quillfen
