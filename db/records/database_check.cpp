#include "db/records/database_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>

#include "common/files.h"
#include "common/messages.h"
#include "db/btree/index_check.h"
#include "db/records/record_block.h"

namespace kv::db {
namespace {

void Problem(DatabaseCheck& out, const std::string& file, std::string what) {
  if (out.problems.empty()) {
    out.damaged_file = file;
    out.damage = what;
  }
  out.problems.push_back(file + ": " + what);
}

void Take(DatabaseCheck& out, const std::string& file, const btree::IndexCheck& c) {
  for (const auto& p : c.problems) Problem(out, file, p);
  for (const auto& n : c.notes) out.notes.push_back(file + ": " + n);
}

// The whole file; false when it cannot be opened or read.
bool ReadAll(const std::string& name, std::vector<uint8_t>* bytes) {
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) {
    if (fd >= 0) ::close(fd);
    return false;
  }
  bytes->resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < bytes->size()) {
    ssize_t n = pread(fd, bytes->data() + got, bytes->size() - got, static_cast<off_t>(got));
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes->resize(got);
  return got == static_cast<size_t>(st.st_size);
}

}  // namespace

DatabaseCheck CheckDatabase(const std::string& name, bool towns) {
  DatabaseCheck out;
  std::string index_name = name + (towns ? ".btz" : ".btr");
  std::string records_name = name + (towns ? ".bbb" : ".bod");
  btree::IndexCheck index = btree::CheckIndexFile(index_name);
  Take(out, index_name, index);
  if (towns && FileExists(name + ".bnz")) Take(out, name + ".bnz", btree::CheckIndexFile(name + ".bnz"));

  std::vector<uint8_t> file;
  if (!ReadAll(records_name, &file)) {
    Problem(out, records_name, "the file cannot be read");
    return out;
  }
  out.blocks = static_cast<int>(file.size() / kBlockSize);
  if (file.size() % kBlockSize)
    out.notes.push_back(FormatMessage("%s: %zu bytes after the last whole block are not used",
                                      records_name.c_str(), file.size() % kBlockSize));
  // The keys held by block b are keys[first[b]] .. keys[first[b + 1] - 1], sorted.
  std::vector<std::string_view> keys;
  std::vector<int> first(out.blocks + 1, 0);
  std::vector<bool> damaged(out.blocks, false);
  BlockContents c;
  for (int b = 0; b < out.blocks; ++b) {
    const Status parsed = ParseBlock(file.data() + static_cast<size_t>(b) * kBlockSize, &c);
    if (!parsed.ok()) {
      damaged[b] = true;
      Problem(out, records_name, FormatMessage("block %d: %s", b, parsed.message().c_str()));
    }
    first[b] = static_cast<int>(keys.size());
    for (const BlockEntry& e : c.entries) keys.push_back(e.key);
    auto begin = keys.begin() + first[b];
    std::sort(begin, keys.end());
    for (auto it = std::adjacent_find(begin, keys.end()); it != keys.end();
         it = std::adjacent_find(std::upper_bound(it, keys.end(), *it), keys.end()))
      Problem(out, records_name, FormatMessage("block %d holds key \"%s\" twice", b,
                                               std::string(*it).c_str()));
  }
  first[out.blocks] = static_cast<int>(keys.size());

  int pointed = 0;
  int in_damaged = 0;
  for (const auto& [key, value] : index.entries) {
    if (value < 0) continue;
    if (key.empty() || key.size() > kMaxRecordKey) {
      Problem(out, index_name, FormatMessage("key of %d bytes", static_cast<int>(key.size())));
      continue;
    }
    ++out.records;
    if (value >= out.blocks) {
      Problem(out, index_name, FormatMessage("key \"%s\" points at block %d beyond the %d blocks",
                                             key.c_str(), value, out.blocks));
      continue;
    }
    if (damaged[value]) {
      ++in_damaged;
      continue;
    }
    if (!std::binary_search(keys.begin() + first[value], keys.begin() + first[value + 1],
                            std::string_view(key))) {
      Problem(out, index_name, FormatMessage("key \"%s\" points at block %d, which does not hold it",
                                             key.c_str(), value));
      continue;
    }
    ++pointed;
  }
  if (in_damaged)
    Problem(out, records_name, FormatMessage("%d keys point at damaged blocks", in_damaged));
  out.leftover_entries = std::max(0, static_cast<int>(keys.size()) - pointed);
  if (out.leftover_entries > 0 && index.problems.empty())
    out.notes.push_back(FormatMessage("%d record entries no key points at (never read; dropped when "
                                      "their block is rewritten for that key)", out.leftover_entries));
  return out;
}

}  // namespace kv::db
