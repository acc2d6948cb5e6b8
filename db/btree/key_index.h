// The key index: a disk-resident B-tree of fixed-size pages mapping keys of up to
// the maximum key length to signed 16-bit values, in bytewise key order.
//
// Files ".btr", ".btz" (key -> block of the record file) and ".bnz" (value index,
// value always 1) share the layout of index_format.h.
//
// A negative value marks an entry as absent (a key removed from an inner page stays
// as a separator). Every page read from the file is checked against its own used
// bytes before it is believed; a handle that met a damaged page refuses all further
// work (its status tells what and where) and never writes to the file again.
//
// Splits never overwrite a page that is still reachable: both halves go to new pages
// and a single page write (the parent, or the header for a new root) links them in.
// A process killed between any two writes therefore leaves a consistent tree; the
// price is that the page that was split stays in the file unused. A handle that orders
// its writes (`ordered`) also waits, before the write that links new pages in, until
// they and the page count are on the disk, so that a power cut, which may keep any of
// the writes not yet flushed and lose the others, cannot leave a link to a page the
// disk never got.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"
#include "db/btree/index_format.h"
#include "db/io/file_writer.h"

namespace kv::btree {

inline constexpr int kCacheSlots = 4;

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
  // Where the writes go (the system writer when null).
  db::FileWriter* writer = nullptr;
  // Flush before a write that makes earlier writes of the same call reachable.
  bool ordered = false;
  bool unflushed = false;  // written since the last flush this handle asked for
  // Ok while the file looks sound and every read and write went through; otherwise
  // the first damage (Corruption) or failed write (IoError), and the handle refuses
  // all further work.
  Status status;
};

// Opens the file (read-write when writable, else read-only) and reads its header.
// NotFound when the file cannot be opened (h.status stays ok); Corruption, also kept
// in h.status, when its header is unusable. The file is never written by Open. Writes
// go through writer (the system writer when null).
Status Open(const std::string& file_name, IndexHandle& h, bool writable = true,
            db::FileWriter* writer = nullptr);
void Close(IndexHandle& h);
bool IsOpen(const IndexHandle& h);

// Writes a new empty file: the header with header size := page size, depth, page
// count, root and word 12 zero, then zero bytes up to the header size. IoError when
// the file cannot be created or written.
Status Create(const std::string& file_name, Header header);

// True and the value when the key is stored and not marked absent.
bool Lookup(IndexHandle& h, std::string_view key, int16_t* value);
// Inserts the key or replaces its value (reviving an absent entry). InvalidArgument
// for a key longer than the maximum, ReadOnly for a handle opened for reading, Full
// when the tree can take no more pages or levels, or the handle's status after damage
// or a failed write.
Status Put(IndexHandle& h, std::string_view key, int16_t value);
// Removes the key (in an inner page: marks it absent). NotFound when it is not
// stored or is marked absent already (no page is written then); ReadOnly; or the
// handle's status after damage or a failed write.
Status Remove(IndexHandle& h, std::string_view key);
// Positions the cursor before the first entry whose key is >= key.
void Seek(IndexHandle& h, std::string_view key);
// Next entry in key order, absent entries included: true with key and value; false at
// the end, on an empty tree or when damage was met (h.status then says what).
bool Next(IndexHandle& h, std::string* key, int16_t* value);

}  // namespace kv::btree
