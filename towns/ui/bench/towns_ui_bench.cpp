// The town chooser on the built towns database of the working directory, offscreen:
// opening it with every town in its list (first paint included), and one keystroke
// of the prefix search (the search, the new selection, its correction and the
// repaint).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontDatabase>
#include <QLineEdit>
#include <QKeyEvent>
#include <filesystem>

#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_record.h"
#include "towns/ui/dvtown.h"
#include "towns/zone_table.h"

namespace {

using namespace kv::towns;

constexpr double kJd = 2445421.0;  // 27.03.1983 12:00

void BM_OpenChooser(benchmark::State& state) {
  for (auto _ : state) {
    kv::db::Database towns;
    (void)towns.Open(kTownsDatabase, kv::db::kTownsRead);
    ZoneTable table;
    table.Load();
    DVTown d(nullptr, towns, TownList::All(towns), "", kJd, true, table, nullptr);
    d.show();
    benchmark::DoNotOptimize(d.grab());
    state.counters["towns"] = static_cast<double>(d.List().size());
    d.close();
  }
}
BENCHMARK(BM_OpenChooser)->Unit(benchmark::kMillisecond);

// The last letter of a typed text: "С" near the middle of the list, "Сам", "Ян" late
// in it, "Щщщ" that no town begins with (the whole list is scanned).
const char* const kTyped[] = {"С", "Сам", "Ян", "Щщщ"};

void BM_Keystroke(benchmark::State& state) {
  kv::db::Database towns;
  (void)towns.Open(kTownsDatabase, kv::db::kTownsRead);
  ZoneTable table;
  table.Load();
  DVTown d(nullptr, towns, TownList::All(towns), "", kJd, true, table, nullptr);
  d.show();
  d.grab();
  auto* edit = d.ControlAs<QLineEdit>(kIdTownSearch);
  const QString typed = QString::fromUtf8(kTyped[state.range(0)]);
  state.SetLabel(typed.toStdString());
  for (auto _ : state) {
    state.PauseTiming();
    edit->setText(typed.left(typed.size() - 1));
    d.grab();
    state.ResumeTiming();
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(typed.back()));
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(typed.back()));
    QApplication::sendEvent(edit, &press);
    QApplication::sendEvent(edit, &release);
    benchmark::DoNotOptimize(d.grab());
  }
  d.close();
}
BENCHMARK(BM_Keystroke)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// "Страна" with Russia, the country with the most towns: its towns are read whole.
void BM_CountryRussia(benchmark::State& state) {
  kv::db::Database towns;
  (void)towns.Open(kTownsDatabase, kv::db::kTownsRead);
  ZoneTable table;
  table.Load();
  DVTown d(nullptr, towns, TownList::All(towns), "", kJd, true, table, nullptr);
  d.show();
  CountryRow russia;
  for (const CountryRow& c : Countries(towns))
    if (c.key == "S.RU") russia = c;
  for (auto _ : state) {
    d.ShowCountry(russia);
    benchmark::DoNotOptimize(d.grab());
    state.counters["towns"] = static_cast<double>(d.List().size());
  }
  d.close();
}
BENCHMARK(BM_CountryRussia)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::filesystem::current_path(KV_WORKDIR);
  QFontDatabase::addApplicationFont(QStringLiteral("daycour.ttf"));
  (void)kv::db::LoadSchema();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
