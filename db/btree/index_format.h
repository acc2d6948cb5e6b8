// The layout of a key-index file (".btr", ".btz", ".bnz"), read and written here only.
// All integers are little-endian.
//
//   header block  header size bytes; the first 16 bytes are eight int16 words:
//                 header size, page size, maximum key length, depth, page count,
//                 root page, two words not interpreted (0 and 4096 when created)
//   page n        at header size + page size * (n - 1), pages numbered from 1
//   page          int16 free bytes, int16 leaf flag (1 leaf, 0 inner),
//                 [uint16 leftmost child, inner pages only],
//                 entries: int16 key length, key, int16 value [, uint16 child]
//
// Keys order bytewise as unsigned bytes, a proper prefix first. Both the key index
// and the full check read pages through PageView, after CheckPage has passed them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace kv::btree {

// The search path records one (page, position) per level.
inline constexpr int kMaxDepth = 10;
inline constexpr int kHeaderWords = 16;  // bytes of the header that are read
// Pages are numbered by int16 words in the header.
inline constexpr int kMaxPages = 32767;
inline constexpr int kPageHead = 4;    // free bytes, leaf flag
inline constexpr int kChildBytes = 2;  // a child page number

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
// Ok when the header can describe a usable file of file_size bytes, else Corruption
// saying what is wrong.
Status CheckHeader(const Header& h, int64_t file_size);

// Bytewise unsigned comparison; a proper prefix is smaller. -1, 0 or 1.
int CompareKeys(std::string_view a, std::string_view b);

// Checks one page image on its own: the leaf flag, the free count, every entry's key
// length, size and child number against the header, and the keys in ascending order.
// Ok when sound, else Corruption saying what and where.
Status CheckPage(const Header& h, const uint8_t* page);

struct PageEntry {
  int pos = 0;   // offset of the key-length word
  int size = 0;  // bytes of the whole entry, child field included
  std::string_view key;
  int16_t value = 0;
  int child = 0;  // inner pages: the page holding the keys after this one
};

// Reads a page image that CheckPage has passed; no offset is checked again here.
class PageView {
 public:
  PageView(const Header& h, const uint8_t* page);

  bool leaf() const { return leaf_; }
  int free_bytes() const;
  // End of the bytes in use (page size - free bytes).
  int used_end() const { return page_size_ - free_bytes(); }
  int first_entry() const { return leaf() ? kPageHead : kPageHead + kChildBytes; }
  int leftmost_child() const;
  PageEntry EntryAt(int pos) const;
  // The child page before the entry at pos (the leftmost child for the first entry,
  // else the child of the entry before it); pos may be the end of the used bytes.
  int ChildBefore(int pos) const;

 private:
  int page_size_;
  const uint8_t* page_;
  bool leaf_;
};

// An empty page of the header's size: free bytes page size - head (- leftmost child).
std::vector<uint8_t> NewPage(const Header& h, bool leaf);
// The bytes of an entry: key length, key, value [, child].
std::vector<uint8_t> EncodeEntry(std::string_view key, int16_t value, bool inner, int child);
void SetFreeBytes(uint8_t* page, int free_bytes);
// The child word at offset (the leftmost child at kPageHead, or an entry's child).
void SetChildAt(uint8_t* page, int offset, int child);
void SetEntryValue(uint8_t* page, int pos, int16_t value);

}  // namespace kv::btree
