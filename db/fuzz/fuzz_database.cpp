// A person database opened read-only on arbitrary files: the input is split at a
// separator line into "a.btr" (key index) and "a.bod" (records). Every listed key is
// read, the sorted lists and the full check run; a damaged file gives its message,
// and no file changes by a byte.
#include <cstdint>
#include <string>

#include "db/fuzz/fuzz_database_files.h"
#include "db/records/database_check.h"
#include "db/records/record_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kv::fuzz::Quiet();
  const kv::fuzz::DatabaseFiles files(data, size, "database", "a", {"a.btr", "a.bod"});
  const std::string& name = files.name();

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
  files.CheckUnchanged();
  return 0;
}
