// The record store beside SQLite on 100,000 person cards: writing them, reading single
// cards by key, listing all keys and listing sorted by birth date. SQLite keeps the
// cards in one table whose key is indexed; each of its writes is its own transaction
// (synchronous off) as each Write of a bulk load here is one call that leaves the files
// complete, flushed to the disk once at the end.
//
// Then what a user's action costs: the check that opening for writing runs, and
// single changes flushed to the disk before they return (beside the same change
// unflushed, and beside SQLite's synchronous transactions).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "db/records/database_check.h"
#include "db/records/record_store.h"

namespace {

constexpr int kCards = 100000;

std::string Dir() {
  static std::string dir = [] {
    char tmpl[] = "/tmp/kv-db-bench-XXXXXX";
    return std::string(mkdtemp(tmpl));
  }();
  return dir;
}

std::string CardKey(int i) {
  char key[16];
  std::snprintf(key, sizeof key, ".%06d", i + 1);
  return key;
}

kv::db::FieldArray Card(int i) {
  kv::db::FieldArray f;
  char text[64];
  f[2] = "Person " + std::to_string(i * 7919 % kCards);
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", 1 + i % 28, 1 + i / 28 % 12, 1900 + i % 120);
  f[3] = text;
  f[4] = "12:30:00";
  f[5] = "55.45";
  f[6] = "37.37";
  f[7] = "MOSKVA";
  f[8] = "-3";
  f[16] = std::to_string(i % 2);
  return f;
}

void Fill(const std::string& name) {
  std::remove((name + ".btr").c_str());
  std::remove((name + ".bod").c_str());
  (void)kv::db::Create(name);
  kv::db::Database base;
  base.SetFlushEachChange(false);
  (void)base.Open(name, kv::db::kPersonWrite);
  for (int i = 0; i < kCards; ++i) (void)base.Write(CardKey(i), Card(i));
  (void)base.Flush();
}

const std::string& FilledStore() {
  static std::string name = [] {
    std::string n = Dir() + "/cards";
    Fill(n);
    return n;
  }();
  return name;
}

sqlite3* OpenSqlite(const std::string& path, bool fresh) {
  if (fresh) std::remove(path.c_str());
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
  return db;
}

void FillSqlite(sqlite3* db) {
  sqlite3_exec(db,
               "CREATE TABLE cards(key TEXT PRIMARY KEY, name TEXT, date TEXT, time TEXT, lat TEXT,"
               " lon TEXT, town TEXT, corr TEXT, sex TEXT, date_order INTEGER)",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO cards VALUES(?,?,?,?,?,?,?,?,?,?)", -1, &st, nullptr);
  for (int i = 0; i < kCards; ++i) {
    kv::db::FieldArray f = Card(i);
    std::string key = CardKey(i);
    sqlite3_bind_text(st, 1, key.c_str(), -1, SQLITE_TRANSIENT);
    const int fields[] = {2, 3, 4, 5, 6, 7, 8, 16};
    for (int j = 0; j < 8; ++j) sqlite3_bind_text(st, 2 + j, f[fields[j]].c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 10, (1900 + i % 120) * 10000 + (1 + i / 28 % 12) * 100 + 1 + i % 28);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
}

sqlite3* FilledSqlite() {
  static sqlite3* db = [] {
    sqlite3* d = OpenSqlite(Dir() + "/cards.sqlite", true);
    FillSqlite(d);
    return d;
  }();
  return db;
}

void BM_StorePut100k(benchmark::State& state) {
  for (auto _ : state) Fill(Dir() + "/put");
  state.SetItemsProcessed(state.iterations() * kCards);
}
BENCHMARK(BM_StorePut100k)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SqlitePut100k(benchmark::State& state) {
  for (auto _ : state) {
    sqlite3* db = OpenSqlite(Dir() + "/put.sqlite", true);
    FillSqlite(db);
    sqlite3_close(db);
  }
  state.SetItemsProcessed(state.iterations() * kCards);
}
BENCHMARK(BM_SqlitePut100k)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_StoreLookup(benchmark::State& state) {
  kv::db::Database base;
  (void)base.Open(FilledStore(), kv::db::kPersonRead);
  std::mt19937 rng(1);
  kv::db::FieldArray f;
  for (auto _ : state) benchmark::DoNotOptimize(base.Read(CardKey(rng() % kCards), f).ok());
}
BENCHMARK(BM_StoreLookup);

void BM_SqliteLookup(benchmark::State& state) {
  sqlite3* db = FilledSqlite();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM cards WHERE key=?", -1, &st, nullptr);
  std::mt19937 rng(1);
  for (auto _ : state) {
    std::string key = CardKey(rng() % kCards);
    sqlite3_bind_text(st, 1, key.c_str(), -1, SQLITE_TRANSIENT);
    benchmark::DoNotOptimize(sqlite3_step(st));
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
}
BENCHMARK(BM_SqliteLookup);

void BM_StoreListKeys(benchmark::State& state) {
  kv::db::Database base;
  (void)base.Open(FilledStore(), kv::db::kPersonRead);
  for (auto _ : state) benchmark::DoNotOptimize(base.ListKeys(".", 0).size());
}
BENCHMARK(BM_StoreListKeys)->Unit(benchmark::kMillisecond);

void BM_SqliteListKeys(benchmark::State& state) {
  sqlite3* db = FilledSqlite();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT key FROM cards WHERE key >= '.' AND key < '/' ORDER BY key", -1, &st, nullptr);
  for (auto _ : state) {
    std::vector<std::string> keys;
    while (sqlite3_step(st) == SQLITE_ROW)
      keys.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_reset(st);
    benchmark::DoNotOptimize(keys.size());
  }
  sqlite3_finalize(st);
}
BENCHMARK(BM_SqliteListKeys)->Unit(benchmark::kMillisecond);

void BM_StoreListByDate(benchmark::State& state) {
  kv::db::Database base;
  (void)base.Open(FilledStore(), kv::db::kPersonRead);
  for (auto _ : state) benchmark::DoNotOptimize(base.ListKeys(".", 3).size());
}
BENCHMARK(BM_StoreListByDate)->Unit(benchmark::kMillisecond);

void BM_SqliteListByDate(benchmark::State& state) {
  sqlite3* db = FilledSqlite();
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT key, date FROM cards ORDER BY date_order, key", -1, &st, nullptr);
  for (auto _ : state) {
    std::vector<std::string> items;
    while (sqlite3_step(st) == SQLITE_ROW)
      items.emplace_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + '\x01' +
                         reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_reset(st);
    benchmark::DoNotOptimize(items.size());
  }
  sqlite3_finalize(st);
}
BENCHMARK(BM_SqliteListByDate)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

void BM_Check100k(benchmark::State& state) {
  const std::string& name = FilledStore();
  for (auto _ : state) {
    kv::db::DatabaseCheck c = kv::db::CheckDatabase(name, false);
    if (!c.ok() || c.records != kCards) state.SkipWithError("the check failed");
  }
}
BENCHMARK(BM_Check100k)->Unit(benchmark::kMillisecond);

// Open for writing (which checks both files whole) and Close.
void BM_OpenForWriting100k(benchmark::State& state) {
  const std::string& name = FilledStore();
  for (auto _ : state) {
    kv::db::Database base;
    if (!base.Open(name, kv::db::kPersonWrite).ok() || !base.damage().ok())
      state.SkipWithError("not opened");
  }
}
BENCHMARK(BM_OpenForWriting100k)->Unit(benchmark::kMillisecond);

// A database of 1,000 cards for the single changes below.
std::string SmallStore(const char* tag) {
  std::string name = Dir() + "/" + tag;
  std::remove((name + ".btr").c_str());
  std::remove((name + ".bod").c_str());
  (void)kv::db::Create(name);
  kv::db::Database base;
  (void)base.Open(name, kv::db::kPersonWrite);
  base.SetFlushEachChange(false);
  for (int i = 0; i < 1000; ++i) (void)base.Write(CardKey(i), Card(i));
  return name;
}

// One change per iteration: arg 0 a new card, 1 a card rewritten in its block, 2 a
// card deleted and written again; range(1) 1 = flushed before it returns, 0 = not.
void BM_Change(benchmark::State& state) {
  const std::string name = SmallStore("change");
  kv::db::Database base;
  (void)base.Open(name, kv::db::kPersonWrite);
  base.SetFlushEachChange(state.range(1) != 0);
  int next = 1000;
  kv::db::FieldArray f = Card(7);
  for (auto _ : state) {
    bool ok = true;
    switch (state.range(0)) {
      case 0: ok = base.Write(CardKey(next++), f).ok(); break;
      case 1:
        f[2] = next++ % 2 ? "Person A" : "Person B";
        ok = base.Write(CardKey(500), f).ok();
        break;
      default:
        ok = base.Delete(CardKey(500)).ok() && base.Write(CardKey(500), f).ok();
    }
    if (!ok) state.SkipWithError("a change failed");
  }
  (void)base.Flush();
}
BENCHMARK(BM_Change)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);

// The dialog's "new card" on a database of 1,000 cards: open for writing (with its
// check), a new key, the card, close. range(0) 1 = each change flushed, 0 = one flush
// at Close.
void BM_AddCardAction(benchmark::State& state) {
  const std::string name = SmallStore("action");
  kv::db::FieldArray f = Card(3);
  for (auto _ : state) {
    kv::db::Database base;
    base.SetFlushEachChange(state.range(0) != 0);
    std::string key;
    if (!base.Open(name, kv::db::kPersonWrite).ok() || !base.NextFreeKey(&key, ".").ok() ||
        !base.Write(key, f).ok())
      state.SkipWithError("the card was not added");
    base.Close();
  }
}
BENCHMARK(BM_AddCardAction)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// SQLite with its own flush per transaction (synchronous=FULL, WAL), one insert each.
void BM_SqliteInsertSynchronous(benchmark::State& state) {
  sqlite3* db = OpenSqlite(Dir() + "/sync.sqlite", true);
  sqlite3_exec(db, "PRAGMA synchronous=FULL; CREATE TABLE cards(key TEXT PRIMARY KEY, name TEXT)",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO cards VALUES(?,?)", -1, &st, nullptr);
  int next = 0;
  for (auto _ : state) {
    std::string key = CardKey(next++);
    sqlite3_bind_text(st, 1, key.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, "Person", -1, SQLITE_STATIC);
    if (sqlite3_step(st) != SQLITE_DONE) state.SkipWithError("insert failed");
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
}
BENCHMARK(BM_SqliteInsertSynchronous)->Unit(benchmark::kMillisecond);

}  // namespace
