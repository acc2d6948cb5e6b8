// Greenwich sidereal time.
#pragma once

namespace kv {

// Greenwich mean sidereal time by the formula referred to 1900.
//   jd_ut     Julian day, Universal Time
//   returns   hours in [0, 24)
double MeanSiderealTime(double jd_ut);

// Greenwich apparent sidereal time (IAU 1982 mean time plus the equation of the
// equinoxes).
//   jd_ut              Julian day, Universal Time
//   true_obliquity_deg true obliquity of the ecliptic of date, degrees
//   dpsi_deg           nutation in longitude, degrees
//   returns            hours in [0, 24)
double ApparentSiderealTime(double jd_ut, double true_obliquity_deg, double dpsi_deg);

}  // namespace kv
