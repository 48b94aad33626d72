#pragma once

#include <cstdint>

// The fixed Hebrew calendar by its own arithmetic: the molad of Tishri and the postponements of
// the new year. Days are running day numbers (days since 1970-01-01, as CalendarMath::ordinal).
// Pure; safe on any thread.
namespace quillfen::HebrewCalendar {

// Whether a Hebrew year has the extra month Adar I (years 3, 6, 8, 11, 14, 17 and 19 of the cycle).
bool isLeapYear(std::int64_t year);
// The day of 1 Tishri (Rosh Hashanah) of a Hebrew year.
std::int64_t newYear(std::int64_t year);
// The day of a given day of Kislev, the third month counted from Tishri.
std::int64_t kislev(std::int64_t year, int day);

}  // namespace quillfen::HebrewCalendar
