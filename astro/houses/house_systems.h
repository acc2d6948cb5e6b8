// House cusps as pure spherical geometry on the local sidereal frame.
//
// Nothing here reads the ephemeris or the clock: the caller gives the right ascension
// of the meridian, the latitude and the obliquity, so the twelve systems can be checked
// against their geometric definitions without the rest of the engine. HouseFrameAt
// (house_frame.h) fills that frame from a moment and place; the chart's CalcHouses
// (chart/calc/calc_houses.h) applies it to a chart record.
#pragma once

#include <array>

namespace kv {

// House-system numbers as stored in a chart and in the setting "HouseSet".
enum HouseSystemNumber : int {
  kHouseRegiomontanus = 1,
  kHouseCampanus = 2,
  kHousePlacidus = 3,
  kHouseSineThirds = 4,     // pole factor by the sine of thirds
  kHouseHorizonPoles = 5,   // shifted semi-arc with horizon poles
  kHouseEqualAsc = 6,
  kHouseEqualSun = 7,
  kHouseEqualAries = 8,     // also the system of a chart without a known time
  kHouseEqualSunSign = 9,
  kHousePorphyry = 10,
  kHouseEqualMc = 11,
  kHouseEqualVertex = 12,
};

// The local frame the cusps are computed on.
struct HouseFrame {
  double armc_deg = 0;      // right ascension of the MC, degrees [0, 360)
  double phi_deg = 0;       // geographic latitude, decimal degrees, north positive
  double eps_deg = 0;       // true obliquity of the ecliptic, degrees
  double eps_mean_deg = 0;  // mean obliquity, degrees (used by system 5 only)
};

struct HouseCusps {
  int system = kHouseEqualAries;  // the number actually used (unknown numbers become 8)
  std::array<double, 13> cusp{};  // cusp[1..12], degrees [0, 360); cusp[0] unused
  double asc_deg = 0;             // the Ascendant as the system left it
  double mc_deg = 0;
  double vertex_deg = 0;
};

// Ecliptic longitude (degrees, [0, 360)) where the circle of pole height pole_deg
// through the equator point of right ascension x_deg meets the ecliptic.
//   x_deg      right-ascension-like angle, degrees, any value
//   pole_deg   pole height of the house circle, degrees
//   sin_eps, cos_eps   of the true obliquity
// Results within 1e-10 of a quadrant point snap to it.
double Asc1(double x_deg, double pole_deg, double sin_eps, double cos_eps);

// The first-quadrant kernel of Asc1: the arc on the ecliptic for x in [0, 90], in
// (0, 180), with zero denominators replaced by a signed 1e-10.
double Asc2(double x_deg, double pole_deg, double sin_eps, double cos_eps);

// The polar rule: quadrant systems 1..5 are not drawn beyond 66 degrees (packed
// latitude, so 66.20 already counts); the chart switches to Porphyry with a warning.
bool PolarRuleApplies(double lat_packed, int system);

// Latitude (decimal degrees) as the house routines use it: the poles themselves are
// moved by 1e-10 degree so that tan(phi) stays finite.
double ClampHouseLatitude(double phi_deg);

// All twelve cusps, the Ascendant, MC and Vertex of `system` in `frame`.
//   sun_lon_deg  the Sun's longitude (systems 7 and 9)
// Placidus inside the polar circles is computed as Porphyry; its number stays 3.
// The polar rule is the caller's (it shows a message and changes the chart).
HouseCusps ComputeHouseCusps(const HouseFrame& frame, int system, double sun_lon_deg);

// Lot of Fortune and the second lot (degrees, [0, 360)) from the Ascendant (cusp 1).
// A night chart (the Sun in houses 1..6) reverses both differences.
struct Lots {
  double fortune_deg = 0;
  double second_deg = 0;
};
Lots ComputeLots(double asc_deg, bool night, double sun_deg, double moon_deg,
                 double mars_deg, double saturn_deg);

}  // namespace kv
