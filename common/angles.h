// Angles of birth data and of the engine: the packed degrees-and-minutes form the
// user types (55.45 is 55 degrees 45 minutes) and the normal ranges of hours and
// degrees.
#pragma once

namespace kv {

// Packed angle (55.45 = 55 degrees 45 minutes) to decimal degrees and back.
double DegMinToDegrees(double packed);
double DegreesToDegMin(double degrees);

// Hours into [0, 24); degrees into [0, 360).
double NormalizeHours(double hours);
double NormalizeDegrees(double degrees);

}  // namespace kv
