// The lunar-day search on synthetic skies whose new moons and moonrises are known in
// closed form, so every lunar day number can be counted independently.
#include "astro/lunar/lunar_day_search.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/angles.h"
#include "common/messages.h"

namespace kv {
namespace {

// A Moon that rises every `day` days and a month of `month` days.
struct SyntheticSky {
  double new_moon = 2451550.1;
  double month = 29.530588;
  double first_rise = 2451550.37;
  double day = 1.035;
  double amplitude = 20.0;
  double shift = 0.0;  // altitude added to the sine: |shift| > amplitude never rises

  double Elongation(double t) const {
    double e = std::fmod(360.0 * (t - new_moon) / month, 360.0);
    return e < 0 ? e + 360.0 : e;
  }
  double Altitude(double t) const {
    return amplitude * std::sin(kTwoPi * (t - first_rise) / day) + shift;
  }
  TimeFunction ElongationFn() const { return [this](double t) { return Elongation(t); }; }
  TimeFunction AltitudeFn() const { return [this](double t) { return Altitude(t); }; }

  double LastNewMoonBefore(double t) const {
    return new_moon + std::floor((t - new_moon) / month) * month;
  }
  // 1 + the moonrises since the last new moon.
  int ExpectedDay(double t) const {
    double nm = LastNewMoonBefore(t);
    double k0 = std::floor((nm - first_rise) / day) + 1;  // first rise after nm
    double k1 = std::floor((t - first_rise) / day);        // last rise at or before t
    return 1 + static_cast<int>(std::max(0.0, k1 - k0 + 1));
  }
  double DistanceToBoundary(double t) const {
    double rise = std::fabs(std::remainder(t - first_rise, day));
    double nm = std::fabs(std::remainder(t - new_moon, month));
    return std::min(rise, nm);
  }
};

TEST(NewMoonSearch, FindsTheNextZeroOfTheElongation) {
  SyntheticSky sky;
  for (double t0 : {2451540.0, 2451550.0, 2451550.2, 2451561.7, 2451575.0}) {
    double found = FindNewMoonWith(sky.ElongationFn(), t0, 5.0, 0.0009);
    double want = sky.LastNewMoonBefore(t0) + sky.month;
    EXPECT_NEAR(found, want, 0.0009) << t0;
  }
}

TEST(NewMoonSearch, ElongationThatNeverWrapsEndsTheSearch) {
  auto zero = [](double) { return 0.0; };
  EXPECT_TRUE(std::isnan(FindNewMoonWith(zero, 2451545.0, 5.0, 0.0009)));
  SyntheticSky sky;
  EXPECT_TRUE(BuildLunarDays(zero, sky.AltitudeFn(), 2451600.0, 0).empty());
}

TEST(MoonriseSearch, RefinesToTheRisingMoment) {
  SyntheticSky sky;
  double rise = sky.first_rise + 7 * sky.day;
  double x0 = rise - 0.07, x1 = rise + 0.03;
  double b = RefineMoonrise(sky.AltitudeFn(), x0, x1, sky.Altitude(x0), sky.Altitude(x1));
  // An estimate just below the horizon ends the search too, so on a curved altitude
  // the moment may come a little early, never late and never outside the bracket.
  EXPECT_LT(sky.Altitude(b), 1e-6);
  EXPECT_LE(b, rise + 1e-9);
  EXPECT_NEAR(b, rise, 1e-3);
  // On a straight climb the first secant is the root itself.
  auto line = [](double t) { return 50.0 * (t - 2451557.3); };
  EXPECT_NEAR(RefineMoonrise(line, 2451557.22, 2451557.32, line(2451557.22), line(2451557.32)),
              2451557.3, 1e-9);
  // A secant that lands above the horizon moves the stale end until one lands on it.
  auto concave = [](double t) { return 1.0 - std::exp(-8.0 * (t - 10.0)); };
  double c = RefineMoonrise(concave, 9.95, 10.05, concave(9.95), concave(10.05));
  EXPECT_NEAR(c, 10.0, 2e-7);
}

TEST(LunarDays, NumbersCountMoonrisesSinceTheNewMoon) {
  SyntheticSky sky;
  int checked = 0;
  for (double t = 2451560.0; t < 2451640.0; t += 0.37) {
    if (sky.DistanceToBoundary(t) < 0.005) continue;
    auto days = BuildLunarDays(sky.ElongationFn(), sky.AltitudeFn(), t, 0.0);
    ASSERT_EQ(FindLunarDay(days, t, 0.0), sky.ExpectedDay(t)) << "jd " << t;
    ++checked;
  }
  EXPECT_GT(checked, 200);
}

TEST(LunarDays, EntriesAreContiguousAndStartWithDayOne) {
  SyntheticSky sky;
  double jd = 2451601.3;
  auto days = BuildLunarDays(sky.ElongationFn(), sky.AltitudeFn(), jd, 0.125);
  ASSERT_GT(days.size(), 20u);
  for (size_t i = 1; i < days.size(); ++i) {
    EXPECT_NEAR(days[i].start, days[i - 1].end, 1e-12) << i;
    if (days[i].number != 1) {
      EXPECT_EQ(days[i].number, days[i - 1].number + 1);
    }
  }
  // Entries are shifted by the offset; the lookup shifts the moment the same way.
  double nm = sky.LastNewMoonBefore(jd);
  bool found_month_start = false;
  for (const auto& e : days)
    if (e.number == 1 && std::fabs(e.start - (nm - 0.125)) < 0.001) found_month_start = true;
  EXPECT_TRUE(found_month_start);
  EXPECT_EQ(FindLunarDay(days, jd, 0.125), sky.ExpectedDay(jd));
}

TEST(LunarDays, BetweenNewMoonAndFirstMoonriseIsDayOne) {
  SyntheticSky sky;
  double nm = sky.new_moon + 2 * sky.month;
  double rise = sky.first_rise + std::ceil((nm - sky.first_rise) / sky.day) * sky.day;
  ASSERT_GT(rise - nm, 0.02);
  double t = (nm + rise) / 2;
  auto days = BuildLunarDays(sky.ElongationFn(), sky.AltitudeFn(), t, 0);
  EXPECT_EQ(FindLunarDay(days, t, 0), 1);
}

TEST(LunarDays, AfterTheLastMoonriseIsTheLastDayOfTheMonth) {
  SyntheticSky sky;
  double nm = sky.new_moon + 3 * sky.month;
  double last_rise = sky.first_rise + std::floor((nm - sky.first_rise) / sky.day) * sky.day;
  double t = (last_rise + nm) / 2;
  auto days = BuildLunarDays(sky.ElongationFn(), sky.AltitudeFn(), t, 0);
  int n = FindLunarDay(days, t, 0);
  EXPECT_EQ(n, sky.ExpectedDay(t));
  EXPECT_GE(n, 28);
  EXPECT_LE(n, 30);
  // A moment just after the new moon starts the count again.
  EXPECT_EQ(FindLunarDay(BuildLunarDays(sky.ElongationFn(), sky.AltitudeFn(), nm + 0.003, 0),
                         nm + 0.003, 0),
            1);
}

TEST(LunarDays, MoonThatNeverRisesGivesNoDay) {
  for (double shift : {-30.0, 30.0}) {  // always below, always above the horizon
    SyntheticSky sky;
    sky.shift = shift;
    auto days = BuildLunarDays(sky.ElongationFn(), sky.AltitudeFn(), 2451600.0, 0);
    EXPECT_TRUE(days.empty());
    EXPECT_EQ(FindLunarDay(days, 2451600.0, 0), 0);
  }
}

TEST(LunarDays, RiseWithoutConvergenceWarnsAndGoesOn) {
  // A crossing that regula falsi cannot settle: far above the horizon right after it.
  static std::string last;
  last.clear();
  MessageSink old = SetMessageSink({[](const std::string& text) { last = text; }, nullptr});
  auto step = [](double t) { return t <= 0.46 ? -1.0 : 1.0; };
  double b = RefineMoonrise(step, 0.45, 0.55, step(0.45), step(0.55));
  SetMessageSink(old);
  EXPECT_EQ(last.rfind("i=20, x0=", 0), 0u) << last;
  EXPECT_GE(b, 0.45);
  EXPECT_LE(b, 0.55);
}

}  // namespace
}  // namespace kv
