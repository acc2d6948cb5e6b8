// The correction of a town's local time to universal time on a date, from its record
// and the time-zone table:  universal time = local time + correction (hours).
//
//   field 4    a fixed offset east of Greenwich: correction = -field 4, zone unused
//   field 2    zone code: the "PopTime" line gives the offset of the period the
//              date lies in ([first day 0 h, end day 0 h)), else its default
//   field 11   summer-time section: a line "from-to delta" with from < date <= to
//              (dates at 0 h) lowers the correction by delta
//
// A default offset "LMT" stands for the town's own mean time: the offset is the
// longitude of field 6 (packed degrees.minutes, east positive) divided by 15.
#pragma once

#include "db/records/record_block.h"
#include "towns/zone_table.h"

namespace kv::towns {

// Correction in hours for the local moment jd_local (Julian day; 0 means no date and
// gives 0). Reports a missing table or section as "Не открывается файл '%s'" with
// "popa.ctl(PopTime)" or "popa.ctl(<rule>)" (correction 0, or unchanged by summer
// time), and a damaged line it has to read with the keys "PopZn%s" / "PopSm%s"
// (the correction is then what the line's leading numbers give).
double ZoneCorrection(double jd_local, const db::FieldArray& town, bool summer,
                      const ZoneTable& table);
// The same with "popa.ctl" of the working directory, read for this one call.
double ZoneCorrection(double jd_local, const db::FieldArray& town, bool summer);
// The same without any message: for a correction shown while the user is still
// browsing the towns (the one taken reports what is missing or damaged).
double QuietZoneCorrection(double jd_local, const db::FieldArray& town, bool summer,
                           const ZoneTable& table);

// True when the town's correction changes between noon of the day before the date
// of jd_local and noon of the day after it: the clocks were put forward or back on
// that date or in the night after it, and the periods (which carry dates only) may
// put the hour of birth on the wrong side of the switch. Silent.
bool ClocksChangedOn(double jd_local, const db::FieldArray& town, const ZoneTable& table);

// Checks used for the damage messages: "d.m.y" with day 1-31, month 1-12, a year
// other than 0; a period is a date or two increasing dates joined by "-".
bool IsDateText(std::string_view text);
bool IsPeriodText(std::string_view text);

}  // namespace kv::towns
