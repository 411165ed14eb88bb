// The display format that every shown date-time goes through, once a
// second on the main window's tick.
#include <benchmark/benchmark.h>

#include "time/datetime.h"

namespace {

using namespace hv::time;

void BM_FormatDisplay(benchmark::State& state) {
  // 2 September 2021 14:00:00.499, moved on by a second each time.
  TDateTime t = EncodeDateTime(2021, 9, 2, 14, 0, 0, 499);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatDisplay(t, L"/", L":"));
    t = AddMilliseconds(t, 1000);
  }
}

void BM_FormatDisplay_PointSeparator(benchmark::State& state) {
  TDateTime t = EncodeDateTime(2021, 12, 24, 18, 5, 9, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatDisplay(t, L".", L":"));
    t = AddMilliseconds(t, 1000);
  }
}

BENCHMARK(BM_FormatDisplay);
BENCHMARK(BM_FormatDisplay_PointSeparator);

}  // namespace
