// The fuzz harnesses of database files (person and towns databases): the schema loaded
// once, the input split into the files of a database in a scratch folder, and the
// check that reading them changed none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/fuzz/fuzz_support.h"
#include "db/schema/schema.h"

namespace kv::fuzz {

class DatabaseFiles {
 public:
  // The input split at separator lines into `names` (in order) in the harness's
  // scratch folder; `stem` names the database there.
  DatabaseFiles(const uint8_t* data, size_t size, const char* harness, const char* stem,
                std::vector<const char*> names)
      : names_(std::move(names)) {
    static const bool schema = [] {
      (void)kv::db::LoadSchema(KV_SCHEMA_FILE);
      return true;
    }();
    (void)schema;
    parts_ = SplitFiles(AsText(data, size), names_.size());
    dir_ = FreshScratch(harness);
    for (size_t i = 0; i < parts_.size(); ++i) WriteFile(dir_ / names_[i], parts_[i]);
    name_ = (dir_ / stem).string();
  }

  // The database's name as Open takes it.
  const std::string& name() const { return name_; }

  // Stops the run when a file opened for reading lost or changed a byte.
  void CheckUnchanged() const {
    for (size_t i = 0; i < parts_.size(); ++i)
      if (ReadFile(dir_ / names_[i]) != parts_[i]) Fail("a file opened for reading was changed");
  }

 private:
  std::vector<const char*> names_;
  std::vector<std::string> parts_;
  std::filesystem::path dir_;
  std::string name_;
};

}  // namespace kv::fuzz
