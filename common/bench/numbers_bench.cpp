// Writing "%.15g": the exact integer routine against the general one of the library,
// on the longitudes a batch of charts prints (0 to 360 degrees).
#include <benchmark/benchmark.h>

#include <charconv>
#include <random>
#include <vector>

#include "common/numbers.h"

namespace {

std::vector<double> Longitudes() {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> degrees(0.0, 360.0);
  std::vector<double> v(4096);
  for (double& x : v) x = degrees(random);
  return v;
}

void BM_AppendGeneral(benchmark::State& state) {
  const std::vector<double> values = Longitudes();
  char buf[64];
  size_t i = 0;
  for (auto _ : state) {
    char* end = kv::AppendGeneral(buf, buf + sizeof buf, values[i++ & 4095], 15);
    benchmark::DoNotOptimize(end);
  }
}
BENCHMARK(BM_AppendGeneral);

void BM_ToCharsGeneral(benchmark::State& state) {
  const std::vector<double> values = Longitudes();
  char buf[64];
  size_t i = 0;
  for (auto _ : state) {
    auto r = std::to_chars(buf, buf + sizeof buf, values[i++ & 4095], std::chars_format::general, 15);
    benchmark::DoNotOptimize(r.ptr);
  }
}
BENCHMARK(BM_ToCharsGeneral);

}  // namespace
