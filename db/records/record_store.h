// The record store: a database made of a key index (key -> block), a record file of
// 4096-byte blocks and, for the towns database, a value index.
//
//   person database   name + ".btr", name + ".bod"
//   towns database    "towns" + ".btz", + ".bbb", + ".bnz" (value index, when present)
//
// A Database is a handle: Open gives it the files, Close (or the destructor) lets them
// go. The program keeps one database open at a time, opened for one user action or a
// few; that rule belongs to the callers, and a handle that is open refuses a second
// Open.
//
// Every call leaves the files consistent even when the process dies between two of
// its writes: a record is written to its block before the key index points there, and
// the old copy is removed only afterwards (an entry whose key the index does not point
// at is never read and is dropped when its block is next written for that key).
//
// A damaged file (lengths, counts or numbers that the layout cannot hold) is refused:
// the first time damage is met in an open database the message for key "BdDmg"
// (file name, what and where) is shown, and from then on nothing is written. Opening
// for writing checks both files whole first (see database_check.h), so that no change
// lands in a damaged database, whether or not the damage lies on its path.
//
// A change that returned Ok is on the disk (see SetFlushEachChange).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"
#include "db/io/file_writer.h"
#include "db/records/record_block.h"

namespace kv::db {

// Open modes: 1 and 2 person database read-only / writable, 3 writable, 4 towns
// writable (stored mode 4), 5 towns read-only, 6 towns writable (stored 2).
enum OpenMode { kPersonRead = 1, kPersonWrite = 2, kPersonWrite3 = 3, kTownsWrite4 = 4,
                kTownsRead = 5, kTownsWrite = 6 };

inline constexpr const char* kTownsName = "towns";
inline constexpr size_t kMaxDatabaseName = 78;
// Longest value-index key: table prefix, value and record key with four marks.
inline constexpr size_t kMaxValueKey = 100;

// Person card fields the store itself looks at.
inline constexpr int kFieldKey = 1;        // the record's own key, filled by Read
inline constexpr int kFieldBirthDate = 3;  // "%02d.%02d.%04d"

// Sort fields of ListKeys besides the plain field numbers.
inline constexpr int kSortByKey = 0;
inline constexpr int kSortByDate = kFieldBirthDate;
inline constexpr int kSortByBirthday = 4;  // day and month of the birth date, year ignored

// How FindByValue compares the stored values with the one asked for.
inline constexpr int kMatchAny = 0;
inline constexpr int kMatchPrefix = 1;
inline constexpr int kMatchEqual = 2;

// FindByValue with the stored values: entries in the order of the value index.
struct ValueEntry {
  std::string value;  // as stored (cut to fit the index key)
  std::string key;
};

class Database {
 public:
  Database();
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Ok; Busy after the message "2OpBd" when this handle is open already;
  // InvalidArgument for a mode outside 1..6; NotFound, without a message, when a file
  // cannot be opened; Corruption after "BdDmg" when the key index header is unusable.
  // A writable mode checks the files first: when they are damaged, "BdDmg" is shown,
  // the database is open for reading all the same and damage() refuses every change.
  Status Open(const std::string& name, int mode);
  // Lets the files go (flushing what a bulk load left); nothing when none are open.
  void Close();
  bool is_open() const;
  // The stored mode: 0 when closed.
  int stored_mode() const;
  bool value_index_open() const;

  // Ok and the record (slot 1 := the key); NotFound when the key is not stored or no
  // database is open; Corruption or IoError after damage. All slots are emptied first.
  Status Read(std::string_view key, FieldArray& fields);
  // Ok; TooLarge when the fields do not fit a block; InvalidArgument for a key that
  // is empty or longer than 20 bytes; ReadOnly in a read-only mode (or none open);
  // the damage (Corruption, IoError, Full) when the files refuse it.
  Status Write(std::string_view key, const FieldArray& fields);
  // Ok when a record was deleted; NotFound, ReadOnly or the damage otherwise.
  Status Delete(std::string_view key);

  // Positions the key listing at the first key >= prefix.
  void SeekKeys(std::string_view prefix);
  // Next key of the listing (absent and service keys skipped); false at the end.
  bool NextKey(std::string* key);
  // kSortByKey: keys beginning with prefix in key order. Otherwise "key\x01field"
  // items sorted by the field: kSortByDate (field 3) by date, kSortByBirthday by day
  // and month of field 3, any other field number bytewise.
  std::vector<std::string> ListKeys(std::string_view prefix, int sort_field);

  // Ok and a new key for the table; after "errserv" InvalidArgument (a prefix longer
  // than 19 bytes, or no database open) or Full (no key of 20 bytes is left); the
  // damage when the index cannot be read.
  Status NextFreeKey(std::string* output, std::string_view prefix);

  // match: kMatchAny, kMatchPrefix (the stored value begins with value), kMatchEqual.
  void FindByValue(std::vector<std::string>& list, std::string_view prefix, int field,
                   std::string_view value, int match);
  // Ok and the first key whose field equals the value; NotFound when there is none.
  Status FindFirstByValue(std::string_view prefix, int field, std::string_view value,
                          std::string* output);
  void FindValueEntries(std::vector<ValueEntry>& list, std::string_view prefix, int field,
                        std::string_view value, int match);

  // The first damage met since Open (ok while none).
  const Status& damage() const;

  // Durability of the changes (Write, Delete, the counter NextFreeKey stores). Normally
  // a change is on the disk when its call returns Ok: the files are flushed
  // (fdatasync) before it returns, and within the call wherever a later write relies
  // on an earlier one, so a power cut at any moment leaves files that pass the check
  // and hold every change that returned Ok. A bulk load of many records may flush only
  // at Flush and Close instead (false); a power cut before that may lose its changes
  // or leave the files damaged. Applies from the next change on.
  void SetFlushEachChange(bool each);
  // Puts everything written on the disk: Ok, or IoError after "BdDmg" (and from then
  // on nothing is written).
  Status Flush();
  // Where the writes of the next Open go (null: the files themselves), for tests that
  // watch every write. The writer outlives the database's use of it.
  void SetFileWriter(FileWriter* writer);

  struct Files;  // the open files and their buffers

 private:
  std::unique_ptr<Files> files_;
};

// The documented results of Write where they leave the program's core (the database
// dialogs and tools show a message for each): 0 written, -1 too large, -2 bad key,
// -3 refused (damage, a full file or failed I/O), -4 read-only.
inline constexpr int kWriteDone = 0;
inline constexpr int kWriteTooLarge = -1;
inline constexpr int kWriteBadKey = -2;
inline constexpr int kWriteRefused = -3;
inline constexpr int kWriteReadOnly = -4;
int WriteResult(const Status& written);

// An empty person database: ok, or the failure after "ErrNB", "SkF" or "F%is"
// (InvalidArgument, AlreadyExists) or of the creation (IoError).
Status Create(const std::string& name);
// An empty towns database under name (".btz", ".bbb", ".bnz").
Status CreateTowns(const std::string& name);

// The value-index key of a record's field value (empty when the value is not indexed).
std::string ValueIndexKey(std::string_view prefix, int field, std::string_view value,
                          std::string_view record_key, bool index_blank);

}  // namespace kv::db
