// Opening a collection of 1,000 texts, and a whole natal interpretation from it with
// every text selected and justification on (open, 36 fetches, layout, output file).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/codepage.h"
#include "texts/interpretation.h"
#include "texts/output_file.h"

namespace kv {
namespace {
namespace fs = std::filesystem;

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// A folder with "kvinat.csr" of 1,000 texts of six lines each, built once and
// removed at exit.
struct BenchFolder {
  fs::path path;
  ~BenchFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

const fs::path& Folder() {
  static const BenchFolder dir{[] {
    std::string tmpl = (fs::temp_directory_path() / "kvbench.XXXXXX").string();
    fs::path d = mkdtemp(tmpl.data());
    std::vector<std::string> keys = {"0", "000"};
    for (int n = 1; n <= 16; ++n) {
      keys.push_back("IP" + Two(n));
      for (int k = 1; k <= 12; ++k) {
        keys.push_back("p" + Two(n) + "z" + Two(k));
        keys.push_back("p" + Two(n) + "h" + Two(k));
      }
    }
    for (int k = 1; k <= 12; ++k) {
      keys.push_back("h01z" + Two(k));
      keys.push_back("h04z" + Two(k));
    }
    for (int i = 0; keys.size() < 1000; ++i) keys.push_back("x" + std::to_string(i));
    const std::string line =
        "Положение планеты в знаке окрашивает её проявления особым тоном, и";
    std::string text;
    for (const std::string& k : keys) {
      text += "@" + k + " * текст\n";
      for (int i = 0; i < 4; ++i) text += line + "\n";
      text += "#М\nДля мужчин отдельная строка.\n#Ж\nДля женщин отдельная строка.\n#\n\n";
    }
    std::ofstream(d / "kvinat.csr", std::ios::binary) << Utf8ToCp866(text);
    return d;
  }()};
  return dir.path;
}

ChartRecord Chart() {
  ChartRecord rec = DefaultChartRecord();
  for (int k = 1; k <= 12; ++k) rec.lon[16 + k] = 15.0 + 30.0 * (k - 1);
  for (int b = 1; b <= 16; ++b) rec.lon[b] = 22.5 * b - 1.0;
  rec.sex = 1;
  return rec;
}

void BM_OpenCollection(benchmark::State& state) {
  const fs::path& dir = Folder();
  for (auto _ : state) {
    TextCollection c;
    benchmark::DoNotOptimize(c.Open("kvinat", dir));
    benchmark::DoNotOptimize(c.Index().size());
  }
}
BENCHMARK(BM_OpenCollection)->Unit(benchmark::kMillisecond);

void BM_NatalInterpretation(benchmark::State& state) {
  const fs::path& dir = Folder();
  InterpretationOptions opt;
  opt.workdir = dir;
  opt.lp = {0xFFFF, 3, 0xFFFF};
  opt.justify = true;
  BodyNames names(16, W("Планета"));
  ChartRecord rec = Chart();
  for (auto _ : state) {
    std::string out;
    WriteNatalInterpretation(rec, opt, names, out);
    auto path = WriteOutputTextFile(dir, W("Карта"), out);
    state.PauseTiming();
    if (path) fs::remove(*path);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_NatalInterpretation)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
