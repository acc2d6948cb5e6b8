// Costs of the position routine: one body at a fresh date, a chart's 15 bodies at a
// fresh date, and a raw evaluation with the segment already loaded.
#include <benchmark/benchmark.h>

#include "astro/ephemeris/ephemeris.h"
#include "astro/positions/calc_body.h"

namespace {

bool Start() {
  static const bool ok = kv::InitEphemeris(KV_EPHE_DIR).ok();
  return ok;
}

// Successive fresh dates a little over an hour apart: every call misses the result
// caches while segments stay mostly loaded, as for charts of nearby moments.
double g_jd = 2447000.0;
double NextDate() {
  g_jd += 0.0437;
  if (g_jd > 2460000.0) g_jd = 2447000.0;
  return g_jd;
}

void BM_CalcBodyFreshDate(benchmark::State& state) {
  if (!Start()) {
    state.SkipWithError("no ephemeris files");
    return;
  }
  const int body = static_cast<int>(state.range(0));
  double out[6];
  for (auto _ : state) {
    kv::CalcBody(NextDate(), body, kv::kCalcChartFlags, out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_CalcBodyFreshDate)->DenseRange(0, 13)->Arg(15);

// Bodies 1..15 of a chart: Sun..Pluto, the node, the apogee (true/mean by switch) and
// Chiron; the chart's Selena and Proserpina are formulas outside the engine.
void BM_ChartFifteenBodies(benchmark::State& state) {
  if (!Start()) {
    state.SkipWithError("no ephemeris files");
    return;
  }
  static constexpr int kBodies[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15};
  double out[6];
  for (auto _ : state) {
    const double jd = NextDate();
    for (int b : kBodies) {
      kv::CalcBody(jd, b, kv::kCalcChartFlags, out);
      benchmark::DoNotOptimize(out);
    }
  }
}
BENCHMARK(BM_ChartFifteenBodies);

void BM_EvaluateBodyWarmSegment(benchmark::State& state) {
  if (!Start()) {
    state.SkipWithError("no ephemeris files");
    return;
  }
  double out[6];
  double jd = 2451545.0;
  for (auto _ : state) {
    jd += 1e-7;  // stays inside the loaded segment, misses the one-date cache
    kv::EvaluateBody(jd, kv::kIntMercury, kv::kFlagSpeed, false, out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_EvaluateBodyWarmSegment);

}  // namespace
