// The time-zone table "popa.ctl" held in memory: its "@@" sections and the zone lines
// of section "PopTime".
//
//   @@ PopTime                       a section; a header may name several sections
//   336 LMT 03.07.1916-01.07.1919 &  zone code, default offset, then "period offset"
//   2.52194444 01.07.1919 3          pairs; "&" continues the line on the next one
//   ^...                             a zone line that is switched off
//   @@ Europe/Moscow                 summer-time rule: "dd.mm.yyyy-dd.mm.yyyy delta"
//
// Blank lines and lines beginning with "*" are comments. A section is the first one
// whose header names it, read up to the next "@@" line.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kv::towns {

inline constexpr const char* kZoneFile = "popa.ctl";
inline constexpr const char* kZoneSection = "PopTime";
// Default offset of a zone line that stands for the town's own mean time.
inline constexpr const char* kLocalMeanTime = "LMT";

class ZoneTable {
 public:
  // Reads the file (code page 866; the table holds only ASCII that matters). False,
  // without a message, when it cannot be opened: the lookups report what is missing.
  bool Load(const std::string& path = kZoneFile);
  // The same from the file's bytes; `name` is the file name used in messages.
  void LoadText(std::string_view text, const std::string& name = kZoneFile);

  bool Loaded() const { return loaded_; }
  const std::string& FileName() const { return file_name_; }

  // Content lines of a section, or nullptr when no header names it.
  const std::vector<std::string>* Section(std::string_view name) const;

  // Tokens of the first zone line of "PopTime" whose first token, read as an
  // integer, is the code and which has at least two tokens ("&" continuations
  // joined, "^" lines skipped); nullptr when there is none or no "PopTime".
  const std::vector<std::string>* ZoneLine(long long code) const;

 private:
  bool loaded_ = false;
  std::string file_name_ = kZoneFile;
  std::vector<std::vector<std::string>> sections_;
  std::unordered_map<std::string, size_t> section_of_name_;
  std::unordered_map<long long, std::vector<std::string>> zone_lines_;
};

}  // namespace kv::towns
