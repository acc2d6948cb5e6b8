#include "app/cli/cli_town.h"

#include "app/cli/cli_command.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "towns/town_choice.h"
#include "towns/town_record.h"
#include "towns/town_search.h"
#include "towns/zone_table.h"

namespace kv::cli {
namespace {

// A correction without its zone line or summer-time section would quietly be that of
// Greenwich or of winter: the chart is not computed with it.
bool TableServes(const db::FieldArray& town, const towns::ZoneTable& table) {
  auto blank = [&](int field) { return TrimmedLength(town[field]) == 0; };
  if (blank(towns::kFieldFixedOffset) && !blank(towns::kFieldZoneCode) &&
      (!table.Loaded() || !table.Section(towns::kZoneSection)))
    return false;
  return blank(towns::kFieldSummerRule) ||
         (table.Loaded() && table.Section(TrimRight(town[towns::kFieldSummerRule])));
}

}  // namespace

int FirstTownAt(const std::string& text_utf8, double jd_local, TownPlace* out) {
  const std::string wanted = Utf8ToCp1251(text_utf8);
  if (db::Tables().empty()) db::LoadSchema();
  db::Database base;
  if (!base.Open(towns::kTownsDatabase, db::kTownsRead).ok()) {
    PrintError(Text("Noab"));
    return 1;
  }
  const std::vector<db::FieldArray> found = towns::FindTowns(base, wanted, 1);
  base.Close();
  if (found.empty()) {
    PrintError(FormatKey("TwNone", wanted));
    return 1;
  }
  towns::ZoneTable table;
  table.Load();
  const bool serves = TableServes(found[0], table);
  const towns::ChosenTown town = towns::TakeTown(found[0], jd_local, true, table);  // reports what is missing
  if (!serves) return 1;
  out->place = town.place;
  out->lat_packed = town.lat_packed;
  out->lon_packed = town.lon_packed;
  out->correction_h = town.correction_h;
  out->clocks_changed = town.clocks_changed;
  return 0;
}

}  // namespace kv::cli
