#include "astro/lunar/lunar_day_search.h"

#include <cmath>
#include <limits>

#include "common/messages.h"

namespace kv {
namespace {

constexpr double kNewMoonStep = 5.0;      // days; shorter than any lunar month
constexpr double kNewMoonTol = 0.0009;    // days, a little over a minute
constexpr double kScanStep = 0.1;         // days; no two moonrises come this close
constexpr int kNewMoonRounds = 100;
constexpr int kMoonriseRounds = 20;
// Two lunar months: a longer search has lost the Moon.
constexpr double kMaxNewMoonSearchDays = 60.0;
constexpr double kNoNewMoon = std::numeric_limits<double>::quiet_NaN();

}  // namespace

double FindNewMoonWith(const TimeFunction& elongation, double t0, double step, double tol) {
  double e = t0;
  double v = elongation(e);
  double g = e, f = v;
  // Until the elongation passes 360 and starts again at 0. An elongation that never
  // falls back (no Moon or Sun positions, all zero) gives no new moon at all.
  int steps = 0;
  for (;; ++steps) {
    if (steps * step > kMaxNewMoonSearchDays || !(step > 0)) return kNoNewMoon;
    g = e + step;
    f = elongation(g);
    if (f < v) break;
    v = f;
    e = g;
  }
  double h = v - 360.0;  // elongation at e, counted below the coming zero
  for (int round = 0; round < kNewMoonRounds; ++round) {
    if (h >= -0.05 * tol) return e;
    if (g - e < tol) return (e + g) / 2.0;
    const double m = e + h * (g - e) / (h - f);
    const double o = elongation(m);
    if (o >= f) {  // still before the new moon
      e = m;
      h = o - 360.0;
    } else {
      g = m;
      f = o;
    }
  }
  return (e + g) / 2.0;
}

double RefineMoonrise(const TimeFunction& altitude, double x0, double x1, double y0,
                      double y1) {
  double b = x1;
  for (int i = 0; i < kMoonriseRounds; ++i) {
    // Equal ends give no secant (both exactly on the horizon): the upper end is a root.
    b = y1 != y0 ? x0 - (x1 - x0) * y0 / (y1 - y0) : x1;
    y0 = altitude(b);
    if (y0 < 1e-6) return b;  // on the horizon, or just below it
    if (y1 * y0 >= 0) {
      x0 = (x0 + b) / 2.0;
      y1 = y0;
      y0 = altitude(x0);
      x1 = b;
    } else {
      x1 = (x1 + b) / 2.0;
      y1 = altitude(x1);
      x0 = b;
    }
  }
  WarningPrintf("i=%d, x0=%.5f, x1=%.5f, y0=%.5f, y1=%.5f", kMoonriseRounds, x0, x1, y0, y1);
  return b;
}

std::vector<LunarDayEntry> BuildLunarDays(const TimeFunction& elongation,
                                          const TimeFunction& altitude, double jd,
                                          double offset) {
  std::vector<LunarDayEntry> days;
  const double a = jd - 30.0;
  const double first = FindNewMoonWith(elongation, a, kNewMoonStep, kNewMoonTol);
  const double second = FindNewMoonWith(elongation, a + 10.0, kNewMoonStep, kNewMoonTol);
  double start = first, next = second, lowest = first;
  int number = 1;
  double previous = altitude(a);
  if (!std::isfinite(first) || !std::isfinite(second)) return days;
  for (double v = a + kScanStep; v < jd + 2.0; v += kScanStep) {
    double w = altitude(v);
    if (w * previous <= 0 && w >= 0) {
      const double b = RefineMoonrise(altitude, v - kScanStep, v, previous, w);
      v = b + kScanStep;
      w = altitude(v);
      if (b >= lowest) {
        if (b > next) {  // the moonrise belongs to the next month: close this one
          days.push_back({number, start - offset, next - offset});
          const double old_next = next;
          next = FindNewMoonWith(elongation, old_next + 20.0, kNewMoonStep, kNewMoonTol);
          if (!std::isfinite(next)) break;
          start = old_next;
          number = 1;
          lowest = start;
          v -= 1.0;  // rescan the day before, where the first moonrise of the month lies
        } else {
          days.push_back({number, start - offset, b - offset});
          ++number;
          start = b;
        }
      }
    }
    previous = w;
  }
  return days;
}

int FindLunarDay(const std::vector<LunarDayEntry>& days, double jd, double offset) {
  const double t = jd - offset;
  for (const LunarDayEntry& e : days)
    if (e.start <= t && t < e.end) return e.number;
  return 0;
}

}  // namespace kv
