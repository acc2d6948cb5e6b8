#include "common/angles.h"

#include <cmath>

namespace kv {

// The packed form keeps minutes in the first two decimals: the fraction is scaled by
// 100/60 one way and 60/100 the other.
double DegMinToDegrees(double packed) {
  const double a = std::fabs(packed);
  const double n = std::floor(a);
  const double v = n + (a - n) * 1.6666666666666667;
  return packed < 0 ? -v : v;
}

double DegreesToDegMin(double degrees) {
  const double a = std::fabs(degrees);
  const double n = std::floor(a);
  const double v = n + (a - n) * 0.6;
  return degrees < 0 ? -v : v;
}

double NormalizeHours(double hours) {
  double h = std::fmod(hours, 24.0);
  if (h < 0) h += 24.0;
  if (h >= 24.0) h = 0.0;  // a tiny negative input rounds up to 24
  return h;
}

double NormalizeDegrees(double degrees) {
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360.0;
  if (d >= 360.0) d = 0.0;
  return d;
}

}  // namespace kv
