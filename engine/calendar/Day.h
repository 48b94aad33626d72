#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/core/Hashing.h"
#include "engine/core/Json.h"

namespace quillfen {

// A calendar date without a time of day in the proleptic Gregorian calendar: a holiday, a birthday,
// a custom event or a cell of a month grid. Ordered by year, then month, then day. Nothing is
// validated: a stored 2027-02-29 stays as it is. A plain value; safe to copy across threads.
struct Day {
    int year = 1970;
    int month = 1;  // 1...12
    int day = 1;    // 1...31

    std::string description() const;  // "2027-03-05"
    int weekday() const;              // 0 = Sunday ... 6 = Saturday
    std::int64_t ordinal() const;     // days since 1970-01-01
    Day adding(std::int64_t days) const;

    auto operator<=>(const Day&) const = default;
};

template <>
struct Coding<Day> {
    static Day read(const Json& v);
    static Json write(const Day& d);
};

}  // namespace quillfen

template <>
struct std::hash<quillfen::Day> {
    std::size_t operator()(const quillfen::Day& d) const noexcept {
        std::size_t h = std::hash<int>{}(d.year);
        quillfen::hash_detail::combine(h, std::hash<int>{}(d.month));
        quillfen::hash_detail::combine(h, std::hash<int>{}(d.day));
        return h;
    }
};
