// The towns database opened read-only on arbitrary files: the input is split at
// separator lines into "towns.btz" (key index), "towns.bbb" (records) and "towns.bnz"
// (value index). The chooser's lists, the search and the full check run over them;
// a damaged file gives its message, and no file changes by a byte.
#include <cstdint>
#include <string>

#include "db/fuzz/fuzz_database_files.h"
#include "db/records/database_check.h"
#include "db/records/record_store.h"
#include "towns/town_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::fuzz::Quiet();
  const kv::fuzz::DatabaseFiles files(data, size, "towns_database", "towns",
                                      {"towns.btz", "towns.bbb", "towns.bnz"});
  const std::string& name = files.name();

  {
    kv::db::Database db;
    if (db.Open(name, kv::db::kTownsRead).ok()) {
      const kv::towns::TownList all = kv::towns::TownList::All(db);
      for (size_t i = 0; i < all.size() && i < 16; ++i) (void)all.Line(i);
      if (all.size() > 0) (void)all.Line(all.size() - 1);
      (void)all.FindPrefix("\xCC");  // "М"
      (void)all.Counter(1);
      const auto countries = kv::towns::Countries(db);
      if (!countries.empty()) {
        const kv::towns::TownList some = kv::towns::TownList::OfCountry(db, countries.front().name);
        for (size_t i = 0; i < some.size() && i < 8; ++i) (void)some.Line(i);
      }
      (void)kv::towns::FindTowns(db, "\xCC", 10);
      (void)kv::towns::FindTowns(db, "", 5);
    }
  }
  (void)kv::db::CheckDatabase(name, true);
  files.CheckUnchanged();
  return 0;
}
