#include "astro/houses/house_systems.h"

#include <cmath>

#include "common/angles.h"

namespace kv {
namespace {

constexpr double kSnap = 1e-10;  // below this an angle or denominator counts as zero

double Sind(double x) { return std::sin(x * kDegToRad); }
double Cosd(double x) { return std::cos(x * kDegToRad); }
double Tand(double x) { return std::tan(x * kDegToRad); }
double Atand(double x) { return std::atan(x) * kRadToDeg; }
double Atan2d(double y, double x) { return std::atan2(y, x) * kRadToDeg; }
// Arcs of sines computed from rounded products may land a hair outside [-1, 1].
double Asind(double x) { return std::asin(x > 1.0 ? 1.0 : (x < -1.0 ? -1.0 : x)) * kRadToDeg; }

double Norm360(double x) { return NormalizeDegrees(x); }

// Difference a - b brought into [-180, 180).
double Diff180(double a, double b) {
  double d = Norm360(a - b);
  return d >= 180.0 ? d - 360.0 : d;
}

bool Near(double a, double b) { return std::fabs(a - b) < kSnap; }

struct Trig {
  double sine, cose, tane, tanphi;
};

// Systems 3, 6, 10, 11 and 12: measured from the MC and the Ascendant of the meridian
// and of the horizon circle through the rising point.
void ComputeFromAngles(const HouseFrame& f, const Trig& t, int system, HouseCusps& h) {
  const double armc = f.armc_deg;
  const double phi = f.phi_deg;
  if (!Near(armc, 90.0) && !Near(armc, 270.0)) {
    h.mc_deg = Atand(Tand(armc) / t.cose);
    if (armc > 90.0 && armc <= 270.0) h.mc_deg += 180.0;
  } else {
    h.mc_deg = Near(armc, 90.0) ? 90.0 : 270.0;
  }
  h.mc_deg = Norm360(h.mc_deg);
  h.asc_deg = Asc1(armc + 90.0, phi, t.sine, t.cose);
  if (system == kHouseEqualVertex) h.asc_deg = h.vertex_deg;
  auto& c = h.cusp;
  c[1] = h.asc_deg;
  c[10] = h.mc_deg;

  bool placidus = system == kHousePlacidus && std::fabs(phi) < 90.0 - f.eps_deg;
  if (placidus) {
    const double tt = Asind(t.tanphi * t.tane);
    const double p1 = Atand(Sind(tt / 3.0) / t.tane);
    const double p2 = Atand(Sind(2.0 * tt / 3.0) / t.tane);
    struct Step {
      int cusp;
      double offset, divisor, pole;
    };
    const Step steps[4] = {{11, 30.0, 3.0, p1}, {12, 60.0, 1.5, p2},
                           {2, 120.0, 1.5, p2}, {3, 150.0, 3.0, p1}};
    for (const Step& s : steps) {
      const double r = Norm360(armc + s.offset);
      double cusp = Asc1(r, s.pole, t.sine, t.cose);
      for (int i = 0; i < 4; ++i) {
        const double x = std::tan(std::asin(Sind(cusp) * t.sine));  // tan of declination
        if (std::fabs(x) < kSnap) {
          cusp = r;
          break;
        }
        const double pole = Atand(Sind(Asind(t.tanphi * x) / s.divisor) / x);
        cusp = Asc1(r, pole, t.sine, t.cose);
      }
      c[s.cusp] = cusp;
    }
  } else if (system == kHousePlacidus || system == kHousePorphyry) {
    double d = Diff180(h.asc_deg, h.mc_deg);
    if (d < 0) {
      h.asc_deg = Norm360(h.asc_deg + 180.0);
      c[1] = h.asc_deg;
      d = Diff180(h.asc_deg, h.mc_deg);
    }
    c[2] = Norm360(h.asc_deg + (180.0 - d) / 3.0);
    c[3] = Norm360(h.asc_deg + 2.0 * (180.0 - d) / 3.0);
    c[11] = Norm360(h.mc_deg + d / 3.0);
    c[12] = Norm360(h.mc_deg + 2.0 * d / 3.0);
  }

  if (system == kHousePlacidus || system == kHousePorphyry) {
    for (int k = 4; k <= 6; ++k) c[k] = Norm360(c[k + 6] + 180.0);
    for (int k = 7; k <= 9; ++k) c[k] = Norm360(c[k - 6] + 180.0);
    return;
  }
  if (system == kHouseEqualMc) {
    h.asc_deg = Norm360(h.mc_deg + 90.0);
    c[1] = h.asc_deg;
  }
  for (int k = 2; k <= 12; ++k) c[k] = Norm360(h.asc_deg + 30.0 * (k - 1));
}

// Systems 1, 2, 4, 5 (house circles through the horizon's north and south points) and
// the equal systems counted from a fixed start (7, 8, 9).
void ComputeFromStart(const HouseFrame& f, const Trig& t, int system, double sun,
                      HouseCusps& h) {
  auto& c = h.cusp;
  double start = 0;
  switch (system) {
    case kHouseRegiomontanus:
    case kHouseCampanus:
    case kHouseSineThirds:
    case kHouseHorizonPoles: start = h.asc_deg; break;
    case kHouseEqualSun: start = sun; break;
    case kHouseEqualSunSign: start = 30.0 * std::floor(Norm360(sun) / 30.0); break;
    default: h.system = kHouseEqualAries; start = 0; break;
  }
  c[1] = start;
  c[7] = start + 180.0;
  const double armc = f.armc_deg;
  const double tt = t.tanphi * t.sine;
  const double v = Asind(Tand(f.eps_mean_deg) * t.tanphi * Sind(armc));
  for (int k = 8; k <= 12; ++k) {
    const double hh = 30.0 * (k + 2);
    double a = 0;
    switch (h.system) {
      case kHouseRegiomontanus:
        a = armc + hh;
        c[k] = Atan2d(Sind(a), Cosd(a) * t.cose - Sind(hh) * tt);
        break;
      case kHouseCampanus: {
        const double hp = Atand(Tand(hh) * Cosd(f.phi_deg));
        a = armc + hp;
        c[k] = Atan2d(Sind(a), Cosd(a) * t.cose - Sind(hp) * tt);
        break;
      }
      case kHouseSineThirds: {
        const double g = (k - 1) / 3.0 - 3.0;  // radians, as the system defines it
        a = armc + hh;
        c[k] = Atan2d(Sind(a), Cosd(a) * t.cose - std::sin(g) * tt);
        break;
      }
      case kHouseHorizonPoles: {
        const double kk = Norm360(hh);
        const double l = k <= 9 ? kk / 90.0 - 3.0 : kk / 90.0 - 1.0;
        const double s = k <= 9 ? -1.0 : 1.0;
        a = armc + kk + l * v;
        c[k] = Atan2d(Sind(a), Cosd(a) * t.cose - s * t.tanphi * t.sine);
        break;
      }
      default: c[k] = start + 30.0 * (k - 1); break;
    }
  }
  for (int k = 2; k <= 6; ++k) c[k] = c[k + 6] + 180.0;
  for (int k = 1; k <= 12; ++k) c[k] = Norm360(c[k]);
}

}  // namespace

double Asc2(double x, double f, double sine, double cose) {
  double a = Cosd(x) * cose - Tand(f) * sine;
  double s = Sind(x);
  if (std::fabs(a) < kSnap) a = 0;
  if (std::fabs(s) < kSnap) s = 0;
  double result;
  if (s == 0) {
    result = a >= 0 ? kSnap : -kSnap;
  } else if (a == 0) {
    result = s >= 0 ? 90.0 : -90.0;
  } else {
    result = Atand(s / a);
  }
  if (result < 0) result += 180.0;
  return result;
}

double Asc1(double x, double f, double sine, double cose) {
  x = Norm360(x);
  const int n = static_cast<int>(x / 90.0) + 1;
  double a;
  switch (n) {
    case 1: a = Asc2(x, f, sine, cose); break;
    case 2: a = 180.0 - Asc2(180.0 - x, -f, sine, cose); break;
    case 3: a = 180.0 + Asc2(x - 180.0, -f, sine, cose); break;
    default: a = 360.0 - Asc2(360.0 - x, f, sine, cose); break;
  }
  a = Norm360(a);
  if (Near(a, 90.0)) a = 90.0;
  if (Near(a, 180.0)) a = 180.0;
  if (Near(a, 270.0)) a = 270.0;
  if (Near(a, 360.0)) a = 0.0;
  return a;
}

bool PolarRuleApplies(double lat_packed, int system) {
  return std::fabs(lat_packed) > 66.0 && system < 6;
}

double ClampHouseLatitude(double phi) {
  if (std::fabs(std::fabs(phi) - 90.0) < kSnap) phi = phi >= 0 ? 89.9999999999 : -89.9999999999;
  return phi;
}

HouseCusps ComputeHouseCusps(const HouseFrame& frame_in, int system, double sun_lon_deg) {
  HouseFrame f = frame_in;
  f.phi_deg = ClampHouseLatitude(f.phi_deg);
  f.armc_deg = Norm360(f.armc_deg);
  const double phi = f.phi_deg;
  Trig t{Sind(f.eps_deg), Cosd(f.eps_deg), Tand(f.eps_deg), Tand(phi)};

  HouseCusps h;
  h.system = system;
  const double armc = f.armc_deg;
  h.asc_deg = Norm360(Atan2d(-Cosd(armc), t.sine * t.tanphi + t.cose * Sind(armc)) + 180.0);
  h.mc_deg = Norm360(Atan2d(Tand(armc), t.cose));
  if (Diff180(h.mc_deg, h.asc_deg) > 0) h.mc_deg = Norm360(h.mc_deg + 180.0);
  const double pole = phi >= 0 ? 90.0 - phi : -90.0 - phi;
  h.vertex_deg = Asc1(armc - 90.0, pole, t.sine, t.cose);
  if (std::fabs(phi) <= f.eps_deg && Diff180(h.vertex_deg, h.mc_deg) > 0)
    h.vertex_deg = Norm360(h.vertex_deg + 180.0);

  switch (system) {
    case kHousePlacidus:
    case kHouseEqualAsc:
    case kHousePorphyry:
    case kHouseEqualMc:
    case kHouseEqualVertex: ComputeFromAngles(f, t, system, h); break;
    default: ComputeFromStart(f, t, system, sun_lon_deg, h); break;
  }
  return h;
}

Lots ComputeLots(double asc, bool night, double sun, double moon, double mars,
                 double saturn) {
  Lots l;
  if (night) {
    l.fortune_deg = Norm360(asc - (moon - sun));
    l.second_deg = Norm360(asc - (mars - saturn));
  } else {
    l.fortune_deg = Norm360(asc + moon - sun);
    l.second_deg = Norm360(asc + mars - saturn);
  }
  return l;
}

}  // namespace kv
