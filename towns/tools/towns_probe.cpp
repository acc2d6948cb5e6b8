// kv-towns-probe: the towns database and "popa.ctl" of a working directory as the
// program reads them, for the checks of the data against other sources.
//
//   kv-towns-probe list          every town: key, zone code, longitude, summer-time
//                                section, zone id (tab-separated, UTF-8)
//   kv-towns-probe corrections   reads "KEY DD.MM.YYYY HH:MM:SS" lines, prints the
//                                correction of each (hours, %.10g) or "-" when the
//                                town is missing
#include <cstdio>
#include <iostream>
#include <string>

#include "common/calendar.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/tokens.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/schema/script.h"
#include "towns/town_record.h"
#include "towns/zone_correction.h"

using namespace kv::towns;

namespace {

void PrintWarning(const std::string& text) {
  std::fprintf(stderr, "%s\n", kv::Cp1251ToUtf8(text).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command != "list" && command != "corrections") {
    std::fprintf(stderr, "usage: kv-towns-probe list | corrections\n");
    return 2;
  }
  kv::SetMessageSink({PrintWarning, PrintWarning});
  if (!kv::db::LoadSchema().ok()) return 1;
  kv::db::Database base;
  if (!base.Open(kTownsDatabase, kv::db::kTownsRead).ok()) {
    std::fprintf(stderr, "cannot open the towns database\n");
    return 1;
  }
  kv::db::FieldArray town;
  if (command == "list") {
    for (const auto& key : base.ListKeys(kTownPrefix, 0)) {
      if (!kv::db::ReadWithScript(base, key, town).ok()) continue;
      std::printf("%s\t%s\t%s\t%s\t%s\n", key.c_str(), town[kFieldZoneCode].c_str(),
                  town[kFieldLongitude].c_str(), town[kFieldSummerRule].c_str(),
                  town[kFieldZoneId].c_str());
    }
  } else {
    ZoneTable table;
    table.Load();
    std::string line;
    while (std::getline(std::cin, line)) {
      const auto t = kv::Tokens(line);
      if (t.size() < 3 || !kv::db::ReadWithScript(base, t[0], town).ok()) {
        std::printf("-\n");
        continue;
      }
      const double jd = kv::DateToJulianDay(kv::ParseDateTimeFields(t[1], t[2]));
      std::printf("%s\n", kv::FormatGeneral(ZoneCorrection(jd, town, true, table), 10).c_str());
    }
  }
  base.Close();
  return 0;
}
