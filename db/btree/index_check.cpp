#include "db/btree/index_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "common/messages.h"
#include "db/btree/index_format.h"

namespace kv::btree {
namespace {

struct Walker {
  int fd;
  const Header& h;
  IndexCheck& out;
  std::vector<bool> visited;

  void Page(int page, int level, const std::optional<std::string>& low,
            const std::optional<std::string>& high) {
    if (!out.problems.empty() && out.problems.size() > 50) return;
    if (page < 1 || page > h.page_count) {
      out.problems.push_back(FormatMessage("level %d: child page %d beyond the %d pages", level,
                                           page, h.page_count));
      return;
    }
    if (visited[page]) {
      out.problems.push_back(FormatMessage("page %d is reached twice (a child pointer loops)", page));
      return;
    }
    visited[page] = true;
    ++out.reachable_pages;
    std::vector<uint8_t> p(h.page_size);
    off_t off = h.header_size + static_cast<off_t>(h.page_size) * (page - 1);
    if (pread(fd, p.data(), p.size(), off) != static_cast<ssize_t>(p.size())) {
      out.problems.push_back(FormatMessage("page %d cannot be read", page));
      return;
    }
    bool leaf = level == h.depth - 1;
    Status bad = CheckPage(h, p.data());
    const PageView view(h, p.data());
    if (bad.ok() && view.leaf() != leaf)
      bad = Status::Corruption(
          FormatMessage("%s page at level %d of %d", leaf ? "inner" : "leaf", level, h.depth));
    if (!bad.ok()) {
      out.problems.push_back(FormatMessage("page %d: %s", page, bad.message().c_str()));
      return;
    }
    const int end = view.used_end();
    std::optional<std::string> left_bound = low;
    int child = leaf ? 0 : view.leftmost_child();
    for (int pos = view.first_entry(); pos < end;) {
      const PageEntry e = view.EntryAt(pos);
      std::string key(e.key);
      if ((low && CompareKeys(key, *low) <= 0) || (high && CompareKeys(key, *high) >= 0))
        out.problems.push_back(FormatMessage("page %d: key at %d outside the range its parent gives",
                                             page, pos));
      if (!leaf) Page(child, level + 1, left_bound, key);
      out.entries.emplace_back(key, e.value);
      child = e.child;
      pos += e.size;
      left_bound = key;
    }
    if (!leaf) Page(child, level + 1, left_bound, high);
  }
};

}  // namespace

IndexCheck CheckIndexFile(const std::string& file_name) {
  IndexCheck out;
  int fd = ::open(file_name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    out.problems.push_back("the file cannot be opened");
    return out;
  }
  out.opened = true;
  struct stat st {};
  uint8_t bytes[kHeaderWords];
  if (fstat(fd, &st) != 0 || pread(fd, bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    out.problems.push_back("the header cannot be read");
    ::close(fd);
    return out;
  }
  out.header = DecodeHeader(bytes);
  Status bad = CheckHeader(out.header, st.st_size);
  if (!bad.ok()) {
    out.problems.push_back("header: " + bad.message());
    ::close(fd);
    return out;
  }
  if (out.header.depth > 0) {
    Walker w{fd, out.header, out, std::vector<bool>(out.header.page_count + 1, false)};
    w.Page(out.header.root, 0, std::nullopt, std::nullopt);
  }
  int unused = out.header.page_count - out.reachable_pages;
  if (out.problems.empty() && unused > 0)
    out.notes.push_back(FormatMessage("%d of %d pages are not in the tree (left by splits)", unused,
                                      out.header.page_count));
  ::close(fd);
  return out;
}

}  // namespace kv::btree
