#include "texts/text_file.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/files.h"
#include "common/lines.h"
#include "texts/line_reader.h"

namespace kv {
namespace fs = std::filesystem;

std::string_view DisplayPart(std::string_view line) { return line.substr(0, line.find("@@")); }

std::optional<std::vector<std::string>> ReadShownFile(const fs::path& path) {
  FilePtr f(std::fopen(path.c_str(), "rb"));
  if (!f) {
    WarnCannotOpen(Utf8ToCp1251(path.string()));
    return std::nullopt;
  }
  std::vector<std::string> lines;
  LineReader reader(f.get());
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  return lines;
}

TextExtent MeasureText(const std::vector<std::string>& lines) {
  size_t longest = 0;
  for (const std::string& l : lines) longest = std::max(longest, DisplayPart(l).size());
  return {lines.size(), std::max<size_t>(longest + 10, 20)};
}

std::string ClipboardText(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) {
    s.append(DisplayPart(l));
    s.append("\r\n");
  }
  return s;
}

std::string ExportText(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) {
    s.append(DisplayPart(l));
    s.push_back('\n');
  }
  return s;
}

bool IsWordProcessor(std::string_view editor_path) {
  size_t slash = editor_path.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? editor_path : editor_path.substr(slash + 1);
  constexpr std::string_view kWord = "winword.exe";
  if (name.size() != kWord.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kWord[i]) return false;
  }
  return true;
}

fs::path EditorCopyPath(const fs::path& shown) {
  std::string name = shown.filename().string();
  size_t dot = name.find('.');
  name = (dot == std::string::npos ? name + "." : name.substr(0, dot + 1)) + "txt";
  return shown.parent_path() / name;
}

std::string EditorCopyText(const std::vector<std::string>& lines, bool word_processor) {
  std::string s;
  for (const std::string& l : lines) {
    std::string_view shown = DisplayPart(l);
    if (word_processor) {
      if (shown.empty() || shown[0] == ' ' || shown.find_first_not_of(' ') == std::string_view::npos)
        s.push_back('\n');
      s.append(shown);
      s.push_back(' ');
    } else {
      s.append(shown);
      s.append(" \n");
    }
  }
  return s;
}

PrintLayout ComputePrintLayout(int page_width, int page_height) {
  PrintLayout p;
  p.font_height = std::max(1, page_height * 40 / 2900);
  p.font_width = page_width * 18 / 2000;
  p.x = p.font_width * 3;
  // Only lines that fit wholly: a line begun near the foot would run off the page.
  p.lines_per_page = std::max(1, page_height / p.font_height);
  return p;
}

std::vector<size_t> PageStarts(size_t line_count, const PrintLayout& layout) {
  std::vector<size_t> starts{0};
  size_t per_page = static_cast<size_t>(std::max(1, layout.lines_per_page));
  for (size_t s = per_page; s < line_count; s += per_page) starts.push_back(s);
  return starts;
}

}  // namespace kv
