#include "chart/calc/chart_calc.h"

#include <cstring>

#include "astro/constants.h"
#include "astro/delta_t.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/positions/calc_body.h"
#include "chart/calc/calc_houses.h"
#include "chart/record/chart_rules.h"
#include "common/calendar.h"
#include "common/messages.h"
#include "common/tokens.h"

namespace kv {
namespace {

// Ephemeris body of a chart body; -1 for the bodies made by formula or derived.
int EphemerisBodyOf(int body, const ChartOptions& o) {
  if (body >= kBodySun && body <= kBodyPluto) return body - kBodySun + kSun;
  switch (body) {
    case kBodyNorthNode: return o.true_node ? kTrueNode : kMeanNode;
    case kBodyChiron: return kChiron;
    case kBodyLilith: return o.osc_apogee ? kOscuApogee : kMeanApogee;
    default: return -1;
  }
}

// Name of chart body n from the text resources ("P-H", body n is item n); the number
// when the list lacks it.
std::string BodyName(int body) {
  const std::vector<std::string> names = Split(Text("P-H"), '/');
  if (body >= 1 && static_cast<size_t>(body) <= names.size() && !names[body - 1].empty())
    return names[body - 1];
  return std::to_string(body);
}

// The year with its fraction: day of the year, hour and minute of the UT moment.
double DecimalYear(double jd_ut, int* calendar_year) {
  const DateTimeRecord d = JulianDayToDate(jd_ut);
  *calendar_year = d.year;
  const double day_part = (d.hour + d.minute / 60.0) / 24.0;
  return d.year + (DayOfYear(d) - 1 + day_part) / 365.25;
}

}  // namespace

ChartOptions ChartOptionsFrom(const Settings& s) {
  ChartOptions o;
  o.true_node = s.Option(kOptTrueNode);
  o.osc_apogee = s.Option(kOptOsculatingApogee);
  o.heliocentric = s.Option(kOptHeliocentric);
  return o;
}

BodyPosition SelenaPosition(double jd_ut) {
  int year;
  const double y = DecimalYear(jd_ut, &year);
  constexpr double kRate = 51.430952381;  // degrees per year
  BodyPosition p;
  p.lon_deg = NormalizeDegrees((y - 1900.0) * kRate + 139.16666667);
  p.speed_deg = kRate / 365.25;
  return p;
}

BodyPosition ProserpinaPosition(double jd_ut) {
  int year;
  const double y = DecimalYear(jd_ut, &year);
  BodyPosition p;
  if (year <= 1918) {
    p.lon_deg = NormalizeDegrees((y - 1918.1396304) * 0.4918032787 + 180.0);
    p.speed_deg = 0.4918032787 / 365.25;
  } else if (year <= 1983) {
    p.lon_deg = NormalizeDegrees((y - 1918.1396304) * 0.4617524046 + 180.0);
    p.speed_deg = 0.4617524046 / 365.25;
  } else {
    p.lon_deg = NormalizeDegrees((y - 1983.109514) * 0.4918032787 + 210.0);
    p.speed_deg = 0.4918032787 / 365.25;
  }
  return p;
}

namespace {

// CalcOneBody with the ephemeris time of the moment already known (a chart's bodies
// share it).
BodyPosition CalcOneBodyAt(double jd_ut, double jd_et, int body, const ChartOptions& options,
                           bool with_speed) {
  if (body == kBodySelena) return SelenaPosition(jd_ut);
  if (body == kBodyProserpina) return ProserpinaPosition(jd_ut);
  BodyPosition p;
  const int eph = EphemerisBodyOf(body, options);
  if (eph < 0) return p;
  int flags = with_speed ? kCalcChartFlags : (kCalcChartFlags & ~kCalcSpeed);
  if (with_speed && !options.speeds) flags = (flags & ~kCalcSpeed) | kCalcPlaceOfSpeed;
  if (options.heliocentric && ((eph >= kMercury && eph <= kPluto) || (eph >= kChiron && eph <= kPholus)))
    flags |= kCalcHeliocentric;
  double x[6] = {};
  const int rc = CalcBody(jd_et, eph, flags, x);
  if (rc < 0) {
    p.state = rc == kCalcNoData ? BodyState::kNoData : BodyState::kDamaged;
    return p;
  }
  p.lon_deg = x[0];
  p.lat_deg = x[1];
  p.speed_deg = x[3];
  if (options.heliocentric && eph == kSun) p.lon_deg = NormalizeDegrees(p.lon_deg + 180.0);
  return p;
}

}  // namespace

BodyPosition CalcOneBody(double jd_ut, int body, const ChartOptions& options,
                         bool with_speed) {
  return CalcOneBodyAt(jd_ut, jd_ut + DeltaT(jd_ut), body, options, with_speed);
}

ChartPointFn ChartPoints(const ChartOptions& options) {
  // The Moon's phase is seen from the Earth whatever the chart shows: in heliocentric
  // mode body 1 is the Earth, and its conjunction with the Moon is the full moon.
  ChartOptions geocentric = options;
  geocentric.heliocentric = false;
  return [geocentric](double jd_ut, int point, double* lon, double* lat) {
    const BodyPosition p = CalcOneBody(jd_ut, point, geocentric, false);
    *lon = p.lon_deg;
    *lat = p.lat_deg;
    return p.state == BodyState::kComputed;
  };
}

void SetBirthMoment(ChartRecord& rec, double jd_local, double correction_h) {
  rec.jd_local = jd_local;
  rec.correction_h = correction_h;
  rec.jd_ut = rec.jd_calc = jd_local + correction_h / 24.0;
}

int CalculateChart(ChartRecord& rec, const ChartRecord* base, int kind,
                   const ChartOptions& options) {
  if (base) {
    rec.base_jd_local = base->jd_local;
    rec.base_jd_ut = base->jd_ut;
    char name[30];
    std::memcpy(name, base->name, sizeof name);
    name[kNameChars] = '\0';  // a damaged base record may lack its terminator
    SetChartText(rec.base_name, name);
  }
  rec.jd_calc = rec.jd_ut;
  if (!EphemerisDateInRange(rec.jd_ut)) return -1;
  Engine().failure = {};
  uint32_t missing = 0;
  const double jd_et = rec.jd_calc + DeltaT(rec.jd_calc);
  for (int b = kBodySun; b < kBodySouthNode; ++b) {
    const BodyPosition p = CalcOneBodyAt(rec.jd_calc, jd_et, b, options, true);
    if (p.state == BodyState::kDamaged) {
      // A position from a damaged file would be a wrong chart: none is better.
      WarningFormat("KrEph", BodyName(b).c_str(), Engine().failure.message().c_str());
      return kChartDamagedEphemeris;
    }
    if (p.state == BodyState::kNoData) missing |= 1u << (b - 1);
    rec.lon[b] = p.lon_deg;
    rec.lat[b] = p.lat_deg;
    rec.speed[b] = p.speed_deg;
  }
  if (missing & (1u << (kBodyNorthNode - 1))) missing |= 1u << (kBodySouthNode - 1);
  rec.missing_bodies = static_cast<int16_t>(static_cast<uint16_t>(missing));
  rec.lon[kBodySouthNode] = NormalizeDegrees(rec.lon[kBodyNorthNode] + 180.0);
  rec.lat[kBodySouthNode] = -rec.lat[kBodyNorthNode];
  rec.speed[kBodySouthNode] = rec.speed[kBodyNorthNode];
  CalcHouses(rec);
  rec.kind = static_cast<int16_t>(kind);
  if (rec.lunar_day >= 0) {
    // Near the ends of the span the search reaches past the files: no dialog for that,
    // the lunar day is then not available.
    const MissingFileHandler asked = SetMissingFileHandler([](const std::string&) { return true; });
    rec.lunar_day = static_cast<int16_t>(LunarDayNumber(
        rec.jd_ut, rec.correction_h / 24.0, DegMinToDegrees(rec.lat_packed) * kDegToRad,
        DegMinToDegrees(rec.lon_packed), ChartPoints(options)));
    SetMissingFileHandler(asked);
    if (!Engine().failure.ok()) {
      // The search met a damaged file: the chart's Moon and Sun may rest on it too.
      WarningFormat("KrEph", BodyName(kBodyMoon).c_str(), Engine().failure.message().c_str());
      return kChartDamagedEphemeris;
    }
  }
  return 0;
}

}  // namespace kv
