// Cleanup of a 12-megapixel phone photo (4032 x 3024, EXIF orientation 6, a crop, lighting on,
// whiten 0.6): the thumbnail path and the print path against plain libjpeg-turbo decoding, and the
// peak memory of Cleaner::apply on a 48-megapixel picture. The goals: ThumbnailOverDecode's ratio at
// most 0.6, PrintOverDecodeAndEncode's ratio at most 3 (the separate medians of the paths and their
// baselines show the same), ApplyPeakMemory's copies at most 5. Run on one pinned core with one
// OpenCV thread (OPENCV_FOR_THREADS_NUM=1 taskset -c N). CleanupOutputs checks that a faster build
// still makes the same pictures.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include <turbojpeg.h>

#include "bench/DrawingPhotos.h"
#include "engine/cleanup/Cleaner.h"

using namespace quillfen;

namespace {

const std::vector<std::uint8_t>& phoneJpeg() {
    static const std::vector<std::uint8_t> file = bench::phoneJpeg(bench::photoOfADrawing(4032, 3024), 6);
    return file;
}

const CleanupSettings& cleanup() {
    static const CleanupSettings settings = [] {
        CleanupSettings s;
        s.crop = Quad{{0.1, 0.88}, {0.86, 0.9}, {0.88, 0.12}, {0.12, 0.1}};
        s.autoCropped = true;
        s.flatten = true;
        s.whiten = 0.6;
        return s;
    }();
    return settings;
}

// The bare decode a plain program makes: into a buffer from malloc, left unset, so that the
// baseline owes nothing to how the engine allocates its pictures.
std::unique_ptr<unsigned char[]> decodeWithTurbo(const std::vector<std::uint8_t>& file) {
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    tjDecompressHeader3(handle, file.data(), file.size(), &width, &height, &subsampling, &colorspace);
    auto out = std::make_unique_for_overwrite<unsigned char[]>(std::size_t(width) * height * 4);
    tjDecompress2(handle, file.data(), file.size(), out.get(), width, 0, height, TJPF_RGBA, 0);
    tjDestroy(handle);
    return out;
}

// The two paths as the application takes them: the drawing's thumbnail, and its picture in a print.
Bitmap thumbnailPath(const std::vector<std::uint8_t>& file) {
    return Cleaner::cleanedAtMost(cleanup(), Cleaner::decodeSource(file, 1000).value(), 700).value();
}

Bitmap printPath(const std::vector<std::uint8_t>& file) {
    return Cleaner::cleanedAtMost(cleanup(), Cleaner::decodeSource(file).value(), 2880).value();
}

long procStatusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
    }
    return 0;
}

void DecodeFullSize(benchmark::State& state) {
    const auto& file = phoneJpeg();
    for (auto _ : state) benchmark::DoNotOptimize(decodeWithTurbo(file));
}

void ThumbnailPath(benchmark::State& state) {
    const auto& file = phoneJpeg();
    for (auto _ : state) benchmark::DoNotOptimize(thumbnailPath(file));
}

void PrintPath(benchmark::State& state) {
    const auto& file = phoneJpeg();
    for (auto _ : state) benchmark::DoNotOptimize(Cleaner::jpegData(printPath(file), 0.92));
}

void DecodeAndEncode(benchmark::State& state) {
    const auto& file = phoneJpeg();
    const Bitmap result = printPath(file);
    for (auto _ : state) {
        benchmark::DoNotOptimize(decodeWithTurbo(file));
        benchmark::DoNotOptimize(Cleaner::jpegData(result, 0.92));
    }
}

// The goals as ratios measured pair by pair, each path timed right after its baseline, so that a
// busy machine slows both alike; the counter is the median of the ratios.
template <typename Path, typename Baseline>
void pairedRatio(benchmark::State& state, Path path, Baseline baseline) {
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        baseline();
        const auto middle = std::chrono::steady_clock::now();
        path();
        const auto end = std::chrono::steady_clock::now();
        ratios.push_back(std::chrono::duration<double>(end - middle) /
                         std::chrono::duration<double>(middle - start));
    }
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
}

void ThumbnailOverDecode(benchmark::State& state) {
    const auto& file = phoneJpeg();
    pairedRatio(
        state,
        [&] { benchmark::DoNotOptimize(thumbnailPath(file)); },
        [&] { benchmark::DoNotOptimize(decodeWithTurbo(file)); });
}

void PrintOverDecodeAndEncode(benchmark::State& state) {
    const auto& file = phoneJpeg();
    const Bitmap result = printPath(file);
    pairedRatio(
        state, [&] { benchmark::DoNotOptimize(Cleaner::jpegData(printPath(file), 0.92)); },
        [&] {
            benchmark::DoNotOptimize(decodeWithTurbo(file));
            benchmark::DoNotOptimize(Cleaner::jpegData(result, 0.92));
        });
}

// Peak resident memory while cleaning a 48-megapixel picture at full size, in 8-bit copies of the
// picture, the input included.
void ApplyPeakMemory(benchmark::State& state) {
    const Bitmap photo = bench::photoOfADrawing(8000, 6000);
    const double copyKilobytes = static_cast<double>(photo.pixels.size()) / 1024;
    double copies = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = procStatusKilobytes("VmRSS");
        benchmark::DoNotOptimize(Cleaner::apply(cleanup(), photo));
        copies = (procStatusKilobytes("VmHWM") - before) / copyKilobytes + 1;
    }
    state.counters["copies"] = copies;
}

}  // namespace

BENCHMARK(DecodeFullSize)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(ThumbnailPath)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(PrintPath)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(DecodeAndEncode)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(ThumbnailOverDecode)->Unit(benchmark::kMillisecond)->Iterations(31);
BENCHMARK(PrintOverDecodeAndEncode)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(ApplyPeakMemory)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
