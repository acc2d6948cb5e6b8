// Mean obliquity of the ecliptic (IAU 1976/1980 expression, long-term polynomial
// outside two centuries of J2000).
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
