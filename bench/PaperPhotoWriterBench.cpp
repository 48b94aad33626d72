// Writes generated photos of the project's own scenes in the form scripts/paper composes real ones, so
// that the paper detector's network also learns the scenes the rules were once written for. The folder is
// named by QUILLFEN_PAPER_WRITE: <folder>/NNNNNN.jpg and manifest.jsonl (file, kind, corners in pixels
// from the top left or null where no quad is expected, sheet, seed). QUILLFEN_PAPER_WRITE_COUNT photos
// (1,500 when unset) of seeds from 200,000,000 on, apart from every set the detection benchmark reports.

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include "bench/PaperPhotoGenerator.h"
#include "engine/cleanup/ImageIO.h"

using namespace quillfen;
namespace fs = std::filesystem;
namespace photos = quillfen::paperphotos;

namespace {

constexpr std::uint32_t firstSeed = 200'000'000;

// The photo of index i: every fourth of the kinds detection once got wrong, the others in the rotation.
photos::PaperPhoto photoOf(std::uint32_t i) {
    const std::uint32_t seed = firstSeed + i;
    return photos::generate(seed, i % 4 == 3 ? photos::hardSurfaceForSeed(i / 4) : photos::surfaceForSeed(i));
}

// The manifest line of a written photo.
nlohmann::json lineOf(const std::string& file, const photos::PaperPhoto& photo, std::uint32_t seed) {
    nlohmann::json corners = nlohmann::json::array();
    for (const Point& p : {photo.truth.topLeft, photo.truth.topRight, photo.truth.bottomRight, photo.truth.bottomLeft})
        corners.push_back({p.x * photo.image.width, (1 - p.y) * photo.image.height});
    const bool expected = photos::shouldBeFound(photo.surface);
    return {{"file", file},
            {"kind", std::string("generated ") + photos::surfaceName(photo.surface)},
            {"corners", expected ? corners : nlohmann::json(nullptr)},
            {"sheet", corners},
            {"seed", seed}};
}

void PaperPhotoWrite(benchmark::State& state) {
    const char* folderName = std::getenv("QUILLFEN_PAPER_WRITE");
    if (!folderName) {
        state.SkipWithError("QUILLFEN_PAPER_WRITE names no folder to write the photos to");
        for (auto _ : state) {}
        return;
    }
    const fs::path folder(folderName);
    fs::create_directories(folder);
    const char* countText = std::getenv("QUILLFEN_PAPER_WRITE_COUNT");
    const std::uint32_t count = countText ? static_cast<std::uint32_t>(std::strtoul(countText, nullptr, 10)) : 1500;
    std::vector<nlohmann::json> lines(count);
    for (auto _ : state) {
        const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
        std::vector<std::future<void>> running;
        for (unsigned w = 0; w < workers; ++w)
            running.push_back(std::async(std::launch::async, [&, w] {
                for (std::uint32_t i = w; i < count; i += workers) {
                    const auto photo = photoOf(i);
                    char name[16];
                    std::snprintf(name, sizeof name, "%06u.jpg", i);
                    const auto jpeg = Cleaner::jpegData(photo.image, 0.9);
                    if (!jpeg) continue;
                    std::ofstream(folder / name, std::ios::binary)
                        .write(reinterpret_cast<const char*>(jpeg->data()), static_cast<std::streamsize>(jpeg->size()));
                    lines[i] = lineOf(name, photo, firstSeed + i);
                }
            }));
        for (auto& r : running) r.get();
    }
    std::ofstream manifest(folder / "manifest.jsonl");
    for (const auto& line : lines)
        if (!line.is_null()) manifest << line.dump() << '\n';
    state.counters["photos"] = static_cast<double>(count);
}
BENCHMARK(PaperPhotoWrite)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
