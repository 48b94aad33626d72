#pragma once

#include <unordered_map>

#include "engine/calendar/CalendarLayout.h"
#include "engine/calendar/CalendarSettings.h"
#include "engine/library/LibraryRecords.h"
#include "engine/core/UUID.h"

namespace quillfen::CalendarPaginator {

// Stands for a picture without a title in warnings.
inline constexpr std::string_view untitledPicture = "An untitled picture";

// Lays the calendar out into numbered pages (the cover, then each month's picture and grid pages or
// its one month page) with the rectangles of pictures and grids, and warns about every picture that
// would print soft or blurry. Reads only the title, aspect and pixel size of the drawings. Pure:
// never fails, safe on any thread.
CalendarLayout paginate(const CalendarSettings& settings,
                        const std::unordered_map<UUID, DrawingInfo>& drawings);

}  // namespace quillfen::CalendarPaginator
