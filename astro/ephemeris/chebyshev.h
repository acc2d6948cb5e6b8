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

}  // namespace kv
