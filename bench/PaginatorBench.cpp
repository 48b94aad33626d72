#include <benchmark/benchmark.h>

#include <random>

#include "engine/book/Paginator.h"

using namespace quillfen;

namespace {

UUID numbered(std::uint32_t n, std::uint8_t kind) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[0] = kind;
    for (int i = 0; i < 4; ++i) bytes[15 - i] = static_cast<std::uint8_t>(n >> (8 * i));
    return UUID(bytes);
}

// A library of `count` drawings by five children, a few without a child, in shuffled order.
struct Library {
    std::vector<Child> children;
    std::vector<DrawingInfo> drawings;
};

Library library(int count) {
    Library lib;
    for (std::uint32_t c = 0; c < 5; ++c)
        lib.children.push_back({numbered(c, 0xC0), "Child", std::nullopt, ""});
    std::mt19937 random(42);
    for (int i = 0; i < count; ++i) {
        DrawingInfo d;
        d.id = numbered(static_cast<std::uint32_t>(i), 0xD0);
        d.date = Date{86400.0 * (random() % 365)};
        d.sequence = i;
        d.aspect = 0.6 + (random() % 100) / 100.0;
        d.pixelSize = {static_cast<double>(1000 + random() % 4000),
                       static_cast<double>(1000 + random() % 4000)};
        d.featured = random() % 10 == 0;
        if (random() % 8 != 0) d.childID = lib.children[random() % 5].id;
        lib.drawings.push_back(d);
    }
    return lib;
}

void paginate(benchmark::State& state, BookOrder order) {
    const Library lib = library(static_cast<int>(state.range(0)));
    BookSettings settings;
    settings.arrangement = Arrangement::mix;
    settings.order = order;
    settings.dedication = "For Grandma";
    settings.closing = "The end";
    for (auto _ : state) benchmark::DoNotOptimize(Paginator::paginate(settings, lib.children, lib.drawings));
    state.SetComplexityN(state.range(0));
}

void PaginateChronological(benchmark::State& state) {
    paginate(state, BookOrder::chronological);
}

void PaginateByChild(benchmark::State& state) {
    paginate(state, BookOrder::byChild);
}

}  // namespace

BENCHMARK(PaginateChronological)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();
BENCHMARK(PaginateByChild)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();
