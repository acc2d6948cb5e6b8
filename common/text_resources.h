// The text-resource file "kvima.t": every user-visible word and message of the
// program by short key. Stored in code page 866, held in memory in 1251.
//
// Syntax: one entry per line, "KEY value"; blank lines and lines starting with "*"
// are skipped; a line containing "@" continues on the next physical line (the "@"
// and what follows it are replaced by that line; a next line starting with "*" is
// dropped and the one after it taken). The first entry of a key wins.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/text_list.h"

namespace kv {

inline constexpr const char* kTextResourceFile = "kvima.t";
inline constexpr size_t kMaxIndexedItem = 78;

class TextResources {
 public:
  // Reads the file; false (and nothing loaded) when it cannot be opened.
  bool LoadFile(const std::string& path);
  // Parses 866 text already in memory (the file's bytes).
  void LoadText(std::string_view cp866);
  bool Loaded() const { return loaded_; }

  // The entry's text; the key itself when there is none, when the key is empty or
  // holds a blank, or when no file was read. A key alone on its line gives "".
  std::string Lookup(std::string_view key) const;
  // Lookup cut at "/" (empty pieces dropped, the last one without trailing blanks).
  TextList LookupList(std::string_view key) const;
  // IndexedItem of the entry's list.
  std::string LookupIndexed(int index, std::string_view key) const;

  size_t EntryCount() const { return entries_.size(); }

 private:
  std::unordered_map<std::string, std::string> entries_;
  bool loaded_ = false;
};

// The item of a list carrying "[index]" (its text before "[", at most 78 characters);
// else the item at that 0-based position; else "".
std::string IndexedItem(const TextList& list, int index);

// The program's one instance, also installed as the message layer's lookup.
TextResources& Resources();
void InstallResourceLookup();

}  // namespace kv
