#include "common/tokens.h"

#include "common/numbers.h"

namespace kv {
namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

size_t TrimmedLength(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  return n;
}

std::string TrimRight(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return std::string(text.substr(0, n));
}

std::string TrimLeft(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return std::string(text.substr(i));
}

namespace {

// The word at or after *pos as Tokens reads it, *pos moved past it; false at the end.
bool NextToken(std::string_view text, size_t* pos, std::string_view* word) {
  size_t i = *pos;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i >= text.size()) return false;
  const size_t start = i;
  if (text[i] == '"') {
    const size_t close = text.find('"', i + 1);
    if (close == std::string_view::npos) {
      *word = text.substr(start);
      *pos = text.size();
      return true;
    }
    *word = text.substr(start, close - start);
    *pos = close + 1;
    return true;
  }
  while (i < text.size() && !IsBlank(text[i])) ++i;
  *word = text.substr(start, i - start);
  *pos = i;
  return true;
}

}  // namespace

std::vector<std::string> Tokens(std::string_view text) {
  std::vector<std::string> out;
  size_t pos = 0;
  std::string_view word;
  while (NextToken(text, &pos, &word)) out.emplace_back(word);
  return out;
}

size_t TokenViews(std::string_view text, std::string_view* out, size_t max) {
  size_t count = 0, pos = 0;
  std::string_view word;
  while (count <= max && NextToken(text, &pos, &word)) {
    if (count < max) out[count] = word;
    ++count;
  }
  return count;
}

std::vector<std::string> Split(std::string_view text, char c) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(c, start);
    bool last = end == std::string_view::npos;
    std::string_view part = text.substr(start, last ? std::string_view::npos : end - start);
    if (last) {
      std::string t = TrimRight(part);
      if (!t.empty()) out.push_back(t);
      break;
    }
    if (!part.empty()) out.emplace_back(part);
    start = end + 1;
  }
  return out;
}

KeyValuePair KeyValue(std::string_view line) {
  KeyValuePair kv;
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    kv.key = TrimRight(line);
    return kv;
  }
  kv.key = TrimRight(line.substr(0, eq));
  kv.value = TrimLeft(line.substr(eq + 1));
  return kv;
}

int WordIndex(std::string_view word, const std::vector<std::string_view>& table) {
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i] == word) return static_cast<int>(i);
  return -1;
}

long ReadInt(std::string_view text) { return static_cast<long>(LeadingInteger(text)); }

double ReadDouble(std::string_view text) { return LeadingDouble(text); }

}  // namespace kv
