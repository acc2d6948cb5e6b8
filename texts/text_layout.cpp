#include "texts/text_layout.h"

namespace kv {
namespace {

bool IsAllBlank(std::string_view line) {
  for (char c : line)
    if (c != ' ' && c != '\t' && c != '\r') return false;
  return true;
}

// The text without its trailing empty or all-blank lines.
size_t VisibleCount(const std::vector<std::string>& text) {
  size_t n = text.size();
  while (n > 0 && IsAllBlank(text[n - 1])) --n;
  return n;
}

void Put(std::string& out, std::string_view line) {
  out.append(line);
  out.push_back('\n');
}

void PrintParagraph(const std::vector<std::string_view>& lines, size_t width,
                    std::string& out) {
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) joined.push_back(' ');
    joined.append(lines[i]);
  }
  std::string_view rest(joined);
  while (rest.size() > width) {
    size_t p = width;
    if (rest[width] != ' ') {
      p = rest.rfind(' ', width - 1);
    }
    if (p != std::string_view::npos && p > 0) {
      Put(out, JustifyLine(rest.substr(0, p), width));
      rest.remove_prefix(p);
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    } else {
      Put(out, rest.substr(0, width));  // one word wider than the line: cut it
      rest.remove_prefix(width);
    }
  }
  Put(out, rest);
}

}  // namespace

bool IsHiddenLine(std::string_view line) {
  return !line.empty() && (line[0] == '#' || line[0] == '=');
}

std::string JustifyLine(std::string_view line, size_t width) {
  std::string s(line);
  if (s.size() >= width) return s;
  size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return s;
  size_t blanks = 0;
  for (size_t i = first; i < s.size(); ++i)
    if (s[i] == ' ') ++blanks;
  if (blanks == 0) return s;
  size_t missing = width - s.size();
  size_t each = missing / blanks;
  size_t extra = missing % blanks;
  std::string r;
  r.reserve(width);
  r.append(s, 0, first);
  for (size_t i = first; i < s.size(); ++i) {
    r.push_back(s[i]);
    if (s[i] != ' ') continue;
    r.append(each, ' ');
    if (extra > 0) {
      r.push_back(' ');
      --extra;
    }
  }
  return r;
}

void PrintPlain(const std::vector<std::string>& text, bool justify, std::string& out) {
  if (text.empty()) return;
  size_t n = VisibleCount(text);
  for (size_t i = 0; i < n; ++i) {
    const std::string& line = text[i];
    if (IsHiddenLine(line)) continue;
    bool next_starts_word = i + 1 < n && !text[i + 1].empty() && text[i + 1][0] != ' ';
    if (justify && next_starts_word && line.size() < kPlainWidth)
      Put(out, JustifyLine(line, kPlainWidth));
    else
      Put(out, line);
  }
  out.push_back('\n');
}

void PrintFlowing(const std::vector<std::string>& text, bool justify, int width,
                  std::string& out) {
  if (text.empty()) return;
  size_t w = static_cast<size_t>(width >= 1 ? width : kDefaultFlowWidth);
  size_t n = VisibleCount(text);
  if (!justify) {
    for (size_t i = 0; i < n; ++i)
      if (!IsHiddenLine(text[i])) Put(out, text[i]);
  } else {
    std::vector<std::string_view> paragraph;
    for (size_t i = 0; i < n; ++i) {
      std::string_view line = text[i];
      bool hidden = IsHiddenLine(line);
      if (hidden || line.empty() || line[0] == ' ') {
        if (!paragraph.empty()) PrintParagraph(paragraph, w, out);
        paragraph.clear();
      }
      if (!hidden) paragraph.push_back(line);
    }
    if (!paragraph.empty()) PrintParagraph(paragraph, w, out);
  }
  out.push_back('\n');
}

}  // namespace kv
