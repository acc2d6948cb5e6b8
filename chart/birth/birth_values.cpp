#include "chart/birth/birth_values.h"

#include "chart/calc/chart_calc.h"
#include "common/calendar.h"
#include "common/settings.h"

namespace kv {
namespace {
std::string FieldText(const char (&field)[30]) {
  size_t n = 0;
  while (n < kNameChars && field[n] != '\0') ++n;  // a damaged record may lack its NUL
  return std::string(field, n);
}
}  // namespace

BirthValues BirthValuesFromRecord(const ChartRecord& rec, bool exact_time) {
  BirthValues v;
  v.name = FieldText(rec.name);
  v.place = FieldText(rec.place);
  // The split rounds to the nearest second, so a time stored a hair below a whole
  // second already shows as that second; adding one more would show 12:00:01.
  const DateTimeRecord d = JulianDayToDate(rec.jd_local);
  v.day = d.day;
  v.month = d.month;
  v.year = d.year;
  v.hour = d.hour;
  v.minute = d.minute;
  v.second = d.second;
  v.correction_h = rec.correction_h;
  v.lat_packed = rec.lat_packed;
  v.lon_packed = rec.lon_packed;
  v.sex = rec.sex == 1 ? 1 : 0;
  v.exact_time = exact_time;
  return v;
}

void ApplyBirthValues(const BirthValues& v, int16_t current_house_system, ChartRecord& rec,
                      std::array<uint8_t, 80>& ov) {
  SetChartText(rec.name, v.name.c_str());
  SetChartText(rec.place, v.place.c_str());
  const double jd_local =
      DateToJulianDay(DateTimeRecord{v.day, v.month, v.year, v.hour, v.minute, v.second});
  SetBirthMoment(rec, jd_local, v.correction_h);
  rec.correction_h = v.correction_h;
  rec.lat_packed = v.lat_packed;
  rec.lon_packed = v.lon_packed;
  rec.house_system = v.exact_time ? current_house_system : kNoHousesSystem;
  ov[kOptExactTime] = v.exact_time ? 1 : 0;
  rec.sex = static_cast<uint8_t>(v.sex == 1 ? 1 : 0);
}

}  // namespace kv
