// Angle units, the bringing of angles into their circle (one definition of pi and of
// each normaliser for the whole program: engine, houses, wheel) and the packed
// degrees-and-minutes form the user types for birth data (55.45 is 55 degrees 45
// minutes).
#pragma once

#include <cmath>

namespace kv {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kRadToDeg = 57.29577951308232;

// x brought into [0, period). The remainder of a tiny negative x plus the period can
// round up to the period itself; that case gives 0.
inline double NormalizeAngle(double x, double period) {
  // Within one period of the circle the remainder is exact without the division
  // (x - period is exact there), and most angles are.
  if (x >= 0 && x < period) return x;
  if (x >= period && x < 2 * period) return x - period;
  double r = x > -period && x < 0 ? x : std::fmod(x, period);
  if (r < 0) r += period;
  if (r >= period) r = 0.0;
  return r;
}

// Degrees into [0, 360), radians into [0, 2 pi), hours into [0, 24).
inline double NormalizeDegrees(double degrees) { return NormalizeAngle(degrees, 360.0); }
inline double NormalizeRadians(double radians) { return NormalizeAngle(radians, kTwoPi); }
inline double NormalizeHours(double hours) { return NormalizeAngle(hours, 24.0); }

// Packed angle (55.45 = 55 degrees 45 minutes) to decimal degrees and back.
double DegMinToDegrees(double packed);
double DegreesToDegMin(double degrees);

}  // namespace kv
