#include "astro/ephemeris/chebyshev.h"


namespace kv {

namespace {

// Two numbers side by side; each operation acts on both lanes as on single numbers.
typedef double Pair __attribute__((vector_size(16)));

// out = ((x, y) of b0 - b2) / 2 and (z0 - z2) / 2: the end of Clenshaw's recurrence.
void StoreHalfDifference(Pair b0, Pair b2, double z0, double z2, double* out) {
  const Pair half = (b0 - b2) / 2;
  out[0] = half[0];
  out[1] = half[1];
  out[2] = (z0 - z2) / 2;
}

}  // namespace

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
  // axis. x and y share the two lanes of a register (the same operation on a lane
  // gives the same bits as on a single number); z runs beside them. So every chain
  // stays in a register, where nine separate chains would spill to memory and wait.
  const double* cx = c;
  const double* cy = c + stride;
  const double* cz = c + 2 * stride;
  const double x2 = 2 * t;
  const Pair x2v = {x2, x2};
  const Pair zero = {0, 0};
  Pair bxy0 = zero, bxy1 = zero, bxy2 = zero;
  double bz0 = 0, bz1 = 0, bz2 = 0;
  if (!derivative) {
#pragma GCC unroll 3
    for (int j = n - 1; j >= 0; --j) {
      bxy2 = bxy1;
      bxy1 = bxy0;
      bxy0 = x2v * bxy1 - bxy2 + Pair{cx[j], cy[j]};
      bz2 = bz1;
      bz1 = bz0;
      bz0 = x2 * bz1 - bz2 + cz[j];
    }
    StoreHalfDifference(bxy0, bxy2, bz0, bz2, value);
    return;
  }
  Pair axy1 = zero, axy2 = zero;
  Pair dxy0 = zero, dxy1 = zero, dxy2 = zero;
  double az1 = 0, az2 = 0, dz0 = 0, dz1 = 0, dz2 = 0;
#pragma GCC unroll 3
  for (int j = n - 1; j >= 1; --j) {
    const double twice_j = 2 * j;
    const Pair cxy = {cx[j], cy[j]};
    bxy2 = bxy1;
    bxy1 = bxy0;
    bxy0 = x2v * bxy1 - bxy2 + cxy;
    bz2 = bz1;
    bz1 = bz0;
    bz0 = x2 * bz1 - bz2 + cz[j];
    const Pair axy = Pair{twice_j, twice_j} * cxy + axy2;
    const double az = twice_j * cz[j] + az2;
    axy2 = axy1;
    axy1 = axy;
    az2 = az1;
    az1 = az;
    dxy2 = dxy1;
    dxy1 = dxy0;
    dxy0 = x2v * dxy1 - dxy2 + axy;
    dz2 = dz1;
    dz1 = dz0;
    dz0 = x2 * dz1 - dz2 + az;
  }
  if (n >= 1) {
    bxy2 = bxy1;
    bxy1 = bxy0;
    bxy0 = x2v * bxy1 - bxy2 + Pair{cx[0], cy[0]};
    bz2 = bz1;
    bz1 = bz0;
    bz0 = x2 * bz1 - bz2 + cz[0];
  }
  StoreHalfDifference(bxy0, bxy2, bz0, bz2, value);
  StoreHalfDifference(dxy0, dxy2, dz0, dz2, derivative);
}

}  // namespace kv
