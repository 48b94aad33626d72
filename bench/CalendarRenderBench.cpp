#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "engine/calendar/CalendarContent.h"
#include "engine/calendar/CalendarPaginator.h"
#include "engine/calendar/CalendarRenderer.h"
#include "engine/cleanup/ImageIO.h"

using namespace quillfen;
namespace fs = std::filesystem;

namespace {

UUID numbered(std::uint8_t n) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[0] = 0xCA;
    bytes[15] = n;
    return UUID(bytes);
}

// A drawing-like picture: soft colour fields with a few strokes, so the JPEG is of a realistic size.
Bitmap drawing(int width, int height, int seed) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = bitmap.pixel(x, y);
            const bool stroke = (x / 7 + y / 11 + seed) % 53 == 0;
            p[0] = stroke ? 40 : static_cast<std::uint8_t>(200 + (x * 31 / width + seed * 7) % 55);
            p[1] = stroke ? 60 : static_cast<std::uint8_t>(190 + (y * 41 / height + seed * 3) % 60);
            p[2] = stroke ? 140 : static_cast<std::uint8_t>(180 + ((x + y) * 17 / width + seed) % 70);
            p[3] = 255;
        }
    }
    return bitmap;
}

// A wall calendar with a cover and twelve months, every picture a JPEG prepared at 360 dpi for its
// largest placement, as the export hands them to the renderer.
struct WallCalendar {
    CalendarLayout layout;
    CalendarContent content;

    WallCalendar() {
        CalendarSettings settings;
        settings.language = CalendarLanguage::english;
        settings.subtitle = "Drawings by Mia and Leo";
        std::vector<DrawingInfo> drawings;
        std::unordered_map<UUID, DrawingInfo> byID;
        for (int month = 0; month < 12; ++month) {
            DrawingInfo d;
            d.id = numbered(static_cast<std::uint8_t>(month));
            d.aspect = month % 2 ? 4.0 / 3 : 3.0 / 4;
            d.pixelSize = {d.aspect * 4000, 4000};
            drawings.push_back(d);
            byID.emplace(d.id, d);
            settings.pictures[month] = d.id;
        }
        layout = CalendarPaginator::paginate(settings, byID);
        std::unordered_map<UUID, PageImage> images;
        for (const auto& [id, size] : CalendarRenderer::placedSizes(layout, settings, byID)) {
            const int w = static_cast<int>(size.width / 72 * 360),
                      h = static_cast<int>(size.height / 72 * 360);
            const auto jpeg = Cleaner::jpegData(drawing(w, h, id.bytes()[15]), 0.85);
            images.emplace(id, *PageImage::fromJpeg(*jpeg));
        }
        content = CalendarContent::make(settings, {}, drawings,
                                        [images](const UUID& id) -> std::optional<PageImage> {
                                            const auto found = images.find(id);
                                            if (found == images.end()) return std::nullopt;
                                            return found->second;
                                        });
    }
};

const WallCalendar& wallCalendar() {
    static const WallCalendar calendar;
    return calendar;
}

fs::path destination(const char* name) {
    return fs::temp_directory_path() / ("quillfen-bench-" + std::to_string(::getpid()) + "-" + name);
}

void PrintWallCalendar(benchmark::State& state) {
    const WallCalendar& calendar = wallCalendar();
    const fs::path file = destination("print.pdf");
    for (auto _ : state) {
        if (!CalendarRenderer::printPDF(calendar.layout, calendar.content, file))
            state.SkipWithError("not written");
    }
    state.counters["pages"] = static_cast<double>(calendar.layout.pages.size());
    state.counters["MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peakRSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
    fs::remove(file);
}

void HomePrintWallCalendar(benchmark::State& state) {
    const WallCalendar& calendar = wallCalendar();
    const fs::path file = destination("home.pdf");
    for (auto _ : state) {
        if (!CalendarRenderer::homePrintPDF(calendar.layout, calendar.content, file))
            state.SkipWithError("not written");
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
    fs::remove(file);
}

void ThumbnailWallGridPage(benchmark::State& state) {
    const WallCalendar& calendar = wallCalendar();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalendarRenderer::thumbnail(calendar.layout.pages[2], calendar.layout,
                                                             calendar.content, 480, false));
    }
}

}  // namespace

BENCHMARK(PrintWallCalendar)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(HomePrintWallCalendar)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(ThumbnailWallGridPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
