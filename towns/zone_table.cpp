#include "towns/zone_table.h"

#include "common/files.h"
#include "common/lines.h"
#include "common/numbers.h"
#include "common/tokens.h"

namespace kv::towns {

bool ZoneTable::Load(const std::string& path) {
  std::string bytes;
  if (ReadWholeFile(path, &bytes).IsNotFound()) {
    *this = ZoneTable();
    file_name_ = path;
    return false;
  }
  LoadText(bytes, path);
  return true;
}

void ZoneTable::LoadText(std::string_view text, const std::string& name) {
  *this = ZoneTable();
  loaded_ = true;
  file_name_ = name;
  std::vector<std::string>* current = nullptr;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = end + 1;
    if (line.substr(0, 2) == "@@") {
      sections_.emplace_back();
      current = &sections_.back();
      for (const auto& word : Tokens(line.substr(2)))
        section_of_name_.emplace(word, sections_.size() - 1);
      continue;
    }
    if (current && !IsCommentLine(line)) current->emplace_back(line);
  }

  const auto* zones = Section(kZoneSection);
  if (!zones) return;
  for (size_t i = 0; i < zones->size(); ++i) {
    std::string logical = (*zones)[i];
    bool switched_off = !logical.empty() && logical[0] == '^';
    // "&" drops the rest of the line and appends the next line's tokens.
    size_t amp;
    while ((amp = logical.find('&')) != std::string::npos) {
      logical.resize(amp);
      if (i + 1 >= zones->size()) break;
      logical += ' ';
      logical += (*zones)[++i];
    }
    if (switched_off) continue;
    std::vector<std::string> tokens = Tokens(logical);
    if (tokens.size() < 2) continue;
    zone_lines_.emplace(LeadingInteger(tokens[0]), std::move(tokens));
  }
}

const std::vector<std::string>* ZoneTable::Section(std::string_view name) const {
  auto it = section_of_name_.find(std::string(name));
  return it == section_of_name_.end() ? nullptr : &sections_[it->second];
}

const std::vector<std::string>* ZoneTable::ZoneLine(long long code) const {
  auto it = zone_lines_.find(code);
  return it == zone_lines_.end() ? nullptr : &it->second;
}

}  // namespace kv::towns
