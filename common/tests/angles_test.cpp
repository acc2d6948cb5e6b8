#include "common/angles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

TEST(Angles, NormalisersBringEveryAngleIntoItsCircle) {
  EXPECT_EQ(NormalizeDegrees(720.5), 0.5);
  EXPECT_EQ(NormalizeDegrees(-30.0), 330.0);
  EXPECT_EQ(NormalizeDegrees(360.0), 0.0);
  EXPECT_EQ(NormalizeDegrees(359.75), 359.75);
  EXPECT_EQ(NormalizeHours(25.0), 1.0);
  EXPECT_EQ(NormalizeHours(-0.5), 23.5);
  EXPECT_DOUBLE_EQ(NormalizeRadians(-kPi / 2), 1.5 * kPi);
  EXPECT_DOUBLE_EQ(NormalizeRadians(5 * kPi), kPi);
}

TEST(Angles, ATinyNegativeAngleGivesZeroNotTheFullCircle) {
  // -1e-15 + 360 rounds to 360 itself, which lies outside [0, 360).
  EXPECT_EQ(NormalizeDegrees(-1e-15), 0.0);
  EXPECT_EQ(NormalizeHours(-1e-16), 0.0);
  EXPECT_EQ(NormalizeRadians(-1e-17), 0.0);
  for (double x : {-1e-15, -1e-300, -359.9999999999999, 1e9 + 0.25}) {
    const double d = NormalizeDegrees(x);
    EXPECT_GE(d, 0.0) << x;
    EXPECT_LT(d, 360.0) << x;
  }
  EXPECT_TRUE(std::isnan(NormalizeDegrees(std::nan(""))));
}

TEST(Angles, UnitsAgree) {
  EXPECT_DOUBLE_EQ(kTwoPi, 2 * kPi);
  EXPECT_DOUBLE_EQ(180.0 * kDegToRad, kPi);
  EXPECT_DOUBLE_EQ(kPi * kRadToDeg, 180.0);
}

}  // namespace
}  // namespace kv
