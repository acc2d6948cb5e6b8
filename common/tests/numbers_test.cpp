#include "common/numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/tests/russian_locale.h"

namespace kv {
namespace {

// The users' locale writes a decimal comma; the routines must not notice it.
class RussianLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr)
        << "the ru_RU.UTF-8 locale is missing (scripts/setup.sh generates it)";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", 55.45);
    ASSERT_STREQ(buf, "55,45") << "the locale does not use a decimal comma";
  }
  void TearDown() override { std::setlocale(LC_ALL, old_.c_str()); }

 private:
  std::string old_;
};

TEST_F(RussianLocale, ReadsAndWritesTheDecimalPoint) {
  EXPECT_DOUBLE_EQ(LeadingDouble("55.45"), 55.45);
  EXPECT_EQ(ParseDouble("-3.5"), -3.5);
  EXPECT_EQ(FormatFixed(55.45, 8), "55.45000000");
  EXPECT_EQ(FormatFixed(-3.0, 3, 9), "   -3.000");
  EXPECT_EQ(FormatGeneral(280.368165959055), "280.368165959055");
  EXPECT_FALSE(ParseDouble("55,45"));
}

TEST(Numbers, LeadingPartsReadLikeTheCLocale) {
  size_t used = 0;
  EXPECT_DOUBLE_EQ(LeadingDouble("  12.5abc", &used), 12.5);
  EXPECT_EQ(used, 6u);
  EXPECT_DOUBLE_EQ(LeadingDouble("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(LeadingDouble("+7"), 7.0);
  EXPECT_DOUBLE_EQ(LeadingDouble("1e3x"), 1000.0);
  EXPECT_DOUBLE_EQ(LeadingDouble("2e"), 2.0);  // a dangling exponent is not read
  EXPECT_EQ(LeadingDouble("abc", &used), 0.0);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(LeadingDouble("inf"), 0.0);
  EXPECT_EQ(LeadingDouble("nan"), 0.0);
  EXPECT_EQ(LeadingDouble("1e999"), 0.0);
  EXPECT_EQ(LeadingDouble("."), 0.0);
  EXPECT_EQ(LeadingInteger(" -42 7"), -42);
  EXPECT_EQ(LeadingInteger("12.9"), 12);
  EXPECT_EQ(LeadingInteger("99999999999999999999"), LLONG_MAX);
  EXPECT_EQ(LeadingInteger("-99999999999999999999"), LLONG_MIN);
  EXPECT_EQ(LeadingInteger("x1"), 0);
}

TEST(Numbers, WholeTextsAreNumbersOrNothing) {
  EXPECT_EQ(ParseDouble(" 55.45 "), 55.45);
  EXPECT_EQ(ParseDouble("1e2"), 100.0);
  EXPECT_FALSE(ParseDouble(""));
  EXPECT_FALSE(ParseDouble("  "));
  EXPECT_FALSE(ParseDouble("12abc"));
  EXPECT_FALSE(ParseDouble("1e999"));
  EXPECT_FALSE(ParseDouble("nan"));
  EXPECT_FALSE(ParseDouble("0x10"));
  EXPECT_EQ(ParseInteger("+15"), 15);
  EXPECT_EQ(ParseInteger("-0"), 0);
  EXPECT_FALSE(ParseInteger("1.5"));
  EXPECT_FALSE(ParseInteger("99999999999999999999"));
}

TEST(Numbers, IntegerListsStopAtTheFirstNonNumber) {
  int32_t v[5] = {};
  EXPECT_EQ(ReadIntegers(" 1\t-2  3 x 4", v, 5), 3);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(v[1], -2);
  EXPECT_EQ(v[2], 3);
  EXPECT_EQ(ReadIntegers("5000000000 -5000000000", v, 5), 2);
  EXPECT_EQ(v[0], INT32_MAX);
  EXPECT_EQ(v[1], INT32_MIN);
  EXPECT_EQ(ReadIntegers("1 2 3", v, 2), 2);
}

TEST(Numbers, FormatsMatchPrintfInTheCLocale) {
  // printf in the C locale is the reference, whatever locale the run was given.
  testing::CLocale c_locale;
  const double values[] = {0.0, -0.0, 0.125, 2.5, -2.5, 55.45, 37.37, 1e-7, 123456789.987654321,
                           2451545.0, -180.0, 359.59, 1.0 / 3.0};
  for (double v : values) {
    for (int decimals : {0, 2, 3, 8}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
      EXPECT_EQ(FormatFixed(v, decimals), expected) << v << " with " << decimals;
    }
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.15g", v);
    EXPECT_EQ(FormatGeneral(v), expected) << v;
    std::snprintf(expected, sizeof expected, "%6.2f", v);
    EXPECT_EQ(FormatFixed(v, 2, 6), expected) << v;
    std::snprintf(expected, sizeof expected, "%.3e", v);
    EXPECT_EQ(FormatScientific(v, 3), expected) << v;
  }
  for (long long v : {0LL, 5LL, -5LL, 42LL, -2024LL, 123456LL, LLONG_MIN, LLONG_MAX}) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%lld", v);
    EXPECT_EQ(FormatInteger(v), expected) << v;
    std::snprintf(expected, sizeof expected, "%04lld", v);
    EXPECT_EQ(FormatInteger(v, 4, true), expected) << v;
    std::snprintf(expected, sizeof expected, "%3lld", v);
    EXPECT_EQ(FormatInteger(v, 3), expected) << v;
  }
}

TEST(Numbers, DecimalsReadToTheBitAsTheLibraryReadsThem) {
  // Short plain decimals take a quicker path than the library's reader; the two must
  // agree to the last bit, ties and the edges of 15 digits included.
  std::mt19937_64 random(20261209);
  std::vector<std::string> texts = {"0", "-0", "-0.0", "+7", "5.", "-.5", "0.1", "0.3",
                                    "2451545.0", "2451545.123456789", "999999999999999",
                                    "9999999999999999", "0.000000000000001", "1234567890.12345",
                                    "1234567890.123456", "359.59", "-180.00", "1e3", "2.5E-3"};
  for (int i = 0; i < 100000; ++i) {
    std::string t = (random() & 1) ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 18);
    const int point = static_cast<int>(random() % (digits + 2)) - 1;  // -1: no point
    for (int d = 0; d < digits; ++d) {
      if (d == point) t += '.';
      t += static_cast<char>('0' + random() % 10);
    }
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    double expected = 0;
    const char* from = t.data() + (t[0] == '+' ? 1 : 0);
    std::from_chars(from, t.data() + t.size(), expected);
    const std::optional<double> got = ParseDouble(t);
    ASSERT_TRUE(got) << t;
    ASSERT_EQ(std::memcmp(&*got, &expected, sizeof expected), 0) << t << " " << *got;
  }
}

TEST(Numbers, GeneralFormatAgreesWithPrintfOnEveryKindOfDouble) {
  // The exact integer path must print what printf prints, to the last digit and in
  // the choice between fixed and exponent forms, at every precision.
  testing::CLocale c_locale;
  std::mt19937_64 random(20261209);
  std::vector<double> values = {
      0.5, 1.5, 2.5, 0.125, 0.375, 9.5, 99.5, 999.5, 0.95, 9.95, 99.95,  // ties
      9.9999999999999995, 99999999999999.99, 999999999999999.9, 1e15, 1e16, 1e17,
      1e-4, 1e-5, 0.0001234567890123, 0.00001, 123456789012345678.0, 4503599627370495.5,
      9007199254740993.0, 1.7976931348623157e308, 2.2250738585072014e-308, 5e-324, 1e22,
      1e23, 359.99999999999999, 360.0, 0.1, 0.2, 0.3, 280.368165959055, -0.0, 0.0,
      std::numeric_limits<double>::infinity(), std::nan("")};
  for (int i = 0; i < 20000; ++i) {  // any bit pattern: all exponents, subnormals, nan
    const uint64_t bits = random();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    values.push_back(v);
  }
  std::uniform_real_distribution<double> degrees(0.0, 360.0);
  for (int i = 0; i < 20000; ++i) values.push_back(degrees(random));
  for (int i = 0; i < 2000; ++i)  // halves of integers, exact ties at every place
    values.push_back(std::ldexp(static_cast<double>(random() >> 11 | 1), -(i % 60)));
  char buf[64], expected[400];
  for (double v : values) {
    for (int precision = 1; precision <= 18; ++precision) {
      std::snprintf(expected, sizeof expected, "%.*g", precision, v);
      char* end = AppendGeneral(buf, buf + sizeof buf, v, precision);
      ASSERT_EQ(std::string(buf, end), expected) << "precision " << precision;
    }
  }
  // Too little room gives nothing rather than a cut number.
  EXPECT_EQ(AppendGeneral(buf, buf + 3, 280.368165959055, 15), buf);
}

}  // namespace
}  // namespace kv
