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

}  // namespace kv
