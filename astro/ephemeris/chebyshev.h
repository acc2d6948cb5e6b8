// Chebyshev series by Clenshaw's recurrence.
#pragma once

namespace kv {

//   t         argument in [-1, 1]
//   c         coefficients c[0..n)
//   returns   value of the series / its derivative with respect to t
double ChebyshevValue(double t, const double* c, int n);
double ChebyshevDerivative(double t, const double* c, int n);
// Both in one pass over the coefficients, each equal to the separate routine's result.
void ChebyshevValueAndDerivative(double t, const double* c, int n, double* value,
                                 double* derivative);
// The three series of a position, x, y and z blocks of `stride` coefficients from c,
// each summed over its first n: value[3] and, when derivative is given, derivative[3],
// each equal to the one-series routines' results. The three run side by side, which
// is faster than one after another.
void ChebyshevXyz(double t, const double* c, int stride, int n, double* value,
                  double* derivative);

}  // namespace kv
