// The finder runs once per chart window; loading runs at every wheel repaint.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "aspects/aspect_finder.h"
#include "aspects/orb_block.h"
#include "aspects/orb_text.h"

namespace {

const char* kBlock =
    "0 10 10 8 7 7 7 7 5 5 5 3 2 3 2 2 3 2 1.5 1.5 2 1.5\n"
    "180 10 10 8 7 7 7 7 5 5 5 3 2 3 2 2 3 2 1.5 1.5 2 1.5\n"
    "120 8 8 6 6 6 6 6 5 4 4 2 2 2 2 2 2 2 1.5 1.5 2 1.5\n"
    "90 8 8 6 6 6 6 6 5 4 4 2 2 2 2 2 2 2 1.5 1.5 2 1.5\n"
    "60 6 6 4 4 4 4 4 3 3 3 2 1.5 1.5 1.5 1.5 2 1.5 1 1 1.5 1\n"
    "30 2 2 1.5\n150 3 3 2\n45 2.5 2.5 2\n135 2.5 2.5 2\n72 2 2 1.5\n144 2 2 1.5\n";

std::array<double, 32> Longitudes() {
  std::array<double, 32> lon{};
  for (int p = 1; p <= 28; ++p) lon[p] = std::fmod(37.3 * p * p, 360.0);
  return lon;
}

void BM_FindAspects(benchmark::State& state) {
  kv::AspectTable table = kv::ParseOrbText(kBlock);
  auto lon = Longitudes();
  kv::AspectMatrix m;
  for (auto _ : state) {
    kv::FindAspects(lon, table, m);
    benchmark::DoNotOptimize(m);
  }
}
BENCHMARK(BM_FindAspects);

void BM_LoadCompiledBlock(benchmark::State& state) {
  auto dir = std::filesystem::temp_directory_path() / "kv_aspects_bench";
  std::filesystem::create_directories(dir);
  std::string name = (dir / "b.ao").string();
  std::ofstream(name) << kBlock;
  (void)kv::CompileBlock(name);
  for (auto _ : state) benchmark::DoNotOptimize(kv::LoadAspectTable(name, false));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadCompiledBlock);

}  // namespace
