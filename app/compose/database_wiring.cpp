#include "app/compose/database_wiring.h"

#include <cstring>

#include "app/settings/program_settings.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/menu_commands.h"
#include "chart/ui/chart_window_hooks.h"
#include "chart/ui/dkart.h"
#include "common/ui/window_hooks.h"
#include "db/ui/database_commands.h"

namespace kv {
namespace {

// The catalogue's remembered line lives for the run; the name is the settings' "BASA".
DatabaseSession& Session() {
  static DatabaseSession session;
  if (session.name != AppSettings().database) {
    session.name = AppSettings().database;
    session.remembered_line = 0;
  }
  return session;
}

std::string Text30(const char (&field)[30]) { return std::string(field, strnlen(field, 30)); }

cards::ChartCard CardOfChart(const ChartRecord& r) {
  cards::ChartCard c;
  c.name = Text30(r.name);
  c.jd_local = r.jd_local;
  c.lat_packed = r.lat_packed;
  c.lon_packed = r.lon_packed;
  c.correction_h = r.correction_h;
  c.place = Text30(r.place);
  c.text2 = Text30(r.text2);
  c.sex = r.sex;
  return c;
}

}  // namespace

void ConnectDatabase(DUApp& app, ChartWindowHooks& hooks) {
  app.RegisterCommand(kCmdDatabaseCatalogue, [&app] { ShowCatalogue(app.Frame(), Session()); });
  app.RegisterCommand(kCmdDatabaseChange, [&app] {
    if (ChangeDatabase(app.Frame(), Session())) AppSettings().database = Session().name;
  });
  app.RegisterCommand(kCmdDatabaseCreate, [&app] {
    DatabaseSession& s = Session();
    if (CreateDatabaseCommand(app.Frame(), s)) AppSettings().database = s.name;
  });

  SetPersonPicker([](QWidget* parent, const std::string& database, CardFields& card) {
    DatabaseSession& s = Session();
    s.name = database;
    db::FieldArray fields;
    switch (PickCard(parent, s, fields)) {
      case PickResult::kCannotOpen:
        return PersonPick::kCannotOpen;
      case PickResult::kNotChosen:
        return PersonPick::kNotChosen;
      case PickResult::kChosen:
        break;
    }
    for (int n = 1; n < db::kFieldCount; ++n)
      if (!fields[n].empty()) card[n] = fields[n];
    return PersonPick::kChosen;
  });

  hooks.store_card = [](DKart& kart) { StoreChartCard(&kart, Session(), CardOfChart(kart.Chart())); };
}

}  // namespace kv
