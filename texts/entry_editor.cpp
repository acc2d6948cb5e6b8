#include "texts/entry_editor.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

#include "common/codepage.h"
#include "common/files.h"
#include "common/lines.h"
#include "common/messages.h"
#include "texts/line_reader.h"
#include "texts/output_file.h"
#include "texts/text_layout.h"
#include "texts/text_store.h"

namespace kv {
namespace fs = std::filesystem;

namespace {

std::string ForMessage(const fs::path& p) { return Utf8ToCp1251(p.lexically_normal().string()); }

bool NamesKey(std::string_view line_866, std::string_view key) {
  if (!IsKeyLine(line_866)) return false;
  key = key.substr(0, kMaxKeyLength);
  for (const std::string& k : KeysOfLine(Cp866ToCp1251(line_866)))
    if (k == key) return true;
  return false;
}

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

std::optional<std::string> ReadWhole(const fs::path& p) {
  std::string bytes;
  if (!ReadWholeFile(p.string(), &bytes).ok()) return std::nullopt;
  return bytes;
}

// Lines of a text held in memory: [start, end) without the line feed.
struct LineSpan {
  size_t start, end, next;
};
std::vector<LineSpan> SplitLines(std::string_view bytes) {
  std::vector<LineSpan> lines;
  size_t i = 0;
  while (i < bytes.size()) {
    size_t nl = bytes.find('\n', i);
    size_t end = nl == std::string_view::npos ? bytes.size() : nl;
    lines.push_back({i, end, nl == std::string_view::npos ? bytes.size() : nl + 1});
    i = lines.back().next;
  }
  return lines;
}

std::string_view LineText(std::string_view bytes, const LineSpan& s) {
  std::string_view l = bytes.substr(s.start, s.end - s.start);
  if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
  return l;
}

void SyncFolder(const fs::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool FitsEditor(uint64_t size) { return size <= kEditorMaxBytes; }

std::string CollapseInnerBlanks(std::string_view line) {
  size_t first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string(line);
  std::string r(line.substr(0, first));
  for (size_t i = first; i < line.size(); ++i) {
    if (line[i] == ' ' && i > first && line[i - 1] == ' ') continue;
    r.push_back(line[i]);
  }
  return r;
}

std::string EditorDate(int day, int month, int year) {
  auto pad = [](int v, size_t width) {
    std::string s = std::to_string(v < 0 ? -v : v);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return v < 0 ? "-" + s : s;
  };
  return pad(day, 2) + "." + pad(month, 2) + "." + pad(year, 4);
}

std::optional<ExtractedEntry> ExtractEntry(const fs::path& dir, std::string_view collection_file,
                                           std::string_view key, bool justify) {
  fs::path main = dir / std::string(collection_file);
  std::vector<fs::path> files{main};
  {
    FilePtr f(std::fopen(main.c_str(), "rb"));
    if (!f) {
      WarnCannotOpen(ForMessage(main));
      return std::nullopt;
    }
    LineReader reader(f.get());
    std::string first;
    if (reader.Next(first))
      for (const std::string& name : FilesListOfLine(first)) files.push_back(dir / Cp866ToUtf8(name));
  }

  std::vector<std::string> entry;
  fs::path found;
  for (const fs::path& p : files) {
    FilePtr f(std::fopen(p.c_str(), "rb"));
    if (!f) {
      WarnCannotOpen(ForMessage(p));
      continue;
    }
    LineReader reader(f.get());
    std::string line;
    while (reader.Next(line)) {
      if (!NamesKey(line, key)) continue;
      entry.push_back(Cp866ToCp1251(line));
      while (reader.Next(line) && line.rfind("@", 0) != 0) entry.push_back(Cp866ToCp1251(line));
      break;
    }
    if (!entry.empty()) {
      found = p;
      break;
    }
  }
  if (entry.empty()) {
    std::string k(key);
    WarningFormat("FnoIX", k.c_str());
    return std::nullopt;
  }

  std::string text;
  for (size_t i = 0; i < entry.size(); ++i) {
    const std::string& line = entry[i];
    bool next_starts_word = i + 1 < entry.size() && !entry[i + 1].empty() && entry[i + 1][0] != ' ';
    if (justify && i > 0 && next_starts_word && line.size() < kPlainWidth && !IsHiddenLine(line))
      text += JustifyLine(line, kPlainWidth);
    else
      text += line;
    text.push_back('\n');
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path temp = FreeFileName(dir, "edt", "tmp");
    if (WriteNewFile(temp, text)) return ExtractedEntry{found, temp, std::string(key)};
    std::error_code ec;
    if (!fs::exists(temp, ec)) break;
  }
  WarningKey("tmp");
  return std::nullopt;
}

WriteBackStatus ReplaceFile(const fs::path& target, const fs::path& scratch, std::string_view bytes) {
  // "wbx": a scratch name already taken by anything (even a stale copy) is not ours.
  std::error_code ec;
  if (fs::is_regular_file(fs::symlink_status(scratch, ec))) fs::remove(scratch, ec);
  std::FILE* f = std::fopen(scratch.c_str(), "wbx");
  if (!f) {
    WarningKey("tmp");
    return WriteBackStatus::kCannotWrite;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = ::fsync(::fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    fs::remove(scratch, ec);
    WarningKey("tmp");
    return WriteBackStatus::kCannotWrite;
  }
  auto perms = fs::status(target, ec).permissions();
  if (!ec) fs::permissions(scratch, perms, ec);
  fs::rename(scratch, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(scratch, ignored);
    std::string o = ForMessage(scratch), n = ForMessage(target);
    WarningFormat("RE%I%", o.c_str(), n.c_str());
    return WriteBackStatus::kCannotReplace;
  }
  SyncFolder(target.parent_path());
  return WriteBackStatus::kDone;
}

WriteBackStatus WriteBackEntry(const ExtractedEntry& entry, bool justify) {
  std::optional<std::string> old = ReadWhole(entry.collection_file);
  if (!old) {
    WarnCannotOpen(ForMessage(entry.collection_file));
    return WriteBackStatus::kCannotRead;
  }
  std::optional<std::string> edited = ReadWhole(entry.temp_file);
  if (!edited) {
    WarnCannotOpen(ForMessage(entry.temp_file));
    return WriteBackStatus::kCannotRead;
  }

  // The entry: its key line and the lines up to the next line beginning with "@".
  const std::string_view bytes = *old;
  std::vector<LineSpan> lines = SplitLines(bytes);
  size_t k = 0;
  while (k < lines.size() && !NamesKey(LineText(bytes, lines[k]), entry.key)) ++k;
  if (k == lines.size()) {
    WarningFormat("FnoIX", entry.key.c_str());
    return WriteBackStatus::kEntryGone;
  }
  size_t after = k + 1;
  while (after < lines.size() && bytes[lines[after].start] != '@') ++after;
  const size_t entry_start = lines[k].start;
  const size_t entry_end = after < lines.size() ? lines[after].start : bytes.size();
  const bool crlf = lines[k].end > lines[k].start && bytes[lines[k].end - 1] == '\r';
  const char* eol = crlf ? "\r\n" : "\n";

  std::vector<LineSpan> new_lines = SplitLines(*edited);
  size_t keep = new_lines.size();
  while (keep > 0 && IsBlankLine(LineText(*edited, new_lines[keep - 1]))) --keep;

  std::string out(bytes.substr(0, entry_start));
  // A last line without a line feed must not run into the edited key line.
  if (!out.empty() && out.back() != '\n') out += eol;
  for (size_t i = 0; i < keep; ++i) {
    std::string line = Cp1251ToCp866(LineText(*edited, new_lines[i]));
    out += justify ? CollapseInnerBlanks(line) : line;
    out += eol;
  }
  out.append(bytes.substr(entry_end));

  fs::path scratch = entry.collection_file.parent_path() / kWriteBackFile;
  WriteBackStatus status = ReplaceFile(entry.collection_file, scratch, out);
  if (status == WriteBackStatus::kDone) DeleteFileChecked(entry.temp_file.string());
  return status;
}

WriteBackStatus SaveEditorText(const fs::path& path, std::string_view text, bool to_cp866) {
  std::string bytes = to_cp866 ? Cp1251ToCp866(text) : std::string(text);
  fs::path scratch = path;
  scratch += ".tmp";
  return ReplaceFile(path, scratch, bytes);
}

std::optional<std::string> LoadForEditor(const fs::path& path, bool* too_big) {
  if (too_big) *too_big = false;
  std::error_code ec;
  uint64_t size = fs::file_size(path, ec);
  if (!ec && !FitsEditor(size)) {
    if (too_big) *too_big = true;
    return std::nullopt;
  }
  std::optional<std::string> bytes = ReadWhole(path);
  if (!bytes) {
    WarnCannotOpen(ForMessage(path));
    return std::nullopt;
  }
  std::string text;
  std::vector<LineSpan> lines = SplitLines(*bytes);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += LineText(*bytes, lines[i]);
  }
  return text;
}

}  // namespace kv
