// Cost of filling the lunar day record.

#include <benchmark/benchmark.h>

#include "chn_calendar_use.h"
#include "date_time.h"
#include "lunar_core.h"

namespace {

double DateTime(int y, int m, int d) {
    double dt = 0;
    lunar::EncodeDate(y, m, d, dt);
    return dt;
}

// One SetDate for every day of 1900..2100 per iteration; the figure reported is
// the time per fill.
void BM_SetDateEveryDay1900To2100(benchmark::State& state) {
    const double from = DateTime(1900, 1, 1);
    const double to = DateTime(2100, 12, 31);
    lunar::TChnCal cal;
    for (auto _ : state) {
        for (double dt = from; dt <= to; dt += 1) {
            cal.SetDate(dt);
            benchmark::DoNotOptimize(cal.FCnDay.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(to - from + 1));
}
BENCHMARK(BM_SetDateEveryDay1900To2100)->Unit(benchmark::kMillisecond);

// The same on a fresh record for every day, as dorvel-lunar --tsv does.
void BM_SetDateFreshRecord(benchmark::State& state) {
    const double from = DateTime(1900, 1, 1);
    const double to = DateTime(2100, 12, 31);
    for (auto _ : state) {
        for (double dt = from; dt <= to; dt += 1) {
            lunar::TChnCal cal;
            cal.SetDate(dt);
            benchmark::DoNotOptimize(cal.FCnDay.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(to - from + 1));
}
BENCHMARK(BM_SetDateFreshRecord)->Unit(benchmark::kMillisecond);

// What the calendar control does for one view: the selected day, then every day
// of its month (February 2024).
void BM_MonthFill(benchmark::State& state) {
    const double first = DateTime(2024, 2, 1);
    lunar::TChnCal cal;
    for (auto _ : state) {
        cal.SetDate(DateTime(2024, 2, 10));
        for (int day = 0; day < 29; ++day) {
            cal.SetDate(first + day);
            benchmark::DoNotOptimize(cal.FCnDay.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * 30);
}
BENCHMARK(BM_MonthFill)->Unit(benchmark::kMicrosecond);

// The rules evaluated afresh, without the per-year cache, for comparison.
void BM_UncachedSolarToLunar(benchmark::State& state) {
    int day = 0;
    for (auto _ : state) {
        bool leap = false;
        int ld = 0, lm = 0, ly = 0;
        lunar::uncached::SolarToLunar(2024, 1 + day % 12, 1 + day % 28, leap, ld, lm, ly);
        benchmark::DoNotOptimize(ld);
        ++day;
    }
}
BENCHMARK(BM_UncachedSolarToLunar)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
