#include "db/btree/key_index.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "common/messages.h"

namespace kv::btree {
namespace {

constexpr int kPageHead = 4;      // free bytes, leaf flag
constexpr int kChildBytes = 2;

int16_t Get16(const uint8_t* p, int off) {
  return static_cast<int16_t>(p[off] | (p[off + 1] << 8));
}
uint16_t GetU16(const uint8_t* p, int off) {
  return static_cast<uint16_t>(p[off] | (p[off + 1] << 8));
}
void Put16(uint8_t* p, int off, int v) {
  p[off] = static_cast<uint8_t>(v & 0xFF);
  p[off + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

bool IsLeafPage(const uint8_t* page) { return Get16(page, 2) == 1; }
int FirstEntry(bool leaf) { return leaf ? kPageHead : kPageHead + kChildBytes; }
int UsedEnd(const Header& h, const uint8_t* page) { return h.page_size - Get16(page, 0); }
// Bytes of the entry at pos (key length, key, value and, inner, child).
int EntrySize(const uint8_t* page, int pos, bool leaf) {
  return 2 + Get16(page, pos) + 2 + (leaf ? 0 : kChildBytes);
}
std::string_view EntryKey(const uint8_t* page, int pos) {
  return std::string_view(reinterpret_cast<const char*>(page + pos + 2), Get16(page, pos));
}
int16_t EntryValue(const uint8_t* page, int pos) {
  return Get16(page, pos + 2 + Get16(page, pos));
}

bool ReadAt(IndexHandle& h, void* buf, size_t n, int64_t off) {
  ssize_t got = pread(h.fd, buf, n, off);
  if (got != static_cast<ssize_t>(n)) {
    h.io_error = true;
    return false;
  }
  return true;
}
bool WriteAt(IndexHandle& h, const void* buf, size_t n, int64_t off) {
  if (!h.writable || !h.damage.empty()) return false;
  ssize_t put = pwrite(h.fd, buf, n, off);
  if (put != static_cast<ssize_t>(n)) {
    h.io_error = true;
    return false;
  }
  return true;
}

int64_t PageOffset(const Header& hd, int page) {
  return hd.header_size + static_cast<int64_t>(hd.page_size) * (page - 1);
}

void SetDamage(IndexHandle& h, std::string what) {
  if (h.damage.empty()) h.damage = std::move(what);
}

// The cached image of a page, read and checked on a miss; nullptr after damage.
const uint8_t* FetchPage(IndexHandle& h, int page, bool expect_leaf) {
  if (!h.damage.empty()) return nullptr;
  if (page < 1 || page > h.header.page_count) {
    SetDamage(h, FormatMessage("page number %d beyond the %d pages of the file", page,
                               h.header.page_count));
    return nullptr;
  }
  CacheSlot* slot = nullptr;
  for (auto& s : h.cache)
    if (s.page == page) slot = &s;
  if (slot) {
    ++slot->uses;
  } else {
    slot = &h.cache[0];
    for (auto& s : h.cache)
      if (s.uses < slot->uses) slot = &s;
    slot->page = -1;
    slot->data.resize(h.header.page_size);
    if (!ReadAt(h, slot->data.data(), slot->data.size(), PageOffset(h.header, page))) {
      SetDamage(h, FormatMessage("page %d cannot be read", page));
      return nullptr;
    }
    std::string bad = CheckPage(h.header, slot->data.data(), expect_leaf);
    if (!bad.empty()) {
      SetDamage(h, FormatMessage("page %d: %s", page, bad.c_str()));
      return nullptr;
    }
    slot->page = page;
    slot->uses = 1;
  }
  if (IsLeafPage(slot->data.data()) != expect_leaf) {
    SetDamage(h, FormatMessage("page %d: %s page where the depth needs %s", page,
                               expect_leaf ? "inner" : "leaf", expect_leaf ? "a leaf" : "an inner one"));
    return nullptr;
  }
  return slot->data.data();
}

// Write-through: the whole page reaches the file at once and the cache follows it.
bool WritePage(IndexHandle& h, int page, const std::vector<uint8_t>& image) {
  if (!WriteAt(h, image.data(), image.size(), PageOffset(h.header, page))) return false;
  CacheSlot* slot = nullptr;
  for (auto& s : h.cache)
    if (s.page == page) slot = &s;
  if (!slot) {
    slot = &h.cache[0];
    for (auto& s : h.cache)
      if (s.uses < slot->uses) slot = &s;
    slot->uses = 1;
  }
  slot->page = page;
  slot->data = image;
  return true;
}

bool RewriteHeader(IndexHandle& h) {
  auto bytes = EncodeHeader(h.header);
  return WriteAt(h, bytes.data(), bytes.size(), 0);
}

std::vector<uint8_t> NewPage(const Header& hd, bool leaf) {
  std::vector<uint8_t> p(hd.page_size, 0);
  Put16(p.data(), 0, hd.page_size - FirstEntry(leaf));
  Put16(p.data(), 2, leaf ? 1 : 0);
  return p;
}

struct SearchResult {
  int pos = 0;
  bool found = false;
  int16_t value = 0;
  int child = 0;  // inner pages: the child before pos
};

SearchResult SearchPage(const Header& hd, const uint8_t* page, std::string_view key) {
  bool leaf = IsLeafPage(page);
  int end = UsedEnd(hd, page);
  SearchResult r;
  r.pos = FirstEntry(leaf);
  while (r.pos < end) {
    int c = CompareKeys(EntryKey(page, r.pos), key);
    if (c >= 0) {
      r.found = c == 0;
      r.value = EntryValue(page, r.pos);
      break;
    }
    r.pos += EntrySize(page, r.pos, leaf);
  }
  if (!leaf) r.child = GetU16(page, r.pos - kChildBytes);
  return r;
}

// Walks from the root, filling the path. Returns the level where the key was found,
// -1 when it is not stored, -2 on damage (or an empty tree for which path is unset).
int WalkDown(IndexHandle& h, std::string_view key, SearchResult* at,
             std::array<PathLevel, kMaxDepth>& path) {
  int depth = h.header.depth;
  if (depth == 0) return -1;
  int page = h.header.root;
  for (int level = 0; level < depth; ++level) {
    const uint8_t* p = FetchPage(h, page, level == depth - 1);
    if (!p) return -2;
    SearchResult r = SearchPage(h.header, p, key);
    path[level] = {page, r.pos};
    if (r.found) {
      if (at) *at = r;
      return level;
    }
    page = r.child;
  }
  return -1;
}

void InsertBytes(std::vector<uint8_t>& page, int pos, int used_end, const uint8_t* bytes, int n) {
  std::memmove(page.data() + pos + n, page.data() + pos, used_end - pos);
  std::memcpy(page.data() + pos, bytes, n);
}

std::vector<uint8_t> EncodeEntry(std::string_view key, int16_t value, bool inner, int child) {
  std::vector<uint8_t> e(key.size() + 4 + (inner ? kChildBytes : 0));
  Put16(e.data(), 0, static_cast<int>(key.size()));
  std::memcpy(e.data() + 2, key.data(), key.size());
  Put16(e.data(), 2 + static_cast<int>(key.size()), value);
  if (inner) Put16(e.data(), 4 + static_cast<int>(key.size()), child);
  return e;
}

int AllocatePage(IndexHandle& h) {
  if (h.header.page_count >= kMaxPages) return 0;
  return ++h.header.page_count;
}

// Inserts an entry at level (the position recorded in the path). For inner levels
// `right` is the child of the new entry and `left`, when not 0, replaces the child
// before it (the page that was split, now rewritten elsewhere).
bool InsertAt(IndexHandle& h, int level, std::string_view key, int16_t value, int left, int right) {
  const Header& hd = h.header;
  if (level < 0) {
    bool leaf = hd.root == 0;
    int root = AllocatePage(h);
    if (!root) return false;
    std::vector<uint8_t> page = NewPage(hd, leaf);
    int pos = FirstEntry(leaf);
    if (!leaf) Put16(page.data(), kPageHead, left);
    auto e = EncodeEntry(key, value, !leaf, right);
    std::memcpy(page.data() + pos, e.data(), e.size());
    Put16(page.data(), 0, Get16(page.data(), 0) - static_cast<int>(e.size()));
    if (!WritePage(h, root, page)) return false;
    h.header.root = static_cast<int16_t>(root);
    ++h.header.depth;
    return RewriteHeader(h);
  }
  bool leaf = level == hd.depth - 1;
  const uint8_t* cached = FetchPage(h, h.path[level].page, leaf);
  if (!cached) return false;
  std::vector<uint8_t> page(cached, cached + hd.page_size);
  int pos = h.path[level].pos;
  if (!leaf && left) Put16(page.data(), pos - kChildBytes, left);
  auto e = EncodeEntry(key, value, !leaf, right);
  int needed = static_cast<int>(e.size());
  int free_bytes = Get16(page.data(), 0);
  int used = hd.page_size - free_bytes;
  if (free_bytes >= needed) {
    InsertBytes(page, pos, used, e.data(), needed);
    Put16(page.data(), 0, free_bytes - needed);
    return WritePage(h, h.path[level].page, page);
  }

  // Split: the median is the first entry whose end reaches half the page.
  int median = -1;
  for (int p = FirstEntry(leaf); p < used; p += EntrySize(page.data(), p, leaf)) {
    if (p + Get16(page.data(), p) + 4 >= hd.page_size / 2) {
      median = p;
      break;
    }
  }
  if (median < 0) {
    SetDamage(h, FormatMessage("page %d is full but has no median", h.path[level].page));
    return false;
  }
  std::string median_key(EntryKey(page.data(), median));
  int16_t median_value = EntryValue(page.data(), median);
  int after_value = median + 2 + static_cast<int>(median_key.size()) + 2;

  std::vector<uint8_t> lower = NewPage(hd, leaf);
  std::memcpy(lower.data() + kPageHead, page.data() + kPageHead, median - kPageHead);
  Put16(lower.data(), 0, hd.page_size - median);
  std::vector<uint8_t> upper = NewPage(hd, leaf);
  int tail = used - after_value;  // starts with the median's child in an inner page
  std::memcpy(upper.data() + kPageHead, page.data() + after_value, tail);
  Put16(upper.data(), 0, hd.page_size - kPageHead - tail);

  std::vector<uint8_t>& target = pos <= median ? lower : upper;
  int tpos = pos <= median ? pos : pos - after_value + kPageHead;
  int tfree = Get16(target.data(), 0);
  if (tfree < needed) {
    SetDamage(h, FormatMessage("page %d: the split leaves no room", h.path[level].page));
    return false;
  }
  InsertBytes(target, tpos, hd.page_size - tfree, e.data(), needed);
  Put16(target.data(), 0, tfree - needed);

  int16_t count_before = h.header.page_count;
  int lower_no = AllocatePage(h);
  int upper_no = lower_no ? AllocatePage(h) : 0;
  if (!upper_no) {
    h.header.page_count = count_before;
    return false;
  }
  // New pages first, then their count, then the one write that links them in.
  if (!WritePage(h, lower_no, lower) || !WritePage(h, upper_no, upper) || !RewriteHeader(h))
    return false;
  return InsertAt(h, level - 1, median_key, median_value, lower_no, upper_no);
}

}  // namespace

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
  for (int i = 0; i < 8; ++i) Put16(b.data(), 2 * i, words[i]);
  return b;
}

Header DecodeHeader(const uint8_t* b) {
  Header h;
  h.header_size = Get16(b, 0);
  h.page_size = Get16(b, 2);
  h.max_key_length = Get16(b, 4);
  h.depth = Get16(b, 6);
  h.page_count = Get16(b, 8);
  h.root = Get16(b, 10);
  h.word12 = Get16(b, 12);
  h.word14 = Get16(b, 14);
  return h;
}

std::string CheckHeader(const Header& h, int64_t file_size) {
  if (h.header_size < kHeaderWords)
    return FormatMessage("header size %d is below %d", h.header_size, kHeaderWords);
  if (h.max_key_length < 1) return FormatMessage("maximum key length %d", h.max_key_length);
  // A split must leave room for the entry that caused it on either side.
  int smallest = std::max(64, 4 * (h.max_key_length + 6) + 8);
  if (h.page_size < smallest)
    return FormatMessage("page size %d too small for keys of %d bytes", h.page_size,
                         h.max_key_length);
  if (h.depth < 0 || h.depth > kMaxDepth)
    return FormatMessage("depth %d outside 0..%d", h.depth, kMaxDepth);
  if (h.page_count < 0) return FormatMessage("page count %d", h.page_count);
  if ((h.depth == 0) != (h.root == 0) || h.root < 0 || h.root > h.page_count)
    return FormatMessage("root page %d with depth %d and %d pages", h.root, h.depth,
                         h.page_count);
  if (h.depth > h.page_count)
    return FormatMessage("depth %d with only %d pages", h.depth, h.page_count);
  int64_t needed = h.header_size + static_cast<int64_t>(h.page_size) * h.page_count;
  if (file_size < needed)
    return FormatMessage("%d pages need %lld bytes, the file has %lld", h.page_count,
                         static_cast<long long>(needed), static_cast<long long>(file_size));
  return {};
}

std::string CheckPage(const Header& h, const uint8_t* page, bool expect_leaf) {
  int flag = Get16(page, 2);
  if (flag != 0 && flag != 1) return FormatMessage("leaf flag %d", flag);
  bool leaf = flag == 1;
  int free_bytes = Get16(page, 0);
  int first = FirstEntry(leaf);
  if (free_bytes < 0 || free_bytes > h.page_size - first)
    return FormatMessage("free count %d outside 0..%d", free_bytes, h.page_size - first);
  int end = h.page_size - free_bytes;
  if (!leaf) {
    int child = GetU16(page, kPageHead);
    if (child < 1 || child > h.page_count) return FormatMessage("leftmost child %d", child);
  }
  std::string_view previous;
  bool have_previous = false;
  int pos = first;
  while (pos < end) {
    if (pos + 2 > end) return FormatMessage("entry at %d runs past the used bytes", pos);
    int len = Get16(page, pos);
    if (len < 0 || len > h.max_key_length)
      return FormatMessage("key length %d at %d", len, pos);
    int size = 2 + len + 2 + (leaf ? 0 : kChildBytes);
    if (pos + size > end)
      return FormatMessage("entry at %d runs past the used bytes (free count %d)", pos,
                           free_bytes);
    std::string_view key = EntryKey(page, pos);
    if (have_previous && CompareKeys(previous, key) >= 0)
      return FormatMessage("keys out of order at %d", pos);
    if (!leaf) {
      int child = GetU16(page, pos + size - kChildBytes);
      if (child < 1 || child > h.page_count)
        return FormatMessage("child %d at %d beyond the pages", child, pos);
    }
    previous = key;
    have_previous = true;
    pos += size;
  }
  (void)expect_leaf;  // the level is checked by the caller on every fetch
  return {};
}

int CompareKeys(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int Open(const std::string& file_name, IndexHandle& h, bool writable) {
  h = IndexHandle{};
  int fd = ::open(file_name.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return -1;
  h.fd = fd;
  h.writable = writable;
  h.file_name = file_name.substr(0, 79);
  struct stat st {};
  uint8_t bytes[kHeaderWords];
  if (fstat(fd, &st) != 0 || !ReadAt(h, bytes, sizeof bytes, 0)) {
    h.damage = "the header cannot be read";
    return -1;
  }
  h.header = DecodeHeader(bytes);
  h.damage = CheckHeader(h.header, st.st_size);
  if (!h.damage.empty()) return -1;
  for (auto& s : h.cache) s.data.assign(h.header.page_size, 0);
  return 0;
}

void Close(IndexHandle& h) {
  if (h.fd >= 0) ::close(h.fd);
  h.fd = -1;
  for (auto& s : h.cache) {
    s.page = -1;
    s.data.clear();
    s.data.shrink_to_fit();
  }
  h.cursor_level = -1;
}

bool IsOpen(const IndexHandle& h) { return h.fd >= 0; }

int Create(const std::string& file_name, Header header) {
  header.header_size = header.page_size;
  header.depth = 0;
  header.page_count = 0;
  header.root = 0;
  header.word12 = 0;
  if (header.page_size < kHeaderWords) return 1;
  std::vector<uint8_t> block(header.header_size, 0);
  auto bytes = EncodeHeader(header);
  std::memcpy(block.data(), bytes.data(), bytes.size());
  int fd = ::open(file_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return 1;
  bool ok = ::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size());
  ok = (::close(fd) == 0) && ok;
  return ok ? 0 : 1;
}

bool Lookup(IndexHandle& h, std::string_view key, int16_t* value) {
  if (key.empty() || !IsOpen(h)) return false;
  SearchResult r;
  // A lookup keeps the iteration path: listings read records while they walk.
  std::array<PathLevel, kMaxDepth> scratch{};
  if (WalkDown(h, key, &r, scratch) < 0 || r.value < 0) return false;
  if (value) *value = r.value;
  return true;
}

int Put(IndexHandle& h, std::string_view key, int16_t value) {
  if (!IsOpen(h) || static_cast<int>(key.size()) > h.header.max_key_length) return 0;
  if (!h.damage.empty() || !h.writable) return 0;
  h.cursor_level = -1;
  SearchResult r;
  int level = WalkDown(h, key, &r, h.path);
  if (level == -2) return 0;
  if (level >= 0) {
    const uint8_t* cached = FetchPage(h, h.path[level].page, level == h.header.depth - 1);
    if (!cached) return 0;
    std::vector<uint8_t> page(cached, cached + h.header.page_size);
    Put16(page.data(), r.pos + 2 + static_cast<int>(key.size()), value);
    return WritePage(h, h.path[level].page, page) ? 1 : 0;
  }
  // A split may climb every level and add a root: make sure the page numbers exist.
  if (h.header.page_count + 2 * h.header.depth + 1 > kMaxPages) return 0;
  if (h.header.depth >= kMaxDepth) {
    // The tree may not grow another level; refuse rather than overrun the path.
    const uint8_t* p = FetchPage(h, h.header.root, h.header.depth == 1);
    if (!p || Get16(p, 0) < h.header.max_key_length + 6) return 0;
  }
  int16_t pages_before = h.header.page_count;
  if (!InsertAt(h, h.header.depth - 1, key, value, 0, 0)) {
    // Pages allocated for a failed insert are unreachable; the count on disk is
    // whatever was written last, so keep memory in step with it.
    if (h.header.page_count != pages_before && h.damage.empty() && !h.io_error) RewriteHeader(h);
    return 0;
  }
  return 1;
}

int Remove(IndexHandle& h, std::string_view key) {
  if (!IsOpen(h) || key.empty() || !h.damage.empty() || !h.writable) return 0;
  h.cursor_level = -1;
  SearchResult r;
  int level = WalkDown(h, key, &r, h.path);
  if (level < 0) return 0;
  bool leaf = level == h.header.depth - 1;
  const uint8_t* cached = FetchPage(h, h.path[level].page, leaf);
  if (!cached) return 0;
  std::vector<uint8_t> page(cached, cached + h.header.page_size);
  if (!leaf) {
    Put16(page.data(), r.pos + 2 + static_cast<int>(key.size()), -1);
  } else {
    int size = EntrySize(page.data(), r.pos, true);
    int used = UsedEnd(h.header, page.data());
    std::memmove(page.data() + r.pos, page.data() + r.pos + size, used - r.pos - size);
    std::memset(page.data() + used - size, 0, size);
    Put16(page.data(), 0, Get16(page.data(), 0) + size);
  }
  return WritePage(h, h.path[level].page, page) ? 1 : 0;
}

void Seek(IndexHandle& h, std::string_view key) {
  h.cursor_level = -1;
  h.have_last = false;
  if (!IsOpen(h) || h.header.depth == 0) return;
  int level = WalkDown(h, key, nullptr, h.path);
  if (level == -2) return;
  h.cursor_level = level >= 0 ? level : h.header.depth - 1;
}

int Next(IndexHandle& h, std::string* key, int16_t* value) {
  const int depth = h.header.depth;
  while (h.cursor_level >= 0) {
    int level = h.cursor_level;
    bool leaf = level == depth - 1;
    const uint8_t* page = FetchPage(h, h.path[level].page, leaf);
    if (!page) break;
    int pos = h.path[level].pos;
    if (pos >= UsedEnd(h.header, page)) {
      --h.cursor_level;  // the entry recorded above is the one after this subtree
      continue;
    }
    int len = Get16(page, pos);
    if (len < 0) return -2;
    std::string found(EntryKey(page, pos));
    int16_t found_value = EntryValue(page, pos);
    if (h.have_last && CompareKeys(h.last_key, found) >= 0) {
      SetDamage(h, FormatMessage("page %d: keys out of order across pages", h.path[level].page));
      break;
    }
    h.path[level].pos = pos + EntrySize(page, pos, leaf);
    if (!leaf) {
      // Descend to the leftmost leaf of the subtree right of this entry.
      int child = GetU16(page, h.path[level].pos - kChildBytes);
      for (int l = level + 1; l < depth; ++l) {
        const uint8_t* c = FetchPage(h, child, l == depth - 1);
        if (!c) {
          h.cursor_level = -1;
          return -1;
        }
        h.path[l] = {child, FirstEntry(l == depth - 1)};
        if (l < depth - 1) child = GetU16(c, kPageHead);
      }
      h.cursor_level = depth - 1;
    }
    h.last_key = found;
    h.have_last = true;
    if (key) *key = std::move(found);
    if (value) *value = found_value;
    return 0;
  }
  h.cursor_level = -1;
  return -1;
}

}  // namespace kv::btree
