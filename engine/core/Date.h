#pragma once

#include <compare>

namespace quillfen {

// A point in time as seconds since 2001-01-01 00:00:00 UTC, fraction kept: the stored form of every
// date in the document. A plain value; safe to copy across threads.
struct Date {
    double seconds = 0;  // since the reference date

    static constexpr double unixEpochOffset = 978307200;  // seconds from 1970-01-01 to 2001-01-01

    static Date now();
    static Date fromUnixSeconds(double unix) { return Date{unix - unixEpochOffset}; }
    static Date fromSecondsSinceReferenceDate(double s) { return Date{s}; }

    double secondsSinceReferenceDate() const { return seconds; }
    double unixSeconds() const { return seconds + unixEpochOffset; }
    // ICU's milliseconds since 1970.
    double icuMilliseconds() const { return unixSeconds() * 1000.0; }
    static Date fromIcuMilliseconds(double ms) { return fromUnixSeconds(ms / 1000.0); }

    auto operator<=>(const Date&) const = default;
};

}  // namespace quillfen
