#include "astro/ephemeris/body_distances.h"

#include "astro/ephemeris/ephemeris_format.h"

namespace kv {
namespace {

struct Orbit {
  double q, Q;     // perihelion and aphelion, AU (the Moon: perigee and apogee)
  double margin;   // fraction added beyond both
};

constexpr double kKmPerAu = 149597870.7;
constexpr double kPlanetMargin = 0.05;
constexpr double kStableMargin = 0.03;
constexpr double kMinorMargin = 0.10;

// Internal body numbers 0..17 (11 is not a body of the files).
constexpr Orbit kOrbits[18] = {
    {0.98329, 1.01671, kStableMargin},                          // 0 Earth-Moon barycentre
    {356000 / kKmPerAu, 407000 / kKmPerAu, kStableMargin},      // 1 Moon, about the Earth
    {0.30750, 0.46670, kPlanetMargin},                          // 2 Mercury
    {0.71843, 0.72824, kPlanetMargin},                          // 3 Venus
    {1.38140, 1.66602, kPlanetMargin},                          // 4 Mars
    {4.95113, 5.45464, kPlanetMargin},                          // 5 Jupiter
    {9.02301, 10.05034, kPlanetMargin},                         // 6 Saturn
    {18.28234, 20.09599, kPlanetMargin},                        // 7 Uranus
    {29.81160, 30.32824, kPlanetMargin},                        // 8 Neptune
    {29.65802, 49.30622, kPlanetMargin},                        // 9 Pluto
    {0, 0, 0},                                                  // 10 Sun: see below
    {0, 0, 0},                                                  // 11 unused
    {8.42, 18.88, kMinorMargin},                                // 12 Chiron
    {8.72, 32.14, kMinorMargin},                                // 13 Pholus
    {2.549, 2.983, kMinorMargin},                               // 14 Ceres
    {2.135, 3.411, kMinorMargin},                               // 15 Pallas
    {1.985, 3.353, kMinorMargin},                               // 16 Juno
    {2.152, 2.571, kMinorMargin},                               // 17 Vesta
};

constexpr int kMoon = 1;
constexpr int kSun = 10;

}  // namespace

DistanceRange SegmentDistanceRange(int body, int flags) {
  if (body == kSun) {
    if (!(flags & kCoeffEmbHeliocentric)) return {0.0, kMaxSunOffsetAu};
    body = 0;  // the record holds the heliocentric Earth-Moon barycentre
    flags |= kCoeffHeliocentric;
  }
  if (body < 0 || body >= 18 || body == 11) return {};
  const Orbit& o = kOrbits[body];
  // About the barycentre the Sun's own offset widens the range.
  const double offset = body == kMoon || (flags & kCoeffHeliocentric) ? 0.0 : kMaxSunOffsetAu;
  return {(o.q - offset) * (1 - o.margin), (o.Q + offset) * (1 + o.margin)};
}

}  // namespace kv
