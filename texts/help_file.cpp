#include "texts/help_file.h"

#include <system_error>

#include "common/codepage.h"
#include "common/files.h"
#include "common/lines.h"
#include "texts/line_reader.h"
#include "texts/text_file.h"

namespace kv {
namespace fs = std::filesystem;

namespace {

std::string Trim(std::string_view s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  size_t b = s.find_last_not_of(" \t");
  return std::string(s.substr(a, b - a + 1));
}

// One spelling per file, so "./a.lrn", "a.lrn" and a link to it are the same file.
std::string Identity(const fs::path& p) {
  std::error_code ec;
  fs::path c = fs::weakly_canonical(p, ec);
  return (ec ? p.lexically_normal() : c).string();
}

bool HasKey(std::string_view keys, std::string_view key) {
  size_t i = 0;
  while (i < keys.size()) {
    while (i < keys.size() && (keys[i] == ' ' || keys[i] == '\t')) ++i;
    size_t j = i;
    while (j < keys.size() && keys[j] != ' ' && keys[j] != '\t') ++j;
    if (j > i && keys.substr(i, j - i) == key) return true;
    i = j;
  }
  return false;
}

}  // namespace

std::optional<std::vector<std::string>> FindHelpTopic(const fs::path& dir, std::string_view key,
                                                      std::string_view main_file) {
  std::vector<fs::path> files{dir / std::string(main_file)};
  std::vector<std::string> seen{Identity(files[0])};
  for (size_t i = 0; i < files.size(); ++i) {
    FilePtr f(std::fopen(files[i].c_str(), "rb"));
    if (!f) {
      WarnCannotOpen(Utf8ToCp1251(files[i].lexically_normal().string()));
      continue;
    }
    LineReader reader(f.get());
    std::string line;
    std::vector<std::string> topic;
    bool inside = false;
    while (reader.Next(line)) {
      if (line.rfind("@", 0) == 0) {
        if (inside) return topic;
        if (line.rfind("@@", 0) == 0) {
          std::string name = Trim(line.substr(2));
          if (name.empty()) continue;
          fs::path p = dir / Cp866ToUtf8(name);
          std::string id = Identity(p);
          bool known = false;
          for (const std::string& s : seen) known = known || s == id;
          if (!known) {
            seen.push_back(id);
            files.push_back(p);
          }
        } else if (line.size() > 1 && HasKey(Cp866ToCp1251(line.substr(1)), key)) {
          inside = true;
        }
        continue;
      }
      if (inside) topic.push_back(Cp866ToCp1251(line));
    }
    if (inside) return topic;
  }
  return std::nullopt;
}

HelpLine ParseHelpLine(std::string_view raw) {
  std::string_view line = DisplayPart(raw);
  HelpLine result;
  size_t ref = line.find("ref=");
  if (ref != std::string_view::npos) {
    std::string_view t = line.substr(ref + 4);
    t = t.substr(0, t.find('>'));
    t = t.substr(0, kMaxHelpTarget);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    result.target = std::string(t);
  }
  auto add = [&](HelpSpanKind kind, std::string_view text) {
    if (!text.empty()) result.spans.push_back({kind, std::string(text)});
  };
  size_t open = std::string_view::npos;
  for (size_t i = line.find('<'); i != std::string_view::npos && i < ref;
       i = line.find('<', i + 1)) {
    if (i + 1 < line.size() && line[i + 1] == '=') continue;
    open = i;
    break;
  }
  if (open == std::string_view::npos || ref == std::string_view::npos) {
    add(HelpSpanKind::kNormal, line);
    return result;
  }
  add(HelpSpanKind::kNormal, line.substr(0, open));
  add(HelpSpanKind::kLink, line.substr(open + 1, ref - open - 1));
  size_t close = line.find('>', ref);
  if (close != std::string_view::npos) add(HelpSpanKind::kNormal, line.substr(close + 1));
  return result;
}

}  // namespace kv
