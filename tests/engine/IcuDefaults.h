#pragma once

#include <memory>
#include <string>

#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include "engine/core/Date.h"

namespace quillfen::testing {

// Sets ICU's default time zone and locale for the life of a test and restores them afterwards,
// so date tests pass on any machine.
class ScopedIcuDefaults {
public:
    explicit ScopedIcuDefaults(const char* timeZone, const char* locale = "en_US")
        : m_zone(icu::TimeZone::createDefault()), m_locale(icu::Locale::getDefault()) {
        icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(timeZone)));
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(locale), status);
    }
    ~ScopedIcuDefaults() {
        icu::TimeZone::adoptDefault(m_zone.release());
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(m_locale, status);
    }
    ScopedIcuDefaults(const ScopedIcuDefaults&) = delete;
    ScopedIcuDefaults& operator=(const ScopedIcuDefaults&) = delete;

private:
    std::unique_ptr<icu::TimeZone> m_zone;
    icu::Locale m_locale;
};

// The instant of a wall-clock time in ICU's default time zone.
inline Date localDate(int year, int month, int day, int hour = 0, int minute = 0) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(status);
    calendar.clear();
    calendar.set(year, month - 1, day, hour, minute, 0);
    return Date::fromIcuMilliseconds(calendar.getTime(status));
}

}  // namespace quillfen::testing
