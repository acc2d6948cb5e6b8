// The lunar node and apogee, mean (polynomial elements) and true / osculating (from
// the osculating orbit of the Moon), as position records of the ecliptic of date.
//
// Sources:
//   mean elements  the Delaunay arguments F, l and the mean longitude L of the lunar
//       theory ELP 2000-82B (M. Chapront-Touze and J. Chapront, Astron. Astrophys.
//       124, 50 (1983); the same arguments in J.L. Simon et al., Astron. Astrophys.
//       282, 663 (1994)), referred to the mean equinox of date. The
//       constant terms are those of the theory; the rates carry small corrections and
//       the T^2..T^4 terms are a later fit of the tidal terms, both kept as this
//       program has always used them.
//   mean apogee  L - l + 180 degrees in the orbit plane, tilted by the mean
//       inclination of the lunar orbit (5.1454 degrees) about the mean node L - F.
//   true node and osculating apogee  the two-body (Keplerian) orbit through the
//       Moon's geocentric position and velocity from the ephemeris files, with the
//       Earth-Moon GM: the standard relations of, e.g., J.M.A. Danby, Fundamentals of
//       Celestial Mechanics (2nd ed., 1988).
#pragma once

#include "common/status.h"

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
// (CalcBody makes them). Returns ok; NotFound when no file holds the Moon for the date
// (the block is zero); the reader's failure otherwise (as EvaluateBody).
Status LunarPoint(double jd_et, int body, int flags, double* block24);

}  // namespace kv
