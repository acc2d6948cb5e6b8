// The lunar node and apogee, mean (polynomial elements) and true / osculating (from
// the osculating orbit of the Moon), as position records of the ecliptic of date.
#pragma once

namespace kv {

// Mean elements of the Moon's orbit at a date, seconds of arc.
struct LunarMeanElements {
  double arg_latitude;   // F
  double mean_anomaly;   // l
  double mean_longitude; // L
};
LunarMeanElements MeanLunarElements(double jd_et);

// Fills the 24-double result block of a lunar point (public body 10..13) at jd_et
// (ephemeris time). The obliquity and nutation records of the date must be current
// (CalcBody makes them). Returns 0; 1 when no file holds the Moon for the date (the
// block is zero); -1 on a damaged ephemeris file.
int LunarPoint(double jd_et, int body, int flags, double* block24);

}  // namespace kv
