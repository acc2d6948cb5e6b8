// Layout of the record file (".bod", ".bbb"): blocks of 4096 bytes, each a uint16 of
// bytes in use after it and record entries packed one after another:
//   int16 key length (1..20), key, int16 data length (0..4088), data
// Record data: the non-blank fields in ascending field number, each
//   uint8 field number (1..255), int16 length, text (no trailing blanks).
// All integers are little-endian.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace kv::db {

inline constexpr int kBlockSize = 4096;
// Room for entries after the used-count word.
inline constexpr int kBlockRoom = kBlockSize - 2;
inline constexpr int kMaxRecordKey = 20;
// Data of one record, field heads included: block size - 8, so that the data of a
// record with a key of up to two bytes still fits a block with its length words.
inline constexpr int kMaxRecordData = kBlockSize - 8;
inline constexpr int kFieldCount = 256;

// 256 owned text slots indexed by field number; slot 0 is not used.
using FieldArray = std::array<std::string, kFieldCount>;

void ClearFields(FieldArray& fields);

// The record data of slots 1..255 (non-blank ones, without trailing blanks); false
// when it does not fit in kMaxRecordData bytes.
bool EncodeFields(const FieldArray& fields, std::string* data);
// Fills empty slots from record data; the first occurrence of a field number wins, a
// length running past the data is cut, a negative length ends the walk.
void DecodeFields(std::string_view data, FieldArray& fields);

struct BlockEntry {
  int pos = 0;  // offset of the key-length word in the block
  int size = 0; // key length + data length + 4
  std::string_view key;
  std::string_view data;
};

// The entries of a block, each checked against the used bytes. `used` is the first
// word clamped to kBlockRoom.
struct BlockContents {
  int used = 0;
  std::vector<BlockEntry> entries;
};
// Fills *contents; damage (an entry with a bad length or one running past the used
// part) ends the list and comes back as Corruption saying what and where.
Status ParseBlock(const uint8_t* block, BlockContents* contents);

int UsedBytes(const uint8_t* block);
void SetUsedBytes(uint8_t* block, int used);

// Appends an entry at the end of the used part; false when it does not fit.
bool AppendEntry(uint8_t* block, std::string_view key, std::string_view data);
// Removes the entry that starts at pos and has the given size.
void RemoveEntryAt(uint8_t* block, int pos, int size);

}  // namespace kv::db
