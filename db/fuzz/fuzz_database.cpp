// A person database opened read-only on arbitrary files: the input is split at a
// separator line into "a.btr" (key index) and "a.bod" (records). Every listed key is
// read, the sorted lists and the full check run; a damaged file gives its message,
// and no file changes by a byte.
#include <cstdint>
#include <string>
#include <vector>

#include "common/fuzz/fuzz_support.h"
#include "db/records/database_check.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fuzz = kv::fuzz;
  fuzz::Quiet();
  static const bool schema = [] {
    (void)kv::db::LoadSchema(KV_SCHEMA_FILE);
    return true;
  }();
  (void)schema;
  const char* const kNames[] = {"a.btr", "a.bod"};
  const auto parts = fuzz::SplitFiles(fuzz::AsText(data, size), 2);
  const auto dir = fuzz::FreshScratch("database");
  for (size_t i = 0; i < parts.size(); ++i) fuzz::WriteFile(dir / kNames[i], parts[i]);
  const std::string name = (dir / "a").string();

  {
    kv::db::Database db;
    if (db.Open(name, kv::db::kPersonRead).ok()) {
      db.SeekKeys("");
      std::string key;
      kv::db::FieldArray fields;
      for (int i = 0; i < 200 && db.NextKey(&key); ++i) (void)db.Read(key, fields);
      (void)db.ListKeys(".", kv::db::kSortByKey);
      (void)db.ListKeys(".", kv::db::kSortByDate);
      (void)db.ListKeys(".", kv::db::kSortByBirthday);
      (void)db.ListKeys(".", 2);
      std::string free_key;
      (void)db.NextFreeKey(&free_key, ".");
    }
  }
  (void)kv::db::CheckDatabase(name, false);
  for (size_t i = 0; i < parts.size(); ++i)
    if (fuzz::ReadFile(dir / kNames[i]) != parts[i]) fuzz::Fail("a file opened for reading was changed");
  return 0;
}
