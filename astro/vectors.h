// Coordinate transforms on rectangular and polar 3- and 6-vectors (position, then
// speed). Polar: longitude and latitude in radians, distance; speeds per day.
#pragma once

#include "common/angles.h"  // NormalizeRadians

namespace kv {

// Longitude in [0, 2 pi), latitude, distance.
void CartesianToPolar(const double* x, double* l);
void PolarToCartesian(const double* l, double* x);
// Same with speeds (6 values each).
void CartesianToPolarSpeed(const double* x, double* l);
void PolarToCartesianSpeed(const double* l, double* x);
// Rotation about the x axis by an angle given as sine and cosine:
// y' = c y + s z, z' = -s y + c z (equator to ecliptic with +eps).
void RotateAboutX(const double* in, double* out, double sin_a, double cos_a);
double Dot(const double* a, const double* b);
void Cross(const double* a, const double* b, double* out);
double Length(const double* a);

}  // namespace kv
