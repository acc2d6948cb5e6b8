// Precession between the mean equator and equinox of J2000 and those of a date:
// IAU 1976 angles within two centuries of J2000, a long-term ecliptic expansion beyond.
// Sources: J.H. Lieske et al., Astron. Astrophys. 58, 1 (1977) for zeta, z, theta; for
// the long term, the secular expansions (in millennia) of the general precession and
// of the node and inclination of the ecliptic of date in the form of J. Laskar,
// Astron. Astrophys. 157, 59 (1986): the terms from the fourth power of the general
// precession on are Laskar's, the leading ones are adjusted to a later value of the
// precession rate.
#pragma once

namespace kv {

inline constexpr int kJ2000ToDate = -1;
inline constexpr int kDateToJ2000 = 1;

// Rotates a rectangular equatorial vector in place.
//   x         three coordinates (any unit)
//   jd_et     Julian day of the date, ephemeris time
//   direction kJ2000ToDate (-1) or kDateToJ2000 (1)
void Precess(double* x, double jd_et, int direction);

// The rotation of Precess for one date, made once and applied to many vectors (the
// bodies of a chart share their date); the same arithmetic as Precess, so the results
// are equal to the bit.
struct PrecessionRecord {
  double jd_et = 0;
  bool identity = true;    // jd_et is J2000
  bool long_term = false;  // beyond two centuries of J2000
  double m[3][3] = {};     // IAU 1976 matrix, J2000 to date by rows
  // The five turns of the long-term expansion, about x, z, x, z, x, as cosine and sine,
  // for each direction (index 0: J2000 to date, 1: date to J2000).
  double cos_turn[2][5] = {}, sin_turn[2][5] = {};
};
PrecessionRecord MakePrecessionRecord(double jd_et);
//   x         three coordinates, rotated in place
//   direction kJ2000ToDate or kDateToJ2000
void ApplyPrecession(const PrecessionRecord& r, double* x, int direction);

// The IAU 1976 angles zeta, z, theta (radians) from J2000 to jd_et.
struct PrecessionAngles {
  double zeta, z, theta;
};
PrecessionAngles PrecessionAngles1976(double jd_et);

}  // namespace kv
