// kvimarot-db: creates, lists, reads, writes and checks databases on the same core the
// program uses. Texts are taken and printed in UTF-8 and stored in code page 1251.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "db/btree/index_check.h"
#include "db/records/database_check.h"
#include "db/records/record_store.h"

namespace {

using kv::Cp1251ToUtf8;
using kv::Utf8ToCp1251;

const char* kUsage =
    "usage: kvimarot-db create NAME\n"
    "       kvimarot-db list NAME [--sort FIELD]\n"
    "       kvimarot-db get NAME KEY\n"
    "       kvimarot-db put NAME KEY|- FIELD=TEXT...\n"
    "       kvimarot-db delete NAME KEY\n"
    "       kvimarot-db check NAME\n"
    "NAME is a path without extension; the name \"towns\" (or --towns) selects the\n"
    "towns files .btz, .bbb and .bnz.\n";

void PrintWarning(const std::string& text) { std::fprintf(stderr, "%s\n", Cp1251ToUtf8(text).c_str()); }

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

struct Target {
  std::string name;
  bool towns = false;
};

int OpenFor(kv::db::Database& base, const Target& t, bool write) {
  int mode = t.towns ? (write ? kv::db::kTownsWrite : kv::db::kTownsRead)
                     : (write ? kv::db::kPersonWrite : kv::db::kPersonRead);
  if (!base.Open(t.name, mode).ok()) {
    if (base.damage().ok())
      std::fprintf(stderr, "cannot open the database %s\n", t.name.c_str());
    return 1;
  }
  return 0;
}

int Create(const Target& t) {
  const kv::Status made = t.towns ? kv::db::CreateTowns(t.name) : kv::db::Create(t.name);
  if (!made.ok()) std::fprintf(stderr, "the database %s was not created\n", t.name.c_str());
  return made.ok() ? 0 : 1;
}

int List(const Target& t, int sort_field) {
  kv::db::Database base;
  if (OpenFor(base, t, false)) return 1;
  std::string prefix = t.towns ? "" : ".";
  for (const std::string& item : base.ListKeys(prefix, sort_field)) {
    std::string line = item;
    size_t mark = line.find('\x01');
    if (mark != std::string::npos) line[mark] = '\t';
    std::printf("%s\n", Cp1251ToUtf8(line).c_str());
  }
  return base.damage().ok() ? 0 : 1;
}

int Get(const Target& t, const std::string& key) {
  kv::db::Database base;
  if (OpenFor(base, t, false)) return 1;
  kv::db::FieldArray fields;
  const bool found = base.Read(Utf8ToCp1251(key), fields).ok();
  base.Close();
  if (!found) {
    std::fprintf(stderr, "no record %s\n", key.c_str());
    return 1;
  }
  std::printf("%s\n", Cp1251ToUtf8(fields[1]).c_str());
  for (int n = 2; n < kv::db::kFieldCount; ++n)
    if (!fields[n].empty()) std::printf("%d=%s\n", n, Cp1251ToUtf8(fields[n]).c_str());
  return 0;
}

int Put(const Target& t, const std::string& key_arg, const std::vector<std::string>& assignments) {
  kv::db::FieldArray fields;
  std::vector<std::pair<int, std::string>> changes;
  for (const std::string& a : assignments) {
    const size_t eq = a.find('=');
    const std::optional<long long> n =
        eq == std::string::npos ? std::nullopt
                                : kv::ParseInteger(std::string_view(a).substr(0, eq));
    if (!n || *n < 2 || *n > 255) {
      std::fprintf(stderr, "not a field assignment (2..255=TEXT): %s\n", a.c_str());
      return 2;
    }
    changes.emplace_back(static_cast<int>(*n), Utf8ToCp1251(a.substr(eq + 1)));
  }
  kv::db::Database base;
  if (OpenFor(base, t, true)) return 1;
  std::string key = Utf8ToCp1251(key_arg);
  if (key_arg == "-") {
    if (!base.NextFreeKey(&key, t.towns ? "t." : ".").ok()) return 1;
  } else {
    (void)base.Read(key, fields);  // a new key starts from empty fields
  }
  for (auto& [n, text] : changes) fields[n] = text;
  const int rc = kv::db::WriteResult(base.Write(key, fields));
  base.Close();
  switch (rc) {
    case kv::db::kWriteDone:
      std::printf("%s\n", Cp1251ToUtf8(key).c_str());
      return 0;
    case kv::db::kWriteTooLarge:
      std::fprintf(stderr, "the record does not fit in a block\n");
      break;
    case kv::db::kWriteBadKey:
      std::fprintf(stderr, "a key has 1 to 20 bytes\n");
      break;
    default:
      std::fprintf(stderr, "the record was not written\n");
  }
  return 1;
}

int Delete(const Target& t, const std::string& key) {
  kv::db::Database base;
  if (OpenFor(base, t, true)) return 1;
  const bool deleted = base.Delete(Utf8ToCp1251(key)).ok();
  base.Close();
  if (!deleted) std::fprintf(stderr, "no record %s deleted\n", key.c_str());
  return deleted ? 0 : 1;
}

int Check(const Target& t) {
  kv::db::DatabaseCheck c = kv::db::CheckDatabase(t.name, t.towns);
  kv::btree::IndexCheck index = kv::btree::CheckIndexFile(t.name + (t.towns ? ".btz" : ".btr"));
  const size_t shown = 40;
  for (size_t i = 0; i < c.problems.size() && i < shown; ++i)
    std::printf("damaged: %s\n", Cp1251ToUtf8(c.problems[i]).c_str());
  if (c.problems.size() > shown) std::printf("damaged: ... and %zu more\n", c.problems.size() - shown);
  for (const auto& n : c.notes) std::printf("note: %s\n", Cp1251ToUtf8(n).c_str());
  std::printf("%s: %d records in %d blocks; key index depth %d, %d pages (%d in the tree)\n",
              c.ok() ? "consistent" : "NOT consistent", c.records, c.blocks, index.header.depth,
              index.header.page_count, index.reachable_pages);
  return c.ok() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  kv::SetMessageSink({PrintWarning, PrintWarning});
  std::vector<std::string> args(argv + 1, argv + argc);
  Target t;
  int sort_field = 0;
  std::vector<std::string> plain;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--towns") t.towns = true;
    else if (args[i] == "--sort" && i + 1 < args.size()) {
      const std::optional<long long> field = kv::ParseInteger(args[++i]);
      if (!field || *field < 0 || *field >= kv::db::kFieldCount) return Usage();
      sort_field = static_cast<int>(*field);
    }
    else plain.push_back(args[i]);
  }
  if (plain.size() < 2) return Usage();
  const std::string& command = plain[0];
  t.name = plain[1];
  if (t.name == kv::db::kTownsName) t.towns = true;
  if (command == "create" && plain.size() == 2) return Create(t);
  if (command == "list" && plain.size() == 2) return List(t, sort_field);
  if (command == "get" && plain.size() == 3) return Get(t, plain[2]);
  if (command == "put" && plain.size() >= 3)
    return Put(t, plain[2], std::vector<std::string>(plain.begin() + 3, plain.end()));
  if (command == "delete" && plain.size() == 3) return Delete(t, plain[2]);
  if (command == "check" && plain.size() == 2) return Check(t);
  return Usage();
}
