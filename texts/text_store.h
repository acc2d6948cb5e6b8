// Text collections (".csr"): plain text files in code page 866 in which every text is
// filed under one or more short keys. A collection is opened for one job, indexed in
// memory, asked for texts by key and closed again.
//
// Layout of a collection file:
//   FILES=a.csr "b c.csr"     optional first line: further files of the collection
//   @p01z05 p01z06 * comment   key line: keys separated by blanks, "*" starts a comment
//   text lines ...             up to the next line beginning with "@" or the end
//   @@...                      a line beginning with "@@" ends a text and is no key line
// Inside a text: "#М" starts a part for men, "#Ж" one for women, "#" alone ends it,
// any other "#..." line is a comment, and "=..." lines are never printed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/lines.h"

namespace kv {

// Longer keys are cut to this length, both in the index and when asked for.
inline constexpr size_t kMaxKeyLength = 30;
// Files kept open at once; texts of the files beyond are read by opening them anew.
inline constexpr size_t kMaxOpenCollectionFiles = 64;

// Whose parts of a text are kept: none of the separate parts, the men's or the women's.
enum class SexCode : int { kNone = 0, kMan = 1, kWoman = 2 };

// The chart's sex (0 male, 1 female) plus one; any other value keeps neither part.
SexCode SexCodeOfChart(uint8_t chart_sex);

struct TextIndexEntry {
  std::string key;     // code page 1251, at most kMaxKeyLength characters
  uint32_t file = 0;   // 0 the first file, then the FILES= files in order
  uint64_t offset = 0; // byte position just after the key line
};

class TextCollection {
 public:
  TextCollection() = default;
  TextCollection(const TextCollection&) = delete;
  TextCollection& operator=(const TextCollection&) = delete;
  TextCollection(TextCollection&&) = default;
  TextCollection& operator=(TextCollection&&) = default;

  // Opens stem + ".csr" (the stem cut at its first ".") in `dir`, else in the
  // subfolder "csr" of it, and indexes every file of the collection. False when
  // neither file opens; the file-open message then names the second path. A FILES=
  // file that does not open is reported and keeps its number without texts.
  bool Open(std::string_view stem, const std::filesystem::path& dir = ".");
  void Close();
  bool IsOpen() const { return !paths_.empty(); }

  // The text filed under `key` (cut to kMaxKeyLength): lines in code page 1251 with
  // the parts for the other sex dropped and the "#" lines that resolve them removed;
  // comments and "=" lines are still in. Empty when the key is unknown.
  std::vector<std::string> Fetch(std::string_view key, SexCode sex) const;

  const std::vector<TextIndexEntry>& Index() const { return index_; }
  size_t FileCount() const { return paths_.size(); }
  const std::filesystem::path& FilePath(size_t i) const { return paths_[i]; }
  bool InSubfolder() const { return in_subfolder_; }

 private:
  void IndexFile(uint32_t number, FilePtr file);
  const TextIndexEntry* Find(std::string_view key) const;

  std::vector<std::filesystem::path> paths_;  // empty path: a file that did not open
  mutable std::vector<FilePtr> files_;        // open handles of the first files
  std::vector<TextIndexEntry> index_;
  bool in_subfolder_ = false;
};

// Key-line helpers shared with the entry editor and the help reader.
// True for a line beginning with "@" but not with "@@".
bool IsKeyLine(std::string_view line);
// The keys of a key line (code page 1251): the text after "@", cut at the first "*",
// split at blanks and tabs, each cut to kMaxKeyLength. Empty for a line of only "@".
std::vector<std::string> KeysOfLine(std::string_view line);
// The file names of a first line "FILES=...": blank-separated, a name in double
// quotes may hold blanks. Empty when the line does not begin with "FILES=".
std::vector<std::string> FilesListOfLine(std::string_view line);

}  // namespace kv
