#include "astro/vectors.h"

#include <cmath>

#include "astro/constants.h"

namespace kv {

void CartesianToPolar(const double* x, double* l) {
  const double rxy2 = x[0] * x[0] + x[1] * x[1];
  const double r = std::sqrt(rxy2 + x[2] * x[2]);
  const double rxy = std::sqrt(rxy2);
  double lon = 0, lat = 0;
  if (rxy2 > 0) {
    lon = NormalizeRadians(std::atan2(x[1], x[0]));
    lat = std::atan(x[2] / rxy);
  } else if (x[2] != 0) {
    lat = x[2] > 0 ? kPi / 2 : -kPi / 2;
  }
  l[0] = lon;
  l[1] = lat;
  l[2] = r;
}

void PolarToCartesian(const double* l, double* x) {
  const double cb = std::cos(l[1]);
  const double xx = l[2] * cb * std::cos(l[0]);
  const double yy = l[2] * cb * std::sin(l[0]);
  x[2] = l[2] * std::sin(l[1]);
  x[0] = xx;
  x[1] = yy;
}

void CartesianToPolarSpeed(const double* x, double* l) {
  const double* v = x + 3;
  if (x[0] == 0 && x[1] == 0 && x[2] == 0) {
    // A point at the origin: direction of motion, and the speed as distance speed.
    double p[3];
    CartesianToPolar(v, p);
    l[0] = p[0];
    l[1] = p[1];
    l[2] = 0;
    l[3] = 0;
    l[4] = 0;
    l[5] = p[2];
    return;
  }
  if (v[0] == 0 && v[1] == 0 && v[2] == 0) {
    CartesianToPolar(x, l);
    l[3] = l[4] = l[5] = 0;
    return;
  }
  const double rxy = std::sqrt(x[0] * x[0] + x[1] * x[1]);
  const double r = std::sqrt(rxy * rxy + x[2] * x[2]);
  double p[3];
  CartesianToPolar(x, p);
  double dl = 0, db = 0, dr = 0;
  if (rxy > 0) {
    const double cl = x[0] / rxy, sl = x[1] / rxy, cb = rxy / r, sb = x[2] / r;
    const double w = cl * v[0] + sl * v[1];
    dl = (-sl * v[0] + cl * v[1]) / rxy;
    db = (-sb * w + cb * v[2]) / r;
    dr = cb * w + sb * v[2];
  } else {
    dr = x[2] > 0 ? v[2] : -v[2];
  }
  l[0] = p[0];
  l[1] = p[1];
  l[2] = p[2];
  l[3] = dl;
  l[4] = db;
  l[5] = dr;
}

void PolarToCartesianSpeed(const double* l, double* x) {
  const double cl = std::cos(l[0]), sl = std::sin(l[0]);
  const double cb = std::cos(l[1]), sb = std::sin(l[1]);
  const double r = l[2], dl = l[3], db = l[4], dr = l[5];
  const double px = r * cb * cl, py = r * cb * sl, pz = r * sb;
  const double vx = dr * cb * cl - r * sb * cl * db - r * cb * sl * dl;
  const double vy = dr * cb * sl - r * sb * sl * db + r * cb * cl * dl;
  const double vz = dr * sb + r * cb * db;
  x[0] = px;
  x[1] = py;
  x[2] = pz;
  x[3] = vx;
  x[4] = vy;
  x[5] = vz;
}

void RotateAboutX(const double* in, double* out, double s, double c) {
  const double y = c * in[1] + s * in[2];
  const double z = -s * in[1] + c * in[2];
  out[0] = in[0];
  out[1] = y;
  out[2] = z;
}

double Dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Cross(const double* a, const double* b, double* out) {
  const double x = a[1] * b[2] - a[2] * b[1];
  const double y = a[2] * b[0] - a[0] * b[2];
  const double z = a[0] * b[1] - a[1] * b[0];
  out[0] = x;
  out[1] = y;
  out[2] = z;
}

double Length(const double* a) { return std::sqrt(Dot(a, a)); }

}  // namespace kv
