// A full check of a database's files without opening it: the key index (see
// index_check.h), every block of the record file, and every key against its block.
#pragma once

#include <string>
#include <vector>

namespace kv::db {

struct DatabaseCheck {
  std::vector<std::string> problems;
  std::vector<std::string> notes;
  int records = 0;         // keys of the index that point at a block
  int blocks = 0;
  int leftover_entries = 0;  // entries no key points at (left by an interrupted call)
  bool ok() const { return problems.empty(); }
};

// name without extension; towns selects ".btz"/".bbb" (and ".bnz" when present).
DatabaseCheck CheckDatabase(const std::string& name, bool towns);

}  // namespace kv::db
