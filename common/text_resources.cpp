#include "common/text_resources.h"

#include <cstdio>

#include "common/codepage.h"
#include "common/files.h"
#include "common/lines.h"
#include "common/messages.h"
#include "common/tokens.h"

namespace kv {
namespace {

// Physical lines of a text, as the line reader gives them from a file.
std::vector<std::string> PhysicalLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    std::string_view line =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (end == std::string_view::npos) {
      if (!line.empty()) lines.emplace_back(line);
      break;
    }
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

void TextResources::LoadText(std::string_view cp866) {
  entries_.clear();
  auto lines = PhysicalLines(cp866);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (IsCommentLine(lines[i])) continue;
    std::string entry = Cp866ToCp1251(lines[i]);
    size_t at;
    while ((at = entry.find('@')) != std::string::npos) {
      entry.erase(at);
      ++i;
      while (i < lines.size() && !lines[i].empty() && lines[i][0] == '*') ++i;
      if (i >= lines.size()) break;
      entry += Cp866ToCp1251(lines[i]);
    }
    size_t blank = entry.find(' ');
    std::string key = entry.substr(0, blank);
    std::string value = blank == std::string::npos ? std::string() : entry.substr(blank + 1);
    entries_.emplace(std::move(key), std::move(value));  // the first one wins
  }
  loaded_ = true;
}

bool TextResources::LoadFile(const std::string& path) {
  std::string bytes;
  const Status read = ReadWholeFile(path, &bytes);
  if (read.IsNotFound()) {
    entries_.clear();
    loaded_ = false;
    return false;
  }
  LoadText(bytes);  // empty when the file opens but cannot be read
  return true;
}

std::string TextResources::Lookup(std::string_view key) const {
  if (!loaded_ || key.empty() || key.find(' ') != std::string_view::npos)
    return std::string(key);
  auto it = entries_.find(std::string(key));
  return it == entries_.end() ? std::string(key) : it->second;
}

TextList TextResources::LookupList(std::string_view key) const {
  return TextList(Split(Lookup(key), '/'));
}

std::string TextResources::LookupIndexed(int index, std::string_view key) const {
  return IndexedItem(LookupList(key), index);
}

std::string IndexedItem(const TextList& list, int index) {
  std::string marker = "[" + std::to_string(index) + "]";
  for (const auto& item : list) {
    size_t pos = item.find('[');
    if (pos != std::string::npos && item.compare(pos, marker.size(), marker) == 0)
      return item.substr(0, std::min(pos, kMaxIndexedItem));
  }
  if (index >= 0 && static_cast<size_t>(index) < list.Count())
    return list[index].substr(0, kMaxIndexedItem);
  return std::string();
}

TextResources& Resources() {
  static TextResources resources;
  return resources;
}

void InstallResourceLookup() {
  SetTextLookup([](std::string_view key) { return Resources().Lookup(key); });
}

}  // namespace kv
