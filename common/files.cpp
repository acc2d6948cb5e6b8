#include "common/files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/case_map.h"
#include "common/codepage.h"
#include "common/lines.h"
#include "common/messages.h"

namespace kv {
namespace fs = std::filesystem;

void WarnCannotOpen(std::string_view name) {
  std::string n(name);
  WarningPrintf(W("Не открывается файл '%s'").c_str(), n.c_str());
}

std::FILE* OpenQuietly(std::string_view name) {
  std::string n(name);
  return std::fopen(n.c_str(), "r");
}

std::FILE* OpenForReading(std::string_view name) {
  std::FILE* f = OpenQuietly(name);
  if (!f) WarnCannotOpen(name);
  return f;
}

namespace {

template <class Bytes>
Status ReadAllOf(const std::string& path, Bytes* bytes, size_t max_bytes) {
  bytes->clear();
  FilePtr f(std::fopen(path.c_str(), "rb"));
  if (!f) return Status::NotFound(path + ": the file cannot be opened");
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
    if (n > max_bytes - bytes->size()) {
      bytes->clear();
      return Status::TooLarge(path + ": the file is larger than the reader takes");
    }
    bytes->insert(bytes->end(), buf, buf + n);
  }
  if (std::ferror(f.get())) {
    bytes->clear();
    return Status::IoError(path + ": the file cannot be read");
  }
  return Status::Ok();
}

}  // namespace

Status ReadWholeFile(const std::string& path, std::string* bytes, size_t max_bytes) {
  return ReadAllOf(path, bytes, max_bytes);
}

Status ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, size_t max_bytes) {
  return ReadAllOf(path, bytes, max_bytes);
}

Status ReadBlock(std::FILE* f, void* buffer, size_t n, long offset) {
  if (!f) return Status::InvalidArgument("no file");
  if (offset >= 0 && std::fseek(f, offset, SEEK_SET) != 0)
    return Status::IoError(FormatMessage("cannot seek to %ld", offset));
  if (std::fread(buffer, 1, n, f) != n)
    return Status::IoError(FormatMessage("%zu bytes cannot be read", n));
  return Status::Ok();
}

Status WriteBlock(std::FILE* f, const void* buffer, size_t n, long offset) {
  if (!f) return Status::InvalidArgument("no file");
  if (offset >= 0 && std::fseek(f, offset, SEEK_SET) != 0)
    return Status::IoError(FormatMessage("cannot seek to %ld", offset));
  if (std::fwrite(buffer, 1, n, f) != n)
    return Status::IoError(FormatMessage("%zu bytes cannot be written", n));
  return Status::Ok();
}

bool WriteAll(int fd, const void* data, size_t n) {
  const auto* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t put = write(fd, p, n);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    n -= static_cast<size_t>(put);
  }
  return true;
}

bool FileExists(std::string_view name) {
  std::error_code ec;
  return fs::exists(fs::path(std::string(name)), ec);
}

Status CheckNewFileName(std::string_view name) {
  if (name.find(' ') != std::string_view::npos) {
    WarningKey("SkF");
    return Status::InvalidArgument("a blank in the file name");
  }
  if (FileExists(name)) {
    std::string n(name);
    WarningFormat("F%is", n.c_str());
    return Status::AlreadyExists(n);
  }
  return Status::Ok();
}

std::string UniqueFileName(std::string_view prefix, std::string_view extension) {
  std::string p(prefix), e(extension);
  for (int i = 1;; ++i) {
    std::string name = FormatMessage("%s%04d.%s", p.c_str(), i, e.c_str());
    if (!FileExists(name)) return name;
  }
}

Status DeleteFileChecked(std::string_view name) {
  std::string n(name);
  if (std::remove(n.c_str()) == 0) return Status::Ok();
  WarningFormat("DF%", n.c_str());
  return Status::IoError(n + ": the file cannot be deleted");
}

Status RenameFileChecked(std::string_view old_name, std::string_view new_name) {
  std::string o(old_name), n(new_name);
  if (std::rename(o.c_str(), n.c_str()) == 0) return Status::Ok();
  WarningFormat("RE%I%", o.c_str(), n.c_str());
  return Status::IoError(o + ": the file cannot be renamed to " + n);
}

namespace {
// Classic wildcard match: "*" any run, "?" any one character. Case-insensitive in
// the 866 lower-case sense, as names are listed in lower case.
bool WildMatch(std::string_view pat, std::string_view s) {
  size_t p = 0, i = 0, star = std::string_view::npos, mark = 0;
  while (i < s.size()) {
    if (p < pat.size() && (pat[p] == '?' || LowerOem(pat[p]) == LowerOem(s[i]))) {
      ++p, ++i;
    } else if (p < pat.size() && pat[p] == '*') {
      star = p++;
      mark = i;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      i = ++mark;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == '*') ++p;
  return p == pat.size();
}
}  // namespace

std::vector<std::string> ListFiles(std::string_view mask) {
  std::vector<std::string> out;
  fs::path m{std::string(mask)};
  fs::path dir = m.parent_path();
  std::string pattern = m.filename().string();
  std::error_code ec;
  for (auto it = fs::directory_iterator(dir.empty() ? fs::path(".") : dir, ec);
       !ec && it != fs::directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string name = it->path().filename().string();
    if (!WildMatch(pattern, name)) continue;
    for (auto& c : name) c = static_cast<char>(LowerOem(static_cast<unsigned char>(c)));
    out.push_back(name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace kv
