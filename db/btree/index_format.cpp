#include "db/btree/index_format.h"

#include <algorithm>
#include <cstring>

#include "common/coding.h"
#include "common/messages.h"

namespace kv::btree {

Header PersonIndexHeader() { return Header{}; }

Header ValueIndexHeader() {
  Header h;
  h.max_key_length = 100;
  return h;
}

std::array<uint8_t, kHeaderWords> EncodeHeader(const Header& h) {
  std::array<uint8_t, kHeaderWords> b{};
  const int16_t words[8] = {h.header_size, h.page_size, h.max_key_length, h.depth,
                            h.page_count,  h.root,      h.word12,         h.word14};
  for (int i = 0; i < 8; ++i) EncodeInt16(b.data() + 2 * i, words[i]);
  return b;
}

Header DecodeHeader(const uint8_t* b) {
  Header h;
  h.header_size = DecodeInt16(b + 0);
  h.page_size = DecodeInt16(b + 2);
  h.max_key_length = DecodeInt16(b + 4);
  h.depth = DecodeInt16(b + 6);
  h.page_count = DecodeInt16(b + 8);
  h.root = DecodeInt16(b + 10);
  h.word12 = DecodeInt16(b + 12);
  h.word14 = DecodeInt16(b + 14);
  return h;
}

Status CheckHeader(const Header& h, int64_t file_size) {
  if (h.header_size < kHeaderWords)
    return Status::Corruption(FormatMessage("header size %d is below %d", h.header_size, kHeaderWords));
  if (h.max_key_length < 1)
    return Status::Corruption(FormatMessage("maximum key length %d", h.max_key_length));
  // A split must leave room for the entry that caused it on either side.
  int smallest = std::max(64, 4 * (h.max_key_length + 6) + 8);
  if (h.page_size < smallest)
    return Status::Corruption(FormatMessage("page size %d too small for keys of %d bytes",
                                            h.page_size, h.max_key_length));
  if (h.depth < 0 || h.depth > kMaxDepth)
    return Status::Corruption(FormatMessage("depth %d outside 0..%d", h.depth, kMaxDepth));
  if (h.page_count < 0) return Status::Corruption(FormatMessage("page count %d", h.page_count));
  if ((h.depth == 0) != (h.root == 0) || h.root < 0 || h.root > h.page_count)
    return Status::Corruption(FormatMessage("root page %d with depth %d and %d pages", h.root,
                                            h.depth, h.page_count));
  if (h.depth > h.page_count)
    return Status::Corruption(FormatMessage("depth %d with only %d pages", h.depth, h.page_count));
  int64_t needed = h.header_size + static_cast<int64_t>(h.page_size) * h.page_count;
  if (file_size < needed)
    return Status::Corruption(FormatMessage("%d pages need %lld bytes, the file has %lld",
                                            h.page_count, static_cast<long long>(needed),
                                            static_cast<long long>(file_size)));
  return Status::Ok();
}

int CompareKeys(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Status CheckPage(const Header& h, const uint8_t* page) {
  int flag = DecodeInt16(page + 2);
  if (flag != 0 && flag != 1) return Status::Corruption(FormatMessage("leaf flag %d", flag));
  const PageView view(h, page);
  const bool leaf = view.leaf();
  int free_bytes = view.free_bytes();
  int first = view.first_entry();
  if (free_bytes < 0 || free_bytes > h.page_size - first)
    return Status::Corruption(
        FormatMessage("free count %d outside 0..%d", free_bytes, h.page_size - first));
  int end = view.used_end();
  if (!leaf) {
    int child = view.leftmost_child();
    if (child < 1 || child > h.page_count)
      return Status::Corruption(FormatMessage("leftmost child %d", child));
  }
  std::string_view previous;
  bool have_previous = false;
  int pos = first;
  while (pos < end) {
    if (pos + 2 > end)
      return Status::Corruption(FormatMessage("entry at %d runs past the used bytes", pos));
    int len = DecodeInt16(page + pos);
    if (len < 0 || len > h.max_key_length)
      return Status::Corruption(FormatMessage("key length %d at %d", len, pos));
    int size = 2 + len + 2 + (leaf ? 0 : kChildBytes);
    if (pos + size > end)
      return Status::Corruption(FormatMessage(
          "entry at %d runs past the used bytes (free count %d)", pos, free_bytes));
    const PageEntry e = view.EntryAt(pos);
    if (have_previous && CompareKeys(previous, e.key) >= 0)
      return Status::Corruption(FormatMessage("keys out of order at %d", pos));
    if (!leaf && (e.child < 1 || e.child > h.page_count))
      return Status::Corruption(FormatMessage("child %d at %d beyond the pages", e.child, pos));
    previous = e.key;
    have_previous = true;
    pos += size;
  }
  return Status::Ok();
}

PageView::PageView(const Header& h, const uint8_t* page)
    : page_size_(h.page_size), page_(page), leaf_(DecodeInt16(page + 2) == 1) {}

int PageView::free_bytes() const { return DecodeInt16(page_); }

int PageView::leftmost_child() const { return DecodeFixed16(page_ + kPageHead); }

PageEntry PageView::EntryAt(int pos) const {
  PageEntry e;
  e.pos = pos;
  const int len = DecodeInt16(page_ + pos);
  e.key = std::string_view(reinterpret_cast<const char*>(page_ + pos + 2), len);
  e.value = DecodeInt16(page_ + pos + 2 + len);
  const bool inner = !leaf_;
  e.size = 2 + len + 2 + (inner ? kChildBytes : 0);
  if (inner) e.child = DecodeFixed16(page_ + pos + e.size - kChildBytes);
  return e;
}

int PageView::ChildBefore(int pos) const { return DecodeFixed16(page_ + pos - kChildBytes); }

std::vector<uint8_t> NewPage(const Header& h, bool leaf) {
  std::vector<uint8_t> p(h.page_size, 0);
  EncodeInt16(p.data(), h.page_size - (leaf ? kPageHead : kPageHead + kChildBytes));
  EncodeInt16(p.data() + 2, leaf ? 1 : 0);
  return p;
}

std::vector<uint8_t> EncodeEntry(std::string_view key, int16_t value, bool inner, int child) {
  std::vector<uint8_t> e(key.size() + 4 + (inner ? kChildBytes : 0));
  EncodeInt16(e.data(), static_cast<int>(key.size()));
  std::memcpy(e.data() + 2, key.data(), key.size());
  EncodeInt16(e.data() + 2 + key.size(), value);
  if (inner) EncodeInt16(e.data() + 4 + key.size(), child);
  return e;
}

void SetFreeBytes(uint8_t* page, int free_bytes) { EncodeInt16(page, free_bytes); }

void SetChildAt(uint8_t* page, int offset, int child) { EncodeInt16(page + offset, child); }

void SetEntryValue(uint8_t* page, int pos, int16_t value) {
  EncodeInt16(page + pos + 2 + DecodeInt16(page + pos), value);
}

}  // namespace kv::btree
