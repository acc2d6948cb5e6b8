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

}  // namespace kv
