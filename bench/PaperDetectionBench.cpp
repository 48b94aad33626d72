// Quality and speed of paper detection on synthetic phone photos of drawings.
// PaperDetectionQuality reports, over 300 photos, the mean Jaccard index of found against true sheets on
// darker surfaces, the share of those photos without a quad, the false quads on white tables and
// flatbed scans, and the median time of one detection; it prints the figures per surface to stderr.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <thread>

#include "bench/PaperPhotoGenerator.h"
#include "engine/cleanup/PaperDetection.h"

using namespace quillfen;
namespace photos = quillfen::paperphotos;

namespace {

constexpr std::uint32_t photoCount = 300;

std::vector<photos::PaperPhoto> makePhotos(std::uint32_t count) {
    std::vector<photos::PaperPhoto> out(count);
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::future<void>> jobs;
    for (unsigned w = 0; w < workers; ++w) {
        jobs.push_back(std::async(std::launch::async, [&, w] {
            for (std::uint32_t seed = w; seed < count; seed += workers)
                out[seed] = photos::generate(seed, photos::surfaceForSeed(seed));
        }));
    }
    for (auto& j : jobs) j.get();
    return out;
}

struct Tally {
    int photos = 0;
    int noQuad = 0;
    double jaccardSum = 0;
    double worst = 1;
    std::uint32_t worstSeed = 0;
};

void PaperDetectionQuality(benchmark::State& state) {
    const auto all = makePhotos(photoCount);
    std::map<photos::Surface, Tally> bySurface;
    Tally found, negatives;
    std::vector<double> millis;
    std::vector<std::uint32_t> poor;  // sheets found badly or not at all, and false quads
    for (auto _ : state) {
        for (std::uint32_t seed = 0; seed < all.size(); ++seed) {
            const auto& photo = all[seed];
            const auto start = std::chrono::steady_clock::now();
            const auto quad = Cleaner::detectPaper(photo.image);
            millis.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            const double j =
                quad ? photos::jaccard(*quad, photo.truth, photo.image.width, photo.image.height) : 0;
            auto& t = bySurface[photo.surface];
            ++t.photos;
            t.noQuad += quad ? 0 : 1;
            t.jaccardSum += j;
            if (j < t.worst) t.worst = j, t.worstSeed = seed;
            if (photos::shouldBeFound(photo.surface) ? j < 0.9 : quad.has_value()) poor.push_back(seed);
            auto& total = photos::shouldBeFound(photo.surface) ? found : negatives;
            ++total.photos;
            total.noQuad += quad ? 0 : 1;
            total.jaccardSum += j;
        }
    }
    std::sort(millis.begin(), millis.end());
    const double median = millis[millis.size() / 2];
    std::fprintf(stderr, "%-12s %6s %9s %8s %9s\n", "surface", "photos", "no quad", "mean J", "worst J");
    for (const auto& [surface, t] : bySurface)
        std::fprintf(stderr, "%-12s %6d %9d %8.4f %6.3f (seed %u)\n", photos::surfaceName(surface), t.photos,
                     t.noQuad, t.jaccardSum / t.photos, t.worst, t.worstSeed);
    std::fprintf(stderr, "sheets on darker surfaces: %d photos, mean Jaccard %.4f, no quad %.1f%%\n",
                 found.photos, found.jaccardSum / found.photos, 100.0 * found.noQuad / found.photos);
    std::fprintf(stderr, "white tables and flatbed scans: %d photos, quads found %d\n", negatives.photos,
                 negatives.photos - negatives.noQuad);
    std::fprintf(stderr, "photos below Jaccard 0.9 or with a false quad:");
    for (const auto seed : poor) std::fprintf(stderr, " %u", seed);
    std::fprintf(stderr, "\n");
    std::fprintf(stderr, "median detection %.1f ms (photos of 1600 x 1200)\n", median);
    state.counters["meanJaccard"] = found.jaccardSum / found.photos;
    state.counters["noQuadShare"] = static_cast<double>(found.noQuad) / found.photos;
    state.counters["falseQuads"] = negatives.photos - negatives.noQuad;
    state.counters["medianMs"] = median;
}
BENCHMARK(PaperDetectionQuality)->Iterations(1)->Unit(benchmark::kMillisecond);

void DetectPaper(benchmark::State& state) {
    const auto photo = photos::generate(static_cast<std::uint32_t>(state.range(0)),
                                        photos::surfaceForSeed(static_cast<std::uint32_t>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(Cleaner::detectPaper(photo.image));
}
BENCHMARK(DetectPaper)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
