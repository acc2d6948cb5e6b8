// The town chooser's work on the built towns database of the working directory:
// filling the list with every town, one keystroke of the prefix search, and the
// command line's search through the name index.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "common/codepage.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_record.h"
#include "towns/town_search.h"

namespace {

using namespace kv::towns;

struct OpenTowns {
  OpenTowns() {
    std::filesystem::current_path(KV_WORKDIR);
    (void)kv::db::LoadSchema();
    (void)base.Open(kTownsDatabase, kv::db::kTownsRead);
  }
  kv::db::Database base;
};

// Opening the chooser: the list of every town and the first screen of its lines.
void BM_FillChooserList(benchmark::State& state) {
  OpenTowns open;
  for (auto _ : state) {
    TownList list = TownList::All(open.base);
    for (size_t i = 0; i < 40 && i < list.size(); ++i) benchmark::DoNotOptimize(list.Line(i));
  }
}
BENCHMARK(BM_FillChooserList)->Unit(benchmark::kMillisecond);

// Every line once, as a user scrolling through the whole list would cause.
void BM_ReadEveryLine(benchmark::State& state) {
  OpenTowns open;
  for (auto _ : state) {
    TownList list = TownList::All(open.base);
    for (size_t i = 0; i < list.size(); ++i) benchmark::DoNotOptimize(list.Line(i));
  }
}
BENCHMARK(BM_ReadEveryLine)->Unit(benchmark::kMillisecond);

void BM_KeystrokeSearch(benchmark::State& state) {
  OpenTowns open;
  const TownList list = TownList::All(open.base);
  const std::string typed = kv::W("Янгику");  // late in the list: a long scan
  for (auto _ : state) benchmark::DoNotOptimize(list.FindPrefix(typed));
}
BENCHMARK(BM_KeystrokeSearch)->Unit(benchmark::kMicrosecond);

void BM_FindTownsOneLetter(benchmark::State& state) {
  OpenTowns open;
  const std::string typed = kv::W("с");
  for (auto _ : state) benchmark::DoNotOptimize(FindTowns(open.base, typed, 20).size());
}
BENCHMARK(BM_FindTownsOneLetter)->Unit(benchmark::kMillisecond);

void BM_FindTownsName(benchmark::State& state) {
  OpenTowns open;
  const std::string typed = kv::W("Самара");
  for (auto _ : state) benchmark::DoNotOptimize(FindTowns(open.base, typed, 20).size());
}
BENCHMARK(BM_FindTownsName)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

void BM_NameIndexScan(benchmark::State& state) {
  OpenTowns open;
  for (auto _ : state) {
    std::vector<kv::db::ValueEntry> entries;
    open.base.FindValueEntries(entries, kTownPrefix, kFieldTownName, "", 0);
    benchmark::DoNotOptimize(entries.size());
  }
}
BENCHMARK(BM_NameIndexScan)->Unit(benchmark::kMillisecond);

}  // namespace
