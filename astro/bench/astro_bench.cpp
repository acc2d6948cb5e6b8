// Costs of the position routine: one body at a fresh date, a chart's 15 bodies at a
// fresh date, and a raw evaluation with the segment already loaded.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "astro/ephemeris/chebyshev.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/nutation.h"
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
      kv::CalcBody(jd, b, static_cast<int>(state.range(0)), out);
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

// The 15 bodies at random dates over the whole span of the files, as batch input
// comes: nearly every body needs a new segment. With the speeds, and the places only.
void BM_ChartFifteenBodiesRandomDates(benchmark::State& state) {
  if (!Start()) {
    state.SkipWithError("no ephemeris files");
    return;
  }
  static constexpr int kBodies[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15};
  uint64_t seed = 12345;
  double out[6];
  for (auto _ : state) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    const double jd = 2378500.0 + static_cast<double>(seed >> 11) / 9007199254740992.0 * 219000.0;
    for (int b : kBodies) {
      kv::CalcBody(jd, b, static_cast<int>(state.range(0)), out);
      benchmark::DoNotOptimize(out);
    }
  }
}
BENCHMARK(BM_ChartFifteenBodiesRandomDates)->Arg(kv::kCalcChartFlags)
    ->Arg(kv::kCalcEphemerisFiles | kv::kCalcPlaceOfSpeed);

// Value and derivative of a Moon-sized series: two passes against one.
void BM_ChebyshevTwoPasses(benchmark::State& state) {
  double c[13];
  for (int j = 0; j < 13; ++j) c[j] = 1.0 / (j + 1);
  double t = -0.9;
  for (auto _ : state) {
    t = t > 0.9 ? -0.9 : t + 1e-3;
    benchmark::DoNotOptimize(kv::ChebyshevValue(t, c, 13));
    benchmark::DoNotOptimize(kv::ChebyshevDerivative(t, c, 13));
  }
}
BENCHMARK(BM_ChebyshevTwoPasses);

void BM_ChebyshevOnePass(benchmark::State& state) {
  double c[13];
  for (int j = 0; j < 13; ++j) c[j] = 1.0 / (j + 1);
  double t = -0.9, value = 0, derivative = 0;
  for (auto _ : state) {
    t = t > 0.9 ? -0.9 : t + 1e-3;
    kv::ChebyshevValueAndDerivative(t, c, 13, &value, &derivative);
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(derivative);
  }
}
BENCHMARK(BM_ChebyshevOnePass);

// The three axes of a position: one after another, side by side, side by side
// without the derivative.
void BM_ChebyshevThreeAxes(benchmark::State& state) {
  double c[3 * 26];
  for (int j = 0; j < 3 * 26; ++j) c[j] = 1.0 / (j % 26 + 1);
  double t = -0.9, value[3], derivative[3];
  for (auto _ : state) {
    t = t > 0.9 ? -0.9 : t + 1e-3;
    if (state.range(0) == 2) {
      kv::ChebyshevXyz(t, c, 26, 26, value, nullptr);
    } else if (state.range(0)) {
      kv::ChebyshevXyz(t, c, 26, 26, value, derivative);
    } else {
      for (int axis = 0; axis < 3; ++axis)
        kv::ChebyshevValueAndDerivative(t, c + 26 * axis, 26, &value[axis], &derivative[axis]);
    }
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(derivative);
  }
}
BENCHMARK(BM_ChebyshevThreeAxes)->Arg(0)->Arg(1)->Arg(2);

// The 1980 nutation series, made once a chart.
void BM_Nutation(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kv::Nutation(NextDate()));
}
BENCHMARK(BM_Nutation);

}  // namespace
