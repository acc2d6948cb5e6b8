// Nutation in longitude and obliquity, IAU 1980 theory (106 terms), and the
// rotation from the mean to the true equator and equinox of date.
// Source: P.K. Seidelmann, Celestial Mechanics 27, 79 (1982); the series as printed
// in the Explanatory Supplement to the Astronomical Almanac (1992), sect. 3.222.
#pragma once

namespace kv {

struct NutationAngles {
  double dpsi_rad = 0.0;  // nutation in longitude
  double deps_rad = 0.0;  // nutation in obliquity
};

//   jd_et     Julian day, ephemeris time
//   returns   dpsi, deps in radians, referred to the ecliptic of date
NutationAngles Nutation(double jd_et);

struct NutationRecord {
  double jd = 0.0;  // ephemeris time; 0 = not made yet
  double dpsi_rad = 0.0;
  double deps_rad = 0.0;
  double sin_deps = 0.0;
  double cos_deps = 1.0;
  double matrix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

// The nutation of a date with its matrix, built from the mean obliquity of that date.
//   jd_et             Julian day, ephemeris time
//   mean_eps_rad      mean obliquity of date, radians
NutationRecord MakeNutationRecord(double jd_et, double mean_eps_rad);

// Mean equator of date to true equator of date: out_i = sum_k in_k m[k][i].
// in and out may be the same array.
void ApplyNutationMatrix(const double (&m)[3][3], const double* in, double* out);

}  // namespace kv
