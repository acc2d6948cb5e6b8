#include <gtest/gtest.h>
#include <erfa.h>
#include <erfam.h>

#include <cmath>

#include "astro/delta_t.h"
#include "astro/sidereal_time.h"
#include "common/calendar.h"

namespace kv {
namespace {

double YearToJd(double year) { return 2451545.0 + (year - 2000.0) * 365.25; }
double DeltaTSeconds(double year) { return DeltaT(YearToJd(year)) * 86400.0; }

TEST(CalendarOracle, AgreesWithErfaOverGregorianDates) {
  for (int year = 1600; year <= 2400; year += 7)
    for (int month = 1; month <= 12; ++month) {
      double djm0, djm;
      ASSERT_EQ(eraCal2jd(year, month, 28, &djm0, &djm), 0);
      ASSERT_DOUBLE_EQ(DateToJulianDayAt0h(28, month, year), djm0 + djm);
    }
}

TEST(DeltaTTable, TableValuesAtWholeYears) {
  // Whole years from 1955 on give the table entry itself.
  EXPECT_NEAR(DeltaTSeconds(1990.0), 56.86, 1e-9);
  EXPECT_NEAR(DeltaTSeconds(1999.0), 65.00, 1e-9);
  // Before 1955 the tidal correction lowers the entry.
  EXPECT_NEAR(DeltaTSeconds(1900.0), -2.72 - 0.0000182 * 55 * 55, 1e-9);
  EXPECT_NEAR(DeltaTSeconds(1620.0), 124.0 - 0.0000182 * 335 * 335, 1e-9);
}

TEST(DeltaTTable, ContinuousInsideTheTable) {
  // Interpolation between yearly entries never jumps: successive days differ little.
  double prev = DeltaTSeconds(1620.0);
  for (double y = 1620.0 + 1.0 / 365.25; y < 1999.0; y += 1.0 / 365.25) {
    const double v = DeltaTSeconds(y);
    ASSERT_LT(std::fabs(v - prev), 0.05) << y;
    prev = v;
  }
}

TEST(DeltaTTable, FormulaBranchesAtTheirBorders) {
  // 1999/2000: the table ends at 65.00 s, the formula gives about 65 s.
  const double formula = DeltaTSeconds(1999.0 + 1e-6);
  EXPECT_NEAR(formula, (0.00362 * 97 + 0.319) * 97, 1e-3);
  EXPECT_NEAR(formula, DeltaTSeconds(1999.0), 1.0);
  // Before the table: the long-term parabolas.
  const double u = (1619.5 - 2000) / 100;
  EXPECT_NEAR(DeltaTSeconds(1619.5), (23.58 * u + 100.3) * u + 101.6, 1e-6);
  const double u2 = (500.0 - 2000) / 100 + 3.75;
  EXPECT_NEAR(DeltaTSeconds(500.0), 35 * u2 * u2 + 40, 1e-6);
  // The result is in days.
  EXPECT_NEAR(DeltaT(YearToJd(1999.0)), 65.0 / 86400.0, 1e-12);
}

TEST(SiderealTime, MeanTimeNearErfa1982) {
  // The 1900 formula and the IAU 1982 expression drift apart by a few tenths of a second of time
  // at the ends of 1800..2400 (rounded rate 1.002737908); a wrong epoch or unit is far off.
  for (double jd = 2378499.0; jd < 2597640.0; jd += 3001.37) {
    const double erfa_hours = eraGmst82(jd, 0.0) * 12.0 / ERFA_DPI;
    double diff = MeanSiderealTime(jd) - erfa_hours;
    diff -= 24.0 * std::round(diff / 24.0);
    ASSERT_LT(std::fabs(diff) * 3600.0, 0.5) << jd;
  }
}

TEST(SiderealTime, ApparentWithoutNutationIsErfaGmst82) {
  for (double jd = 2378499.1; jd < 2597640.0; jd += 2777.77) {
    const double erfa_hours = eraGmst82(jd, 0.0) * 12.0 / ERFA_DPI;
    double diff = ApparentSiderealTime(jd, 23.44, 0.0) - erfa_hours;
    diff -= 24.0 * std::round(diff / 24.0);
    ASSERT_LT(std::fabs(diff) * 3600.0, 1e-4) << jd;
  }
}

TEST(SiderealTime, EquationOfTheEquinoxes) {
  // Textbook example: 1987 April 10, 0h UT: mean 13h10m46.3668s, apparent 13h10m46.1351s
  // with dpsi = -3.788" and true obliquity 23 26' 36.85".
  const double jd = 2446895.5;
  const double eps = 23.0 + 26.0 / 60 + 36.85 / 3600;
  const double dpsi = -3.788 / 3600;
  const double gast = ApparentSiderealTime(jd, eps, dpsi);
  EXPECT_NEAR(gast * 3600.0, 13 * 3600.0 + 10 * 60 + 46.1351, 0.001);
  EXPECT_NEAR(ApparentSiderealTime(jd, eps, 0.0) * 3600.0, 13 * 3600.0 + 10 * 60 + 46.3668,
              0.001);
  EXPECT_GE(MeanSiderealTime(jd), 0.0);
  EXPECT_LT(MeanSiderealTime(jd), 24.0);
}

}  // namespace
}  // namespace kv
