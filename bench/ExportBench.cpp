// The export road from 12-megapixel phone photos of drawings (the sample art photographed on a table,
// its sheet found, the book's default cleanup): one drawing's print path against a bare decode and
// encode of the same photo, on one core; whole book exports of 24 and 96 drawings with the originals
// prepared ahead in parallel (as many at once as the default allows, and eight), against the
// one-at-a-time road; and the peak memory of each book, measured in a child process. Compare ratios from one run: the machine may be shared.
#include "app/model/ExportJob.h"
#include "engine/book/BookContent.h"
#include "engine/book/BookRenderer.h"
#include "engine/book/Paginator.h"
#include "engine/cleanup/ImageIO.h"
#include "engine/sample/SampleArt.h"

#include <benchmark/benchmark.h>
#include <opencv2/core/utility.hpp>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using namespace quillfen;
namespace fs = std::filesystem;

namespace {

constexpr int distinctPhotos = 6;

struct Library {
    fs::path folder = fs::temp_directory_path() / ("quillfen-export-bench-" + std::to_string(::getpid()));
    std::vector<DrawingInfo> infos;
    OriginalFiles files;

    Library() {
        fs::create_directories(folder);
        for (int i = 0; i < distinctPhotos; ++i) {
            const auto kind = SampleArt::items()[static_cast<std::size_t>(i)].kind;
            const Bitmap drawing = SampleArt::image(kind, i + 1, 3300, 2550);
            const Bitmap photo = SampleArt::photographed(drawing, SampleArt::photoQuad(), true, 4000, 3000);
            const auto jpeg = Cleaner::jpegData(photo, 0.9);
            std::ofstream(photoFile(i), std::ios::binary)
                .write(reinterpret_cast<const char*>(jpeg->data()), static_cast<std::streamsize>(jpeg->size()));
        }
        for (int i = 0; i < 96; ++i) {
            DrawingInfo d;
            d.id = UUID::random();
            d.title = "Drawing " + std::to_string(i + 1);
            d.date = Date(7.0e8 + i * 86400.0);
            d.sequence = i;
            d.cleanup.crop = SampleArt::photoQuad();
            d.cleanup.autoCropped = true;
            d.cleanup.flatten = true;
            d.cleanup.whiten = 0.6;
            d.aspect = 4.0 / 3;
            d.pixelSize = {2900, 2200};
            files.emplace(d.id, photoFile(i % distinctPhotos));
            infos.push_back(d);
        }
    }
    ~Library() { fs::remove_all(folder); }

    fs::path photoFile(int i) const { return folder / ("photo-" + std::to_string(i) + ".jpeg"); }

    ExportJob job(int drawings, ExportKind kind = ExportKind::print) const {
        ExportJob job;
        job.kind = kind;
        job.infos.assign(infos.begin(), infos.begin() + drawings);
        job.settings.arrangement = Arrangement::one;
        job.layout = Paginator::paginate(job.settings, {}, job.infos);
        job.files = files;
        job.url = folder / "book.pdf";
        return job;
    }
};

double processCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

const Library& library() {
    static const Library made;
    return made;
}

std::vector<std::uint8_t> bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The largest slot of the one-drawing-a-page book.
Size slot() {
    const auto job = library().job(1);
    const auto placed = BookRenderer::placedSizes(job.layout, BookContent::make(job.settings, {}, job.infos, {}));
    return placed.begin()->second;
}

void setThreads(benchmark::State& state) { cv::setNumThreads(state.range(0) == 1 ? 1 : -1); }

// Decode the whole photo and encode it again at the print quality: the floor of any print path.
void BareDecodeEncode(benchmark::State& state) {
    setThreads(state);
    const auto data = bytes(library().photoFile(0));
    for (auto _ : state) {
        const auto decoded = Cleaner::decode(data);
        benchmark::DoNotOptimize(Cleaner::jpegData(*decoded, 0.92));
    }
}

// One drawing prepared for print: decode, clean, scale to its slot at 360 dpi, JPEG at 0.92.
void PrintPath(benchmark::State& state) {
    setThreads(state);
    const auto& made = library();
    const auto& info = made.infos[0];
    const Size place = slot();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExportImages::prepare(made.files.at(info.id), info.cleanup, place,
                                                       ExportImages::quality(ExportKind::print)));
    }
}

// A whole print-ready book; range(1) workers prepare originals (0: one per core; 1: one at a time as
// the renderer asks).
void WholeExport(benchmark::State& state) {
    cv::setNumThreads(-1);
    const auto job = library().job(static_cast<int>(state.range(0)));
    const int workers = state.range(1) == 0 ? exportWorkers() : static_cast<int>(state.range(1));
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        if (!job.run({}, workers)) state.SkipWithError("not written");
    }
    // CPU seconds of all threads: on a loaded machine, wall time shows the load, this the work.
    state.counters["cpuSeconds"] = (processCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
    state.counters["cores"] = std::thread::hardware_concurrency();
    state.counters["fileMB"] = static_cast<double>(fs::file_size(job.url)) / 1e6;
}

long statusKilobytes(const char* key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key) + 1);
    }
    return 0;
}

// How far the peak memory rises over the whole export, in a fresh child process; range(1) workers as
// above.
void WholeExportPeakMemory(benchmark::State& state) {
    const auto job = library().job(static_cast<int>(state.range(0)));
    const int workers = state.range(1) == 0 ? exportWorkers() : static_cast<int>(state.range(1));
    double growthMB = 0;
    for (auto _ : state) {
        int channel[2];
        if (::pipe(channel) != 0) state.SkipWithError("no pipe");
        const pid_t child = ::fork();
        if (child == 0) {
            const long before = statusKilobytes("VmRSS:");
            const bool written = job.run({}, workers);
            const long growth = written ? statusKilobytes("VmHWM:") - before : -1;
            (void)!::write(channel[1], &growth, sizeof growth);
            ::_exit(0);
        }
        long growth = -1;
        (void)!::read(channel[0], &growth, sizeof growth);
        ::waitpid(child, nullptr, 0);
        ::close(channel[0]);
        ::close(channel[1]);
        if (growth < 0) state.SkipWithError("not written");
        growthMB = static_cast<double>(growth) / 1024;
    }
    state.counters["peakGrowthMB"] = growthMB;
}

}  // namespace

BENCHMARK(BareDecodeEncode)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(PrintPath)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(WholeExport)
    ->Args({24, 0})
    ->Args({96, 0})
    ->Args({24, 1})
    ->Args({24, 8})
    ->Args({96, 8})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->ArgNames({"drawings", "workers"});
BENCHMARK(WholeExportPeakMemory)
    ->Args({24, 0})
    ->Args({96, 0})
    ->Args({96, 8})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->ArgNames({"drawings", "workers"});
