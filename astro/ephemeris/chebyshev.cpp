#include "astro/ephemeris/chebyshev.h"

#include <utility>

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

// The three coefficient blocks of a position.
struct Coefficients {
  const double* x;
  const double* y;
  const double* z;
  Pair Xy(int j) const { return Pair{x[j], y[j]}; }
};

// The values of the three series (ChebyshevXyz without the derivative).
void XyzValue(double t, const double* c, int stride, int n, double* value) {
  if (n <= 0) {
    value[0] = value[1] = value[2] = 0.0;
    return;
  }
  const Coefficients k{c, c + stride, c + 2 * stride};
  const double x2 = 2 * t;
  const Pair x2v = {x2, x2};
  Pair bxy0 = {0, 0}, bxy1 = bxy0;  // B[j + 1] and B[j + 2] of the step j to come
  double bz0 = 0, bz1 = 0;
  int j = n - 1;
  if (j % 2 == 1) {  // the steps down to j = 1 go in pairs
    bxy1 = x2v * bxy0 - bxy1 + k.Xy(j);
    bz1 = x2 * bz0 - bz1 + k.z[j];
    std::swap(bxy0, bxy1);
    std::swap(bz0, bz1);
    --j;
  }
  for (; j >= 2; j -= 2) {
    bxy1 = x2v * bxy0 - bxy1 + k.Xy(j);
    bz1 = x2 * bz0 - bz1 + k.z[j];
    bxy0 = x2v * bxy1 - bxy0 + k.Xy(j - 1);
    bz0 = x2 * bz1 - bz0 + k.z[j - 1];
  }
  // j = 0: bxy0 = B[1], bxy1 = B[2].
  StoreHalfDifference(x2v * bxy0 - bxy1 + k.Xy(0), bxy1, x2 * bz0 - bz1 + k.z[0], bz1, value);
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
  // gives the same bits as on a single number); z runs beside them. Each chain keeps
  // only its last two terms and the steps go in pairs, the newer term written over
  // the older, so that every chain stays in registers without copies.
  if (n <= 1 || !derivative) {
    XyzValue(t, c, stride, n, value);
    if (derivative) derivative[0] = derivative[1] = derivative[2] = 0.0;
    return;
  }
  const Coefficients k{c, c + stride, c + 2 * stride};
  const double x2 = 2 * t;
  const Pair x2v = {x2, x2};
  // The terms B, A and D of the three chains, x and y in a pair and z beside them.
  struct Terms {
    Pair bxy = {0, 0}, axy = {0, 0}, dxy = {0, 0};
    double bz = 0, az = 0, dz = 0;
  };
  // One step of all chains at j: `older` (index j + 2) becomes the terms of j, from
  // `newer` (index j + 1).
  auto step_into = [&](int j, Terms& older, const Terms& newer) {
    const double twice_j = 2 * j;
    const Pair cxy = k.Xy(j);
    older.bxy = x2v * newer.bxy - older.bxy + cxy;
    older.bz = x2 * newer.bz - older.bz + k.z[j];
    older.axy = Pair{twice_j, twice_j} * cxy + older.axy;
    older.az = twice_j * k.z[j] + older.az;
    older.dxy = x2v * newer.dxy - older.dxy + older.axy;
    older.dz = x2 * newer.dz - older.dz + older.az;
  };
  Terms newer, older;  // the terms of j + 1 and of j + 2 for the step j to come
  int j = n - 1;
  if ((j - 1) % 2 == 1) {  // the steps down to j = 2 go in pairs
    step_into(j, older, newer);
    std::swap(newer, older);
    --j;
  }
  for (; j >= 3; j -= 2) {
    step_into(j, older, newer);
    step_into(j - 1, newer, older);
  }
  // j = 1: the derivative is (D[1] - D[3]) / 2, the value (B[0] - B[2]) / 2.
  const Pair cxy1 = k.Xy(1);
  const Pair axy = Pair{2.0, 2.0} * cxy1 + older.axy;
  const double az = 2.0 * k.z[1] + older.az;
  StoreHalfDifference(x2v * newer.dxy - older.dxy + axy, older.dxy,
                      x2 * newer.dz - older.dz + az, older.dz, derivative);
  const Pair b1xy = x2v * newer.bxy - older.bxy + cxy1;
  const double b1z = x2 * newer.bz - older.bz + k.z[1];
  StoreHalfDifference(x2v * b1xy - newer.bxy + k.Xy(0), newer.bxy,
                      x2 * b1z - newer.bz + k.z[0], newer.bz, value);
}

}  // namespace kv
