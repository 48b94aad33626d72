// Quality and speed of paper detection on photos composed from real material, read from a folder that
// scripts/paper writes: the JPEG files and a manifest.jsonl of one line per photo with its file, kind,
// true corners in pixels (top left first, clockwise, origin at the top left; null where no sheet is to be
// found), surface, artwork and seed. The folder is named by QUILLFEN_PAPER_PHOTOS. Per kind of surface it
// reports on stderr: photos, photos without a quad, the mean Jaccard index of found against true
// sheets, over all of them and over those whose true outline the selection rules accept, the sheets
// missed among the latter, the quads found where none is to be found, and the milliseconds of one detection
// on one core (median and most). QUILLFEN_PAPER_EACH names a file for one tab-separated line per photo: file,
// kind, truth passes, quad found, Jaccard, surface, and the quad found in unit coordinates.

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <string>

#include "bench/PaperPhotoGenerator.h"
#include "engine/cleanup/ImageIO.h"
#include "engine/cleanup/PaperDetection.h"

using namespace quillfen;
namespace fs = std::filesystem;

namespace {

// One line of the manifest.
struct Entry {
    std::string file, kind, surface;
    std::optional<std::array<Point, 4>> corners;  // pixels, origin at the top left
};

std::vector<Entry> manifest(const fs::path& folder) {
    std::vector<Entry> entries;
    std::ifstream in(folder / "manifest.jsonl");
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        const auto j = nlohmann::json::parse(line);
        Entry e{j.at("file").get<std::string>(), j.value("kind", ""), j.value("surface", ""), std::nullopt};
        if (j.contains("corners") && j["corners"].is_array()) {
            std::array<Point, 4> c;
            for (int i = 0; i < 4; ++i)
                c[i] = {j["corners"][i][0].get<double>(), j["corners"][i][1].get<double>()};
            e.corners = c;
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

// The true outline in unit coordinates of a picture of that size, origin at the bottom left.
Quad truthOf(const std::array<Point, 4>& c, int width, int height) {
    auto unit = [&](const Point& p) { return Point{p.x / width, 1 - p.y / height}; };
    return Quad{unit(c[0]), unit(c[1]), unit(c[2]), unit(c[3])};
}

std::optional<Bitmap> decodedFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return Cleaner::decode(bytes);
}

// What one photo gave.
struct Measured {
    bool decoded = false;
    bool quadFound = false;
    double jaccard = 0;
    bool truthAccepted = false;
    double milliseconds = 0;
    std::optional<Quad> found;
};

Measured measured(const Entry& entry, const fs::path& folder) {
    const auto image = decodedFile(folder / entry.file);
    if (!image) return {};
    Measured m;
    m.decoded = true;
    const auto start = std::chrono::steady_clock::now();
    const auto quad = Cleaner::detectPaper(*image);
    m.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    m.quadFound = quad.has_value();
    m.found = quad;
    if (!entry.corners) return m;
    const Quad truth = truthOf(*entry.corners, image->width, image->height);
    m.jaccard = quad ? paperphotos::jaccard(*quad, truth, image->width, image->height) : 0;
    const Cleaner::PaperDetectors truthOnly{[&](const Bitmap&) {
                                                return std::vector<PaperCandidate>{{truth, 1}};
                                            },
                                            [](const Bitmap&) { return std::vector<PaperCandidate>{}; }};
    m.truthAccepted = Cleaner::detectPaper(*image, truthOnly).has_value();
    return m;
}

struct Tally {
    int photos = 0, noQuad = 0, sheets = 0, accepted = 0, missed = 0, negatives = 0, falseQuads = 0;
    double jaccardSum = 0, acceptedJaccardSum = 0;
    std::vector<double> milliseconds;

    void add(const Entry& e, const Measured& m) {
        ++photos;
        noQuad += m.quadFound ? 0 : 1;
        milliseconds.push_back(m.milliseconds);
        if (!e.corners) {
            ++negatives;
            falseQuads += m.quadFound ? 1 : 0;
            return;
        }
        ++sheets;
        jaccardSum += m.jaccard;
        if (m.truthAccepted) ++accepted, missed += m.quadFound ? 0 : 1, acceptedJaccardSum += m.jaccard;
    }
    double meanJaccard() const { return sheets ? jaccardSum / sheets : 0; }
    double acceptedMeanJaccard() const { return accepted ? acceptedJaccardSum / accepted : 0; }
    double medianMs() const {
        auto v = milliseconds;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    double mostMs() const {
        return milliseconds.empty() ? 0 : *std::max_element(milliseconds.begin(), milliseconds.end());
    }
};

void printRow(const std::string& name, const Tally& t) {
    std::fprintf(stderr, "%-16s %6d %7d %6d %8.4f %8d %8.4f %7d %9d %7d %8.1f %8.1f\n", name.c_str(),
                 t.photos, t.noQuad, t.sheets, t.meanJaccard(), t.accepted, t.acceptedMeanJaccard(), t.missed,
                 t.negatives, t.falseQuads, t.medianMs(), t.mostMs());
}

void PaperRealPhotosQuality(benchmark::State& state) {
    const char* folderName = std::getenv("QUILLFEN_PAPER_PHOTOS");
    if (!folderName || !fs::exists(fs::path(folderName) / "manifest.jsonl")) {
        state.SkipWithError("QUILLFEN_PAPER_PHOTOS names no folder with a manifest.jsonl");
        for (auto _ : state) {
        }
        return;
    }
    const fs::path folder(folderName);
    const std::vector<Entry> entries = manifest(folder);
    std::vector<Measured> results(entries.size());
    // Detections at once, each on one thread of its own: more than one gives the figures sooner, its times
    // only as a guide.
    const char* workersText = std::getenv("QUILLFEN_PAPER_WORKERS");
    const int workers = std::max(1, workersText ? std::atoi(workersText) : 1);
    for (auto _ : state) {
        // Each detection on one thread, so that it is timed on one core. What a thread sets up once for
        // detection is not timed.
        const int openCvThreads = cv::getNumThreads();
        cv::setNumThreads(1);
        std::vector<std::future<void>> running;
        for (int w = 0; w < workers; ++w)
            running.push_back(std::async(std::launch::async, [&, w] {
                Cleaner::detectPaper(Bitmap(64, 48));
                for (std::size_t i = w; i < entries.size(); i += workers)
                    results[i] = measured(entries[i], folder);
            }));
        for (auto& r : running) r.get();
        cv::setNumThreads(openCvThreads);
    }
    std::map<std::string, Tally> byKind;
    Tally all;
    std::vector<std::string> poor, unreadable;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const Measured& m = results[i];
        if (!m.decoded) {
            unreadable.push_back(e.file);
            continue;
        }
        byKind[e.kind].add(e, m);
        all.add(e, m);
        if (e.corners ? m.jaccard < 0.9 : m.quadFound) poor.push_back(e.file + " (" + e.surface + ")");
    }
    std::fprintf(stderr, "%-16s %6s %7s %6s %8s %8s %8s %7s %9s %7s %8s %8s\n", "kind", "photos", "no quad",
                 "sheets", "mean J", "passing", "mean J", "missed", "no sheet", "false", "med ms", "most ms");
    for (const auto& [name, t] : byKind) printRow(name, t);
    printRow("all", all);
    std::fprintf(
        stderr,
        "sheets: %d, mean Jaccard %.4f; of the %d whose true outline passes: mean Jaccard %.4f, missed %d "
        "(%.2f%%); false quads %d of %d; one core: median %.1f ms, most %.1f ms\n",
        all.sheets, all.meanJaccard(), all.accepted, all.acceptedMeanJaccard(), all.missed,
        all.accepted ? 100.0 * all.missed / all.accepted : 0.0, all.falseQuads, all.negatives, all.medianMs(),
        all.mostMs());
    std::fprintf(stderr, "unreadable: %zu; below Jaccard 0.9 or with a false quad:\n", unreadable.size());
    for (const auto& file : poor) std::fprintf(stderr, "  %s\n", file.c_str());
    if (const char* each = std::getenv("QUILLFEN_PAPER_EACH")) {
        std::ofstream out(each);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            out << entries[i].file << '\t' << entries[i].kind << '\t' << results[i].truthAccepted << '\t'
                << results[i].quadFound << '\t' << results[i].jaccard << '\t' << entries[i].surface;
            if (const auto& q = results[i].found)
                for (const Point& p : {q->topLeft, q->topRight, q->bottomRight, q->bottomLeft})
                    out << '\t' << p.x << '\t' << p.y;
            out << '\n';
        }
    }
    state.counters["meanJaccard"] = all.meanJaccard();
    state.counters["meanJaccardTruthPasses"] = all.acceptedMeanJaccard();
    state.counters["missed"] = all.missed;
    state.counters["falseQuads"] = all.falseQuads;
    state.counters["medianMs"] = all.medianMs();
    state.counters["mostMs"] = all.mostMs();
}
BENCHMARK(PaperRealPhotosQuality)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
