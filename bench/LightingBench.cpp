// The background estimate of "Even out lighting" on its 256-pixel copy: the paper decision that keeps
// pale crayon fills against the earlier one that took them for paper (neutral and within 14 % of the
// brightest luma around), each followed by the same levels, timed pair by pair in one run. The goal:
// EstimateOverEarlierRule's ratio at most 1.2. BackgroundMap times the whole estimate of a working
// copy (the copy made and estimated) for scale.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include <opencv2/imgproc.hpp>

#include "engine/cleanup/Lighting.h"
#include "engine/cleanup/detail/Finishing.h"
#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/PaperMask.h"
#include "tests/engine/PaleFillScenes.h"

using namespace quillfen;

namespace {

// A 1000 x 750 working copy of a photographed drawing: an outlined lavender fill over a tenth of the
// sheet, lines, light falling to 70 % across it.
const Bitmap& workingCopy() {
    static const Bitmap photo = [] {
        const palefills::Drawing drawing{1000, 750, {196, 170, 228}, 0.1};
        return palefills::photographed(drawing.flat(), palefills::fallingLight());
    }();
    return photo;
}

// The 256 x 192 copy the estimate runs on, as encoded RGBA floats.
const std::vector<float>& smallCopy() {
    static const std::vector<float> rgba = [] {
        const Bitmap& photo = workingCopy();
        const cv::Mat full(photo.height, photo.width, CV_8UC4,
                           const_cast<std::uint8_t*>(photo.pixels.data()));
        cv::Mat small;
        cv::resize(full, small, cv::Size(256, 192), 0, 0, cv::INTER_AREA);
        std::vector<float> out(256 * 192 * 4);
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = small.data[i] / 255.0f;
        return out;
    }();
    return rgba;
}

// The earlier paper decision, kept here as the baseline.
std::vector<float> earlierMask(const std::vector<float>& rgba, int width, int height) {
    const std::size_t n = static_cast<std::size_t>(width) * height;
    std::vector<float> luma(n), neutral(n);
    for (std::size_t p = 0; p < n; ++p) {
        const float r = rgba[p * 4], g = rgba[p * 4 + 1], b = rgba[p * 4 + 2];
        luma[p] = 0.2126f * r + 0.7152f * g + 0.0722f * b;
        const float mx = std::max({r, g, b}), mn = std::min({r, g, b});
        neutral[p] = mx > 0.04f && (mx - mn) / mx < 0.3f ? 1 : 0;
    }
    const std::vector<float> brightest = detail::windowMaximum(luma, width, height, 3);
    std::vector<float> paper(n);
    for (std::size_t p = 0; p < n; ++p) paper[p] = neutral[p] > 0 && luma[p] > 0.86f * brightest[p] ? 1 : 0;
    return paper;
}

void Estimate(benchmark::State& state) {
    const auto& rgba = smallCopy();
    for (auto _ : state) benchmark::DoNotOptimize(Cleaner::estimatePaper(rgba, 256, 192));
}

void EstimateWithEarlierRule(benchmark::State& state) {
    const auto& rgba = smallCopy();
    for (auto _ : state)
        benchmark::DoNotOptimize(detail::paperOfMask(rgba, 256, 192, earlierMask(rgba, 256, 192)));
}

// Each estimate timed right after the earlier one, so that a busy machine slows both alike; the
// counter is the median of the ratios.
void EstimateOverEarlierRule(benchmark::State& state) {
    const auto& rgba = smallCopy();
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(detail::paperOfMask(rgba, 256, 192, earlierMask(rgba, 256, 192)));
        const auto middle = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Cleaner::estimatePaper(rgba, 256, 192));
        const auto end = std::chrono::steady_clock::now();
        ratios.push_back(std::chrono::duration<double>(end - middle) /
                         std::chrono::duration<double>(middle - start));
    }
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
}

void BackgroundMap(benchmark::State& state) {
    const cv::Mat linear = detail::linearOfBitmap(workingCopy());
    for (auto _ : state) benchmark::DoNotOptimize(detail::backgroundMapOfLinear(linear));
}

}  // namespace

BENCHMARK(Estimate)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(EstimateWithEarlierRule)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(EstimateOverEarlierRule)->Unit(benchmark::kMillisecond)->Iterations(301);
BENCHMARK(BackgroundMap)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
