// Mean obliquity of the ecliptic (IAU 1976/1980 expression, long-term polynomial
// outside two centuries of J2000).
// Sources: 84381.448" - 46.8150" T - 0.00059" T^2 + 0.001813" T^3, J.H. Lieske et al.,
// Astron. Astrophys. 58, 1 (1977) (Explanatory Supplement to the Astronomical
// Almanac, 1992, eq. 3.222-1); the long-term polynomial in T / 10 is J. Laskar's,
// Astron. Astrophys. 157, 59 (1986) (also J. Meeus, Astronomical Algorithms, ch. 22).
#pragma once

namespace kv {

struct ObliquityRecord {
  double jd = 0.0;        // date the record is made for (ephemeris time)
  double eps_rad = 0.0;   // mean obliquity, radians
  double sin_eps = 0.0;
  double cos_eps = 1.0;
};

//   jd_et     Julian day, ephemeris time
//   returns   mean obliquity of the ecliptic of date, radians
double Obliquity(double jd_et);
ObliquityRecord MakeObliquityRecord(double jd_et);

}  // namespace kv
