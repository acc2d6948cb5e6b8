#include "astro/positions/apparent_corrections.h"

#include <cmath>

#include "astro/vectors.h"

namespace kv {

namespace {

constexpr double kAuMeters = 149597870660.0;
constexpr double kInverseLightSpeed = 3.3356409519815204e-9;  // s/m
constexpr double kSunRadiusAu = 0.004652417528031441;
constexpr double kTwiceSunGm = 2.65424876e20;                 // m^3/s^2
constexpr double kInverseAuMeters = 6.684587124055793e-12;    // 1/m

// Fraction of the Sun's mass inside radius 1 - 0.01 i (solar radii), i = 0..100.
constexpr double kMassInside[101] = {
    1.0,      0.999979, 0.99994,  0.999881, 0.999811, 0.999724, 0.999622, 0.999497, 0.999354,
    0.999192, 0.999,    0.998786, 0.998535, 0.998242, 0.997919, 0.997571, 0.997198, 0.996792,
    0.996316, 0.995791, 0.995226, 0.994625, 0.993991, 0.993326, 0.992598, 0.99177,  0.990873,
    0.989919, 0.988912, 0.987856, 0.986755, 0.98561,  0.984398, 0.982986, 0.981437, 0.979779,
    0.978024, 0.976182, 0.974256, 0.972253, 0.970174, 0.968024, 0.965594, 0.962797, 0.959758,
    0.956515, 0.953088, 0.949495, 0.945741, 0.941838, 0.93779,  0.933563, 0.928668, 0.923288,
    0.917527, 0.911432, 0.905035, 0.898353, 0.891022, 0.88294,  0.874312, 0.865206, 0.855423,
    0.844619, 0.833074, 0.820876, 0.808031, 0.793962, 0.778931, 0.763021, 0.745815, 0.727557,
    0.708234, 0.687583, 0.665741, 0.642597, 0.618252, 0.592586, 0.565747, 0.537697, 0.508554,
    0.47842,  0.447322, 0.415454, 0.382892, 0.349955, 0.316691, 0.283565, 0.250431, 0.218327,
    0.186794, 0.156287, 0.128421, 0.102237, 0.077393, 0.054833, 0.036361, 0.020953, 0.009645,
    0.002767, 0.0};

// Mass factor for a ray passing d solar radii from the Sun's centre.
double MassFactor(double d) {
  if (d <= 0) return 0;
  if (d >= 1) return 1;
  int f = static_cast<int>((1.01 - d) * 100);
  if (f < 1) f = 1;
  if (f > 100) f = 100;
  return kMassInside[f - 1] + (kMassInside[f] - kMassInside[f - 1]) * ((1.01 - 0.01 * f) - d) * 100;
}

// Deflected position of geocentric u for heliocentric Earth h and heliocentric body q.
void DeflectPosition(const double* u_in, const double* q_in, const double* h_in, double* out) {
  const double ru = Length(u_in);
  const double re = Length(h_in);
  const double rq = Length(q_in);
  double u[3], q[3], h[3];
  for (int i = 0; i < 3; ++i) {
    u[i] = u_in[i] / ru;
    q[i] = q_in[i] / rq;
    h[i] = h_in[i] / re;
  }
  const double uq = Dot(u, q), ue = Dot(u, h), qe = Dot(q, h);
  const double sin_sep = std::sqrt(std::fmax(0.0, 1 - ue * ue));
  const double m = MassFactor(sin_sep / (kSunRadiusAu / re));
  const double g = m * kTwiceSunGm * kInverseLightSpeed * kInverseLightSpeed * kInverseAuMeters / re;
  // Straight behind the Sun's centre the formula is 0/0; the mass factor is 0 there.
  if (g == 0 || 1 + qe < 1e-300) {
    for (int i = 0; i < 3; ++i) out[i] = u_in[i];
    return;
  }
  for (int i = 0; i < 3; ++i) out[i] = ru * (u[i] + g / (1 + qe) * (uq * h[i] - ue * q[i]));
}

}  // namespace

double LightTimeDays(double r_au) { return r_au * kAuMeters * kInverseLightSpeed / 86400.0; }

void DeflectLight(double* u, const double* earth, const double* sun, double tau, bool speed) {
  double s_emit[3], q[3], h[3];
  for (int i = 0; i < 3; ++i) {
    s_emit[i] = sun[i] - tau * sun[i + 3];
    q[i] = u[i] + earth[i] - s_emit[i];
    h[i] = earth[i] - sun[i];
  }
  double deflected[3];
  DeflectPosition(u, q, h, deflected);
  if (speed) {
    constexpr double dt = 5e-7;
    double u2[3], q2[3], h2[3], d2[3];
    for (int i = 0; i < 3; ++i) {
      u2[i] = u[i] + dt * u[i + 3];
      h2[i] = h[i] + dt * (earth[i + 3] - sun[i + 3]);
      q2[i] = q[i] + dt * (u[i + 3] + earth[i + 3] - sun[i + 3]);
    }
    DeflectPosition(u2, q2, h2, d2);
    for (int i = 0; i < 3; ++i)
      u[i + 3] += ((deflected[i] - u[i]) - (d2[i] - u2[i])) / -dt;
  }
  for (int i = 0; i < 3; ++i) u[i] = deflected[i];
}

namespace {

void AberratePosition(const double* u, const double* v, double* out) {
  const double ru = Length(u);
  const double b = std::sqrt(1 - Dot(v, v));
  const double f1 = Dot(u, v) / ru;
  const double f2 = 1 + f1 / (1 + b);
  for (int i = 0; i < 3; ++i) out[i] = (b * u[i] + f2 * ru * v[i]) / (1 + f1);
}

}  // namespace

void Aberrate(double* u, const double* observer_velocity, bool speed) {
  double v[3];
  for (int i = 0; i < 3; ++i) v[i] = observer_velocity[i] * kAuMeters * kInverseLightSpeed / 86400.0;
  double moved[3];
  AberratePosition(u, v, moved);
  if (speed) {
    double u0[3], moved0[3];
    for (int i = 0; i < 3; ++i) u0[i] = u[i] - 0.0001 * u[i + 3];
    AberratePosition(u0, v, moved0);
    for (int i = 0; i < 3; ++i) u[i + 3] += ((moved[i] - u[i]) - (moved0[i] - u0[i])) / 0.0001;
  }
  for (int i = 0; i < 3; ++i) u[i] = moved[i];
}

}  // namespace kv
