// Delta T, the difference between ephemeris time and Universal Time.
#pragma once

namespace kv {

// Delta T from a yearly table (1620..1999, Bessel interpolation) and polynomial
// extrapolations before and after it.
//   jd_ut     Julian day, Universal Time
//   returns   Delta T in days (ephemeris time = jd_ut + DeltaT(jd_ut))
//
// Sources:
//   1620..1999  the yearly values tabulated in The Astronomical Almanac (section K,
//               "Delta T"), whose values before 1955 rest on F.R. Stephenson and
//               L.V. Morrison, Phil. Trans. R. Soc. London A 313, 47 (1984), with the
//               lunar tidal acceleration -26"/cy^2.
//   before 1955 the correction for a tidal acceleration n' = -25.8"/cy^2,
//               -0.000091 (n' + 26) (year - 1955)^2 s, Explanatory Supplement to the
//               Astronomical Almanac (ed. P.K. Seidelmann, 1992), on Delta T.
//   interpolation  Bessel's formula to fourth differences (e.g. M. Abramowitz and
//               I.A. Stegun, Handbook of Mathematical Functions, ch. 25).
//   before 1620 and after 1999 the quadratic extrapolations are this program's own
//               fixed coefficients (kept unchanged for the charts they have made); no
//               published source is claimed for them.
double DeltaT(double jd_ut);

}  // namespace kv
