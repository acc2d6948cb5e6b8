#include "astro/sidereal_time.h"

#include <cmath>

#include "astro/constants.h"
#include "common/angles.h"

namespace kv {

double MeanSiderealTime(double jd_ut) {
  const double j0 = std::floor(jd_ut + 0.5) - 0.5;  // 0h UT of the day
  const double t = (j0 - kJ1900) / kDaysPerCentury;
  const double s0 = 6.6460656 + 2400.051262 * t + 2.581e-05 * t * t;
  return NormalizeHours((jd_ut - j0) * 24.0 * kSiderealPerSolar + s0);
}

double ApparentSiderealTime(double jd_ut, double true_obliquity_deg, double dpsi_deg) {
  const double d = std::floor(jd_ut);
  double j0, s;
  if (jd_ut - d >= 0.5) {
    j0 = d + 0.5;
    s = jd_ut - d - 0.5;
  } else {
    j0 = d - 0.5;
    s = jd_ut - d + 0.5;
  }
  const double t = (j0 - kJ2000) / kDaysPerCentury;
  double g = 24110.54841 + t * (8640184.812866 + t * (0.093104 - 6.2e-6 * t)) +
             (1 + (8640184.812866 + t * (0.186208 - 0.0000186 * t)) / (36525.0 * 86400.0)) *
                 (s * 86400.0) +
             std::cos(true_obliquity_deg * kDegToRad) * dpsi_deg * 240.0;
  g -= std::floor(g / 86400.0) * 86400.0;
  return g / 3600.0;
}

}  // namespace kv
