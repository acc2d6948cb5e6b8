// The schema control file "shembd.ctl": the tables of the databases, their value-index
// declarations and their read, write and delete scripts (script text in code page 866).
//
//   @basa="."        starts a table with prefix "." (at most 3 characters)
//   @index=7f 14     fields 7 (blank values too) and 14 are value-indexed
//   @des0 / @des2 / @desdel   the lines after it are the read / write / delete script
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace kv::db {

inline constexpr const char* kSchemaFile = "shembd.ctl";
inline constexpr size_t kMaxPrefix = 3;
inline constexpr size_t kMaxIndexDeclaration = 39;

struct Table {
  std::string prefix;
  std::string index;  // the declaration as written, cut at 39 characters
  std::vector<std::string> read_script;
  std::vector<std::string> write_script;
  std::vector<std::string> delete_script;
};

struct IndexedField {
  int field = 0;
  bool blanks = false;  // declared with "f": a blank value is indexed as 0xFF
};

// Field numbers 2..255 of a declaration; others are ignored.
std::vector<IndexedField> ParseIndexDeclaration(std::string_view declaration);

// Builds the tables from the lines of a schema file (already split, code page 866).
std::vector<Table> ParseSchema(const std::vector<std::string>& lines);

// Reads the file into the process-wide table list; when it cannot be opened, warns
// "Не открывается файл '%s'", leaves no tables and gives NotFound.
Status LoadSchema(const std::string& path = kSchemaFile);
void SetTables(std::vector<Table> tables);
const std::vector<Table>& Tables();
// The first table whose prefix begins the key, or nullptr.
const Table* TableOfKey(std::string_view key);

}  // namespace kv::db
