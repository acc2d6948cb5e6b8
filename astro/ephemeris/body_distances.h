// How far from its centre each body of the ephemeris files can be: a vector evaluated
// from a segment whose length lies outside this range comes from a damaged file.
//
// The bounds are perihelion q = a(1 - e) and aphelion Q = a(1 + e) of the mean J2000
// elements in "Keplerian Elements for Approximate Positions of the Major Planets"
// (E. M. Standish, JPL; Explanatory Supplement to the Astronomical Almanac, 1992,
// table 5.8.1), in astronomical units:
//
//   body        a            e           q        Q
//   Mercury     0.38709927   0.20563593  0.30750  0.46670
//   Venus       0.72333566   0.00677672  0.71843  0.72824
//   Earth-Moon  1.00000261   0.01671123  0.98329  1.01671
//   Mars        1.52371034   0.09339410  1.38140  1.66602
//   Jupiter     5.20288700   0.04838624  4.95113  5.45464
//   Saturn      9.53667594   0.05386179  9.02301  10.05034
//   Uranus      19.18916464  0.04725744  18.28234 20.09599
//   Neptune     30.06992276  0.00859048  29.81160 30.32824
//   Pluto       39.48211675  0.24882730  29.65802 49.30622
//
// Minor bodies, osculating elements near 2000 (JPL small-body database): Chiron
// a 13.65, e 0.383 (8.42 .. 18.88); Pholus a 20.43, e 0.573 (8.72 .. 32.14); Ceres
// a 2.766, e 0.0785 (2.549 .. 2.983); Pallas a 2.773, e 0.2302 (2.135 .. 3.411); Juno
// a 2.669, e 0.2562 (1.985 .. 3.353); Vesta a 2.3615, e 0.0887 (2.152 .. 2.571).
//
// The Moon, geocentric: perigee and apogee extremes of 1800..2400 are 356 375 km and
// 406 720 km (J. Meeus, Astronomical Algorithms, ch. 50); taken as 356 000 .. 407 000.
//
// Margins beyond those extremes: 3 % for the Moon and the Earth-Moon barycentre, whose
// orbits barely change; 5 % for the planets, whose elements drift over the centuries
// and are perturbed by their neighbours; 10 % for the minor bodies, whose orbits the
// giant planets change most. Vectors about the solar-system barycentre are further off
// by the Sun's own distance from it, below 2.2 solar radii (0.0102 AU), taken as 0.011.
#pragma once

namespace kv {

struct DistanceRange {
  double min_au = 0;
  double max_au = 0;  // 0: no range known (a numbered asteroid)
};

// Range of the length of a vector evaluated from a segment of an internal body.
//   body          internal body number (0 Earth-Moon barycentre, 1 Moon, 2..9 planets,
//                 10 Sun, 12..17 minor bodies)
//   flags         the body's coefficient flags: 1 heliocentric vector, else about the
//                 barycentre (the Moon: about the Earth); for the Sun flag 8 means the
//                 vector is the heliocentric Earth-Moon barycentre
DistanceRange SegmentDistanceRange(int body, int flags);

// Largest distance of the Sun from the solar-system barycentre, with the margin.
inline constexpr double kMaxSunOffsetAu = 0.011;

}  // namespace kv
