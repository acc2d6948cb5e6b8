// A full check of a key-index file, for "kvimarot-db check" and the tests: every page
// reachable from the root is read once, checked on its own and against the key range
// its parent gives it; the entries come out in key order.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "db/btree/index_format.h"

namespace kv::btree {

struct IndexCheck {
  bool opened = false;
  Header header;
  std::vector<std::string> problems;  // the file breaks the layout
  std::vector<std::string> notes;     // harmless findings (pages left unused by splits)
  std::vector<std::pair<std::string, int16_t>> entries;  // in tree order, absent ones too
  int reachable_pages = 0;
};

IndexCheck CheckIndexFile(const std::string& file_name);

}  // namespace kv::btree
