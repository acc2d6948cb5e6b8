#include <gtest/gtest.h>
#include <erfa.h>

#include <cmath>

#include "astro/constants.h"
#include "astro/nutation.h"
#include "astro/obliquity.h"
#include "astro/precession.h"

namespace kv {
namespace {

constexpr double kRadToArcsec = 206264.80624709636;

TEST(NutationOracle, AgreesWithErfaNut80) {
  // 1e-6" is far below one unit (0.0001") of any table entry: a mistyped term fails.
  double worst = 0;
  for (double jd = 2378499.0; jd < 2597640.0; jd += 97.531) {
    double dpsi, deps;
    eraNut80(jd, 0.0, &dpsi, &deps);
    const NutationAngles n = Nutation(jd);
    worst = std::max(worst, std::fabs(n.dpsi_rad - dpsi) * kRadToArcsec);
    worst = std::max(worst, std::fabs(n.deps_rad - deps) * kRadToArcsec);
  }
  EXPECT_LT(worst, 1e-6);
}

TEST(NutationOracle, TextbookExample) {
  // 1987 April 10, 0h TD: dpsi = -3.788", deps = +9.443" (IAU 1980 theory).
  const NutationAngles n = Nutation(2446895.5);
  EXPECT_NEAR(n.dpsi_rad * kRadToArcsec, -3.788, 0.0005);
  EXPECT_NEAR(n.deps_rad * kRadToArcsec, 9.443, 0.001);  // published to 0.001"
}

TEST(NutationOracle, MatrixIsErfaNumat) {
  const double jd = 2448000.5;
  const double eps = Obliquity(jd);
  const NutationRecord r = MakeNutationRecord(jd, eps);
  double m[3][3];
  eraNumat(eps, r.dpsi_rad, r.deps_rad, m);
  // Our matrix is applied as out_i = sum_k in_k m[k][i], ERFA's as out_i = sum_k m[i][k] in_k.
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(r.matrix[k][i], m[i][k], 1e-15);
  double v[3] = {0.3, -0.8, 0.52};
  double out[3];
  ApplyNutationMatrix(r.matrix, v, out);
  double expect[3];
  eraRxp(m, v, expect);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], expect[i], 1e-15);
}

TEST(ObliquityOracle, AgreesWithErfaObl80AndTextbook) {
  // The 1980 expression holds within two centuries; beyond, the long-term one takes over.
  for (double jd = kJ2000 - 73049.0; jd < kJ2000 + 73049.0; jd += 500.5)
    ASSERT_NEAR(Obliquity(jd), eraObl80(jd, 0.0), 1e-6 / kRadToArcsec) << jd;
  // 1987 April 10: mean obliquity 23 26' 27.407".
  EXPECT_NEAR(Obliquity(2446895.5) * kRadToArcsec, 23 * 3600.0 + 26 * 60 + 27.407, 0.001);
  const ObliquityRecord r = MakeObliquityRecord(kJ2000);
  EXPECT_DOUBLE_EQ(r.eps_rad, 84381.448 * kArcsecToRad);
  EXPECT_NEAR(r.sin_eps * r.sin_eps + r.cos_eps * r.cos_eps, 1.0, 1e-15);
}

TEST(ObliquityOracle, LongTermBranchJoinsTheShortOne) {
  // At two centuries the two expressions meet within a fraction of an arcsecond.
  const double edge = kJ2000 + 2 * kDaysPerCentury;
  EXPECT_NEAR(Obliquity(edge - 1e-6) * kRadToArcsec, Obliquity(edge) * kRadToArcsec, 0.1);
  const double edge2 = kJ2000 - 2 * kDaysPerCentury;
  EXPECT_NEAR(Obliquity(edge2 + 1e-6) * kRadToArcsec, Obliquity(edge2) * kRadToArcsec, 0.1);
}

TEST(PrecessionOracle, AnglesAndMatrixAgreeWithErfaPrec76) {
  for (double jd = kJ2000 - 2 * kDaysPerCentury; jd <= kJ2000 + 2 * kDaysPerCentury;
       jd += 1234.5) {
    double zeta, z, theta;
    eraPrec76(kJ2000, 0.0, jd, 0.0, &zeta, &z, &theta);
    const PrecessionAngles p = PrecessionAngles1976(jd);
    ASSERT_NEAR(p.zeta, zeta, 1e-6 / kRadToArcsec);
    ASSERT_NEAR(p.z, z, 1e-6 / kRadToArcsec);
    ASSERT_NEAR(p.theta, theta, 1e-6 / kRadToArcsec);
    double m[3][3];
    eraPmat76(jd, 0.0, m);
    double v[3] = {0.6, -0.48, 0.64};
    double expect[3];
    eraRxp(m, v, expect);
    Precess(v, jd, kJ2000ToDate);
    for (int i = 0; i < 3; ++i) ASSERT_NEAR(v[i], expect[i], 1e-6 / kRadToArcsec);
  }
}

TEST(Precession, IdentityAtJ2000AndInverse) {
  double v[3] = {0.1, 0.2, 0.3};
  Precess(v, kJ2000, kJ2000ToDate);
  EXPECT_EQ(v[0], 0.1);
  EXPECT_EQ(v[1], 0.2);
  EXPECT_EQ(v[2], 0.3);
  for (double jd : {2378499.0, 2500000.0, 1000000.0, 3000000.0}) {
    double w[3] = {0.1, 0.2, 0.3};
    Precess(w, jd, kJ2000ToDate);
    Precess(w, jd, kDateToJ2000);
    EXPECT_NEAR(w[0], 0.1, 1e-14);
    EXPECT_NEAR(w[1], 0.2, 1e-14);
    EXPECT_NEAR(w[2], 0.3, 1e-14);
  }
}

TEST(Precession, LongTermNearTheShortExpressionAtTheJoin) {
  // Just beyond two centuries the long-term expansion takes over; both describe the
  // same motion, so a star's position may differ only by a fraction of an arcsecond.
  const double jd = kJ2000 + 2.0001 * kDaysPerCentury;
  double a[3] = {0.6, -0.48, 0.64};
  Precess(a, jd, kJ2000ToDate);
  double m[3][3];
  eraPmat76(jd, 0.0, m);
  double b[3] = {0.6, -0.48, 0.64};
  double expect[3];
  eraRxp(m, b, expect);
  double sep = eraSepp(a, expect) * kRadToArcsec;
  EXPECT_LT(sep, 1.0);
}

}  // namespace
}  // namespace kv
