#include "db/records/record_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "common/codepage.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "db/btree/key_index.h"
#include "db/records/sort_keys.h"
#include "db/schema/schema.h"

namespace kv::db {
namespace {

// Block numbers travel as int16 values of the key index.
constexpr int kMaxBlocks = 32767;

struct RecordFile {
  int fd = -1;
  std::array<uint8_t, kBlockSize> buffer{};
  int buffer_block = -1;
  // The entries of the buffered block, kept while the buffer is unchanged: listings
  // read many records of one block in a row.
  int parsed_block = -1;
  BlockContents parsed;
  int block_count = 0;
  std::vector<int> free_bytes;  // per block; capacity grows in steps of 10
  std::string name;
};

struct Database {
  int mode = 0;
  bool value_index_open = false;
  btree::IndexHandle main;
  btree::IndexHandle values;
  RecordFile records;
  std::string damage;
};

Database& Db() {
  static Database db;
  return db;
}

bool Writable() { return Db().mode >= 2; }

// The first damage of a session is shown; everything after it is refused quietly.
void ReportDamage(const std::string& file, const std::string& what) {
  Database& db = Db();
  if (!db.damage.empty()) return;
  db.damage = file + ": " + what;
  if (Text("BdDmg") == "BdDmg")  // no text resources (the command-line tool)
    Warning(FormatMessage(W("Файл базы данных %s повреждён (%s). Файл не изменён; "
                            "подробности: kvimarot-db check").c_str(),
                          file.c_str(), what.c_str()));
  else
    WarningFormat("BdDmg", file, what);
}

// Reports damage the index handle noted; true when there is some.
bool IndexDamaged(btree::IndexHandle& h) {
  if (!h.damage.empty()) ReportDamage(h.file_name, h.damage);
  else if (h.io_error) ReportDamage(h.file_name, "read or write failed");
  return !h.damage.empty() || h.io_error;
}

std::string_view TrimKey(std::string_view key) { return key.substr(0, TrimmedLength(key)); }

bool LoadBlock(int block) {
  RecordFile& rf = Db().records;
  if (block < 0 || block >= rf.block_count) {
    ReportDamage(rf.name, FormatMessage("block %d beyond the %d blocks of the file", block,
                                        rf.block_count));
    return false;
  }
  if (rf.buffer_block == block) return true;
  rf.buffer_block = -1;
  rf.parsed_block = -1;
  ssize_t got = pread(rf.fd, rf.buffer.data(), kBlockSize, static_cast<off_t>(block) * kBlockSize);
  if (got != kBlockSize) {
    ReportDamage(rf.name, FormatMessage("block %d cannot be read", block));
    return false;
  }
  rf.buffer_block = block;
  return true;
}

bool WriteBuffer(int block) {
  RecordFile& rf = Db().records;
  rf.parsed_block = -1;
  ssize_t put = pwrite(rf.fd, rf.buffer.data(), kBlockSize, static_cast<off_t>(block) * kBlockSize);
  if (put != kBlockSize) {
    rf.buffer_block = -1;
    ReportDamage(rf.name, FormatMessage("block %d cannot be written", block));
    return false;
  }
  rf.buffer_block = block;
  if (block >= rf.block_count) rf.block_count = block + 1;
  if (static_cast<int>(rf.free_bytes.size()) <= block) rf.free_bytes.resize(block + 10, kBlockRoom);
  rf.free_bytes[block] = kBlockRoom - UsedBytes(rf.buffer.data());
  return true;
}

// Parses the buffered block; damage is reported and gives false.
bool ParseBuffer(BlockContents* c) {
  RecordFile& rf = Db().records;
  if (rf.parsed_block >= 0 && rf.parsed_block == rf.buffer_block) {
    *c = rf.parsed;
    return true;
  }
  *c = ParseBlock(rf.buffer.data());
  if (c->damage.empty()) {
    rf.parsed = *c;
    rf.parsed_block = rf.buffer_block;
  }
  if (!c->damage.empty()) {
    ReportDamage(rf.name, FormatMessage("block %d: %s", rf.buffer_block, c->damage.c_str()));
    rf.buffer_block = -1;
    return false;
  }
  return true;
}

const BlockEntry* FindEntry(const BlockContents& c, std::string_view key) {
  for (const BlockEntry& e : c.entries)
    if (e.key == key) return &e;
  return nullptr;
}

// The block holding the key according to the index: -1 when absent, -2 on damage.
int BlockOfKey(std::string_view key) {
  Database& db = Db();
  int16_t value = -1;
  bool found = btree::Lookup(db.main, key, &value);
  if (IndexDamaged(db.main)) return -2;
  if (!found || value < 0) return -1;
  return value;
}

// Reads the record whose block is known, without the emptying and lookup of Read.
bool ReadFromBlock(int block, std::string_view key, FieldArray& fields) {
  if (!LoadBlock(block)) return false;
  BlockContents c;
  if (!ParseBuffer(&c)) return false;
  const BlockEntry* e = FindEntry(c, key);
  if (!e) return false;
  fields[1].assign(key);
  DecodeFields(e->data, fields);
  return true;
}

// Chooses a block other than `avoid` with room for `needed` bytes, correcting free
// counts that disagree with their blocks. -1 when none can be had.
int ChooseBlock(int needed, int avoid) {
  RecordFile& rf = Db().records;
  for (int attempt = 0; attempt <= rf.block_count + 1; ++attempt) {
    int chosen = -1;
    if (rf.buffer_block >= 0 && rf.buffer_block != avoid && rf.free_bytes[rf.buffer_block] >= needed)
      chosen = rf.buffer_block;
    for (int b = 0; chosen < 0 && b < rf.block_count; ++b)
      if (b != avoid && rf.free_bytes[b] >= needed) chosen = b;
    if (chosen < 0) {
      if (rf.block_count >= kMaxBlocks) {
        ReportDamage(rf.name, FormatMessage("the file holds the most blocks it can (%d)", kMaxBlocks));
        return -1;
      }
      chosen = rf.block_count;
      rf.parsed_block = -1;
      rf.buffer.fill(0);
      rf.buffer_block = chosen;
      return chosen;
    }
    if (!LoadBlock(chosen)) return -1;
    int actual = kBlockRoom - UsedBytes(rf.buffer.data());
    if (actual == rf.free_bytes[chosen]) return chosen;
    rf.free_bytes[chosen] = actual;  // the free table disagreed: believe the block
  }
  return -1;
}

struct IndexUpkeep {
  const Table* table = nullptr;
  std::vector<IndexedField> fields;
};

IndexUpkeep UpkeepFor(std::string_view key) {
  IndexUpkeep u;
  if (!Db().value_index_open || key.find('@') != std::string_view::npos) return u;
  u.table = TableOfKey(key);
  if (u.table) u.fields = ParseIndexDeclaration(u.table->index);
  return u;
}

std::string_view FieldText(const FieldArray& f, int n) {
  return std::string_view(f[n]).substr(0, TrimmedLength(f[n]));
}

void UpdateValueIndex(const IndexUpkeep& u, std::string_view key, const FieldArray* old_fields,
                      const FieldArray* new_fields) {
  Database& db = Db();
  for (const IndexedField& f : u.fields) {
    std::string_view before = old_fields ? FieldText(*old_fields, f.field) : std::string_view();
    std::string_view after = new_fields ? FieldText(*new_fields, f.field) : std::string_view();
    if (old_fields && new_fields && before == after) continue;
    std::string old_key = ValueIndexKey(u.table->prefix, f.field, before, key, f.blanks);
    std::string new_key = ValueIndexKey(u.table->prefix, f.field, after, key, f.blanks);
    if (new_fields && !new_key.empty()) btree::Put(db.values, new_key, 1);
    if (old_fields && !old_key.empty() && old_key != new_key) btree::Remove(db.values, old_key);
    if (IndexDamaged(db.values)) return;
  }
}

std::vector<int> BuildFreeTable(RecordFile& rf) {
  std::vector<int> table(rf.block_count + 10, kBlockRoom);
  uint8_t word[2];
  for (int b = 0; b < rf.block_count; ++b) {
    if (pread(rf.fd, word, 2, static_cast<off_t>(b) * kBlockSize) == 2)
      table[b] = kBlockRoom - UsedBytes(word);
    else
      table[b] = 0;
  }
  return table;
}

}  // namespace

int Open(const std::string& name, int mode) {
  Database& db = Db();
  if (db.mode != 0) {
    WarningKey("2OpBd");
    return -1;
  }
  if (mode < 1 || mode > 6) return -1;
  bool towns_files = mode >= 4;
  bool writable = mode >= 2 && mode != 5;
  bool want_values = mode >= 4 && name == kTownsName;
  db.damage.clear();
  std::string index_name = name + (towns_files ? ".btz" : ".btr");
  if (btree::Open(index_name, db.main, writable) != 0) {
    if (!db.main.damage.empty()) ReportDamage(index_name, db.main.damage);
    btree::Close(db.main);
    return -1;
  }
  RecordFile& rf = db.records;
  rf = RecordFile{};
  rf.name = name + (towns_files ? ".bbb" : ".bod");
  rf.fd = ::open(rf.name.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  struct stat st {};
  if (rf.fd < 0 || fstat(rf.fd, &st) != 0) {
    if (rf.fd >= 0) ::close(rf.fd);
    rf.fd = -1;
    btree::Close(db.main);
    return -1;
  }
  int64_t blocks = st.st_size / kBlockSize;
  rf.block_count = static_cast<int>(std::min<int64_t>(blocks, kMaxBlocks));
  if (writable) rf.free_bytes = BuildFreeTable(rf);
  else rf.free_bytes.assign(rf.block_count + 10, 0);
  db.value_index_open = false;
  if (want_values && FileExists(name + ".bnz")) {
    if (btree::Open(name + ".bnz", db.values, writable) == 0) {
      db.value_index_open = true;
    } else {
      if (!db.values.damage.empty()) ReportDamage(name + ".bnz", db.values.damage);
      btree::Close(db.values);
    }
  }
  db.mode = mode == 5 ? 1 : mode == 6 ? 2 : mode;
  return 0;
}

void Close() {
  Database& db = Db();
  if (db.mode == 0) return;
  btree::Close(db.main);
  if (db.value_index_open) btree::Close(db.values);
  db.value_index_open = false;
  if (db.records.fd >= 0) ::close(db.records.fd);
  db.records = RecordFile{};
  db.mode = 0;
}

int StoredMode() { return Db().mode; }
bool ValueIndexOpen() { return Db().value_index_open; }
const std::string& DamageSeen() { return Db().damage; }

int Read(std::string_view key, FieldArray& fields) {
  ClearFields(fields);
  if (Db().mode == 0) return 0;
  key = TrimKey(key);
  if (key.empty() || key.size() > kMaxRecordKey) return 0;
  int block = BlockOfKey(key);
  if (block < 0) return 0;
  if (!ReadFromBlock(block, key, fields)) {
    ClearFields(fields);
    return 0;
  }
  return 1;
}

int Write(std::string_view key, const FieldArray& fields) {
  Database& db = Db();
  if (!Writable()) return kWriteReadOnly;
  key = TrimKey(key);
  if (key.empty() || key.size() > kMaxRecordKey) return kWriteBadKey;
  std::string data;
  if (!EncodeFields(fields, &data)) return kWriteTooLarge;
  int needed = static_cast<int>(key.size() + data.size()) + 4;
  if (needed > kBlockRoom) return kWriteTooLarge;
  if (!db.damage.empty()) return kWriteRefused;

  int old_block = BlockOfKey(key);
  if (old_block == -2) return kWriteRefused;
  IndexUpkeep upkeep = UpkeepFor(key);
  FieldArray old_fields;
  bool had_old = false;
  if (!upkeep.fields.empty() && old_block >= 0) {
    had_old = ReadFromBlock(old_block, key, old_fields);
    if (!db.damage.empty()) return kWriteRefused;
  }

  RecordFile& rf = db.records;
  bool old_entry = false;
  if (old_block >= 0) {
    if (!LoadBlock(old_block)) return kWriteRefused;
    BlockContents c;
    if (!ParseBuffer(&c)) return kWriteRefused;
    if (const BlockEntry* e = FindEntry(c, key)) {
      old_entry = true;
      if (c.used - e->size + needed <= kBlockRoom) {
        // Room in the same block: one block write replaces the record.
        RemoveEntryAt(rf.buffer.data(), e->pos, e->size);
        AppendEntry(rf.buffer.data(), key, data);
        if (!WriteBuffer(old_block)) return kWriteRefused;
        if (!upkeep.fields.empty()) UpdateValueIndex(upkeep, key, had_old ? &old_fields : nullptr, &fields);
        return kWriteDone;
      }
    }
  }

  int target = ChooseBlock(needed, old_block);
  if (target < 0) return kWriteRefused;
  if (target < rf.block_count) {
    BlockContents c;
    if (!ParseBuffer(&c)) return kWriteRefused;
    // Entries of this key here were left by an interrupted write: the index does
    // not point at them, so they go.
    for (auto it = c.entries.rbegin(); it != c.entries.rend(); ++it)
      if (it->key == key) RemoveEntryAt(rf.buffer.data(), it->pos, it->size);
  }
  if (!AppendEntry(rf.buffer.data(), key, data) || !WriteBuffer(target)) return kWriteRefused;
  if (btree::Put(db.main, key, static_cast<int16_t>(target)) != 1) {
    IndexDamaged(db.main);
    if (db.damage.empty()) ReportDamage(db.main.file_name, "the key index is full");
    return kWriteRefused;
  }
  if (old_entry && LoadBlock(old_block)) {
    BlockContents c;
    if (ParseBuffer(&c)) {
      if (const BlockEntry* e = FindEntry(c, key)) {
        RemoveEntryAt(rf.buffer.data(), e->pos, e->size);
        WriteBuffer(old_block);
      }
    }
  }
  if (!upkeep.fields.empty()) UpdateValueIndex(upkeep, key, had_old ? &old_fields : nullptr, &fields);
  return db.damage.empty() ? kWriteDone : kWriteRefused;
}

int Delete(std::string_view key) {
  Database& db = Db();
  if (!Writable() || !db.damage.empty()) return 0;
  key = TrimKey(key);
  if (key.empty() || key.size() > kMaxRecordKey) return 0;
  int16_t value = -1;
  bool found = btree::Lookup(db.main, key, &value);
  if (IndexDamaged(db.main) || !found) return 0;
  IndexUpkeep upkeep = UpkeepFor(key);
  if (!upkeep.fields.empty() && value >= 0) {
    FieldArray old_fields;
    if (ReadFromBlock(value, key, old_fields)) UpdateValueIndex(upkeep, key, &old_fields, nullptr);
    if (!db.damage.empty()) return 0;
  }
  // The record's block is read and checked before the index changes: a damaged block
  // is refused with the files as they were, never a key gone and its record left.
  BlockContents c;
  if (value >= 0 && (!LoadBlock(value) || !ParseBuffer(&c))) return 0;
  if (btree::Remove(db.main, key) != 1) {
    IndexDamaged(db.main);
    return 0;
  }
  if (value >= 0 && LoadBlock(value) && ParseBuffer(&c)) {
    if (const BlockEntry* e = FindEntry(c, key)) {
      RemoveEntryAt(db.records.buffer.data(), e->pos, e->size);
      WriteBuffer(value);
    }
  }
  return 1;
}

void SeekKeys(std::string_view prefix) {
  if (Db().mode == 0) return;
  btree::Seek(Db().main, prefix);
  IndexDamaged(Db().main);
}

int NextKey(std::string* key) {
  Database& db = Db();
  if (db.mode == 0) return -1;
  std::string k;
  int16_t value = 0;
  while (btree::Next(db.main, &k, &value) == 0) {
    if (value < 0 || k.find('@') != std::string::npos) continue;
    if (key) *key = std::move(k);
    return 0;
  }
  IndexDamaged(db.main);
  return -1;
}

std::vector<std::string> ListKeys(std::string_view prefix, int sort_field) {
  std::vector<std::string> keys;
  std::vector<int16_t> blocks;  // the walk gives each key's block: no second lookup
  Database& db = Db();
  if (db.mode == 0) return keys;
  SeekKeys(prefix);
  std::string key;
  int16_t value = 0;
  while (btree::Next(db.main, &key, &value) == 0) {
    if (key.compare(0, prefix.size(), prefix) != 0) break;
    if (value < 0 || key.find('@') != std::string::npos) continue;
    if (keys.size() == keys.capacity()) keys.reserve(keys.size() + 1200);
    keys.push_back(key);
    blocks.push_back(value);
  }
  IndexDamaged(db.main);
  if (sort_field == 0) return keys;
  int shown = sort_field == 4 ? 3 : sort_field;
  if (shown < 1 || shown >= kFieldCount) shown = 1;
  struct Item {
    std::string text;
    int64_t date = 0;
    size_t split = 0;
  };
  std::vector<Item> items;
  items.reserve(keys.size());
  FieldArray fields;
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string& k = keys[i];
    ClearFields(fields);
    if (!ReadFromBlock(blocks[i], k, fields)) ClearFields(fields);
    Item it;
    it.text = k + '\x01' + fields[shown];
    it.split = k.size() + 1;
    if (sort_field == 3) it.date = DateSortKey(fields[shown], false);
    if (sort_field == 4) it.date = DateSortKey(fields[shown], true);
    items.push_back(std::move(it));
  }
  bool by_date = sort_field == 3 || sort_field == 4;
  std::stable_sort(items.begin(), items.end(), [by_date](const Item& a, const Item& b) {
    if (by_date) return a.date < b.date;
    std::string_view fa = std::string_view(a.text).substr(a.split);
    std::string_view fb = std::string_view(b.text).substr(b.split);
    return btree::CompareKeys(fa, fb) < 0;
  });
  std::vector<std::string> out;
  out.reserve(items.size());
  for (auto& it : items) out.push_back(std::move(it.text));
  return out;
}

namespace {
// Adds one to the run of decimal digits at the end, keeping its width; a text without
// trailing digits gets "1" appended.
std::string IncrementKey(std::string candidate) {
  size_t i = candidate.size();
  while (i > 0 && candidate[i - 1] >= '0' && candidate[i - 1] <= '9') --i;
  if (i == candidate.size()) return candidate + "1";
  size_t j = candidate.size();
  while (j > i) {
    if (candidate[j - 1] != '9') {
      ++candidate[j - 1];
      return candidate;
    }
    candidate[j - 1] = '0';
    --j;
  }
  candidate.insert(i, "1");
  return candidate;
}
}  // namespace

int NextFreeKey(std::string* output, std::string_view prefix) {
  std::string p(prefix);
  if (p.size() > kMaxRecordKey - 1 || Db().mode == 0) {
    WarningFormat("errserv", p.c_str());
    return 0;
  }
  FieldArray counter;
  std::string counter_key = p + "@";
  std::string candidate;
  if (Read(counter_key, counter) && !counter[2].empty())
    candidate = counter[2].substr(0, kMaxRecordKey);
  else
    candidate = p + "000000";
  std::string remembered;
  for (;;) {
    remembered = candidate;
    candidate = IncrementKey(candidate);
    if (candidate.size() > kMaxRecordKey) break;
    int block = BlockOfKey(candidate);
    if (block == -2) return 0;
    if (block < 0) break;
  }
  if (candidate.size() > kMaxRecordKey) {
    WarningFormat("errserv", p.c_str());
    return 0;
  }
  *output = candidate;
  ClearFields(counter);
  counter[1] = counter_key;
  counter[2] = remembered;
  Write(counter_key, counter);
  return 1;
}

std::string ValueIndexKey(std::string_view prefix, int field, std::string_view value,
                          std::string_view record_key, bool index_blank) {
  prefix = prefix.substr(0, TrimmedLength(prefix));
  value = value.substr(0, TrimmedLength(value));
  record_key = record_key.substr(0, TrimmedLength(record_key));
  std::string v(value);
  if (v.empty()) {
    if (!index_blank) return {};
    v = "\xFF";
  }
  size_t fixed = prefix.size() + record_key.size() + 4;
  if (fixed >= kMaxValueKey) return {};
  if (v.size() > kMaxValueKey - fixed) v.resize(kMaxValueKey - fixed);
  std::string k(prefix);
  k.push_back('\0');
  k.push_back(static_cast<char>(field));
  k += v;
  k.push_back('\0');
  k += record_key;
  k.push_back('\0');
  return k;
}

void FindValueEntries(std::vector<ValueEntry>& list, std::string_view prefix, int field,
                      std::string_view value, int match) {
  Database& db = Db();
  if (!db.value_index_open) return;
  prefix = prefix.substr(0, TrimmedLength(prefix));
  value = value.substr(0, TrimmedLength(value));
  std::string start(prefix);
  start.push_back('\0');
  start.push_back(static_cast<char>(field));
  start += value;
  std::string want_head = start.substr(0, prefix.size() + 2);
  start.push_back('\0');
  start.push_back('\0');
  btree::Seek(db.values, start);
  std::string k;
  int16_t v = 0;
  while (btree::Next(db.values, &k, &v) == 0) {
    if (v < 0) continue;
    if (k.compare(0, want_head.size(), want_head) != 0) break;
    size_t value_end = k.find('\0', want_head.size());
    if (value_end == std::string::npos) continue;
    std::string_view stored = std::string_view(k).substr(want_head.size(), value_end - want_head.size());
    if (match == 1 && stored.substr(0, value.size()) != value) break;
    if (match == 2 && stored != value) break;
    size_t key_end = k.find('\0', value_end + 1);
    if (key_end == std::string::npos) key_end = k.size();
    list.push_back({std::string(stored), k.substr(value_end + 1, key_end - value_end - 1)});
  }
  IndexDamaged(db.values);
}

void FindByValue(std::vector<std::string>& list, std::string_view prefix, int field,
                 std::string_view value, int match) {
  std::vector<ValueEntry> entries;
  FindValueEntries(entries, prefix, field, value, match);
  for (auto& e : entries) list.push_back(std::move(e.key));
}

int FindFirstByValue(std::string_view prefix, int field, std::string_view value, std::string* output) {
  std::vector<std::string> keys;
  FindByValue(keys, prefix, field, value, 2);
  if (keys.empty()) return -1;
  *output = keys.front().substr(0, kMaxRecordKey);
  return 0;
}

int Create(const std::string& name) {
  if (TrimmedLength(name) == 0) {
    WarningKey("ErrNB");
    return 1;
  }
  if (CheckNewFileName(name + ".bod") != 0) return 1;
  if (btree::Create(name + ".btr", btree::PersonIndexHeader()) != 0) return 1;
  int fd = ::open((name + ".bod").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return 1;
  return ::close(fd) == 0 ? 0 : 1;
}

int CreateTowns(const std::string& name) {
  if (btree::Create(name + ".btz", btree::PersonIndexHeader()) != 0) return 1;
  if (btree::Create(name + ".bnz", btree::ValueIndexHeader()) != 0) return 1;
  int fd = ::open((name + ".bbb").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return 1;
  return ::close(fd) == 0 ? 0 : 1;
}

}  // namespace kv::db
