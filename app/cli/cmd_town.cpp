// "town": the towns database on the command line. Lists up to 20 towns whose name
// begins with a text (the town chooser's matching: no case, "ё" as "е"), names equal
// to the text first, then the most populous, each with its place, its zone and the
// correction of local time to universal time at a moment (now when no date is given).
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/commands.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text_resources.h"
#include "common/tokens.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_record.h"
#include "towns/town_search.h"
#include "towns/zone_correction.h"

namespace kv::cli {
namespace {

constexpr const char* kName = "town";
constexpr size_t kMaxTowns = 20;
constexpr double kUnixEpochJd = 2440587.5;

// A failure of the search (1251 text) on stderr; exit status 1.
int Fail(const std::string& text) {
  PrintError(text);
  return 1;
}

// A calendar date that exists (no 31 February): it comes back from its Julian day.
bool ValidDate(const DateTimeRecord& d) {
  if (d.day < 1 || d.day > 31 || d.month < 1 || d.month > 12 || d.year == 0) return false;
  const DateTimeRecord back = JulianDayToDate(DateToJulianDayAt0h(d.day, d.month, d.year));
  return back.day == d.day && back.month == d.month && back.year == d.year;
}

bool ValidTime(const DateTimeRecord& d) {
  return d.hour >= 0 && d.hour <= 23 && d.minute >= 0 && d.minute <= 59 && d.second >= 0 &&
         d.second <= 59;
}

// "d.m.y" or "h:m:s": three whole numbers and nothing else.
bool ThreeNumbers(const std::string& text, char separator) {
  const std::vector<std::string> parts = Split(text, separator);
  if (parts.size() != 3 || text.back() == separator) return false;
  for (const auto& p : parts)
    if (!ParseInteger(p) || p.find_first_of("+ ") != std::string::npos) return false;
  return true;
}

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Number(double v) { return FormatGeneral(std::fabs(v) < 1e-12 ? 0.0 : v, 10); }

std::string Field(const db::FieldArray& f, int n) { return Cp1251ToUtf8(TrimRight(f[n])); }

// The town's local moment now: universal time now, less the correction at that time
// taken as local, then corrected once more with the local time so found.
double LocalNow(const db::FieldArray& town, const towns::ZoneTable& table) {
  const double jd_ut = kUnixEpochJd + static_cast<double>(std::time(nullptr)) / 86400.0;
  const double guess = jd_ut - towns::ZoneCorrection(jd_ut, town, true, table);
  return jd_ut - towns::ZoneCorrection(guess, town, true, table);
}

}  // namespace

int TownCommand(const CliContext& ctx, const CliArgs& args) {
  std::string text, date_text, time_text;
  bool json = false, have_date = false, have_time = false, have_text = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      if (json) return RefuseWith(kName, "cliTwice", a);
      json = true;
    } else if (a == "--date" || a == "--time") {
      bool& given = a == "--date" ? have_date : have_time;
      if (given) return RefuseWith(kName, "cliTwice", a);
      if (i + 1 >= args.size()) return RefuseWith(kName, "cliNeedVal", a);
      (a == "--date" ? date_text : time_text) = args[++i];
      given = true;
    } else if (a.size() > 1 && a.compare(0, 2, "--") == 0) {
      return RefuseWith(kName, "cliUnkOpt", a);
    } else if (!have_text) {
      text = a;
      have_text = true;
    } else {
      return RefuseWith(kName, "cliArgs", "");
    }
  }
  if (TrimmedLength(text) == 0) return RefuseWith(kName, "cliArgs", "");
  if (have_time && !have_date) return RefuseWith(kName, "cliNeed", "--date");

  double jd_local = 0;
  if (have_date) {
    const DateTimeRecord d = ParseDateTimeFields(date_text, have_time ? time_text : "");
    if (!ThreeNumbers(date_text, '.') || !ValidDate(d))
      return RefuseText(kName,
                        FormatMessage(Text("TwDate").c_str(), Utf8ToCp1251(date_text).c_str()));
    if (have_time && (!ThreeNumbers(time_text, ':') || !ValidTime(d)))
      return RefuseText(kName,
                        FormatMessage(Text("TwTime").c_str(), Utf8ToCp1251(time_text).c_str()));
    jd_local = DateToJulianDay(d);
  }

  const std::string wanted = Utf8ToCp1251(text);
  if (db::Tables().empty()) db::LoadSchema();
  db::Database base;
  if (!base.Open(towns::kTownsDatabase, db::kTownsRead).ok()) return Fail(Text("Noab"));
  const std::vector<db::FieldArray> found = towns::FindTowns(base, wanted, kMaxTowns);
  base.Close();
  if (found.empty()) {
    if (json) std::printf("[]\n");
    return Fail(FormatMessage(Text("TwNone").c_str(), wanted.c_str()));
  }

  towns::ZoneTable table;
  table.Load();
  const TextList heads = Resources().LookupList("TwHdr");
  if (json) {
    std::printf("[\n");
  } else {
    for (size_t i = 0; i < heads.Count(); ++i)
      std::printf("%s%s", i ? "\t" : "", Cp1251ToUtf8(heads[i]).c_str());
    std::printf("\n");
  }
  for (size_t i = 0; i < found.size(); ++i) {
    const db::FieldArray& t = found[i];
    const double moment = have_date ? jd_local : LocalNow(t, table);
    const double correction = towns::ZoneCorrection(moment, t, true, table);
    const std::string lat = Number(LeadingDouble(t[towns::kFieldLatitude]));
    const std::string lon = Number(LeadingDouble(t[towns::kFieldLongitude]));
    const std::string zone = std::to_string(LeadingInteger(t[towns::kFieldZoneCode]));
    const std::string region = Cp1251ToUtf8(towns::TownRegion(t));
    if (json) {
      std::printf("  {\"key\": %s, \"name\": %s, \"region\": %s, \"country\": %s, \"lat\": %s, "
                  "\"lon\": %s, \"zone\": %s, \"tz\": %s, \"correction\": %s}%s\n",
                  JsonString(Field(t, 1)).c_str(), JsonString(Field(t, towns::kFieldTownName)).c_str(),
                  JsonString(region).c_str(), JsonString(Field(t, towns::kFieldCountry)).c_str(),
                  lat.c_str(), lon.c_str(), zone.c_str(), JsonString(Field(t, towns::kFieldZoneId)).c_str(),
                  Number(correction).c_str(), i + 1 < found.size() ? "," : "");
    } else {
      const bool switch_day = towns::ClocksChangedOn(moment, t, table);
      std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", Field(t, 1).c_str(),
                  Field(t, towns::kFieldTownName).c_str(), region.c_str(),
                  Field(t, towns::kFieldCountry).c_str(), FormatFixed(LeadingDouble(t[towns::kFieldLatitude]), 2).c_str(),
                  FormatFixed(LeadingDouble(t[towns::kFieldLongitude]), 2).c_str(), zone.c_str(),
                  Field(t, towns::kFieldZoneId).c_str(), FormatFixed(correction, 2).c_str(),
                  switch_day ? Cp1251ToUtf8(Text("ClkCh")).c_str() : "");
    }
  }
  if (json) std::printf("]\n");
  static_cast<void>(ctx);
  return 0;
}

}  // namespace kv::cli
