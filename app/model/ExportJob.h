#pragma once

#include "app/model/Drawing.h"
#include "engine/book/BookLayout.h"
#include "engine/book/BookSettings.h"
#include "engine/calendar/CalendarLayout.h"
#include "engine/calendar/CalendarSettings.h"
#include "engine/render/PageFiles.h"
#include "engine/render/PageImage.h"

#include <filesystem>
#include <optional>
#include <unordered_map>
#include <vector>

namespace quillfen {

// Where each drawing's original lies, by drawing id.
using OriginalFiles = std::unordered_map<UUID, std::filesystem::path>;

// How many drawings an export prepares at once by default: one per core, at most four. Each holds a
// whole original in linear light while it is prepared (about 150 MB for 12 megapixels) and spreads
// its own work over the cores, so more would add memory rather than speed.
int exportWorkers();

// Everything a book export needs, frozen on the GUI thread when the export starts; run() then reads
// only this value, so it runs on any thread while the library changes.
struct ExportJob {
    ExportKind kind = ExportKind::print;
    BookLayout layout;
    BookSettings settings;
    std::vector<Child> children;
    std::vector<DrawingInfo> infos;  // the book's drawings, in library order
    OriginalFiles files;             // every drawing of the library
    std::filesystem::path url;

    // Writes the PDF at `url`, preparing up to `workers` originals at once ahead of the renderer (1:
    // one at a time as the renderer asks); the file is the same whatever `workers`. True when written;
    // on failure nothing is left at `url` and a file already there is untouched.
    bool run(const PageProgress& progress, int workers = exportWorkers()) const;
};

// The calendar's export: the same fields over the calendar; `infos` holds every drawing of the library.
struct CalendarExportJob {
    ExportKind kind = ExportKind::print;  // cover writes the print-ready file
    CalendarLayout layout;
    CalendarSettings settings;
    std::vector<Child> children;
    std::vector<DrawingInfo> infos;
    OriginalFiles files;
    std::filesystem::path url;

    bool run(const PageProgress& progress, int workers = exportWorkers()) const;
};

namespace ExportImages {

// The resolution and JPEG quality at which an export kind embeds its pictures.
struct Quality {
    double dpi;
    double jpeg;
};
Quality quality(ExportKind kind);

// Where none is known, a drawing is sized as if placed in this square, in points.
inline constexpr Size defaultSlot{576, 576};

// One drawing as an export embeds it: the original decoded upright, cleaned, scaled to what `slot`
// (points) needs at `quality.dpi` and carried as JPEG bytes. Nothing when the original cannot be read
// or decoded, or the slot has no area. Pure; any thread.
std::optional<PageImage> prepare(const std::filesystem::path& original, const CleanupSettings& cleanup,
                                 Size slot, Quality quality);

}  // namespace ExportImages

}  // namespace quillfen
