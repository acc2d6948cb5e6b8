#include "astro/precession.h"

#include <cmath>
#include <iterator>

#include "astro/constants.h"
#include "astro/obliquity.h"

namespace kv {

namespace {

// Long-term expansion in u = T / 10: general precession (seconds of arc, times u),
// node and inclination of the ecliptic of date on that of J2000 (radians).
constexpr double kAccumulated[] = {50287.7,    110.5407,   0.076,     -0.235316, -0.0018055,
                                   0.00017451, 1.3095e-05, 2.424e-07, -4.759e-08, -8.66e-10};
constexpr double kNode[] = {3.052115282424, -0.04207794833, 7.436169e-05, 1.26e-07,
                            -1.8103e-07,    -3.54e-09,      1.9e-10,      7.521313e-12,
                            -1.547021e-12,  -2.69151e-15,   6.6402e-16};
constexpr double kInclination[] = {0.0,           0.00227850649, -1.62442e-05, -6.012e-07,
                                   1.32115526e-09, -5.4000441e-11, 2.4650839e-11, 2.50341e-13,
                                   -8.26287e-14,   7.3759e-17,     1.2147e-16};

template <size_t N>
double Polynomial(const double (&c)[N], double u) {
  double v = 0;
  for (size_t i = N; i-- > 0;) v = v * u + c[i];
  return v;
}

// Turn about the x or the z axis by an angle given by its cosine and sine.
void RotateX(double* x, double c, double s) {
  const double y = c * x[1] + s * x[2];
  const double z = -s * x[1] + c * x[2];
  x[1] = y;
  x[2] = z;
}

void RotateZ(double* x, double c, double s) {
  const double nx = c * x[0] + s * x[1];
  const double ny = -s * x[0] + c * x[1];
  x[0] = nx;
  x[1] = ny;
}

void SetTurns(PrecessionRecord& r, int direction, const double (&angles)[5]) {
  for (int k = 0; k < 5; ++k) {
    r.cos_turn[direction][k] = std::cos(angles[k]);
    r.sin_turn[direction][k] = std::sin(angles[k]);
  }
}

void LongTermTurns(PrecessionRecord& r, double jd_et) {
  const double u = (jd_et - kJ2000) / kDaysPerCentury / 10;
  const double a = u * Polynomial(kAccumulated, u) * kArcsecToRad;
  const double w = Polynomial(kNode, u);
  const double i = Polynomial(kInclination, u);
  const double eps0 = Obliquity(kJ2000);
  const double eps = Obliquity(jd_et);
  SetTurns(r, 0, {eps0, w, i, -w - a, -eps});
  SetTurns(r, 1, {eps, w + a, -i, -w, -eps0});
}

}  // namespace

PrecessionAngles PrecessionAngles1976(double jd_et) {
  const double t = (jd_et - kJ2000) / kDaysPerCentury;
  PrecessionAngles p;
  p.zeta = (2306.2181 + (0.30188 + 0.017998 * t) * t) * t * kArcsecToRad;
  p.z = (2306.2181 + (1.09468 + 0.018203 * t) * t) * t * kArcsecToRad;
  p.theta = (2004.3109 + (-0.42665 - 0.041833 * t) * t) * t * kArcsecToRad;
  return p;
}

PrecessionRecord MakePrecessionRecord(double jd_et) {
  PrecessionRecord r;
  r.jd_et = jd_et;
  if (jd_et == kJ2000) return r;
  r.identity = false;
  const double t = (jd_et - kJ2000) / kDaysPerCentury;
  if (std::fabs(t) > 2) {
    r.long_term = true;
    LongTermTurns(r, jd_et);
    return r;
  }
  const PrecessionAngles p = PrecessionAngles1976(jd_et);
  const double cz = std::cos(p.z), sz = std::sin(p.z);
  const double ct = std::cos(p.theta), st = std::sin(p.theta);
  const double cZ = std::cos(p.zeta), sZ = std::sin(p.zeta);
  const double m[3][3] = {
      {cz * ct * cZ - sz * sZ, -(cz * ct * sZ + sz * cZ), -cz * st},
      {sz * ct * cZ + cz * sZ, -(sz * ct * sZ - cz * cZ), -sz * st},
      {st * cZ, -st * sZ, ct},
  };
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m[i][j];
  return r;
}

void ApplyPrecession(const PrecessionRecord& r, double* x, int direction) {
  if (r.identity) return;
  if (r.long_term) {
    const int d = direction == kJ2000ToDate ? 0 : 1;
    const double* c = r.cos_turn[d];
    const double* s = r.sin_turn[d];
    RotateX(x, c[0], s[0]);
    RotateZ(x, c[1], s[1]);
    RotateX(x, c[2], s[2]);
    RotateZ(x, c[3], s[3]);
    RotateX(x, c[4], s[4]);
    return;
  }
  const double v[3] = {x[0], x[1], x[2]};
  for (int i = 0; i < 3; ++i)
    x[i] = direction == kJ2000ToDate ? r.m[i][0] * v[0] + r.m[i][1] * v[1] + r.m[i][2] * v[2]
                                     : r.m[0][i] * v[0] + r.m[1][i] * v[1] + r.m[2][i] * v[2];
}

void Precess(double* x, double jd_et, int direction) {
  ApplyPrecession(MakePrecessionRecord(jd_et), x, direction);
}

}  // namespace kv
