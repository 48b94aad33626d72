#include "engine/book/BookCover.h"
#include "engine/render/Canvas.h"
#include "engine/render/Text.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace quillfen;

namespace {

// A cover thumbnail whose title is one word of `range(0)` letters: nothing allows a break, so every
// step of the fitted size wraps it letter by letter.
void BM_CoverThumbnailWithUnbreakableTitle(benchmark::State& state) {
    BookLayout layout;
    layout.trimSize = trimSize(BookSize::square8);
    layout.spec = spec(PrintPreset::photoBook);
    BookSettings settings;
    settings.title = std::string(static_cast<std::size_t>(state.range(0)), 'w');
    const auto content = BookContent::make(settings, {}, {}, {});
    for (auto _ : state) {
        Canvas canvas(240, 240);
        canvas.scale(240 / 594.0, 240 / 594.0);
        BookRenderer::drawCover(content, layout, canvas, {9, 9, 576, 576}, {0, 0, 594, 594});
        benchmark::DoNotOptimize(canvas.bitmap());
    }
}
BENCHMARK(BM_CoverThumbnailWithUnbreakableTitle)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// An About note of `range(0)` letters without a break, measured as a frame 400 points wide.
void BM_UnbreakableNoteFrameSize(benchmark::State& state) {
    const std::string note(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(Text::suggestedFrameSize(note, {"Noteworthy-Bold", 20}, 400));
}
BENCHMARK(BM_UnbreakableNoteFrameSize)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
