#include "common/angles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

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

// The short ways within a period or two of the circle give, to the bit, what the
// remainder by division gives.
TEST(Angles, ShortWaysEqualTheRemainderToTheBit) {
  auto by_division = [](double x, double period) {
    double r = std::fmod(x, period);
    if (r < 0) r += period;
    if (r >= period) r = 0.0;
    return r;
  };
  std::mt19937_64 random(11);
  for (double period : {360.0, kTwoPi, 24.0}) {
    std::uniform_real_distribution<double> any(-3 * period, 3 * period);
    std::vector<double> xs = {0.0,         -0.0,        period,     2 * period, -period,
                              -2 * period, 1e-300,      -1e-300,    -1e-17,     period - 1e-13,
                              std::nextafter(period, 0.0), std::nextafter(2 * period, 0.0),
                              std::nextafter(-period, 0.0), 1e20, -1e20};
    for (int i = 0; i < 200000; ++i) xs.push_back(any(random));
    for (double x : xs) {
      const double a = NormalizeAngle(x, period), b = by_division(x, period);
      ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << x << " " << period;
    }
  }
}

TEST(Angles, UnitsAgree) {
  EXPECT_DOUBLE_EQ(kTwoPi, 2 * kPi);
  EXPECT_DOUBLE_EQ(180.0 * kDegToRad, kPi);
  EXPECT_DOUBLE_EQ(kPi * kRadToDeg, 180.0);
}

}  // namespace
}  // namespace kv
