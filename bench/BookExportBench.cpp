// A book export as the export job runs it: a square 8-inch print-ready book, one drawing a page, whose
// drawings arrive as ready JPEGs of 2880 pixels on the long side. Compared with img2pdf putting the same
// JPEGs into a PDF, the floor for that work (Debian package img2pdf; skipped when it is not installed);
// peak memory measured in a child process per book.
#include "engine/book/BookRenderer.h"
#include "engine/cleanup/ImageIO.h"
#include "engine/book/Paginator.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

using namespace quillfen;
namespace fs = std::filesystem;

namespace {

constexpr int largestBook = 96;

UUID numbered(int n) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[0] = 0xB0;
    bytes[14] = static_cast<std::uint8_t>(n >> 8);
    bytes[15] = static_cast<std::uint8_t>(n);
    return UUID(bytes);
}

// A cleaned drawing: white paper, textured crayon strokes in a few colours, 2880 pixels on its long side.
Bitmap drawing(int width, int height, int seed) {
    std::mt19937 random(seed);
    cv::Mat strokes(height, width, CV_8UC3, cv::Scalar(255, 255, 255));
    for (int i = 0; i < 40; ++i) {
        const cv::Scalar colour(random() % 200, random() % 200, random() % 200);
        std::vector<cv::Point> line;
        cv::Point at(random() % width, random() % height);
        for (int k = 0; k < 12; ++k) {
            line.push_back(at);
            at += cv::Point(static_cast<int>(random() % 400) - 200, static_cast<int>(random() % 400) - 200);
        }
        cv::polylines(strokes, line, false, colour, 8 + static_cast<int>(random() % 40), cv::LINE_AA);
    }
    cv::Mat grain(height, width, CV_8UC3);
    cv::randn(grain, cv::Scalar::all(0), cv::Scalar::all(14));
    cv::Mat ink;
    cv::inRange(strokes, cv::Scalar::all(0), cv::Scalar::all(250), ink);
    cv::add(strokes, grain, strokes, ink);
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto bgr = strokes.at<cv::Vec3b>(y, x);
            std::uint8_t* p = bitmap.pixel(x, y);
            p[0] = bgr[2];
            p[1] = bgr[1];
            p[2] = bgr[0];
            p[3] = 255;
        }
    }
    return bitmap;
}

// The drawings of the largest book as JPEG files at quality 0.92, made once in a child process so that
// their making leaves nothing in this process's memory.
struct Drawings {
    fs::path folder = fs::temp_directory_path() / ("quillfen-book-bench-" + std::to_string(::getpid()));
    std::vector<DrawingInfo> records;

    Drawings() {
        fs::create_directories(folder);
        for (int i = 0; i < largestBook - 1; ++i) {
            DrawingInfo d;
            d.id = numbered(i);
            d.title = "Drawing " + std::to_string(i + 1);
            d.date = Date::fromSecondsSinceReferenceDate(7.0e8 + i * 86400.0);
            d.sequence = i;
            d.aspect = i % 3 == 0 ? 3.0 / 4 : 4.0 / 3;
            d.pixelSize = d.aspect > 1 ? Size{2880, 2160} : Size{2160, 2880};
            records.push_back(d);
        }
        const pid_t child = ::fork();
        if (child == 0) {
            for (const auto& d : records) {
                const auto jpeg = Cleaner::jpegData(
                    drawing(static_cast<int>(d.pixelSize.width), static_cast<int>(d.pixelSize.height),
                            static_cast<int>(d.sequence)),
                    0.92);
                std::ofstream(file(d.id), std::ios::binary)
                    .write(reinterpret_cast<const char*>(jpeg->data()),
                           static_cast<std::streamsize>(jpeg->size()));
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    ~Drawings() { fs::remove_all(folder); }

    fs::path file(const UUID& id) const { return folder / (id.string() + ".jpg"); }

    // A book of `pages` pages: the cover, then one drawing a page.
    BookLayout layout(int pages, BookSettings& settings) const {
        settings.arrangement = Arrangement::one;
        return Paginator::paginate(settings, {},
                                   std::span(records).first(static_cast<std::size_t>(pages - 1)));
    }

    // The export's image source: each drawing's JPEG read when a page asks for it.
    BookContent content(const BookSettings& settings, int pages) const {
        return BookContent::make(settings, {}, std::span(records).first(static_cast<std::size_t>(pages - 1)),
                                 [this](const UUID& id) -> std::optional<PageImage> {
                                     std::ifstream in(file(id), std::ios::binary);
                                     std::vector<std::uint8_t> bytes(fs::file_size(file(id)));
                                     in.read(reinterpret_cast<char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
                                     return PageImage::fromJpeg(std::move(bytes));
                                 });
    }

    std::uintmax_t jpegBytes(int pages) const {
        std::uintmax_t total = 0;
        for (int i = 0; i < pages - 1; ++i)
            total += fs::file_size(file(records[static_cast<std::size_t>(i)].id));
        return total;
    }
};

const Drawings& drawings() {
    static const Drawings made;
    return made;
}

fs::path output(const char* name) {
    return fs::temp_directory_path() / ("quillfen-book-bench-" + std::to_string(::getpid()) + "-" + name);
}

long statusKilobytes(const char* key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key) + 1);
    }
    return 0;
}

void PrintBook(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const Drawings& made = drawings();
    BookSettings settings;
    const BookLayout layout = made.layout(pages, settings);
    const BookContent content = made.content(settings, pages);
    const fs::path file = output("print.pdf");
    for (auto _ : state) {
        if (!BookRenderer::printPDF(layout, content, file)) state.SkipWithError("not written");
    }
    const double jpeg = static_cast<double>(made.jpegBytes(pages));
    state.counters["pages"] = static_cast<double>(layout.pages.size());
    state.counters["fileMB"] = static_cast<double>(fs::file_size(file)) / 1e6;
    state.counters["jpegMB"] = jpeg / 1e6;
    state.counters["size/jpeg"] = static_cast<double>(fs::file_size(file)) / jpeg;
    state.counters["overheadKB"] = (static_cast<double>(fs::file_size(file)) - jpeg) / 1e3;
    fs::remove(file);
}

// img2pdf assembling the same JPEGs, one a page, into a PDF.
void Img2pdf(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const Drawings& made = drawings();
    const fs::path file = output("img2pdf.pdf");
    std::string command = "img2pdf";
    for (int i = 0; i < pages - 1; ++i)
        command += " '" + made.file(made.records[static_cast<std::size_t>(i)].id).string() + "'";
    command += " -o '" + file.string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("img2pdf failed");
    }
    state.counters["fileMB"] = static_cast<double>(fs::file_size(file)) / 1e6;
    fs::remove(file);
}

// The book written by the export against img2pdf on the same JPEGs, timed pair by pair so that a busy
// machine slows both alike; the counter is the median of the ratios.
void PrintBookOverImg2pdf(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const Drawings& made = drawings();
    BookSettings settings;
    const BookLayout layout = made.layout(pages, settings);
    const BookContent content = made.content(settings, pages);
    const fs::path file = output("paired.pdf");
    std::string command = "img2pdf";
    for (int i = 0; i < pages - 1; ++i)
        command += " '" + made.file(made.records[static_cast<std::size_t>(i)].id).string() + "'";
    command += " -o '" + output("paired-img2pdf.pdf").string() + "'";
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("img2pdf failed");
        const auto middle = std::chrono::steady_clock::now();
        if (!BookRenderer::printPDF(layout, content, file)) state.SkipWithError("not written");
        const auto end = std::chrono::steady_clock::now();
        ratios.push_back(std::chrono::duration<double>(end - middle) / std::chrono::duration<double>(middle - start));
    }
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
    fs::remove(file);
    fs::remove(output("paired-img2pdf.pdf"));
}

// How far the process's peak memory rises above where it started while the book is written.
void PrintBookPeakMemory(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    const Drawings& made = drawings();
    BookSettings settings;
    const BookLayout layout = made.layout(pages, settings);
    const BookContent content = made.content(settings, pages);
    const fs::path file = output("memory.pdf");
    double growthMB = 0;
    for (auto _ : state) {
        int channel[2];
        if (::pipe(channel) != 0) state.SkipWithError("no pipe");
        const pid_t child = ::fork();
        if (child == 0) {
            const long before = statusKilobytes("VmRSS:");
            const bool written = BookRenderer::printPDF(layout, content, file);
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
    fs::remove(file);
}

// The preview's thumbnail of a page of two drawings, from cleaned thumbnails of 700 pixels, 400 pixels wide.
void PageThumbnail(benchmark::State& state) {
    BookSettings settings;
    settings.arrangement = Arrangement::two;
    const Drawings& made = drawings();
    const auto records = std::span(made.records).first(2);
    const BookLayout layout = Paginator::paginate(settings, {}, records);
    std::vector<PageImage> thumbnails;
    for (const auto& d : records) {
        thumbnails.push_back(
            PageImage::fromBitmap(drawing(d.aspect > 1 ? 700 : 525, d.aspect > 1 ? 525 : 700, 7)));
    }
    const BookContent content = BookContent::make(
        settings, {}, records,
        [&](const UUID& id) -> std::optional<PageImage> { return thumbnails[id == records[0].id ? 0 : 1]; });
    const BookPage& page = layout.pages[1];
    for (auto _ : state) benchmark::DoNotOptimize(BookRenderer::thumbnail(page, layout, content, 400, true));
}

}  // namespace

BENCHMARK(PageThumbnail)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(PrintBook)
    ->Arg(24)
    ->Arg(96)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(Img2pdf)
    ->Arg(24)
    ->Arg(96)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(PrintBookOverImg2pdf)->Arg(24)->Arg(96)->Iterations(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PrintBookPeakMemory)->Arg(24)->Arg(96)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
