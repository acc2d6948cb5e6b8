#include "astro/ephemeris/chebyshev.h"

namespace kv {

double ChebyshevValue(double t, const double* c, int n) {
  const double x2 = 2 * t;
  double b0 = 0, b1 = 0, b2 = 0;
  for (int j = n - 1; j >= 0; --j) {
    b2 = b1;
    b1 = b0;
    b0 = x2 * b1 - b2 + c[j];
  }
  return (b0 - b2) / 2;
}

double ChebyshevDerivative(double t, const double* c, int n) {
  const double x2 = 2 * t;
  double a1 = 0, a2 = 0;     // A[j+1], A[j+2]
  double d0 = 0, d1 = 0, d2 = 0;
  for (int j = n - 1; j >= 1; --j) {
    const double a = 2 * j * c[j] + a2;
    a2 = a1;
    a1 = a;
    d2 = d1;
    d1 = d0;
    d0 = x2 * d1 - d2 + a;
  }
  // d0 = D[1], d1 = D[2], d2 = D[3]
  return (d0 - d2) / 2;
}

void ChebyshevValueAndDerivative(double t, const double* c, int n, double* value,
                                 double* derivative) {
  // The two recurrences of ChebyshevValue and ChebyshevDerivative, step for step in
  // the same order, so that both results equal theirs to the bit.
  const double x2 = 2 * t;
  double b0 = 0, b1 = 0, b2 = 0;
  double a1 = 0, a2 = 0;
  double d0 = 0, d1 = 0, d2 = 0;
  for (int j = n - 1; j >= 1; --j) {
    b2 = b1;
    b1 = b0;
    b0 = x2 * b1 - b2 + c[j];
    const double a = 2 * j * c[j] + a2;
    a2 = a1;
    a1 = a;
    d2 = d1;
    d1 = d0;
    d0 = x2 * d1 - d2 + a;
  }
  if (n >= 1) {
    b2 = b1;
    b1 = b0;
    b0 = x2 * b1 - b2 + c[0];
  }
  *value = (b0 - b2) / 2;
  *derivative = (d0 - d2) / 2;
}

void ChebyshevXyz(double t, const double* c, int stride, int n, double* value,
                  double* derivative) {
  // The recurrences of ChebyshevValue and ChebyshevDerivative, step for step for each
  // axis; the axes are independent chains, so they overlap in the processor.
  const double* cx = c;
  const double* cy = c + stride;
  const double* cz = c + 2 * stride;
  const double x2 = 2 * t;
  double bx0 = 0, bx1 = 0, bx2 = 0, by0 = 0, by1 = 0, by2 = 0, bz0 = 0, bz1 = 0, bz2 = 0;
  if (!derivative) {
    for (int j = n - 1; j >= 0; --j) {
      bx2 = bx1;
      bx1 = bx0;
      bx0 = x2 * bx1 - bx2 + cx[j];
      by2 = by1;
      by1 = by0;
      by0 = x2 * by1 - by2 + cy[j];
      bz2 = bz1;
      bz1 = bz0;
      bz0 = x2 * bz1 - bz2 + cz[j];
    }
    value[0] = (bx0 - bx2) / 2;
    value[1] = (by0 - by2) / 2;
    value[2] = (bz0 - bz2) / 2;
    return;
  }
  double ax1 = 0, ax2 = 0, ay1 = 0, ay2 = 0, az1 = 0, az2 = 0;
  double dx0 = 0, dx1 = 0, dx2 = 0, dy0 = 0, dy1 = 0, dy2 = 0, dz0 = 0, dz1 = 0, dz2 = 0;
  for (int j = n - 1; j >= 1; --j) {
    const double twice_j = 2 * j;
    bx2 = bx1;
    bx1 = bx0;
    bx0 = x2 * bx1 - bx2 + cx[j];
    by2 = by1;
    by1 = by0;
    by0 = x2 * by1 - by2 + cy[j];
    bz2 = bz1;
    bz1 = bz0;
    bz0 = x2 * bz1 - bz2 + cz[j];
    const double ax = twice_j * cx[j] + ax2;
    const double ay = twice_j * cy[j] + ay2;
    const double az = twice_j * cz[j] + az2;
    ax2 = ax1;
    ax1 = ax;
    ay2 = ay1;
    ay1 = ay;
    az2 = az1;
    az1 = az;
    dx2 = dx1;
    dx1 = dx0;
    dx0 = x2 * dx1 - dx2 + ax;
    dy2 = dy1;
    dy1 = dy0;
    dy0 = x2 * dy1 - dy2 + ay;
    dz2 = dz1;
    dz1 = dz0;
    dz0 = x2 * dz1 - dz2 + az;
  }
  if (n >= 1) {
    bx2 = bx1;
    bx1 = bx0;
    bx0 = x2 * bx1 - bx2 + cx[0];
    by2 = by1;
    by1 = by0;
    by0 = x2 * by1 - by2 + cy[0];
    bz2 = bz1;
    bz1 = bz0;
    bz0 = x2 * bz1 - bz2 + cz[0];
  }
  value[0] = (bx0 - bx2) / 2;
  value[1] = (by0 - by2) / 2;
  value[2] = (bz0 - bz2) / 2;
  derivative[0] = (dx0 - dx2) / 2;
  derivative[1] = (dy0 - dy2) / 2;
  derivative[2] = (dz0 - dz2) / 2;
}

}  // namespace kv
