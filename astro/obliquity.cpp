#include "astro/obliquity.h"

#include <cmath>
#include <iterator>

#include "astro/constants.h"

namespace kv {

namespace {
// Long-term expansion in u = T / 10, seconds of arc, lowest power first.
constexpr double kLongTerm[] = {84381.448,  -468.093,   -0.0155,  1.99925,
                                -0.005138,  -0.0024967, -3.905e-05, 7.12e-07,
                                2.787e-07,  5.79e-09,   2.45e-10};
}  // namespace

double Obliquity(double jd_et) {
  const double t = (jd_et - kJ2000) / kDaysPerCentury;
  double seconds;
  if (std::fabs(t) < 2) {
    seconds = 84381.448 + t * (-46.815 + t * (-0.00059 + t * 0.001813));
  } else {
    const double u = t / 10;
    seconds = 0;
    for (int i = static_cast<int>(std::size(kLongTerm)) - 1; i >= 0; --i)
      seconds = seconds * u + kLongTerm[i];
  }
  return seconds * kArcsecToRad;
}

ObliquityRecord MakeObliquityRecord(double jd_et) {
  ObliquityRecord r;
  r.jd = jd_et;
  r.eps_rad = Obliquity(jd_et);
  r.sin_eps = std::sin(r.eps_rad);
  r.cos_eps = std::cos(r.eps_rad);
  return r;
}

}  // namespace kv
