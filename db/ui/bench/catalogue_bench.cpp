// The catalogue of 100,000 person cards as a user meets it: listing the keys with the
// names, reading every card with the schema's read script (what the dialog avoids by
// reading only the lines it shows), opening the dialog, and one search keystroke in
// its list (the typed letter is matched only by the last card, or by none, so the
// whole list is searched). Runs offscreen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/messages.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/ui/card_store.h"
#include "db/ui/catalogue_model.h"
#include "db/ui/dbasa.h"

namespace {

constexpr int kCards = 100000;

const char* const kSurnames[] = {
    "Иванов", "Смирнова", "Кузнецов", "Попова", "Васильев", "Петрова", "Соколов", "Михайлова",
    "Новиков", "Фёдорова", "Морозов", "Волкова", "Алексеев", "Лебедева", "Семёнов", "Егорова",
    "Павлов", "Козлова", "Степанов", "Николаева", "Орлов", "Андреева", "Макаров", "Никитина",
    "Захаров", "Зайцева", "Соловьёв", "Борисова", "Яковлев", "Григорьева", "Романов", "Воробьёва"};
const char* const kFirstNames[] = {"Анна", "Иван", "Мария", "Пётр", "Елена", "Сергей", "Ольга",
                                   "Дмитрий", "Татьяна", "Алексей", "Наталья", "Андрей",
                                   "Юлия", "Михаил", "Ирина", "Николай"};

std::string Dir() {
  static std::string dir = [] {
    char tmpl[] = "/tmp/kv-catalogue-bench-XXXXXX";
    return std::string(mkdtemp(tmpl));
  }();
  return dir;
}

kv::db::FieldArray Card(int i) {
  kv::db::FieldArray f;
  std::string name = std::string(kSurnames[i * 7 % 32]) + " " + kFirstNames[i * 13 % 16];
  // The only name the searches find is the very last card's.
  if (i == kCards - 1) name = "Юдина Юлия";
  f[2] = kv::Utf8ToCp1251(name);
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", 1 + i % 28, 1 + i / 28 % 12, 1900 + i % 120);
  f[3] = text;
  std::snprintf(text, sizeof text, "%02d:%02d:00", i % 24, i % 60);
  f[4] = text;
  f[5] = "55.45";
  f[6] = "37.37";
  f[7] = kv::Utf8ToCp1251("МОСКВА");
  f[8] = "-3.00";
  f[16] = std::to_string(i % 2);
  return f;
}

const std::string& Database() {
  static std::string name = [] {
    std::string n = Dir() + "/school";
    kv::db::Database base;
    if (!kv::db::Create(n).ok() || !base.Open(n, kv::db::kPersonWrite).ok()) std::abort();
    char key[16];
    for (int i = 0; i < kCards; ++i) {
      std::snprintf(key, sizeof key, ".%06d", i + 1);
      if (!base.Write(key, Card(i)).ok()) std::abort();
    }
    return n;
  }();
  return name;
}

void BM_ListKeysAndNames(benchmark::State& state) {
  const std::string& db = Database();
  for (auto _ : state) {
    kv::cards::Catalogue c = kv::cards::LoadCatalogue(db);
    if (c.rows.size() != kCards) state.SkipWithError("cards missing");
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_ListKeysAndNames)->Unit(benchmark::kMillisecond);

void BM_ReadEveryCardWithScript(benchmark::State& state) {
  const std::string& db = Database();
  for (auto _ : state) {
    state.PauseTiming();
    kv::cards::Catalogue c = kv::cards::LoadCatalogue(db);
    std::vector<kv::cards::CatalogueRow*> rows;
    for (auto& r : c.rows) rows.push_back(&r);
    state.ResumeTiming();
    kv::cards::CompleteRows(db, rows);
  }
}
BENCHMARK(BM_ReadEveryCardWithScript)->Unit(benchmark::kMillisecond);

// Listing, then the dialog built, its first lines read and painted once.
void BM_OpenCatalogue(benchmark::State& state) {
  const std::string& db = Database();
  kv::DatabaseSession session;
  session.name = db;
  session.remembered_line = kCards / 2;
  for (auto _ : state) {
    kv::DBasa dialog(nullptr, session, kv::cards::LoadCatalogue(db), false);
    dialog.show();
    QApplication::processEvents();
    dialog.List()->repaint();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_OpenCatalogue)->Unit(benchmark::kMillisecond);

// One letter typed into the list: the search, the selection and the repaint.
void Keystroke(benchmark::State& state, const char* letter_utf8) {
  kv::DatabaseSession session;
  session.name = Database();
  kv::DBasa dialog(nullptr, session, kv::cards::LoadCatalogue(session.name), false);
  dialog.show();
  QApplication::processEvents();
  kv::CatalogueView* list = dialog.List();
  const QString letter = QString::fromUtf8(letter_utf8);
  // Each letter starts a new search: the list forgets earlier keys at once.
  QApplication::setKeyboardInputInterval(0);
  for (auto _ : state) {
    list->setCurrentIndex(dialog.Model()->index(0));
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, letter);
    QApplication::sendEvent(list, &press);
    list->repaint();
    QApplication::processEvents();  // the newly shown lines are read
  }
  if (letter == QString::fromUtf8("ю") && dialog.CurrentRow() != kCards - 1)
    state.SkipWithError("the search did not reach the last card");
}
void BM_SearchKeystrokeLastCard(benchmark::State& state) { Keystroke(state, "ю"); }
void BM_SearchKeystrokeNoCard(benchmark::State& state) { Keystroke(state, "щ"); }
BENCHMARK(BM_SearchKeystrokeLastCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystrokeNoCard)->Unit(benchmark::kMillisecond);

void Quiet(const std::string&) {}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  kv::SetMessageSink({&Quiet, &Quiet});
  kv::db::LoadSchema(std::string(KV_WORKDIR) + "/shembd.ctl");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::string cleanup = "rm -rf " + Dir();
  return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
