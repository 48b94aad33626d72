#pragma once

#include "engine/core/Bitmap.h"
#include "engine/calendar/CalendarContent.h"
#include "engine/calendar/CalendarLayout.h"
#include "engine/calendar/CalendarSettings.h"
#include "engine/core/Geometry.h"
#include "engine/library/LibraryRecords.h"
#include "engine/render/PageFiles.h"
#include "engine/core/UUID.h"

#include <filesystem>
#include <optional>
#include <unordered_map>

// Turns a laid-out calendar into a preview bitmap or a PDF file, and tells the export at what size each
// picture is placed. Synchronous and stateless; safe on any thread with its own content.
namespace quillfen::CalendarRenderer {

// Called after each page is written with the pages done and the page count.
using Progress = PageProgress;

// The page width pixels wide, its whole media box (bleed included) filling the bitmap, the height in
// proportion rounded to the nearest pixel; guides draws the trim and safe lines. Nothing for a width
// below 1 or a bitmap that cannot be made.
std::optional<Bitmap> thumbnail(const CalendarPage& page, const CalendarLayout& layout,
                                const CalendarContent& content, int width, bool guides);

// The print-ready file: every page at trim size plus bleed with its media, bleed and trim boxes. True
// only when the whole file was written; a failure leaves the destination as it was.
bool printPDF(const CalendarLayout& layout, const CalendarContent& content,
              const std::filesystem::path& destination, const Progress& progress = {});

// The home-print file: every page scaled onto a US Letter sheet, clipped to its trim and outlined in
// light grey. True only when the whole file was written.
bool homePrintPDF(const CalendarLayout& layout, const CalendarContent& content,
                  const std::filesystem::path& destination, const Progress& progress = {});

// For each drawing the pages show, the largest size in points (by area, the earlier of equal areas) at
// which a page draws it: its picture rectangle, or the size at which it covers that rectangle when
// pictures fill theirs (never on the cover).
std::unordered_map<UUID, Size> placedSizes(const CalendarLayout& layout, const CalendarSettings& settings,
                                           const std::unordered_map<UUID, DrawingInfo>& drawings);

}  // namespace quillfen::CalendarRenderer
