// Finding towns by the beginning of their name, the way the town chooser does:
// letters compared without case, "ё" read as "е". Texts are code page 1251.
//
// The lists read the towns database, which the caller opens ("towns", mode 5) and
// passes in, with the schema's value indexes on town fields 7 and 14 and country
// field 3; records are read with their read script.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "db/records/record_block.h"
#include "db/records/record_store.h"

namespace kv::towns {

// Upper case of the ANSI letters a-z and а-я, and "Ё"/"ё" as "Е".
std::string FoldForSearch(std::string_view text);
// True when text begins with prefix, both compared folded.
bool BeginsWithFolded(std::string_view text, std::string_view prefix);

// One line of the town chooser: what the list searches, from the name index. The
// line it shows is read from the record when it is first wanted.
struct TownRow {
  std::string key;
  std::string folded_name;  // FoldForSearch of field 7
};

// The chooser's list: every town in the order of the name index (name, then key),
// or only the towns of one country (field 14 equal to the country's field 3). The
// towns database must stay open while lines are asked for: a list of every town
// reads a record (with its read script) only when its line is first shown.
class TownList {
 public:
  static TownList All(db::Database& towns);
  static TownList OfCountry(db::Database& towns, std::string_view country_name);

  size_t size() const { return rows_.size(); }
  const TownRow& row(size_t i) const { return rows_[i]; }
  // TownListLine of row i; empty when its record cannot be read.
  const std::string& Line(size_t i) const;

  // The first row whose name begins with text, or -1: the list's prefix search.
  int FindPrefix(std::string_view text) const;
  // What typing selects: FindPrefix, except that when the text is a whole name, the
  // town of that name with the most inhabitants (Москва in Russia, not the first
  // Москва of the index). Reads the records of the towns so named.
  int FindTyped(std::string_view text) const;
  // "%d:%d": the position of the selected row counting from 1 (0 for none) and the
  // number of rows.
  std::string Counter(int selected) const;

 private:
  db::Database* towns_ = nullptr;  // the caller's open towns database
  std::vector<TownRow> rows_;
  mutable std::vector<std::string> lines_;
  mutable std::vector<bool> line_read_;
};

struct CountryRow {
  std::string key;
  std::string name;  // field 3
  std::string line;  // CountryListLine
};
// Every country in the order of the index of field 3.
std::vector<CountryRow> Countries(db::Database& towns);

// The towns whose name begins with text, found through the name index: the names
// equal to text first, then by the number of inhabitants (most first), then in the
// index order; at most `limit` records, each read with its read script.
std::vector<db::FieldArray> FindTowns(db::Database& towns, std::string_view text, size_t limit);

}  // namespace kv::towns
