// The lunar day on the ephemeris: new moons where the elongation is zero, moonrises
// where the altitude function is zero, and the day numbers around known new moons.
#include "astro/lunar/lunar_day.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "astro/ephemeris/ephemeris.h"
#include "astro/positions/calc_body.h"
#include "common/angles.h"

namespace kv {
namespace {

class LunarDayTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(InitEphemeris(KV_EPHE_DIR).ok());
  }
  ChartPointFn points_ = GeocentricChartPoints();
};

constexpr double kMoscowLat = 55.75 * kDegToRad;
constexpr double kMoscowLon = 37.6167;

// Signed elongation in (-180, 180].
double SignedElongation(double e) { return e > 180.0 ? e - 360.0 : e; }

TEST_F(LunarDayTest, NewMoonsAreAtZeroElongation) {
  // Published new moons (UT): 6 January 2000 18:14, 15 February 1961 08:10 (a total
  // solar eclipse),
  // 21 August 2017 18:30 (a total solar eclipse).
  struct Known {
    double from, moment;
  } known[] = {{2451530.0, 2451550.2597}, {2437330.0, 2437345.840}, {2457970.0, 2457987.271}};
  for (const Known& k : known) {
    double nm = FindNewMoon(k.from, 5.0, 0.0009, points_);
    EXPECT_NEAR(nm, k.moment, 0.01) << k.from;
    // The Moon gains 12 degrees a day on the Sun: within the tolerance of 0.0009 day
    // the elongation is a hundredth of a degree from zero.
    EXPECT_LT(std::fabs(SignedElongation(Elongation(nm, points_))), 0.012);
    EXPECT_LT(SignedElongation(Elongation(nm - 0.05, points_)), 0.0);
    EXPECT_GT(SignedElongation(Elongation(nm + 0.05, points_)), 0.0);
  }
}

TEST_F(LunarDayTest, MoonrisesAreZerosOfTheAltitudeFunction) {
  const double jd = 2451578.0;  // the month after the new moon of 6 January 2000
  const TimeFunction elong = [&](double t) { return Elongation(t, points_); };
  const TimeFunction alt = [&](double t) {
    return AltitudeFunction(t, 2, kMoscowLon, kMoscowLat, points_);
  };
  auto days = BuildLunarDays(elong, alt, jd, 0.0);
  ASSERT_GT(days.size(), 24u);
  int rises = 0;
  for (const auto& d : days) {
    if (d.number == 1) continue;  // starts at a new moon, not at a moonrise
    ++rises;
    // The zero itself, by bisection around the day's start.
    double lo = d.start - 0.02, hi = d.start + 0.02;
    ASSERT_LT(alt(lo), 0.0);
    ASSERT_GT(alt(hi), 0.0);
    for (int i = 0; i < 50; ++i) (alt((lo + hi) / 2) < 0 ? lo : hi) = (lo + hi) / 2;
    // The refinement stops at the first estimate not above the horizon, so on the
    // curved rise of the Moon the day may start a few minutes off the zero.
    EXPECT_LT(std::fabs(hi - d.start), 0.006) << d.start;  // 9 minutes
    EXPECT_LT(alt(d.start), 1e-6);
  }
  EXPECT_GT(rises, 20);
}

TEST_F(LunarDayTest, AltitudeAgreesWithErfaHorizonCoordinates) {
  // The Moon's geometric altitude from its right ascension and declination, with
  // ERFA's hour-angle transform; the function adds its allowance of 0.1333 degree.
  for (double t : {2451545.1, 2451545.4, 2451545.7, 2437364.0}) {
    double lon, lat;
    points_(t, 2, &lon, &lat);
    double ra, dec;
    EclipticToEquatorial(lon, lat, t, &ra, &dec);
    double ha = eraGmst82(t, 0) + kMoscowLon * kDegToRad - ra * kDegToRad;
    double az, el;
    eraHd2ae(ha, dec * kDegToRad, kMoscowLat, &az, &el);
    double f = AltitudeFunction(t, 2, kMoscowLon, kMoscowLat, points_);
    double hdeg = std::fmod(std::fmod(ha / kDegToRad, 360.0) + 360.0, 360.0);
    double g = std::fabs(hdeg - 180.0) >= 90.0 ? 1.0 : -1.0;
    // ERFA's 1982 sidereal time differs from the 1900 formula by well under 0.001 degree.
    EXPECT_NEAR(f, el / kDegToRad + g * 0.1333, 2e-3) << t;
  }
}

TEST_F(LunarDayTest, DayNumbersAroundANewMoon) {
  const double nm = FindNewMoon(2451530.0, 5.0, 0.0009, points_);  // 6 January 2000
  // Right after the new moon, before the Moon rises over Moscow: day 1.
  EXPECT_EQ(LunarDayNumber(nm + 0.01, 0.125, kMoscowLat, kMoscowLon, points_), 1);
  // Just before it: the last day of the previous month.
  const int last = LunarDayNumber(nm - 0.01, 0.125, kMoscowLat, kMoscowLon, points_);
  EXPECT_GE(last, 29);
  EXPECT_LE(last, 31);
  // Two weeks on: the count has gone up by about one a day.
  const int mid = LunarDayNumber(nm + 14.3, 0.125, kMoscowLat, kMoscowLon, points_);
  EXPECT_GE(mid, 14);
  EXPECT_LE(mid, 16);
}

TEST_F(LunarDayTest, PolarPlacesDoNotFail) {
  // Near the pole the Moon stays up or down for days: a long day or no day at all.
  for (double lat_deg : {80.0, -85.0, 89.9}) {
    for (double jd : {2451545.0, 2451560.0, 2451575.0}) {
      int n = LunarDayNumber(jd, 0.0, lat_deg * kDegToRad, 15.0, points_);
      EXPECT_GE(n, 0);
      EXPECT_LE(n, 31);
    }
  }
}

}  // namespace
}  // namespace kv
