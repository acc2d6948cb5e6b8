#include "db/schema/schema.h"

#include "common/files.h"
#include "common/lines.h"
#include "common/tokens.h"

namespace kv::db {
namespace {

std::vector<Table>& TableList() {
  static std::vector<Table> tables;
  return tables;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string StripBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace

std::vector<IndexedField> ParseIndexDeclaration(std::string_view declaration) {
  std::vector<IndexedField> out;
  for (const std::string& word : Tokens(declaration.substr(0, kMaxIndexDeclaration))) {
    size_t i = 0;
    int n = 0;
    while (i < word.size() && word[i] >= '0' && word[i] <= '9' && n <= 255)
      n = n * 10 + (word[i++] - '0');
    if (i == 0 || n < 2 || n > 255) continue;
    out.push_back({n, i < word.size() && (word[i] == 'f' || word[i] == 'F')});
  }
  return out;
}

std::vector<Table> ParseSchema(const std::vector<std::string>& lines) {
  std::vector<Table> tables;
  std::vector<std::string>* section = nullptr;
  for (const std::string& line : lines) {
    if (IsCommentLine(line)) continue;
    if (line[0] == '@') {
      std::string_view rest = std::string_view(line).substr(1);
      if (rest.substr(0, 6) == "basa=\"") {
        std::string_view p = rest.substr(6);
        size_t quote = p.find('"');
        if (quote == std::string_view::npos) quote = p.size();
        Table t;
        t.prefix = std::string(p.substr(0, std::min(quote, kMaxPrefix)));
        tables.push_back(std::move(t));
        section = nullptr;
      } else if (tables.empty()) {
        // Lines before the first table belong to no table.
      } else if (rest.substr(0, 6) == "index=") {
        tables.back().index = std::string(rest.substr(6, kMaxIndexDeclaration));
      } else if (rest == "des0" || rest == "des2" || rest == "desdel") {
        Table& t = tables.back();
        section = rest == "des0" ? &t.read_script : rest == "des2" ? &t.write_script : &t.delete_script;
        section->clear();
      }
      continue;
    }
    if (!section) continue;
    std::string_view text = line;
    size_t comment = text.find("//");
    if (comment != std::string_view::npos) text = text.substr(0, comment);
    std::string cleaned = StripBlanks(text);
    if (cleaned.empty() || cleaned[0] == '*') continue;
    section->push_back(std::move(cleaned));
  }
  return tables;
}

Status LoadSchema(const std::string& path) {
  TableList().clear();
  FilePtr f(OpenQuietly(path));
  if (!f) {
    WarnCannotOpen(path);
    return Status::NotFound(path + ": the file cannot be opened");
  }
  std::vector<std::string> lines;
  while (auto line = ReadLine(f.get())) lines.push_back(std::move(*line));
  TableList() = ParseSchema(lines);
  return Status::Ok();
}

void SetTables(std::vector<Table> tables) { TableList() = std::move(tables); }

const std::vector<Table>& Tables() { return TableList(); }

const Table* TableOfKey(std::string_view key) {
  for (const Table& t : TableList())
    if (key.substr(0, t.prefix.size()) == t.prefix) return &t;
  return nullptr;
}

}  // namespace kv::db
