// Apparent geocentric positions of the Sun, Moon, planets, minor bodies, lunar nodes
// and apogees: ecliptic of date, true equinox, from the ephemeris files.
#pragma once

namespace kv {

// Public body numbers.
enum PublicBody {
  kSun = 0,
  kMoon = 1,
  kMercury = 2,
  kVenus = 3,
  kMars = 4,
  kJupiter = 5,
  kSaturn = 6,
  kUranus = 7,
  kNeptune = 8,
  kPluto = 9,
  kMeanNode = 10,
  kTrueNode = 11,
  kMeanApogee = 12,
  kOscuApogee = 13,
  kEarth = 14,  // heliocentric mode only
  kChiron = 15,
  kCeres = 16,
  kPallas = 17,
  kJuno = 18,
  kVesta = 19,
  kPholus = 20,
  kAsteroidOffset = 10000,  // numbered asteroid = number + 10000
};

// Calculation flags (bit values); other bits are carried along unchanged.
inline constexpr int kCalcEphemerisFiles = 2;  // positions from the ephemeris files
inline constexpr int kCalcHeliocentric = 8;    // implies no deflection, no aberration
inline constexpr int kCalcSpeed = 256;
inline constexpr int kCalcNoDeflection = 512;
inline constexpr int kCalcNoAberration = 1024;
// What the chart pipeline passes (258).
inline constexpr int kCalcChartFlags = kCalcEphemerisFiles | kCalcSpeed;

// Position record: [0] longitude deg in [0, 360), [1] latitude deg, [2] distance AU,
// [3] longitude speed deg/day, [4] latitude speed deg/day, [5] distance speed AU/day.
// Speeds are 0 unless kCalcSpeed is given.
//
//   jd_et     Julian day, ephemeris time (UT + DeltaT)
//   body      public body number
//   flags     calculation flags
//   out       6 doubles
//   returns   the flags the result was made with; kCalcNoData when no file covers
//             the date (the user chose to go on without it); -1 when the calculation
//             stops: a damaged or unreadable ephemeris file, the user's choice at a
//             missing one, or an unknown body number ("Ошибочный номер планеты %d");
//             Engine().failure then holds the message. In both failures out is all
//             zero. These numbers are the routine's outside face; inside, the engine
//             answers with a Status (ephemeris.h).
inline constexpr int kCalcNoData = -2;
int CalcBody(double jd_et, int body, int flags, double* out);

// The whole 24-double result block of the last CalcBody of a body: ecliptic polar,
// ecliptic rectangular, equatorial polar (RA, declination in degrees), equatorial
// rectangular, each 3 coordinates and 3 speeds.
int CalcBodyBlock(double jd_et, int body, int flags, double* block24);

// Ecliptic to equatorial coordinates with the mean obliquity of the day.
//   lon_deg, lat_deg   ecliptic longitude and latitude, degrees
//   jd                 Julian day (the obliquity's date)
//   ra_deg, dec_deg    right ascension in [0, 360) and declination, degrees
void EclipticToEquatorial(double lon_deg, double lat_deg, double jd, double* ra_deg,
                          double* dec_deg);

}  // namespace kv
