#include "towns/town_choice.h"

#include "common/case_map.h"
#include "common/numbers.h"
#include "towns/town_record.h"
#include "towns/zone_correction.h"

namespace kv::towns {

ChosenTown TakeTown(const db::FieldArray& town, double jd_local, bool summer,
                    const ZoneTable& table) {
  ChosenTown c;
  c.place = ChosenTownText(town);
  c.lat_packed = LeadingDouble(town[kFieldLatitude]);
  c.lon_packed = EastLongitude(LeadingDouble(town[kFieldLongitude]));
  c.correction_h = ZoneCorrection(jd_local, town, summer, table);
  c.clocks_changed = ClocksChangedOn(jd_local, town, table);
  return c;
}

std::string SearchEditText(std::string_view remembered) {
  std::string text(remembered.substr(0, kSearchEditChars));
  UpperAnsi(text);
  return text;
}

std::string RememberedSearch(std::string_view typed) {
  return std::string(typed.substr(0, kRememberedSearchChars));
}

}  // namespace kv::towns
