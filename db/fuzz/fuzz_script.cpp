// The schema parser and the script interpreter on arbitrary text, without a database
// (record commands then find nothing) and with messages swallowed.
#include <cstdint>
#include <string>
#include <vector>

#include "common/journal.h"
#include "common/messages.h"
#include "db/schema/schema.h"
#include "db/schema/script.h"

namespace {
void Quiet(const std::string&) {}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool once = [] {
    kv::SetMessageSink({Quiet, Quiet});
    kv::SetJournalPath("/dev/null");
    return true;
  }();
  (void)once;
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  std::vector<kv::db::Table> tables = kv::db::ParseSchema(lines);
  kv::db::Database closed;  // the store commands meet no open database
  kv::db::FieldArray record;
  record[1] = ".000001";
  record[2] = "Name";
  for (const kv::db::Table& t : tables) {
    kv::db::ParseIndexDeclaration(t.index);
    (void)kv::db::RunScript(closed, t.read_script, record);
    (void)kv::db::RunScript(closed, t.write_script, record);
    (void)kv::db::RunScript(closed, t.delete_script, record);
  }
  // The lines as one script as well, whatever the sections say.
  (void)kv::db::RunScript(closed, lines, record);
  return 0;
}
