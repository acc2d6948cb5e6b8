#include "texts/text_store.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/files.h"
#include "texts/line_reader.h"

namespace kv {
namespace fs = std::filesystem;

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// Paths reach messages as 1251 text; the file system speaks UTF-8.
std::string PathForMessage(const fs::path& p) {
  return Utf8ToCp1251(p.lexically_normal().string());
}

FilePtr OpenBinary(const fs::path& p) { return FilePtr(std::fopen(p.c_str(), "rb")); }

// "#М" and "#Ж" in code page 1251.
constexpr std::string_view kMenPart = "#\xCC";
constexpr std::string_view kWomenPart = "#\xC6";

// "#" followed by nothing but blanks ends a part for one sex.
bool IsPartEnd(std::string_view line) {
  if (line.empty() || line[0] != '#') return false;
  return line.find_first_not_of(" \t", 1) == std::string_view::npos;
}

}  // namespace

SexCode SexCodeOfChart(uint8_t chart_sex) {
  switch (chart_sex) {
    case 0: return SexCode::kMan;
    case 1: return SexCode::kWoman;
    default: return SexCode::kNone;
  }
}

bool IsKeyLine(std::string_view line) {
  return StartsWith(line, "@") && !StartsWith(line, "@@");
}

std::vector<std::string> KeysOfLine(std::string_view line) {
  std::vector<std::string> keys;
  if (!IsKeyLine(line)) return keys;
  std::string_view rest = line.substr(1);
  rest = rest.substr(0, rest.find('*'));
  size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    size_t j = i;
    while (j < rest.size() && rest[j] != ' ' && rest[j] != '\t') ++j;
    if (j > i) keys.emplace_back(rest.substr(i, std::min(j - i, kMaxKeyLength)));
    i = j;
  }
  return keys;
}

std::vector<std::string> FilesListOfLine(std::string_view line) {
  std::vector<std::string> names;
  if (!StartsWith(line, "FILES=")) return names;
  std::string_view rest = line.substr(6);
  size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    if (i == rest.size()) break;
    size_t j;
    if (rest[i] == '"') {
      ++i;
      j = rest.find('"', i);
      if (j == std::string_view::npos) j = rest.size();
      if (j > i) names.emplace_back(rest.substr(i, j - i));
      i = j + 1;
    } else {
      j = i;
      while (j < rest.size() && rest[j] != ' ' && rest[j] != '\t') ++j;
      names.emplace_back(rest.substr(i, j - i));
      i = j;
    }
  }
  return names;
}

bool TextCollection::Open(std::string_view stem, const fs::path& dir) {
  Close();
  std::string base(stem.substr(0, stem.find('.')));
  base += ".csr";
  fs::path first = dir / base;
  FilePtr f = OpenBinary(first);
  if (!f) {
    first = dir / "csr" / base;
    f = OpenBinary(first);
    if (!f) {
      WarnCannotOpen(PathForMessage(first));
      return false;
    }
    in_subfolder_ = true;
  }
  fs::path folder = first.parent_path();

  std::string line;
  std::vector<std::string> more;
  {
    LineReader reader(f.get());
    if (reader.Next(line)) more = FilesListOfLine(line);
  }
  paths_.push_back(first);
  files_.push_back(nullptr);
  std::rewind(f.get());
  IndexFile(0, std::move(f));

  // File numbers are 32-bit: a list of any length keeps every file apart.
  for (const std::string& name : more) {
    fs::path p = folder / Cp866ToUtf8(name);
    uint32_t number = static_cast<uint32_t>(paths_.size());
    FilePtr g = OpenBinary(p);
    paths_.push_back(g ? p : fs::path());
    files_.push_back(nullptr);
    if (!g) {
      WarnCannotOpen(PathForMessage(p));
      continue;
    }
    IndexFile(number, std::move(g));
  }
  std::stable_sort(index_.begin(), index_.end(),
                   [](const TextIndexEntry& a, const TextIndexEntry& b) { return a.key < b.key; });
  return true;
}

void TextCollection::IndexFile(uint32_t number, FilePtr file) {
  LineReader reader(file.get());
  std::string line;
  while (reader.Next(line)) {
    if (!IsKeyLine(line)) continue;
    for (std::string& key : KeysOfLine(Cp866ToCp1251(line)))
      index_.push_back({std::move(key), number, reader.NextStart()});
  }
  if (reader.Failed()) WarnCannotOpen(PathForMessage(paths_[number]));
  if (number < kMaxOpenCollectionFiles) files_[number] = std::move(file);
}

void TextCollection::Close() {
  paths_.clear();
  files_.clear();
  index_.clear();
  in_subfolder_ = false;
}

const TextIndexEntry* TextCollection::Find(std::string_view key) const {
  key = key.substr(0, kMaxKeyLength);
  auto it = std::lower_bound(index_.begin(), index_.end(), key,
                             [](const TextIndexEntry& e, std::string_view k) { return e.key < k; });
  if (it == index_.end() || it->key != key) return nullptr;
  return &*it;
}

std::vector<std::string> TextCollection::Fetch(std::string_view key, SexCode sex) const {
  std::vector<std::string> text;
  const TextIndexEntry* e = Find(key);
  if (!e) return text;
  FilePtr reopened;
  std::FILE* f = files_[e->file].get();
  if (!f) {
    reopened = OpenBinary(paths_[e->file]);
    f = reopened.get();
    if (!f) return text;
  }
  if (std::fseek(f, static_cast<long>(e->offset), SEEK_SET) != 0) return text;

  LineReader reader(f, e->offset);
  std::string line;
  bool skip = false;
  while (reader.Next(line)) {
    if (StartsWith(line, "@")) break;
    if (skip && !StartsWith(line, "#")) continue;
    std::string w = Cp866ToCp1251(line);
    if (StartsWith(w, kMenPart)) {
      skip = sex != SexCode::kMan;
    } else if (StartsWith(w, kWomenPart)) {
      skip = sex != SexCode::kWoman;
    } else if (IsPartEnd(w)) {
      skip = false;
    } else {
      text.push_back(std::move(w));
    }
  }
  return text;
}

}  // namespace kv
