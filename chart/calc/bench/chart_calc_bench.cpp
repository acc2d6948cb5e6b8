// Throughput of whole charts: bodies 1..16, houses and lots, with and without the
// lunar day. Each iteration takes another moment so no cache of the engine holds it.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "astro/ephemeris/ephemeris.h"
#include "chart/calc/calc_houses.h"
#include "chart/calc/chart_calc.h"
#include "common/messages.h"

namespace {

bool Init() {
  static bool ok = [] {
    return kv::InitEphemeris(KV_EPHE_DIR).ok();
  }();
  return ok;
}

void RunCharts(benchmark::State& state, bool lunar_day) {
  if (!Init()) {
    state.SkipWithError("no ephemeris");
    return;
  }
  kv::ChartRecord rec = kv::DefaultChartRecord();
  rec.lat_packed = 55.45;
  rec.lon_packed = 37.37;
  double jd = 2437364.0;
  for (auto _ : state) {
    jd += 1.37;  // a new date each chart
    if (jd > 2590000.0) jd = 2437364.0;
    kv::SetBirthMoment(rec, jd, 0.0);
    rec.house_system = 3;
    rec.lunar_day = lunar_day ? 0 : -1;
    benchmark::DoNotOptimize(kv::CalculateChart(rec, nullptr, 1, {}));
  }
}

void BM_ChartWithoutLunarDay(benchmark::State& state) { RunCharts(state, false); }
void BM_ChartWithLunarDay(benchmark::State& state) { RunCharts(state, true); }
BENCHMARK(BM_ChartWithoutLunarDay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChartWithLunarDay)->Unit(benchmark::kMillisecond);

void BM_HousesOnly(benchmark::State& state) {
  if (!Init()) return;
  kv::ChartRecord rec = kv::DefaultChartRecord();
  rec.lat_packed = 55.45;
  rec.lon_packed = 37.37;
  double jd = 2437364.0;
  for (auto _ : state) {
    jd += 0.37;
    rec.jd_ut = rec.jd_calc = jd;
    rec.house_system = 3;
    benchmark::DoNotOptimize(kv::CalcHouses(rec));
  }
}
BENCHMARK(BM_HousesOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
