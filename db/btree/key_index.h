// The key index: a disk-resident B-tree of fixed-size pages mapping keys of up to
// the maximum key length to signed 16-bit values, in bytewise key order.
//
// Files ".btr", ".btz" (key -> block of the record file) and ".bnz" (value index,
// value always 1) share this layout. All integers are little-endian.
//
//   header block  header size bytes; the first 16 bytes are the header words
//   page n        at header size + page size * (n - 1), pages numbered from 1
//   page          int16 free bytes, int16 leaf flag, [uint16 leftmost child],
//                 entries: int16 key length, key, int16 value [, uint16 child]
//
// A negative value marks an entry as absent (a key removed from an inner page stays
// as a separator). Every page read from the file is checked against its own used
// bytes before it is believed; a handle that met a damaged page refuses all further
// work (damage() tells what and where) and never writes to the file again.
//
// Splits never overwrite a page that is still reachable: both halves go to new pages
// and a single page write (the parent, or the header for a new root) links them in.
// A process killed between any two writes therefore leaves a consistent tree; the
// price is that the page that was split stays in the file unused.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv::btree {

// The search path records one (page, position) per level.
inline constexpr int kMaxDepth = 10;
inline constexpr int kCacheSlots = 4;
inline constexpr int kHeaderWords = 16;  // bytes of the header that are read
// Pages are numbered by int16 words in the header.
inline constexpr int kMaxPages = 32767;

struct Header {
  int16_t header_size = 2048;
  int16_t page_size = 2048;
  int16_t max_key_length = 20;
  int16_t depth = 0;
  int16_t page_count = 0;
  int16_t root = 0;
  int16_t word12 = 0;
  int16_t word14 = 4096;
};

// The header a database creates its ".btr" and ".btz" files with.
Header PersonIndexHeader();
// The header for a value index (".bnz"), whose keys run up to 100 bytes.
Header ValueIndexHeader();

std::array<uint8_t, kHeaderWords> EncodeHeader(const Header& h);
Header DecodeHeader(const uint8_t* bytes);
// Empty when the header can describe a usable file of file_size bytes, else what is wrong.
std::string CheckHeader(const Header& h, int64_t file_size);

struct PathLevel {
  int page = 0;
  int pos = 0;
};

struct CacheSlot {
  int page = -1;
  unsigned uses = 0;
  std::vector<uint8_t> data;
};

struct IndexHandle {
  Header header;
  int fd = -1;
  bool writable = false;
  std::array<PathLevel, kMaxDepth> path{};
  // Iteration cursor: current level, -1 when Next has nothing to give.
  int cursor_level = -1;
  std::string last_key;  // the last key Next gave since Seek
  bool have_last = false;
  std::array<CacheSlot, kCacheSlots> cache;
  std::string file_name;
  std::string damage;     // empty while the file looks sound
  bool io_error = false;  // a read or write of the file failed
};

// Opens the file (read-write when writable, else read-only) and reads its header.
// 0 on success; -1 when the file cannot be opened (damage stays empty) or its header
// is unusable (damage says why). The file is never written by Open.
int Open(const std::string& file_name, IndexHandle& h, bool writable = true);
void Close(IndexHandle& h);
bool IsOpen(const IndexHandle& h);

// Writes a new empty file: the header with header size := page size, depth, page
// count, root and word 12 zero, then zero bytes up to the header size. 0 or 1.
int Create(const std::string& file_name, Header header);

// True and the value when the key is stored and not marked absent.
bool Lookup(IndexHandle& h, std::string_view key, int16_t* value);
// Inserts the key or replaces its value (reviving an absent entry). 1 when stored;
// 0 for a key length outside 0..max, a damaged file, a full file or a failed write.
int Put(IndexHandle& h, std::string_view key, int16_t value);
// 1 when the key was found and removed (in an inner page: marked absent), else 0.
int Remove(IndexHandle& h, std::string_view key);
// Positions the cursor before the first entry whose key is >= key.
void Seek(IndexHandle& h, std::string_view key);
// Next entry in key order, absent entries included. 0 with key and value; -1 at the
// end, on an empty tree or when damage was met; -2 for a negative stored key length.
int Next(IndexHandle& h, std::string* key, int16_t* value);

// Bytewise unsigned comparison; a proper prefix is smaller.
int CompareKeys(std::string_view a, std::string_view b);

// Checks one page image as it would be read at a level: empty when sound.
std::string CheckPage(const Header& h, const uint8_t* page, bool expect_leaf);

}  // namespace kv::btree
