// A full check of a database's files without opening it: the key index (see
// index_check.h), every block of the record file, and every key against its block.
// Opening a database for writing runs it first, so it is kept fast: 100,000 cards are
// checked in a few tens of milliseconds (kv_db_bench).
#pragma once

#include <string>
#include <vector>

namespace kv::db {

struct DatabaseCheck {
  std::vector<std::string> problems;  // "file: what and where"
  std::vector<std::string> notes;
  // The first problem, split: the file it concerns and what is wrong there.
  std::string damaged_file;
  std::string damage;
  int records = 0;         // keys of the index that point at a block
  int blocks = 0;
  int leftover_entries = 0;  // entries no key points at (left by an interrupted call)
  bool ok() const { return problems.empty(); }
};

// name without extension; towns selects ".btz"/".bbb" (and ".bnz" when present).
DatabaseCheck CheckDatabase(const std::string& name, bool towns);

}  // namespace kv::db
