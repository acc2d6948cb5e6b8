// The corrections that turn a geometric vector into an apparent one: light time,
// relativistic deflection by the Sun, annual aberration. Vectors are rectangular,
// equator of J2000, AU and AU/day, position then velocity.
// Sources: the deflection and the relativistic aberration formulas of the Explanatory
// Supplement to the Astronomical Almanac (1992), ch. 3 (reduction to apparent place).
// Inside the solar disk the deflection uses only the Sun's mass within the ray's
// distance from the centre (a tabulated mass profile of the solar interior, no
// published source claimed), so it falls to zero at the centre instead of growing
// without bound.
#pragma once

namespace kv {

// Light time for a distance.
//   r_au      distance, astronomical units
//   returns   days
double LightTimeDays(double r_au);

// Deflection of light by the Sun, with the Sun's mass inside the line of sight.
//   u         geocentric body (6), changed in place
//   earth     barycentric Earth (6) at the observation
//   sun       barycentric Sun (6) at the observation
//   tau       light time, days
//   speed     also correct the velocity
void DeflectLight(double* u, const double* earth, const double* sun, double tau, bool speed);

// Annual aberration.
//   u         geocentric body (6), changed in place
//   observer_velocity  barycentric velocity of the observer, AU/day
void Aberrate(double* u, const double* observer_velocity, bool speed);

}  // namespace kv
