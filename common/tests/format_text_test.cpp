#include "common/format_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "common/tests/russian_locale.h"

namespace kv {
namespace {

std::optional<std::string> Checked(std::string_view format, std::vector<FormatArg> args) {
  return FormatChecked(format, args);
}

std::string Va(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Va(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = FormatVa(format, args);
  va_end(args);
  return s;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
// The formats of these tests come from tables, so the compiler cannot check them.
template <class... T>
std::string Printf(const char* format, T... values) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, values...);
  return buf;
}
template <class... T>
std::string ViaList(const char* format, T... values) {
  return Va(format, values...);
}
#pragma GCC diagnostic pop

// printf in the C locale is the reference for both fillers.
class CLocalePrintf : public ::testing::Test {
 private:
  testing::CLocale c_locale_;
};

TEST_F(CLocalePrintf, Integers) {
  const char* formats[] = {"%d",   "%5d",  "%-5d|", "%05d", "%+d",  "% d",  "%.3d",
                           "%8.3d", "%.0d", "%x",    "%#x",  "%08X", "%#o",  "%o",
                           "%u",   "%+05d", "%-+6d|", "%i",  "%hd",  "%hhd"};
  const int values[] = {0, 7, -7, 42, -2147483647, 255, 65, 40000};
  for (const char* f : formats) {
    const std::string format = f;
    const bool is_unsigned = format.find_first_of("xXou") != std::string::npos;
    for (int v : values) {
      if (is_unsigned && v < 0) continue;  // printf would see another width's unsigned
      const std::string expected = Printf(f, v);
      EXPECT_EQ(ViaList(f, v), expected) << f << " of " << v;
      if (format.find('h') == std::string::npos) {  // a checked integer keeps its value
        EXPECT_EQ(Checked(format, {v}), expected) << f << " of " << v;
      }
    }
  }
  const long long big = -9007199254740993LL;
  EXPECT_EQ(ViaList("%lld|%ld|%zu", big, -5L, size_t{18}),
            Printf("%lld|%ld|%zu", big, -5L, size_t{18}));
  EXPECT_EQ(Checked("%ld", {big}), Printf("%ld", static_cast<long>(big)));
  EXPECT_EQ(Checked("%c%-3c|", {'K', 'v'}), "Kv  |");
}

TEST_F(CLocalePrintf, Reals) {
  const char* formats[] = {"%f",   "%.2f", "%8.3f", "%-8.2f|", "%+.1f", "%08.2f", "% .0f",
                           "%e",   "%.3e", "%E",    "%g",      "%.3g",  "%G",     "%10.4g",
                           "%.0g", "%a",   "%A",    "%.15g",   "%6.3f", "%7.3f",  "%.8f"};
  const double inf = std::numeric_limits<double>::infinity();
  const double values[] = {0.0, -0.0, 0.5, 55.45, -3.14159, 1e-7, 123456789.987, 1e300,
                           2451545.0, 359.59, 1.0 / 3.0, inf, -inf};
  for (const char* f : formats) {
    for (double v : values) {
      const std::string expected = Printf(f, v);
      EXPECT_EQ(ViaList(f, v), expected) << f << " of " << v;
      EXPECT_EQ(Checked(f, {v}), expected) << f << " of " << v;
    }
  }
  EXPECT_EQ(Checked("%.2f", {2.5f}), "2.50");  // a float argument is a real too
}

TEST_F(CLocalePrintf, TextsAndPercentSigns) {
  const char* formats[] = {"%s", "%10s|", "%-10s|", "%.3s", "%5.2s|", "[%s]%%", "%.29s"};
  for (const char* f : formats)
    for (const char* v : {"", "Kvimarot", "\xcc\xee\xf1\xea\xe2\xe0" /* 1251 */})
      EXPECT_EQ(Checked(f, {v}), Printf(f, v)) << f << " of " << v;
  EXPECT_EQ(Checked("100%% of %d%%", {5}), "100% of 5%");
  EXPECT_EQ(Checked("no conversions", {}), "no conversions");
  EXPECT_EQ(ViaList("%*d|%-*d|%.*f", 4, 7, 3, 8, 2, 2.5),
            Printf("%*d|%-*d|%.*f", 4, 7, 3, 8, 2, 2.5));
}

// A format from a data file is filled only when its conversions match the arguments
// exactly; these would make printf read what was never passed.
TEST(CheckedFormat, RefusesWhatDoesNotFitTheArguments) {
  struct Case {
    const char* format;
    std::vector<FormatArg> args;
  };
  const Case refused[] = {
      {"Date %s%s%s%s%s%s%s%s", {"01.01.2000"}},  // more conversions than arguments
      {"F%is", {"a.bod"}},                        // a key used as its own format
      {"%s", {42}},
      {"%d", {"42"}},
      {"%f", {42}},
      {"%d", {4.2}},
      {"%s %s", {"a"}},
      {"%s", {"a", "b"}},  // an argument too many
      {"", {"a"}},
      {"%n", {0}},
      {"%p", {0}},
      {"%*d", {5, 3}},
      {"%.*f", {2, 1.5}},
      {"%1$s", {"a"}},
      {"tail %", {}},
      {"%", {}},
      {"%ls", {"a"}},
      {"%y", {1}},
      {"%999999999999d", {1}},  // a width no message needs, and no int overflow
      {"%.401s", {"a"}},
      {"DF%", {"x.tmp"}},
      {"RE%I%", {"a", "b"}},
  };
  for (const Case& c : refused) EXPECT_FALSE(FormatChecked(c.format, c.args)) << c.format;
}

TEST(CheckedFormat, ArgumentsAsPlainText) {
  const std::vector<FormatArg> args = {"a.bod", 5, 2.5, -1L};
  EXPECT_EQ(ArgumentsText(args), "a.bod, 5, 2.5, -1");
  EXPECT_EQ(ArgumentsText({}), "");
}

TEST(FormatList, UnknownConversionStopsReadingArguments) {
  // Only a format the compiler could not check gets here; the text after the unknown
  // conversion is copied and no further argument is taken.
  const char* format = "%d %y %s";
  EXPECT_EQ(ViaList(format, 5, "never read"), "5 %y %s");
  EXPECT_EQ(ViaList("100%% %s", "done"), "100% done");
  EXPECT_EQ(ViaList("%", 1), "%");
}

TEST(FormatInRussianLocale, DecimalPointStays) {
  testing::RussianLocale ru;
  ASSERT_EQ(ru.error(), "");
  EXPECT_EQ(Checked("LAT=%.8f", {55.45}), "LAT=55.45000000");
  EXPECT_EQ(ViaList("%.2f %.2f %g %e", 55.45, -37.37, 0.125, 1500.0),
            "55.45 -37.37 0.125 1.500000e+03");
  EXPECT_EQ(ArgumentsText(std::vector<FormatArg>{2.5}), "2.5");
}

}  // namespace
}  // namespace kv
