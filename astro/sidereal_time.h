// Greenwich sidereal time.
#pragma once

namespace kv {

// Greenwich mean sidereal time by the formula referred to 1900:
// 6.6460656 h + 2400.051262 h T + 0.00002581 h T^2 at 0h UT (T Julian centuries from
// JD 2415020.0), plus the elapsed UT times 1.002737908.
// Source: S. Newcomb's expression as given in the Explanatory Supplement to the
// Astronomical Ephemeris and the American Ephemeris and Nautical Almanac (HMSO,
// 1961); also J. Meeus, Astronomical Formulae for Calculators (4th ed., 1988).
//   jd_ut     Julian day, Universal Time
//   returns   hours in [0, 24)
double MeanSiderealTime(double jd_ut);

// Greenwich apparent sidereal time: the IAU 1982 mean sidereal time plus the equation
// of the equinoxes, dpsi cos(eps) (without its later complementary terms).
// Sources: S. Aoki et al., Astron. Astrophys. 105, 359 (1982); Explanatory Supplement
// to the Astronomical Almanac (1992), on sidereal time and the equation of the
// equinoxes.
//   jd_ut              Julian day, Universal Time
//   true_obliquity_deg true obliquity of the ecliptic of date, degrees
//   dpsi_deg           nutation in longitude, degrees
//   returns            hours in [0, 24)
double ApparentSiderealTime(double jd_ut, double true_obliquity_deg, double dpsi_deg);

}  // namespace kv
