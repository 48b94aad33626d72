// Gathering a calendar's events (two whole years: holidays, birthdays and custom events) and laying
// a calendar out, in every format.
#include <benchmark/benchmark.h>

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include "engine/calendar/CalendarPaginator.h"
#include "engine/calendar/CalendarSettings.h"

using namespace quillfen;

namespace {

void useFixedDefaults() {
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("America/New_York"));
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("en_US"), status);
}

CalendarSettings twoYearCalendar() {
    CalendarSettings s;
    s.startYear = 2027;
    s.startMonth = 9;
    for (int i = 0; i < 20; ++i)
        s.customEvents.push_back(
            CustomEvent{UUID::random(), "Event " + std::to_string(i), {2027, 1 + i % 12, 1 + i}, i % 2 == 0});
    return s;
}

std::vector<Child> children(int count) {
    std::vector<Child> out;
    for (int i = 0; i < count; ++i)
        out.push_back(Child{UUID::random(), "Child " + std::to_string(i), Date{5e8 + i * 4e6}, ""});
    return out;
}

void BM_GatherTwoYearsOfEvents(benchmark::State& state) {
    useFixedDefaults();
    const CalendarSettings s = twoYearCalendar();
    const auto kids = children(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(s.events(kids));
}
BENCHMARK(BM_GatherTwoYearsOfEvents)->Arg(0)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_HanukkahSearch(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(CalendarMath::hanukkahFirstDay(2027));
}
BENCHMARK(BM_HanukkahSearch)->Unit(benchmark::kMicrosecond);

void BM_PaginateCalendar(benchmark::State& state) {
    CalendarSettings s = twoYearCalendar();
    s.format = static_cast<CalendarFormat>(state.range(0));
    std::unordered_map<UUID, DrawingInfo> drawings;
    for (int m = 0; m < 12; ++m) {
        DrawingInfo d;
        d.id = UUID::random();
        d.aspect = 0.77;
        d.pixelSize = {1200, 1558};
        d.title = "Drawing " + std::to_string(m);
        drawings.emplace(d.id, d);
        s.pictures[m] = d.id;
    }
    for (auto _ : state) benchmark::DoNotOptimize(CalendarPaginator::paginate(s, drawings));
}
BENCHMARK(BM_PaginateCalendar)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

}  // namespace
