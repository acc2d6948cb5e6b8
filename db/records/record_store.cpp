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
#include "db/records/database_check.h"
#include "db/records/sort_keys.h"
#include "db/schema/schema.h"

namespace kv::db {
namespace {

// Block numbers travel as int16 values of the key index.
constexpr int kMaxBlocks = 32767;
// The field of a table's counter record (key: prefix + "@") that keeps the last key
// handed out.
constexpr int kCounterField = 2;

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

// The writes of one open database. Each call writes its files in the order its crash
// safety relies on (a record before the key that points at it, a key's removal before
// its record's); a power cut, though, may keep a later write and lose an earlier one
// that is not yet flushed. So, when ordered, a write to one file first flushes what
// was written to the others.
class SessionWriter final : public FileWriter {
 public:
  FileWriter* target = nullptr;  // the system writer when null
  bool ordered = true;

  bool WriteAt(int fd, const std::string& file, const void* data, size_t n,
               int64_t offset) override {
    if (ordered)
      for (Written& w : files_)
        if (w.fd != fd && w.unflushed && !Flush(w)) return false;
    Of(fd, file).unflushed = true;
    return Target().WriteAt(fd, file, data, n, offset);
  }
  bool Sync(int fd, const std::string& file) override {
    Written& w = Of(fd, file);
    return !w.unflushed || Flush(w);
  }
  // Flushes every file written since its last flush; false and the file that failed.
  bool SyncAll(std::string* failed) {
    for (Written& w : files_) {
      if (w.unflushed && !Flush(w)) {
        *failed = w.file;
        return false;
      }
    }
    return true;
  }
  void Forget() { files_.clear(); }

 private:
  struct Written {
    int fd;
    std::string file;
    bool unflushed;
  };
  FileWriter& Target() { return target ? *target : SystemFileWriter(); }
  Written& Of(int fd, const std::string& file) {
    for (Written& w : files_)
      if (w.fd == fd) return w;
    files_.push_back({fd, file, false});
    return files_.back();
  }
  bool Flush(Written& w) {
    if (!Target().Sync(w.fd, w.file)) return false;
    w.unflushed = false;
    return true;
  }
  std::vector<Written> files_;
};

}  // namespace

struct Database::Files {
  int mode = 0;
  bool value_index_open = false;
  btree::IndexHandle main;
  btree::IndexHandle values;
  RecordFile records;
  Status damage;
  bool flush_each = true;
  SessionWriter writer;
};

namespace {

using Files = Database::Files;

bool Writable(const Files& db) { return db.mode >= 2; }

// The first damage of a session is shown; everything after it is refused quietly.
// `code` is the kind of failure (Corruption, IoError, Full) the callers are given.
void ReportDamage(Files& db, const std::string& file, const std::string& what,
                  StatusCode code = StatusCode::kCorruption) {
  if (!db.damage.ok()) return;
  db.damage = Status::Error(code, file + ": " + what);
  if (Text("BdDmg") == "BdDmg")  // no text resources (the command-line tool)
    Warning(FormatMessage(W("Файл базы данных %s повреждён (%s). Файл не изменён; "
                            "подробности: kvimarot-db check").c_str(),
                          file.c_str(), what.c_str()));
  else
    WarningFormat("BdDmg", file, what);
}

// Reports damage the index handle noted; true when there is some.
bool IndexDamaged(Files& db, btree::IndexHandle& h) {
  if (h.status.ok()) return false;
  ReportDamage(db, h.file_name, h.status.message(), h.status.code());
  return true;
}

std::string_view TrimKey(std::string_view key) { return key.substr(0, TrimmedLength(key)); }

bool LoadBlock(Files& db, int block) {
  RecordFile& rf = db.records;
  if (block < 0 || block >= rf.block_count) {
    ReportDamage(db, rf.name, FormatMessage("block %d beyond the %d blocks of the file", block,
                                            rf.block_count));
    return false;
  }
  if (rf.buffer_block == block) return true;
  rf.buffer_block = -1;
  rf.parsed_block = -1;
  ssize_t got = pread(rf.fd, rf.buffer.data(), kBlockSize, static_cast<off_t>(block) * kBlockSize);
  if (got != kBlockSize) {
    ReportDamage(db, rf.name, FormatMessage("block %d cannot be read", block));
    return false;
  }
  rf.buffer_block = block;
  return true;
}

bool WriteBuffer(Files& db, int block) {
  RecordFile& rf = db.records;
  rf.parsed_block = -1;
  if (!db.writer.WriteAt(rf.fd, rf.name, rf.buffer.data(), kBlockSize,
                         static_cast<int64_t>(block) * kBlockSize)) {
    rf.buffer_block = -1;
    ReportDamage(db, rf.name, FormatMessage("block %d cannot be written", block),
                 StatusCode::kIoError);
    return false;
  }
  rf.buffer_block = block;
  if (block >= rf.block_count) rf.block_count = block + 1;
  if (static_cast<int>(rf.free_bytes.size()) <= block) rf.free_bytes.resize(block + 10, kBlockRoom);
  rf.free_bytes[block] = kBlockRoom - UsedBytes(rf.buffer.data());
  return true;
}

// Parses the buffered block; damage is reported and gives false.
bool ParseBuffer(Files& db, BlockContents* c) {
  RecordFile& rf = db.records;
  if (rf.parsed_block >= 0 && rf.parsed_block == rf.buffer_block) {
    *c = rf.parsed;
    return true;
  }
  const Status parsed = ParseBlock(rf.buffer.data(), c);
  if (!parsed.ok()) {
    ReportDamage(db, rf.name, FormatMessage("block %d: %s", rf.buffer_block, parsed.message().c_str()));
    rf.buffer_block = -1;
    return false;
  }
  rf.parsed = *c;
  rf.parsed_block = rf.buffer_block;
  return true;
}

const BlockEntry* FindEntry(const BlockContents& c, std::string_view key) {
  for (const BlockEntry& e : c.entries)
    if (e.key == key) return &e;
  return nullptr;
}

// The block holding the key according to the index: -1 when absent, -2 on damage.
int BlockOfKey(Files& db, std::string_view key) {
  int16_t value = -1;
  bool found = btree::Lookup(db.main, key, &value);
  if (IndexDamaged(db, db.main)) return -2;
  if (!found || value < 0) return -1;
  return value;
}

enum class Found { kYes, kNo, kDamaged };

// Reads the record whose block is known, without the emptying and lookup of Read.
Found ReadFromBlock(Files& db, int block, std::string_view key, FieldArray& fields) {
  if (!LoadBlock(db, block)) return Found::kDamaged;
  BlockContents c;
  if (!ParseBuffer(db, &c)) return Found::kDamaged;
  const BlockEntry* e = FindEntry(c, key);
  if (!e) return Found::kNo;
  fields[kFieldKey].assign(key);
  DecodeFields(e->data, fields);
  return Found::kYes;
}

// The end of a change: with flush_each, everything it wrote goes to the disk before
// the caller hears of it.
Status Settle(Files& db, Status result) {
  if (!db.flush_each) return result;
  std::string failed;
  if (!db.writer.SyncAll(&failed)) {
    ReportDamage(db, failed, "the file cannot be flushed to the disk", StatusCode::kIoError);
    return db.damage;
  }
  return result;
}

// Chooses a block other than `avoid` with room for `needed` bytes, correcting free
// counts that disagree with their blocks. -1 when none can be had.
int ChooseBlock(Files& db, int needed, int avoid) {
  RecordFile& rf = db.records;
  for (int attempt = 0; attempt <= rf.block_count + 1; ++attempt) {
    int chosen = -1;
    if (rf.buffer_block >= 0 && rf.buffer_block != avoid && rf.free_bytes[rf.buffer_block] >= needed)
      chosen = rf.buffer_block;
    for (int b = 0; chosen < 0 && b < rf.block_count; ++b)
      if (b != avoid && rf.free_bytes[b] >= needed) chosen = b;
    if (chosen < 0) {
      if (rf.block_count >= kMaxBlocks) {
        ReportDamage(db, rf.name, FormatMessage("the file holds the most blocks it can (%d)", kMaxBlocks),
                     StatusCode::kFull);
        return -1;
      }
      chosen = rf.block_count;
      rf.parsed_block = -1;
      rf.buffer.fill(0);
      rf.buffer_block = chosen;
      return chosen;
    }
    if (!LoadBlock(db, chosen)) return -1;
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

IndexUpkeep UpkeepFor(const Files& db, std::string_view key) {
  IndexUpkeep u;
  if (!db.value_index_open || key.find('@') != std::string_view::npos) return u;
  u.table = TableOfKey(key);
  if (u.table) u.fields = ParseIndexDeclaration(u.table->index);
  return u;
}

std::string_view FieldText(const FieldArray& f, int n) {
  return std::string_view(f[n]).substr(0, TrimmedLength(f[n]));
}

void UpdateValueIndex(Files& db, const IndexUpkeep& u, std::string_view key,
                      const FieldArray* old_fields, const FieldArray* new_fields) {
  for (const IndexedField& f : u.fields) {
    std::string_view before = old_fields ? FieldText(*old_fields, f.field) : std::string_view();
    std::string_view after = new_fields ? FieldText(*new_fields, f.field) : std::string_view();
    if (old_fields && new_fields && before == after) continue;
    std::string old_key = ValueIndexKey(u.table->prefix, f.field, before, key, f.blanks);
    std::string new_key = ValueIndexKey(u.table->prefix, f.field, after, key, f.blanks);
    // A failure stays in the handle's status, reported just below.
    if (new_fields && !new_key.empty()) (void)btree::Put(db.values, new_key, 1);
    if (old_fields && !old_key.empty() && old_key != new_key) (void)btree::Remove(db.values, old_key);
    if (IndexDamaged(db, db.values)) return;
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

Database::Database() : files_(std::make_unique<Files>()) {}

Database::~Database() { Close(); }

Status Database::Open(const std::string& name, int mode) {
  Files& db = *files_;
  if (db.mode != 0) {
    WarningKey("2OpBd");
    return Status::Busy("a database is open already");
  }
  if (mode < 1 || mode > 6) return Status::InvalidArgument(FormatMessage("open mode %d", mode));
  bool towns_files = mode >= 4;
  bool writable = mode >= 2 && mode != 5;
  bool want_values = mode >= 4 && name == kTownsName;
  db.damage = Status::Ok();
  db.writer.Forget();
  db.writer.ordered = db.flush_each;
  std::string index_name = name + (towns_files ? ".btz" : ".btr");
  if (Status opened = btree::Open(index_name, db.main, writable, &db.writer); !opened.ok()) {
    if (!db.main.status.ok()) ReportDamage(db, index_name, opened.message(), opened.code());
    btree::Close(db.main);
    return opened;
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
    return Status::NotFound(rf.name + ": the file cannot be opened");
  }
  int64_t blocks = st.st_size / kBlockSize;
  rf.block_count = static_cast<int>(std::min<int64_t>(blocks, kMaxBlocks));
  if (writable) rf.free_bytes = BuildFreeTable(rf);
  else rf.free_bytes.assign(rf.block_count + 10, 0);
  db.value_index_open = false;
  if (want_values && FileExists(name + ".bnz")) {
    if (Status opened = btree::Open(name + ".bnz", db.values, writable, &db.writer); opened.ok()) {
      db.value_index_open = true;
    } else {
      if (!db.values.status.ok()) ReportDamage(db, name + ".bnz", opened.message(), opened.code());
      btree::Close(db.values);
    }
  }
  db.main.ordered = db.values.ordered = db.flush_each;
  db.mode = mode == 5 ? 1 : mode == 6 ? 2 : mode;
  if (writable) {
    // A change could spread damage that lies anywhere in the files: none goes in.
    const DatabaseCheck check = CheckDatabase(name, towns_files);
    if (!check.ok()) ReportDamage(db, check.damaged_file, check.damage);
  }
  return Status::Ok();
}

void Database::SetFlushEachChange(bool each) {
  Files& db = *files_;
  db.flush_each = each;
  db.writer.ordered = each;
  db.main.ordered = db.values.ordered = each;
}

Status Database::Flush() {
  Files& db = *files_;
  const bool each = db.flush_each;
  db.flush_each = true;
  Status flushed = Settle(db, Status::Ok());
  db.flush_each = each;
  return flushed;
}

void Database::SetFileWriter(FileWriter* writer) { files_->writer.target = writer; }

void Database::Close() {
  Files& db = *files_;
  if (db.mode == 0) return;
  if (Writable(db)) (void)Flush();  // a failure has been shown
  btree::Close(db.main);
  if (db.value_index_open) btree::Close(db.values);
  db.value_index_open = false;
  if (db.records.fd >= 0) ::close(db.records.fd);
  db.records = RecordFile{};
  db.writer.Forget();
  db.mode = 0;
}

bool Database::is_open() const { return files_->mode != 0; }
int Database::stored_mode() const { return files_->mode; }
bool Database::value_index_open() const { return files_->value_index_open; }
const Status& Database::damage() const { return files_->damage; }

Status Database::Read(std::string_view key, FieldArray& fields) {
  Files& db = *files_;
  ClearFields(fields);
  if (db.mode == 0) return Status::NotFound("no database is open");
  key = TrimKey(key);
  if (key.empty() || key.size() > kMaxRecordKey) return Status::NotFound();
  int block = BlockOfKey(db, key);
  if (block == -2) return db.damage;
  if (block < 0) return Status::NotFound();
  const Found found = ReadFromBlock(db, block, key, fields);
  if (found == Found::kYes) return Status::Ok();
  ClearFields(fields);
  return found == Found::kNo ? Status::NotFound() : db.damage;
}

namespace {

Status WriteRecord(Files& db, std::string_view key, const FieldArray& fields) {
  key = TrimKey(key);
  if (key.empty() || key.size() > kMaxRecordKey)
    return Status::InvalidArgument(FormatMessage("a key of %d bytes", static_cast<int>(key.size())));
  std::string data;
  if (!EncodeFields(fields, &data)) return Status::TooLarge("the fields do not fit a block");
  int needed = static_cast<int>(key.size() + data.size()) + 4;
  if (needed > kBlockRoom) return Status::TooLarge("the record does not fit a block");
  if (!db.damage.ok()) return db.damage;

  int old_block = BlockOfKey(db, key);
  if (old_block == -2) return db.damage;
  IndexUpkeep upkeep = UpkeepFor(db, key);
  FieldArray old_fields;
  bool had_old = false;
  if (!upkeep.fields.empty() && old_block >= 0) {
    const Found found = ReadFromBlock(db, old_block, key, old_fields);
    if (found == Found::kDamaged) return db.damage;
    had_old = found == Found::kYes;
  }

  RecordFile& rf = db.records;
  bool old_entry = false;
  if (old_block >= 0) {
    if (!LoadBlock(db, old_block)) return db.damage;
    BlockContents c;
    if (!ParseBuffer(db, &c)) return db.damage;
    if (const BlockEntry* e = FindEntry(c, key)) {
      old_entry = true;
      if (c.used - e->size + needed <= kBlockRoom) {
        // Room in the same block: one block write replaces the record.
        RemoveEntryAt(rf.buffer.data(), e->pos, e->size);
        AppendEntry(rf.buffer.data(), key, data);
        if (!WriteBuffer(db, old_block)) return db.damage;
        if (!upkeep.fields.empty())
          UpdateValueIndex(db, upkeep, key, had_old ? &old_fields : nullptr, &fields);
        return Status::Ok();
      }
    }
  }

  int target = ChooseBlock(db, needed, old_block);
  if (target < 0) return db.damage;
  if (target < rf.block_count) {
    BlockContents c;
    if (!ParseBuffer(db, &c)) return db.damage;
    // Entries of this key here were left by an interrupted write: the index does
    // not point at them, so they go.
    for (auto it = c.entries.rbegin(); it != c.entries.rend(); ++it)
      if (it->key == key) RemoveEntryAt(rf.buffer.data(), it->pos, it->size);
  }
  if (!AppendEntry(rf.buffer.data(), key, data))
    return Status::Full(FormatMessage("%s: block %d has no room", rf.name.c_str(), target));
  if (!WriteBuffer(db, target)) return db.damage;
  if (Status put = btree::Put(db.main, key, static_cast<int16_t>(target)); !put.ok()) {
    if (!IndexDamaged(db, db.main)) ReportDamage(db, db.main.file_name, put.message(), put.code());
    return db.damage;
  }
  if (old_entry && LoadBlock(db, old_block)) {
    BlockContents c;
    if (ParseBuffer(db, &c)) {
      if (const BlockEntry* e = FindEntry(c, key)) {
        RemoveEntryAt(rf.buffer.data(), e->pos, e->size);
        WriteBuffer(db, old_block);
      }
    }
  }
  if (!upkeep.fields.empty())
    UpdateValueIndex(db, upkeep, key, had_old ? &old_fields : nullptr, &fields);
  return db.damage;
}

Status DeleteRecord(Files& db, std::string_view key) {
  key = TrimKey(key);
  if (key.empty() || key.size() > kMaxRecordKey) return Status::NotFound();
  int16_t value = -1;
  bool found = btree::Lookup(db.main, key, &value);
  if (IndexDamaged(db, db.main)) return db.damage;
  if (!found) return Status::NotFound();
  IndexUpkeep upkeep = UpkeepFor(db, key);
  if (!upkeep.fields.empty() && value >= 0) {
    FieldArray old_fields;
    const Found found = ReadFromBlock(db, value, key, old_fields);
    if (found == Found::kDamaged) return db.damage;
    if (found == Found::kYes) UpdateValueIndex(db, upkeep, key, &old_fields, nullptr);
    if (!db.damage.ok()) return db.damage;
  }
  // The record's block is read and checked before the index changes: a damaged block
  // is refused with the files as they were, never a key gone and its record left.
  BlockContents c;
  if (value >= 0 && (!LoadBlock(db, value) || !ParseBuffer(db, &c))) return db.damage;
  if (Status removed = btree::Remove(db.main, key); !removed.ok()) {
    IndexDamaged(db, db.main);
    return removed;
  }
  if (value >= 0 && LoadBlock(db, value) && ParseBuffer(db, &c)) {
    if (const BlockEntry* e = FindEntry(c, key)) {
      RemoveEntryAt(db.records.buffer.data(), e->pos, e->size);
      WriteBuffer(db, value);
    }
  }
  return db.damage;
}

}  // namespace

Status Database::Write(std::string_view key, const FieldArray& fields) {
  Files& db = *files_;
  if (!Writable(db)) return Status::ReadOnly("the database is not open for writing");
  return Settle(db, WriteRecord(db, key, fields));
}

Status Database::Delete(std::string_view key) {
  Files& db = *files_;
  if (!Writable(db)) return Status::ReadOnly("the database is not open for writing");
  if (!db.damage.ok()) return db.damage;
  return Settle(db, DeleteRecord(db, key));
}

void Database::SeekKeys(std::string_view prefix) {
  Files& db = *files_;
  if (db.mode == 0) return;
  btree::Seek(db.main, prefix);
  IndexDamaged(db, db.main);
}

bool Database::NextKey(std::string* key) {
  Files& db = *files_;
  if (db.mode == 0) return false;
  std::string k;
  int16_t value = 0;
  while (btree::Next(db.main, &k, &value)) {
    if (value < 0 || k.find('@') != std::string::npos) continue;
    if (key) *key = std::move(k);
    return true;
  }
  IndexDamaged(db, db.main);
  return false;
}

std::vector<std::string> Database::ListKeys(std::string_view prefix, int sort_field) {
  std::vector<std::string> keys;
  std::vector<int16_t> blocks;  // the walk gives each key's block: no second lookup
  Files& db = *files_;
  if (db.mode == 0) return keys;
  SeekKeys(prefix);
  std::string key;
  int16_t value = 0;
  while (btree::Next(db.main, &key, &value)) {
    if (key.compare(0, prefix.size(), prefix) != 0) break;
    if (value < 0 || key.find('@') != std::string::npos) continue;
    if (keys.size() == keys.capacity()) keys.reserve(keys.size() + 1200);
    keys.push_back(key);
    blocks.push_back(value);
  }
  IndexDamaged(db, db.main);
  if (sort_field == kSortByKey) return keys;
  int shown = sort_field == kSortByBirthday ? kFieldBirthDate : sort_field;
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
    if (ReadFromBlock(db, blocks[i], k, fields) != Found::kYes) ClearFields(fields);
    Item it;
    it.text = k + '\x01' + fields[shown];
    it.split = k.size() + 1;
    if (sort_field == kSortByDate) it.date = DateSortKey(fields[shown], false);
    if (sort_field == kSortByBirthday) it.date = DateSortKey(fields[shown], true);
    items.push_back(std::move(it));
  }
  bool by_date = sort_field == kSortByDate || sort_field == kSortByBirthday;
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

Status Database::NextFreeKey(std::string* output, std::string_view prefix) {
  Files& db = *files_;
  std::string p(prefix);
  if (p.size() > kMaxRecordKey - 1 || db.mode == 0) {
    WarningFormat("errserv", p.c_str());
    return Status::InvalidArgument(db.mode == 0 ? "no database is open" : "a prefix of " + p);
  }
  // A key handed out of a damaged database would be written nowhere.
  if (Writable(db) && !db.damage.ok()) return db.damage;
  FieldArray counter;
  std::string counter_key = p + "@";
  std::string candidate;
  if (Read(counter_key, counter).ok() && !counter[kCounterField].empty())
    candidate = counter[kCounterField].substr(0, kMaxRecordKey);
  else
    candidate = p + "000000";
  std::string remembered;
  for (;;) {
    remembered = candidate;
    candidate = IncrementKey(candidate);
    if (candidate.size() > kMaxRecordKey) break;
    int block = BlockOfKey(db, candidate);
    if (block == -2) return db.damage;
    if (block < 0) break;
  }
  if (candidate.size() > kMaxRecordKey) {
    WarningFormat("errserv", p.c_str());
    return Status::Full("no free key for the prefix " + p);
  }
  *output = candidate;
  ClearFields(counter);
  counter[kFieldKey] = counter_key;
  counter[kCounterField] = remembered;
  // A counter that cannot be stored only makes the next search start lower.
  (void)Write(counter_key, counter);
  return Status::Ok();
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

void Database::FindValueEntries(std::vector<ValueEntry>& list, std::string_view prefix, int field,
                                std::string_view value, int match) {
  Files& db = *files_;
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
  while (btree::Next(db.values, &k, &v)) {
    if (v < 0) continue;
    if (k.compare(0, want_head.size(), want_head) != 0) break;
    size_t value_end = k.find('\0', want_head.size());
    if (value_end == std::string::npos) continue;
    std::string_view stored = std::string_view(k).substr(want_head.size(), value_end - want_head.size());
    if (match == kMatchPrefix && stored.substr(0, value.size()) != value) break;
    if (match == kMatchEqual && stored != value) break;
    size_t key_end = k.find('\0', value_end + 1);
    if (key_end == std::string::npos) key_end = k.size();
    list.push_back({std::string(stored), k.substr(value_end + 1, key_end - value_end - 1)});
  }
  IndexDamaged(db, db.values);
}

void Database::FindByValue(std::vector<std::string>& list, std::string_view prefix, int field,
                           std::string_view value, int match) {
  std::vector<ValueEntry> entries;
  FindValueEntries(entries, prefix, field, value, match);
  for (auto& e : entries) list.push_back(std::move(e.key));
}

Status Database::FindFirstByValue(std::string_view prefix, int field, std::string_view value,
                                  std::string* output) {
  std::vector<std::string> keys;
  FindByValue(keys, prefix, field, value, kMatchEqual);
  if (keys.empty()) return Status::NotFound();
  *output = keys.front().substr(0, kMaxRecordKey);
  return Status::Ok();
}

int WriteResult(const Status& written) {
  switch (written.code()) {
    case StatusCode::kOk: return kWriteDone;
    case StatusCode::kTooLarge: return kWriteTooLarge;
    case StatusCode::kInvalidArgument: return kWriteBadKey;
    case StatusCode::kReadOnly: return kWriteReadOnly;
    default: return kWriteRefused;
  }
}

namespace {
Status CreateEmptyFile(const std::string& name) {
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Status::IoError(name + ": the file cannot be created");
  return ::close(fd) == 0 ? Status::Ok() : Status::IoError(name + ": the file cannot be written");
}
}  // namespace

Status Create(const std::string& name) {
  if (TrimmedLength(name) == 0) {
    WarningKey("ErrNB");
    return Status::InvalidArgument("a blank database name");
  }
  if (Status free_name = CheckNewFileName(name + ".bod"); !free_name.ok()) return free_name;
  if (Status index = btree::Create(name + ".btr", btree::PersonIndexHeader()); !index.ok())
    return index;
  return CreateEmptyFile(name + ".bod");
}

Status CreateTowns(const std::string& name) {
  if (Status index = btree::Create(name + ".btz", btree::PersonIndexHeader()); !index.ok())
    return index;
  if (Status values = btree::Create(name + ".bnz", btree::ValueIndexHeader()); !values.ok())
    return values;
  return CreateEmptyFile(name + ".bbb");
}

}  // namespace kv::db
