#include "towns/ui/choose_town.h"

#include "common/messages.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"
#include "db/schema/script.h"
#include "towns/town_choice.h"
#include "towns/town_record.h"
#include "towns/ui/dvtown.h"
#include "towns/zone_table.h"

namespace kv::towns {

bool ChooseTown(QWidget* parent, TownRequest& request, TownChooserMemory& memory) {
  static bool running = false;
  if (running) return false;
  running = true;
  struct Done {
    ~Done() { running = false; }
  } done;

  // The towns database for the life of this one chooser.
  if (db::Tables().empty()) db::LoadSchema();
  db::Database towns;
  if (!towns.Open(kTownsDatabase, db::kTownsRead).ok()) {
    WarningKey("Noab");
    return false;
  }
  ZoneTable table;
  table.Load(kZoneFile);

  DVTown dialog(parent, towns, TownList::All(towns), memory.search_text, request.jd_local,
                request.summer_time, table, &memory.last_country);
  const int result = RunDialog(dialog);
  memory.search_text = RememberedSearch(dialog.SearchText());
  const std::string key = dialog.SelectedKey();
  if (result != kCmdOk || key.empty()) return false;

  db::FieldArray town;
  if (!db::ReadWithScript(towns, key, town).ok()) return false;
  const ChosenTown chosen = TakeTown(town, request.jd_local, request.summer_time, table);
  request.place = chosen.place;
  request.lat_packed = chosen.lat_packed;
  request.lon_packed = chosen.lon_packed;
  request.correction_h = chosen.correction_h;
  request.has_correction = true;
  request.note = chosen.clocks_changed ? Text("ClkCh") : std::string();
  return true;
}

}  // namespace kv::towns
