#include "astro/lunar/lunar_day.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/delta_t.h"
#include "astro/positions/calc_body.h"
#include "astro/sidereal_time.h"
#include "common/angles.h"

namespace kv {
namespace {

double AltitudeAllowance(int point) {
  if (point == 1) return -0.8333;  // the Sun: refraction and semi-diameter
  if (point == 2) return 0.1333;   // the Moon: parallax outweighs both
  return -0.5667;                  // a point: refraction alone
}

}  // namespace

ChartPointFn GeocentricChartPoints() {
  return [](double jd_ut, int point, double* lon, double* lat) {
    *lon = *lat = 0;
    if (point < 1 || point > 10) return true;
    double x[6] = {};
    // Without the speed flag: the positions are the same, the second nutation and
    // the derivatives are not made.
    if (CalcBody(jd_ut + DeltaT(jd_ut), point - 1, kCalcChartFlags & ~kCalcSpeed, x) < 0)
      return false;
    *lon = x[0];
    *lat = x[1];
    return true;
  };
}

double Elongation(double jd_ut, const ChartPointFn& points) {
  double sun_lon, sun_lat, moon_lon, moon_lat;
  points(jd_ut, 2, &moon_lon, &moon_lat);
  points(jd_ut, 1, &sun_lon, &sun_lat);
  return NormalizeDegrees(moon_lon - sun_lon);
}

double FindNewMoon(double t0, double step, double tol, const ChartPointFn& points) {
  return FindNewMoonWith([&](double t) { return Elongation(t, points); }, t0, step, tol);
}

double AltitudeFunction(double t, int point, double lon_deg, double phi_rad,
                        const ChartPointFn& points) {
  double l, b, ra, dec;
  points(t, point, &l, &b);
  EclipticToEquatorial(l, b, t, &ra, &dec);
  const double h_deg = NormalizeDegrees(15.0 * MeanSiderealTime(t) + lon_deg - ra);
  const double g = std::fabs(h_deg - 180.0) >= 90.0 ? 1.0 : -1.0;
  const double dec_rad = dec * kDegToRad;
  const double alt = std::asin(std::cos(h_deg * kDegToRad) * std::cos(phi_rad) * std::cos(dec_rad) +
                               std::sin(phi_rad) * std::sin(dec_rad)) *
                     kRadToDeg;
  return alt + g * AltitudeAllowance(point);
}

int LunarDayNumber(double jd, double offset, double phi_rad, double lon_deg,
                   const ChartPointFn& points) {
  // After the first missing position the search runs on flat functions (no new moon,
  // no moonrise), which end it quickly, and its result is dropped.
  bool unavailable = false;
  const ChartPointFn guarded = [&](double t, int point, double* lon, double* lat) {
    if (!unavailable && points(t, point, lon, lat)) return true;
    unavailable = true;
    *lon = *lat = 0;
    return false;
  };
  const TimeFunction elongation = [&](double t) {
    return unavailable ? 0.0 : Elongation(t, guarded);
  };
  const TimeFunction altitude = [&](double t) {
    return unavailable ? -1.0 : AltitudeFunction(t, 2, lon_deg, phi_rad, guarded);
  };
  const int day = FindLunarDay(BuildLunarDays(elongation, altitude, jd, offset), jd, offset);
  return unavailable ? 0 : day;
}

}  // namespace kv
