#include <gtest/gtest.h>
#include <erfa.h>
#include <erfam.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "astro/constants.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/positions/apparent_corrections.h"
#include "astro/positions/calc_body.h"
#include "astro/vectors.h"

namespace kv {
namespace {

constexpr double kArcsec = 1.0 / 3600.0;

class Positions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InitEphemeris(KV_EPHE_DIR).ok()) << "ephemeris files missing in " << KV_EPHE_DIR;
  }
};

void Raw(double jd, int body, double* out) { ASSERT_TRUE(EvaluateBody(jd, body, kFlagSpeed, false, out).ok()); }

void EarthAt(double jd, double* e) {
  double emb[6], moon[6];
  Raw(jd, kIntEmb, emb);
  Raw(jd, kIntMoon, moon);
  for (int i = 0; i < 6; ++i) e[i] = emb[i] - 0.01215058143522694 * moon[i];
}

void Barycentric(double jd, int internal, double* out) {
  Raw(jd, internal, out);
  if (Engine().bodies[internal].header.flags & kCoeffHeliocentric) {
    double sun[6];
    Raw(jd, kIntSun, sun);
    for (int i = 0; i < 6; ++i) out[i] += sun[i];
  }
}

// Light time from ERFA's own constants, so that a fault in the module's formula shows.
double ReferenceLightTimeDays(const double* d) {
  return eraPm(const_cast<double*>(d)) * ERFA_DAU / ERFA_CMPS / ERFA_DAYSEC;
}

// The apparent place rebuilt with ERFA's routines on the reader's own vectors.
void ErfaApparent(double jd, int body, double* lon_deg, double* lat_deg) {
  double e[6], s[6];
  EarthAt(jd, e);
  Raw(jd, kIntSun, s);
  double p[3];
  if (body == kMoon) {
    // The Moon's model takes one pass from the geocentric distance; the iterated light
    // path would differ by about 2 mas.
    double m[6], m2[6], e2[6];
    Raw(jd, kIntMoon, m);
    const double tau = ReferenceLightTimeDays(m);
    Raw(jd - tau, kIntMoon, m2);
    EarthAt(jd - tau, e2);
    for (int i = 0; i < 3; ++i) p[i] = m2[i] + e2[i] - e[i];
  } else if (body == kSun) {
    double tau = 0, s2[6];
    for (int pass = 0; pass < 3; ++pass) {
      Raw(jd - tau, kIntSun, s2);
      double d[3];
      for (int i = 0; i < 3; ++i) d[i] = s2[i] - e[i];
      tau = ReferenceLightTimeDays(d);
    }
    for (int i = 0; i < 3; ++i) p[i] = s2[i] - e[i];
  } else {
    double x[6], tau = 0;
    for (int pass = 0; pass < 3; ++pass) {
      Barycentric(jd - tau, body, x);
      double d[3];
      for (int i = 0; i < 3; ++i) d[i] = x[i] - e[i];
      tau = ReferenceLightTimeDays(d);
    }
    for (int i = 0; i < 3; ++i) p[i] = x[i] - e[i];
    // Deflection by the Sun (ERFA's point-mass formula, ray far from the limb).
    double q[3], h[3], pn[3], qn[3], hn[3], em, r;
    for (int i = 0; i < 3; ++i) {
      q[i] = x[i] - (s[i] - tau * s[i + 3]);
      h[i] = e[i] - s[i];
    }
    eraPn(p, &r, pn);
    eraPn(q, &em, qn);
    eraPn(h, &em, hn);
    double pd[3];
    eraLd(1.0, pn, qn, hn, em, 0.0, pd);
    for (int i = 0; i < 3; ++i) p[i] = pd[i] * r;
  }
  // Aberration without the gravitational term (distance to the Sun taken as infinite).
  double v[3], pn[3], r;
  for (int i = 0; i < 3; ++i) v[i] = e[i + 3] * 149597870660.0 * 3.3356409519815204e-9 / 86400.0;
  eraPn(p, &r, pn);
  double pa[3];
  eraAb(pn, v, 1e30, std::sqrt(1 - eraPdp(v, v)), pa);
  double pm[3][3], nm[3][3], rot[3][3], dpsi, deps;
  eraPmat76(jd, 0.0, pm);
  eraNut80(jd, 0.0, &dpsi, &deps);
  const double eps = eraObl80(jd, 0.0);
  eraNumat(eps, dpsi, deps, nm);
  eraRxr(nm, pm, rot);
  double eq[3];
  eraRxp(rot, pa, eq);
  double ecl[3];
  double rx[3][3];
  eraIr(rx);
  eraRx(eps + deps, rx);
  eraRxp(rx, eq, ecl);
  double lon, lat;
  eraC2s(ecl, &lon, &lat);
  *lon_deg = eraAnp(lon) * kRadToDeg;
  *lat_deg = lat * kRadToDeg;
}

TEST_F(Positions, ApparentChainMatchesErfa) {
  // IAU 1976 precession and the 1980 obliquity hold within two centuries of J2000.
  for (double jd : {2378510.3, 2433282.5, 2451545.0, 2460000.25, 2500000.7, 2524000.1}) {
    for (int body : {kSun, kMoon, kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune,
                     kPluto}) {
      double out[6];
      ASSERT_EQ(CalcBody(jd, body, kCalcEphemerisFiles, out), kCalcEphemerisFiles);
      double lon, lat;
      ErfaApparent(jd, body, &lon, &lat);
      double dl = out[0] - lon;
      dl -= 360.0 * std::round(dl / 360.0);
      EXPECT_LT(std::fabs(dl) * std::cos(lat * kDegToRad) * 3600, 0.001) << body << " " << jd;
      EXPECT_LT(std::fabs(out[1] - lat) * 3600, 0.001) << body << " " << jd;
    }
  }
}

TEST_F(Positions, SpeedsAreTheDerivativeOfThePosition) {
  const double jd = 2448000.3, h = 0.005;
  for (int body : {kSun, kMoon, kMercury, kMars, kPluto, kChiron, kMeanNode, kTrueNode,
                   kMeanApogee, kOscuApogee}) {
    double a[6], b[6], mid[6];
    CalcBody(jd - h, body, kCalcEphemerisFiles, a);
    CalcBody(jd + h, body, kCalcEphemerisFiles, b);
    CalcBody(jd, body, kCalcChartFlags, mid);
    double dl = b[0] - a[0];
    dl -= 360.0 * std::round(dl / 360.0);
    const double tol = body == kOscuApogee ? 0.05 : body == kTrueNode ? 1e-3 : 1e-5;
    EXPECT_NEAR(mid[3], dl / (2 * h), tol * std::max(1.0, std::fabs(mid[3]))) << body;
    EXPECT_NEAR(mid[4], (b[1] - a[1]) / (2 * h), tol * 10) << body;
    EXPECT_EQ(a[3], 0.0);
    EXPECT_EQ(a[4], 0.0);
    EXPECT_EQ(a[5], 0.0);
  }
}

TEST_F(Positions, HeliocentricAndGeocentricZeroRecords) {
  double out[6];
  CalcBody(2451545.0, kSun, kCalcChartFlags | kCalcHeliocentric, out);
  for (double v : out) EXPECT_EQ(v, 0.0);
  CalcBody(2451545.0, kEarth, kCalcChartFlags, out);
  for (double v : out) EXPECT_EQ(v, 0.0);
  CalcBody(2451545.0, kMeanNode, kCalcChartFlags | kCalcHeliocentric, out);
  for (double v : out) EXPECT_EQ(v, 0.0);
  // The heliocentric Earth is opposite the geometric Sun.
  double earth[6], sun[6];
  CalcBody(2451545.0, kEarth, kCalcChartFlags | kCalcHeliocentric, earth);
  CalcBody(2451545.0, kSun, kCalcChartFlags | kCalcNoAberration, sun);
  double d = earth[0] - sun[0] - 180.0;
  d -= 360.0 * std::round(d / 360.0);
  EXPECT_LT(std::fabs(d), 30 * kArcsec);  // light time of the Sun's light only
}

TEST_F(Positions, LongitudesStayInRangeAndCachesRepeat) {
  for (double jd = 2378500.0; jd < 2597640.0; jd += 7777.7) {
    for (int body = 0; body <= 20; ++body) {
      if (body == kEarth) continue;
      double out[6];
      ASSERT_GE(CalcBody(jd, body, kCalcChartFlags, out), 0);
      ASSERT_GE(out[0], 0.0);
      ASSERT_LT(out[0], 360.0);
      double again[6];
      CalcBody(jd, body, kCalcChartFlags, again);
      for (int i = 0; i < 6; ++i) ASSERT_EQ(out[i], again[i]);
    }
  }
}

TEST_F(Positions, DeflectionFallsToZeroBehindTheSun) {
  // A body straight behind the Sun: the deflection vanishes at the centre and stays
  // finite all over the disk.
  double e[6] = {1, 0, 0, 0, 0.0172, 0};
  double s[6] = {0, 0, 0, 0, 0, 0};
  double worst = 0, near_centre = 0, mid_disk = 0;
  for (double off = 0; off < 0.01; off += 0.0001) {
    double u[6] = {-6.0, off * 6.0, 0, 0, 0, 0};
    const double before = std::atan2(u[1], -u[0]);
    DeflectLight(u, e, s, 0.03, false);
    const double shift = std::fabs(std::atan2(u[1], -u[0]) - before) * 206264.8;
    ASSERT_TRUE(std::isfinite(shift)) << off;
    if (off == 0) {
      EXPECT_LT(shift, 1e-9);  // straight behind the centre: no bending at all
    }
    if (std::fabs(off - 0.0002) < 1e-9) near_centre = shift;
    if (std::fabs(off - 0.0023) < 1e-9) mid_disk = shift;
    worst = std::max(worst, shift);
  }
  EXPECT_LT(near_centre, mid_disk);  // falls towards the centre
  EXPECT_LT(worst, 5.0);             // bounded: a few arcseconds at the limb
  EXPECT_GT(worst, 1.0);
}

TEST_F(Positions, MeanNodeThroughAriesKeepsItsSpeed) {
  // The mean node passed 0 degrees of Aries in June 2006 (moving backwards).
  double prev = -1;
  int crossings = 0;
  for (double jd = 2453700.0; jd < 2454100.0; jd += 1.0) {
    double out[6];
    CalcBody(jd, kMeanNode, kCalcChartFlags, out);
    EXPECT_NEAR(out[3], -0.053, 0.002) << jd;
    EXPECT_EQ(out[1], 0.0);
    EXPECT_TRUE(out[0] >= 0.0 && out[0] < 360.0) << jd << " " << out[0];
    if (prev >= 0) {
      // A day's step read across 0/360: the longitude wraps, it never jumps.
      const double step = std::remainder(out[0] - prev, 360.0);
      EXPECT_NEAR(step, -0.053, 0.002) << jd;
      if (prev < 1 && out[0] > 359) ++crossings;
    }
    prev = out[0];
  }
  EXPECT_EQ(crossings, 1);  // the span does hold the passage
}

TEST_F(Positions, TrueNodeOnTheEclipticAndComputedOnceWithTheApogee) {
  double node[6], apogee[6];
  CalcBody(2451545.0, kTrueNode, kCalcChartFlags, node);
  EXPECT_EQ(node[1], 0.0);
  EXPECT_EQ(node[4], 0.0);
  EXPECT_EQ(Engine().apparent.lunar_points[kOscuApogee - kMeanNode].jd, 2451545.0);
  CalcBody(2451545.0, kOscuApogee, kCalcChartFlags, apogee);
  double again[6];
  CalcBody(2451545.0, kTrueNode, kCalcChartFlags, again);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(node[i], again[i]);
}

// The caches only save work: forgetting them, or filling them at another date first,
// gives the same positions to the last bit.
TEST_F(Positions, ForgettingTheApparentPlaceCacheChangesNoPosition) {
  const int bodies[] = {kSun, kMoon, kMercury, kMars, kPluto, kMeanNode, kTrueNode, kOscuApogee,
                        kChiron};
  auto all_at = [&](double jd, int flags) {
    std::vector<double> v;
    for (int body : bodies) {
      double out[6];
      CalcBody(jd, body, flags, out);
      v.insert(v.end(), out, out + 6);
    }
    return v;
  };
  Engine().apparent = ApparentPlaceCache{};
  const std::vector<double> first = all_at(2451545.0, kCalcChartFlags);
  all_at(2451545.0, kCalcEphemerisFiles);  // the same date without speeds
  all_at(2460000.5, kCalcChartFlags);
  EXPECT_EQ(all_at(2451545.0, kCalcChartFlags), first);
  Engine().apparent = ApparentPlaceCache{};
  EXPECT_EQ(all_at(2451545.0, kCalcChartFlags), first);
}

// The place without the speeds equals, to the bit, the place computed with them, in
// every mode and for every kind of point; the speeds are then 0. Dates in both orders,
// so that neither variant reads the other's kept results.
TEST_F(Positions, PlaceWithoutSpeedsEqualsThePlaceWithThem) {
  const int modes[] = {0, kCalcHeliocentric, kCalcNoAberration, kCalcNoDeflection};
  for (int mode : modes) {
    for (double jd = 2378500.3; jd < 2597640.0; jd += 15731.37) {
      for (int body = 0; body <= 20; ++body) {
        double with[6], without[6];
        const int a = CalcBody(jd, body, kCalcChartFlags | mode, with);
        const int b = CalcBody(jd, body, kCalcEphemerisFiles | kCalcPlaceOfSpeed | mode, without);
        ASSERT_EQ(a < 0, b < 0) << body;
        for (int i = 0; i < 3; ++i)
          ASSERT_EQ(std::memcmp(&with[i], &without[i], sizeof with[i]), 0)
              << "body " << body << " mode " << mode << " jd " << jd << " item " << i;
        for (int i = 3; i < 6; ++i) ASSERT_EQ(without[i], 0.0) << body;
        // The other order, at a fresh date.
        CalcBody(jd + 0.5, body, kCalcEphemerisFiles | kCalcPlaceOfSpeed | mode, without);
        CalcBody(jd + 0.5, body, kCalcChartFlags | mode, with);
        for (int i = 0; i < 3; ++i)
          ASSERT_EQ(std::memcmp(&with[i], &without[i], sizeof with[i]), 0)
              << "body " << body << " mode " << mode << " jd " << jd + 0.5 << " item " << i;
      }
    }
  }
}

// A body asked for by CalcBody keeps no equatorial polar coordinates; the whole block
// asked for next, at the same date and flags, has them as a fresh calculation does.
TEST_F(Positions, WholeBlockAfterThePlaceHasTheEquatorialCoordinates) {
  for (int body : {kSun, kMoon, kMars, kChiron}) {
    Engine().apparent = ApparentPlaceCache{};
    double fresh[24];
    ASSERT_GE(CalcBodyBlock(2451545.0, body, kCalcChartFlags, fresh), 0);
    EXPECT_NE(fresh[12], 0.0) << body;  // right ascension
    Engine().apparent = ApparentPlaceCache{};
    double place[6], block[24];
    ASSERT_GE(CalcBody(2451545.0, body, kCalcChartFlags, place), 0);
    ASSERT_GE(CalcBodyBlock(2451545.0, body, kCalcChartFlags, block), 0);
    EXPECT_EQ(std::memcmp(block, fresh, sizeof block), 0) << body;
    EXPECT_EQ(std::memcmp(place, fresh, sizeof place), 0) << body;
  }
}

TEST_F(Positions, EclipticToEquatorialOfAKnownPoint) {
  double ra, dec;
  EclipticToEquatorial(90.0, 0.0, 2451545.0, &ra, &dec);
  EXPECT_NEAR(ra, 90.0, 1e-12);
  EXPECT_NEAR(dec, 23.4392911, 1e-6);
  EclipticToEquatorial(0.0, 0.0, 2451545.0, &ra, &dec);
  EXPECT_NEAR(ra, 0.0, 1e-12);
  EXPECT_NEAR(dec, 0.0, 1e-12);
}

}  // namespace
}  // namespace kv
