#include "db/records/database_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "common/files.h"
#include "common/messages.h"
#include "db/btree/index_check.h"
#include "db/records/record_block.h"

namespace kv::db {
namespace {

void Take(DatabaseCheck& out, const std::string& file, const btree::IndexCheck& c) {
  for (const auto& p : c.problems) out.problems.push_back(file + ": " + p);
  for (const auto& n : c.notes) out.notes.push_back(file + ": " + n);
}

}  // namespace

DatabaseCheck CheckDatabase(const std::string& name, bool towns) {
  DatabaseCheck out;
  std::string index_name = name + (towns ? ".btz" : ".btr");
  std::string records_name = name + (towns ? ".bbb" : ".bod");
  btree::IndexCheck index = btree::CheckIndexFile(index_name);
  Take(out, index_name, index);
  if (towns && FileExists(name + ".bnz")) Take(out, name + ".bnz", btree::CheckIndexFile(name + ".bnz"));

  int fd = ::open(records_name.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) {
    out.problems.push_back(records_name + ": the file cannot be opened");
    if (fd >= 0) ::close(fd);
    return out;
  }
  out.blocks = static_cast<int>(st.st_size / kBlockSize);
  if (st.st_size % kBlockSize)
    out.notes.push_back(FormatMessage("%s: %lld bytes after the last whole block are not used",
                                      records_name.c_str(), static_cast<long long>(st.st_size % kBlockSize)));
  // key -> blocks holding an entry of it
  std::map<std::string, std::vector<int>> holders;
  std::vector<bool> damaged(out.blocks, false);
  std::vector<uint8_t> block(kBlockSize);
  for (int b = 0; b < out.blocks; ++b) {
    if (pread(fd, block.data(), kBlockSize, static_cast<off_t>(b) * kBlockSize) != kBlockSize) {
      out.problems.push_back(FormatMessage("%s: block %d cannot be read", records_name.c_str(), b));
      continue;
    }
    BlockContents c;
    const Status parsed = ParseBlock(block.data(), &c);
    if (!parsed.ok()) {
      damaged[b] = true;
      out.problems.push_back(FormatMessage("%s: block %d: %s", records_name.c_str(), b,
                                           parsed.message().c_str()));
    }
    std::map<std::string_view, int> seen;
    for (const BlockEntry& e : c.entries) {
      if (++seen[e.key] == 2)
        out.problems.push_back(FormatMessage("%s: block %d holds key \"%s\" twice", records_name.c_str(),
                                             b, std::string(e.key).c_str()));
      holders[std::string(e.key)].push_back(b);
    }
  }
  ::close(fd);

  size_t pointed = 0;
  int in_damaged = 0;
  for (const auto& [key, value] : index.entries) {
    if (value < 0) continue;
    if (key.empty() || key.size() > kMaxRecordKey) {
      out.problems.push_back(FormatMessage("%s: key of %d bytes", index_name.c_str(), int(key.size())));
      continue;
    }
    ++out.records;
    if (value >= out.blocks) {
      out.problems.push_back(FormatMessage("key \"%s\" points at block %d beyond the %d blocks",
                                           key.c_str(), value, out.blocks));
      continue;
    }
    if (damaged[value]) {
      ++in_damaged;
      continue;
    }
    auto it = holders.find(key);
    bool held = false;
    if (it != holders.end())
      for (int b : it->second) held = held || b == value;
    if (!held) {
      out.problems.push_back(FormatMessage("key \"%s\" points at block %d, which does not hold it",
                                           key.c_str(), value));
      continue;
    }
    ++pointed;
  }
  if (in_damaged)
    out.problems.push_back(FormatMessage("%d keys point at damaged blocks", in_damaged));
  size_t entries = 0;
  for (const auto& [key, blocks] : holders) entries += blocks.size();
  out.leftover_entries = entries > pointed ? static_cast<int>(entries - pointed) : 0;
  if (out.leftover_entries > 0 && index.problems.empty())
    out.notes.push_back(FormatMessage("%d record entries no key points at (never read; dropped when "
                                      "their block is rewritten for that key)", out.leftover_entries));
  return out;
}

}  // namespace kv::db
