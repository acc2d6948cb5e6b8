// kv-make-towns: writes the towns database from the lists of the data step.
//
//   kv-make-towns --places places.tsv --countries countries.tsv --schema shembd.ctl
//                 --out DIR
//
// The lists are UTF-8, tab-separated, "#" lines are comments (make_places.py writes
// them). Records go through the record store with the schema's value indexes, texts
// in code page 866. The database is built in DIR/towns.new and its three files then
// replace DIR/towns.btz, .bbb and .bnz, so a failed run leaves the old ones.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_record.h"

namespace fs = std::filesystem;
using namespace kv::towns;

namespace {

// Columns of places.tsv.
enum Place { kKey, kName, kField8, kLat, kLon, kZone, kRule, kRegion, kCountry, kPopulation,
             kTz, kPlaceColumns };
// Columns of countries.tsv.
enum Country { kCountryKey, kRussian, kEnglish, kCountryColumns };

std::vector<std::vector<std::string>> ReadTable(const std::string& path, size_t columns,
                                                bool* ok) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    *ok = false;
    return rows;
  }
  std::string line;
  size_t number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells;
    size_t pos = 0;
    while (true) {
      size_t tab = line.find('\t', pos);
      cells.push_back(line.substr(pos, tab - pos));
      if (tab == std::string::npos) break;
      pos = tab + 1;
    }
    if (cells.size() < columns) {
      std::fprintf(stderr, "%s:%zu: %zu columns, %zu wanted\n", path.c_str(), number,
                   cells.size(), columns);
      *ok = false;
      continue;
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

// UTF-8 into the stored code page; a character 866 lacks is an error of the lists.
bool To866(std::string utf8, std::string* out) {
  *out = kv::Utf8ToCp866(utf8);
  if (kv::Cp866ToUtf8(*out) == utf8) return true;
  std::fprintf(stderr, "'%s' has characters outside code page 866\n", utf8.c_str());
  return false;
}

bool Put(kv::db::Database& base, const std::string& key, const kv::db::FieldArray& fields) {
  const kv::Status written = base.Write(key, fields);
  if (!written.ok())
    std::fprintf(stderr, "record %s not written (%d)\n", key.c_str(), kv::db::WriteResult(written));
  return written.ok();
}

void PrintWarning(const std::string& text) {
  std::fprintf(stderr, "%s\n", kv::Cp1251ToUtf8(text).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::string places, countries, schema, out;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    (a == "--places" ? places : a == "--countries" ? countries : a == "--schema" ? schema : out) =
        argv[i + 1];
  }
  if (places.empty() || countries.empty() || schema.empty() || out.empty()) {
    std::fprintf(stderr, "usage: kv-make-towns --places F --countries F --schema F --out DIR\n");
    return 2;
  }
  kv::SetMessageSink({PrintWarning, PrintWarning});
  const auto started = std::chrono::steady_clock::now();
  bool ok = true;
  auto town_rows = ReadTable(places, kPlaceColumns, &ok);
  auto country_rows = ReadTable(countries, kCountryColumns, &ok);
  if (!ok || !kv::db::LoadSchema(fs::absolute(schema).string()).ok()) return 1;
  const kv::db::Table* town_table = kv::db::TableOfKey(kTownPrefix);
  if (!town_table || town_table->index.empty()) {
    std::fprintf(stderr, "%s declares no value index for the towns\n", schema.c_str());
    return 1;
  }

  // Records in the order of the name index: the chooser reads them in that order.
  for (auto& r : town_rows) ok &= To866(r[kName], &r[kName]);
  std::sort(town_rows.begin(), town_rows.end(), [](const auto& a, const auto& b) {
    return a[kName] != b[kName] ? a[kName] < b[kName] : a[kKey] < b[kKey];
  });

  const fs::path out_dir = fs::absolute(out);
  const fs::path work = out_dir / "towns.new";
  std::error_code ec;
  fs::remove_all(work, ec);
  fs::create_directories(work);
  const fs::path previous = fs::current_path();
  fs::current_path(work);
  // Only a database named exactly "towns" keeps its value index.
  kv::db::Database base;
  if (!kv::db::CreateTowns(kTownsDatabase).ok() ||
      !base.Open(kTownsDatabase, kv::db::kTownsWrite4).ok() || !base.value_index_open()) {
    std::fprintf(stderr, "cannot create the towns database in %s\n", work.c_str());
    return 1;
  }
  kv::db::FieldArray f;
  for (const auto& r : country_rows) {
    kv::db::ClearFields(f);
    ok &= To866(r[kRussian], &f[kFieldCountryName]) && To866(r[kEnglish], &f[kFieldCountryOtherName]);
    ok &= Put(base, r[kCountryKey], f);
  }
  for (const auto& r : town_rows) {
    kv::db::ClearFields(f);
    f[kFieldZoneCode] = r[kZone];
    f[kFieldLatitude] = r[kLat];
    f[kFieldLongitude] = r[kLon];
    f[kFieldTownName] = r[kName];
    f[kFieldPopulation] = r[kPopulation];
    f[kFieldZoneId] = r[kTz];
    f[kFieldSummerRule] = r[kRule];
    ok &= To866(r[kField8], &f[kFieldCountryRegion]) && To866(r[kRegion], &f[kFieldNamePart2]) &&
          To866(r[kCountry], &f[kFieldCountry]);
    ok &= Put(base, r[kKey], f);
  }
  base.Close();
  fs::current_path(previous);
  if (!ok) return 1;
  for (const char* ext : {".btz", ".bbb", ".bnz"})
    fs::rename(work / (std::string(kTownsDatabase) + ext), out_dir / (std::string(kTownsDatabase) + ext));
  fs::remove_all(work, ec);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("towns: %zu towns, %zu countries written in %s s\n", town_rows.size(),
              country_rows.size(), kv::FormatFixed(seconds, 1).c_str());
  return 0;
}
