#include "db/btree/key_index.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "common/coding.h"
#include "common/messages.h"

namespace kv::btree {
namespace {

int FirstEntry(bool leaf) { return leaf ? kPageHead : kPageHead + kChildBytes; }

bool ReadAt(IndexHandle& h, void* buf, size_t n, int64_t off) {
  return pread(h.fd, buf, n, off) == static_cast<ssize_t>(n);
}
db::FileWriter& WriterOf(IndexHandle& h) { return h.writer ? *h.writer : db::SystemFileWriter(); }

bool WriteAt(IndexHandle& h, const void* buf, size_t n, int64_t off) {
  if (!h.writable || !h.status.ok()) return false;
  h.unflushed = true;
  if (!WriterOf(h).WriteAt(h.fd, h.file_name, buf, n, off)) {
    h.status = Status::IoError("read or write failed");
    return false;
  }
  return true;
}

// In an ordered handle: what was written so far reaches the disk before the next write.
bool Barrier(IndexHandle& h) {
  if (!h.ordered || !h.unflushed || !h.status.ok()) return h.status.ok();
  if (!WriterOf(h).Sync(h.fd, h.file_name)) {
    h.status = Status::IoError("the file cannot be flushed to the disk");
    return false;
  }
  h.unflushed = false;
  return true;
}

int64_t PageOffset(const Header& hd, int page) {
  return hd.header_size + static_cast<int64_t>(hd.page_size) * (page - 1);
}

void SetDamage(IndexHandle& h, std::string what) {
  if (h.status.ok()) h.status = Status::Corruption(std::move(what));
}

// The cached image of a page, read and checked on a miss; nullptr after damage.
const uint8_t* FetchPage(IndexHandle& h, int page, bool expect_leaf) {
  if (!h.status.ok()) return nullptr;
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
    Status bad = CheckPage(h.header, slot->data.data());
    if (!bad.ok()) {
      SetDamage(h, FormatMessage("page %d: %s", page, bad.message().c_str()));
      return nullptr;
    }
    slot->page = page;
    slot->uses = 1;
  }
  if (PageView(h.header, slot->data.data()).leaf() != expect_leaf) {
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

struct SearchResult {
  int pos = 0;
  bool found = false;
  int16_t value = 0;
  int child = 0;  // inner pages: the child before pos
};

SearchResult SearchPage(const Header& hd, const uint8_t* page, std::string_view key) {
  const PageView view(hd, page);
  int end = view.used_end();
  SearchResult r;
  r.pos = view.first_entry();
  while (r.pos < end) {
    const PageEntry e = view.EntryAt(r.pos);
    int c = CompareKeys(e.key, key);
    if (c >= 0) {
      r.found = c == 0;
      r.value = e.value;
      break;
    }
    r.pos += e.size;
  }
  if (!view.leaf()) r.child = view.ChildBefore(r.pos);
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
    if (!leaf) SetChildAt(page.data(), kPageHead, left);
    auto e = EncodeEntry(key, value, !leaf, right);
    std::memcpy(page.data() + pos, e.data(), e.size());
    SetFreeBytes(page.data(), PageView(hd, page.data()).free_bytes() - static_cast<int>(e.size()));
    if (!WritePage(h, root, page) || !Barrier(h)) return false;
    h.header.root = static_cast<int16_t>(root);
    ++h.header.depth;
    return RewriteHeader(h);
  }
  bool leaf = level == hd.depth - 1;
  const uint8_t* cached = FetchPage(h, h.path[level].page, leaf);
  if (!cached) return false;
  std::vector<uint8_t> page(cached, cached + hd.page_size);
  int pos = h.path[level].pos;
  if (!leaf && left) SetChildAt(page.data(), pos - kChildBytes, left);
  auto e = EncodeEntry(key, value, !leaf, right);
  int needed = static_cast<int>(e.size());
  int free_bytes = PageView(hd, page.data()).free_bytes();
  int used = hd.page_size - free_bytes;
  if (free_bytes >= needed) {
    InsertBytes(page, pos, used, e.data(), needed);
    SetFreeBytes(page.data(), free_bytes - needed);
    // This page is reachable: new pages of a split below go to the disk first.
    return Barrier(h) && WritePage(h, h.path[level].page, page);
  }

  // Split: the median is the first entry whose end reaches half the page.
  const PageView view(hd, page.data());
  int median = -1;
  for (int p = FirstEntry(leaf); p < used; p += view.EntryAt(p).size) {
    if (p + static_cast<int>(view.EntryAt(p).key.size()) + 4 >= hd.page_size / 2) {
      median = p;
      break;
    }
  }
  if (median < 0) {
    SetDamage(h, FormatMessage("page %d is full but has no median", h.path[level].page));
    return false;
  }
  const PageEntry median_entry = view.EntryAt(median);
  std::string median_key(median_entry.key);
  int16_t median_value = median_entry.value;
  int after_value = median + 2 + static_cast<int>(median_key.size()) + 2;

  std::vector<uint8_t> lower = NewPage(hd, leaf);
  std::memcpy(lower.data() + kPageHead, page.data() + kPageHead, median - kPageHead);
  SetFreeBytes(lower.data(), hd.page_size - median);
  std::vector<uint8_t> upper = NewPage(hd, leaf);
  int tail = used - after_value;  // starts with the median's child in an inner page
  std::memcpy(upper.data() + kPageHead, page.data() + after_value, tail);
  SetFreeBytes(upper.data(), hd.page_size - kPageHead - tail);

  std::vector<uint8_t>& target = pos <= median ? lower : upper;
  int tpos = pos <= median ? pos : pos - after_value + kPageHead;
  int tfree = PageView(hd, target.data()).free_bytes();
  if (tfree < needed) {
    SetDamage(h, FormatMessage("page %d: the split leaves no room", h.path[level].page));
    return false;
  }
  InsertBytes(target, tpos, hd.page_size - tfree, e.data(), needed);
  SetFreeBytes(target.data(), tfree - needed);

  int16_t count_before = h.header.page_count;
  int lower_no = AllocatePage(h);
  int upper_no = lower_no ? AllocatePage(h) : 0;
  if (!upper_no) {
    h.header.page_count = count_before;
    return false;
  }
  // New pages first, then their count, then the one write that links them in.
  if (!WritePage(h, lower_no, lower) || !WritePage(h, upper_no, upper) || !Barrier(h) ||
      !RewriteHeader(h))
    return false;
  return InsertAt(h, level - 1, median_key, median_value, lower_no, upper_no);
}

}  // namespace

Status Open(const std::string& file_name, IndexHandle& h, bool writable, db::FileWriter* writer) {
  h = IndexHandle{};
  h.writer = writer;
  int fd = ::open(file_name.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return Status::NotFound(file_name + ": the file cannot be opened");
  h.fd = fd;
  h.writable = writable;
  h.file_name = file_name.substr(0, 79);
  struct stat st {};
  uint8_t bytes[kHeaderWords];
  if (fstat(fd, &st) != 0 || !ReadAt(h, bytes, sizeof bytes, 0)) {
    h.status = Status::Corruption("the header cannot be read");
    return h.status;
  }
  h.header = DecodeHeader(bytes);
  h.status = CheckHeader(h.header, st.st_size);
  if (!h.status.ok()) return h.status;
  for (auto& s : h.cache) s.data.assign(h.header.page_size, 0);
  return Status::Ok();
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

Status Create(const std::string& file_name, Header header) {
  header.header_size = header.page_size;
  header.depth = 0;
  header.page_count = 0;
  header.root = 0;
  header.word12 = 0;
  if (header.page_size < kHeaderWords)
    return Status::InvalidArgument(FormatMessage("page size %d", header.page_size));
  std::vector<uint8_t> block(header.header_size, 0);
  auto bytes = EncodeHeader(header);
  std::memcpy(block.data(), bytes.data(), bytes.size());
  int fd = ::open(file_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Status::IoError(file_name + ": the file cannot be created");
  bool ok = ::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size());
  ok = (::close(fd) == 0) && ok;
  return ok ? Status::Ok() : Status::IoError(file_name + ": the file cannot be written");
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

namespace {

// Why an insert did not happen when the handle itself is sound: no page number was left.
Status InsertFailure(const IndexHandle& h, const char* what) {
  return h.status.ok() ? Status::Full(what) : h.status;
}

Status RefusedChange(const IndexHandle& h) {
  if (!IsOpen(h)) return Status::InvalidArgument("no key index is open");
  if (!h.status.ok()) return h.status;
  if (!h.writable) return Status::ReadOnly(h.file_name + " is open for reading");
  return Status::Ok();
}

}  // namespace

Status Put(IndexHandle& h, std::string_view key, int16_t value) {
  if (Status refused = RefusedChange(h); !refused.ok()) return refused;
  if (static_cast<int>(key.size()) > h.header.max_key_length)
    return Status::InvalidArgument(FormatMessage("a key of %d bytes; the index takes up to %d",
                                                 static_cast<int>(key.size()),
                                                 h.header.max_key_length));
  h.cursor_level = -1;
  SearchResult r;
  int level = WalkDown(h, key, &r, h.path);
  if (level == -2) return h.status;
  if (level >= 0) {
    const uint8_t* cached = FetchPage(h, h.path[level].page, level == h.header.depth - 1);
    if (!cached) return h.status;
    std::vector<uint8_t> page(cached, cached + h.header.page_size);
    SetEntryValue(page.data(), r.pos, value);
    return WritePage(h, h.path[level].page, page) ? Status::Ok() : h.status;
  }
  // A split may climb every level and add a root: make sure the page numbers exist.
  if (h.header.page_count + 2 * h.header.depth + 1 > kMaxPages)
    return Status::Full("the key index is full");
  if (h.header.depth >= kMaxDepth) {
    // The tree may not grow another level; refuse rather than overrun the path.
    const uint8_t* p = FetchPage(h, h.header.root, h.header.depth == 1);
    if (!p) return h.status;
    if (PageView(h.header, p).free_bytes() < h.header.max_key_length + 6)
      return Status::Full("the key index is full");
  }
  int16_t pages_before = h.header.page_count;
  if (!InsertAt(h, h.header.depth - 1, key, value, 0, 0)) {
    // Pages allocated for a failed insert are unreachable; the count on disk is
    // whatever was written last, so keep memory in step with it.
    if (h.header.page_count != pages_before && h.status.ok()) RewriteHeader(h);
    return InsertFailure(h, "the key index is full");
  }
  return Status::Ok();
}

Status Remove(IndexHandle& h, std::string_view key) {
  if (Status refused = RefusedChange(h); !refused.ok()) return refused;
  if (key.empty()) return Status::NotFound();
  h.cursor_level = -1;
  SearchResult r;
  int level = WalkDown(h, key, &r, h.path);
  if (level == -2) return h.status;
  // An inner entry marked absent stays as a separator: there is nothing to remove.
  if (level < 0 || r.value < 0) return Status::NotFound();
  bool leaf = level == h.header.depth - 1;
  const uint8_t* cached = FetchPage(h, h.path[level].page, leaf);
  if (!cached) return h.status;
  std::vector<uint8_t> page(cached, cached + h.header.page_size);
  if (!leaf) {
    SetEntryValue(page.data(), r.pos, -1);
  } else {
    const PageView view(h.header, page.data());
    int size = view.EntryAt(r.pos).size;
    int used = view.used_end();
    int free_bytes = view.free_bytes();
    std::memmove(page.data() + r.pos, page.data() + r.pos + size, used - r.pos - size);
    std::memset(page.data() + used - size, 0, size);
    SetFreeBytes(page.data(), free_bytes + size);
  }
  return WritePage(h, h.path[level].page, page) ? Status::Ok() : h.status;
}

void Seek(IndexHandle& h, std::string_view key) {
  h.cursor_level = -1;
  h.have_last = false;
  if (!IsOpen(h) || h.header.depth == 0) return;
  int level = WalkDown(h, key, nullptr, h.path);
  if (level == -2) return;
  h.cursor_level = level >= 0 ? level : h.header.depth - 1;
}

bool Next(IndexHandle& h, std::string* key, int16_t* value) {
  const int depth = h.header.depth;
  while (h.cursor_level >= 0) {
    int level = h.cursor_level;
    bool leaf = level == depth - 1;
    const uint8_t* page = FetchPage(h, h.path[level].page, leaf);
    if (!page) break;
    const PageView view(h.header, page);
    int pos = h.path[level].pos;
    if (pos >= view.used_end()) {
      --h.cursor_level;  // the entry recorded above is the one after this subtree
      continue;
    }
    const PageEntry e = view.EntryAt(pos);
    std::string found(e.key);
    if (h.have_last && CompareKeys(h.last_key, found) >= 0) {
      SetDamage(h, FormatMessage("page %d: keys out of order across pages", h.path[level].page));
      break;
    }
    h.path[level].pos = pos + e.size;
    if (!leaf) {
      // Descend to the leftmost leaf of the subtree right of this entry.
      int child = e.child;
      for (int l = level + 1; l < depth; ++l) {
        const uint8_t* c = FetchPage(h, child, l == depth - 1);
        if (!c) {
          h.cursor_level = -1;
          return false;
        }
        h.path[l] = {child, FirstEntry(l == depth - 1)};
        if (l < depth - 1) child = PageView(h.header, c).leftmost_child();
      }
      h.cursor_level = depth - 1;
    }
    h.last_key = found;
    h.have_last = true;
    if (key) *key = std::move(found);
    if (value) *value = e.value;
    return true;
  }
  h.cursor_level = -1;
  return false;
}

}  // namespace kv::btree
