// The record store: one open database at a time, made of a key index (key -> block),
// a record file of 4096-byte blocks and, for the towns database, a value index.
//
//   person database   name + ".btr", name + ".bod"
//   towns database    "towns" + ".btz", + ".bbb", + ".bnz" (value index, when present)
//
// Every call leaves the files consistent even when the process dies between two of
// its writes: a record is written to its block before the key index points there, and
// the old copy is removed only afterwards (an entry whose key the index does not point
// at is never read and is dropped when its block is next written for that key).
//
// A damaged file (lengths, counts or numbers that the layout cannot hold) is refused:
// the first time damage is met in an open database the message for key "BdDmg"
// (file name, what and where) is shown, and from then on nothing is written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/records/record_block.h"

namespace kv::db {

// Open modes: 1 and 2 person database read-only / writable, 3 writable, 4 towns
// writable (stored mode 4), 5 towns read-only, 6 towns writable (stored 2).
enum OpenMode { kPersonRead = 1, kPersonWrite = 2, kPersonWrite3 = 3, kTownsWrite4 = 4,
                kTownsRead = 5, kTownsWrite = 6 };

// Results of Write.
inline constexpr int kWriteDone = 0;
inline constexpr int kWriteTooLarge = -1;
inline constexpr int kWriteBadKey = -2;
inline constexpr int kWriteRefused = -3;   // damaged file, full file or failed I/O
inline constexpr int kWriteReadOnly = -4;  // database open read-only, or none open

inline constexpr const char* kTownsName = "towns";
inline constexpr size_t kMaxDatabaseName = 78;
// Longest value-index key: table prefix, value and record key with four marks.
inline constexpr size_t kMaxValueKey = 100;

// 0, or -1: "2OpBd" when a database is open already; no message when a file cannot
// be opened; "BdDmg" when the key index header is unusable.
int Open(const std::string& name, int mode);
void Close();
// The stored mode: 0 when closed.
int StoredMode();
bool ValueIndexOpen();

// 1 when found (slot 1 := the key), else 0. All slots are emptied first.
int Read(std::string_view key, FieldArray& fields);
int Write(std::string_view key, const FieldArray& fields);
// 1 when a record was deleted, else 0.
int Delete(std::string_view key);

// Positions the key listing at the first key >= prefix.
void SeekKeys(std::string_view prefix);
// Next key of the listing (absent and service keys skipped): 0, or -1 at the end.
int NextKey(std::string* key);
// Sort field 0: keys beginning with prefix in key order. Otherwise "key\x01field"
// items sorted by the field (3 by date, 4 by day and month of field 3, others bytewise).
std::vector<std::string> ListKeys(std::string_view prefix, int sort_field);

// 1 and a new key for the table; 0 and "errserv" when none can be made.
int NextFreeKey(std::string* output, std::string_view prefix);

// match: 0 any value, 1 the stored value begins with value, 2 equal.
void FindByValue(std::vector<std::string>& list, std::string_view prefix, int field,
                 std::string_view value, int match);
int FindFirstByValue(std::string_view prefix, int field, std::string_view value,
                     std::string* output);

// FindByValue with the stored values: entries in the order of the value index.
struct ValueEntry {
  std::string value;  // as stored (cut to fit the index key)
  std::string key;
};
void FindValueEntries(std::vector<ValueEntry>& list, std::string_view prefix, int field,
                      std::string_view value, int match);

// An empty person database: 0, or 1 after "ErrNB", "SkF", "F%is" or a failed create.
int Create(const std::string& name);
// An empty towns database under name (".btz", ".bbb", ".bnz"): 0 or 1.
int CreateTowns(const std::string& name);

// The value-index key of a record's field value (empty when the value is not indexed).
std::string ValueIndexKey(std::string_view prefix, int field, std::string_view value,
                          std::string_view record_key, bool index_blank);

// The damage met since Open ("" while none).
const std::string& DamageSeen();

}  // namespace kv::db
