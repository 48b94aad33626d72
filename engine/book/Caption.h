#pragma once

#include <optional>
#include <string>

#include "engine/book/BookSettings.h"
#include "engine/core/Date.h"
#include "engine/library/LibraryRecords.h"

// The texts of a drawing's caption detail line, always in English. `child` is the drawing's child, or
// null when it has none or the child is not in the library. Pure; any thread.
namespace quillfen::Caption {

// The typed age ("age " put in front unless it begins with "age" in any letter case), else the
// child's age at the drawing's date; absent when neither is known.
std::optional<std::string> ageText(const DrawingInfo& info, const Child* child);
// The month and year of `date` in ICU's default time zone, such as "March 2024".
std::string dateText(Date date);
// Name, age and date as the settings' switches ask, joined with " · "; empty when there is nothing.
std::string lines(const DrawingInfo& info, const Child* child, const BookSettings& settings);

}  // namespace quillfen::Caption
