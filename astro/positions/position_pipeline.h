// Steps of the position routine shared by the bodies and the lunar points.
#pragma once

#include "common/status.h"

namespace kv {

// Barycentric raw vectors of an internal body, optionally with the Earth and the
// barycentric Sun, from the reader's caches when they hold the date.
//   returns as EvaluateBody (NotFound: no data, the vectors zero)
Status RawVectors(double jd, int internal, int flags, bool keep, double* body, double* earth,
               double* sun);

// Flag for FinishPosition only: the vector is already on the mean equator of date.
inline constexpr int kFinishOfDate = 1 << 30;

// Flag for FinishPosition only: the equatorial polar coordinates (block 12..17) are
// not wanted and not computed; those places of the block are left as they were.
inline constexpr int kFinishEclipticOnly = 1 << 29;

// Precession to the date (unless kFinishOfDate), nutation, ecliptic of date, polar, degrees: fills block24.
void FinishPosition(double* p, double jd, int flags, double* block24);

// Makes the obliquity and nutation records of the date current.
void PrepareDate(double jd, int flags);

}  // namespace kv
