// The place and correction of a chart's --town: the first town of the "town"
// command's list (the chooser's matching; names equal to the text first, then the
// most populous).
#pragma once

#include <string>

namespace kv::cli {

struct TownPlace {
  std::string place;            // 1251: the name and its further parts
  double lat_packed = 0;
  double lon_packed = 0;        // east: a west longitude as its east equivalent
  double correction_h = 0;      // at the birth moment, summer time applied
  bool clocks_changed = false;  // the town's clocks changed on the birth date
};

// 0 with the first town whose name begins with text_utf8, its correction taken at the
// local moment jd_local; otherwise the message on stderr and exit status 1: no towns
// database, no such town, or the part of "popa.ctl" its correction needs missing.
int FirstTownAt(const std::string& text_utf8, double jd_local, TownPlace* out);

}  // namespace kv::cli
