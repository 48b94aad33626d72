// Time to draw the sample book's art at the sizes the sample book uses: all sixteen drawings, one
// drawing, and one photographed copy.

#include <benchmark/benchmark.h>

#include "engine/sample/SampleArt.h"

using namespace quillfen;
using SampleArt::Kind;

namespace {

bool isPortrait(Kind kind) {
    return kind == Kind::rocket || kind == Kind::flower || kind == Kind::tree || kind == Kind::snowman ||
           kind == Kind::butterfly;
}

Bitmap drawing(Kind kind, int seed) {
    return isPortrait(kind) ? SampleArt::image(kind, seed, 2550, 3300)
                            : SampleArt::image(kind, seed, 3300, 2550);
}

void BM_DrawAllSixteen(benchmark::State& state) {
    for (auto _ : state) {
        int seed = 0;
        for (const auto& item : SampleArt::items()) benchmark::DoNotOptimize(drawing(item.kind, ++seed));
    }
}
BENCHMARK(BM_DrawAllSixteen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DrawOneHouse(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(drawing(Kind::house, 1));
}
BENCHMARK(BM_DrawOneHouse)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PhotographedRocket(benchmark::State& state) {
    const Bitmap rocket = drawing(Kind::rocket, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(SampleArt::photographed(rocket, SampleArt::photoQuad(), true, 2250, 3000));
}
BENCHMARK(BM_PhotographedRocket)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
