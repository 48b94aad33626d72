// The drawing layer's costs: a book-like PDF of ready JPEGs, a cover thumbnail, and setting text.
#include "engine/book/BookCover.h"
#include "engine/render/PdfWriter.h"

#include "tests/engine/RenderingFixtures.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

using namespace quillfen;

namespace {

// Distinct 2880 × 2160 JPEGs, as the export hands drawings over for print.
const std::vector<PageImage>& printJpegs() {
    static const std::vector<PageImage> images = [] {
        std::vector<PageImage> made;
        Bitmap ramp = fixtures::rampBitmap(2880, 2160);
        for (int i = 0; i < 24; ++i) {
            ramp.pixels[static_cast<std::size_t>(i) * 4] ^= 0x55;
            made.push_back(*PageImage::fromJpeg(fixtures::jpegBytes(ramp, 92)));
        }
        return made;
    }();
    return images;
}

// One drawing per page on a shadowed white backing with a caption, pages of a square 8-inch book.
void BM_PdfOfJpegPages(benchmark::State& state) {
    const auto& images = printJpegs();
    const auto file = std::filesystem::temp_directory_path() / "quillfen-bench.pdf";
    const int pages = static_cast<int>(state.range(0));
    for (auto _ : state) {
        PdfWriter writer(file, "Bench");
        for (int p = 0; p < pages; ++p) {
            Canvas* canvas = writer.beginPage({{0, 0, 594, 594}, Rect{0, 0, 594, 594}, Rect{9, 9, 576, 576}});
            canvas->setFillColor(Color::white());
            canvas->fillRect({0, 0, 594, 594});
            canvas->save();
            canvas->setShadow({0, -1.9}, 8.6, Color::black(0.16));
            canvas->fillRect({60, 120, 474, 355.5});
            canvas->restore();
            canvas->drawImage(images[p % images.size()], {60, 120, 474, 355.5});
            canvas->drawTextLine("Everybody at the park", {"Noteworthy-Bold", 17}, BookRenderer::inkColor,
                                 TextAlignment::center, {297, 90}, 474);
            writer.endPage();
        }
        benchmark::DoNotOptimize(writer.finish());
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_PdfOfJpegPages)->Arg(24)->Unit(benchmark::kMillisecond);

// The floor for the same file: the JPEG bytes alone written out and synced, twice (the writer's
// pages pass and its boxes pass each write the whole file).
void BM_JpegBytesWrittenTwice(benchmark::State& state) {
    const auto& images = printJpegs();
    const auto file = std::filesystem::temp_directory_path() / "quillfen-bench.bin";
    for (auto _ : state) {
        for (int pass = 0; pass < 2; ++pass) {
            FILE* out = std::fopen(file.c_str(), "wb");
            for (const auto& image : images) std::fwrite(image.jpeg()->data(), 1, image.jpeg()->size(), out);
            std::fflush(out);
            ::fsync(::fileno(out));
            std::fclose(out);
        }
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_JpegBytesWrittenTwice)->Unit(benchmark::kMillisecond);

// The book preview's cover thumbnail at 400 pixels with a 700-pixel drawing.
void BM_CoverThumbnail(benchmark::State& state) {
    BookLayout layout;
    layout.trimSize = trimSize(BookSize::square8);
    layout.spec = spec(PrintPreset::photoBook);
    BookSettings settings;
    settings.subtitle = "Drawings by Mia and Leo · 2024";
    DrawingInfo drawing;
    drawing.aspect = 4.0 / 3.0;
    const auto image = PageImage::fromBitmap(fixtures::rampBitmap(700, 525));
    const std::vector<DrawingInfo> drawings = {drawing};
    const auto content = BookContent::make(settings, {}, drawings,
                                           [&](const UUID&) -> std::optional<PageImage> { return image; });
    for (auto _ : state) {
        Canvas canvas(400, 400);
        canvas.scale(400 / 594.0, 400 / 594.0);
        BookRenderer::drawCover(content, layout, canvas, {9, 9, 576, 576}, {0, 0, 594, 594});
        benchmark::DoNotOptimize(canvas.bitmap());
    }
}
BENCHMARK(BM_CoverThumbnail)->Unit(benchmark::kMillisecond);

void BM_TextLineWidth(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Text::lineWidth("Everybody at the park · age 5 · March 2024", {"Georgia", 12}));
    }
}
BENCHMARK(BM_TextLineWidth)->Unit(benchmark::kMicrosecond);

}  // namespace
