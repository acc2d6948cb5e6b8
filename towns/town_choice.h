// What taking a town puts into a dialog with a place block, and the search text the
// town chooser shows and remembers. Texts are code page 1251.
#pragma once

#include <string>
#include <string_view>

#include "db/records/record_block.h"
#include "towns/zone_table.h"

namespace kv::towns {

struct ChosenTown {
  std::string place;           // ChosenTownText
  double lat_packed = 0;       // field 5 as stored
  double lon_packed = 0;       // field 6 made east: -74.00 is 286.00
  double correction_h = 0;     // ZoneCorrection at the dialog's moment
  bool clocks_changed = false; // the town's clocks changed on that date: check the hour
};

// The town's place and its correction at the local moment jd_local (0: no date, no
// correction). Reports a missing or damaged zone table as ZoneCorrection does.
ChosenTown TakeTown(const db::FieldArray& town, double jd_local, bool summer,
                    const ZoneTable& table);

// The chooser's search edit holds at most 19 characters; at most 41 are remembered.
inline constexpr size_t kSearchEditChars = 19;
inline constexpr size_t kRememberedSearchChars = 41;

// The remembered text as the search edit starts with it: ANSI letters upper-cased
// (a-z, а-я), cut to the edit.
std::string SearchEditText(std::string_view remembered);
// The typed text as it is remembered after the chooser, cut to 41 characters.
std::string RememberedSearch(std::string_view typed);

}  // namespace kv::towns
