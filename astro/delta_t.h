// Delta T, the difference between ephemeris time and Universal Time.
#pragma once

namespace kv {

// Delta T from a yearly table (1620..1999, Bessel interpolation) and polynomial
// extrapolations before and after it.
//   jd_ut     Julian day, Universal Time
//   returns   Delta T in days (ephemeris time = jd_ut + DeltaT(jd_ut))
double DeltaT(double jd_ut);

}  // namespace kv
