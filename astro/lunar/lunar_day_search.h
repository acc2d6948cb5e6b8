// The search behind the lunar day: new moons from the elongation, moonrises from an
// altitude function, and the list of lunar days between them.
//
// The search only sees two functions of time, so it runs the same on the ephemeris
// (lunar_day.h) and on synthetic skies in tests. A lunar month begins at the new
// moon; day 1 lasts to the first moonrise after it, every further day from one
// moonrise to the next, and the last day ends at the next new moon.
#pragma once

#include <functional>
#include <vector>

namespace kv {

// A function of a Julian day (Universal Time).
using TimeFunction = std::function<double(double)>;

struct LunarDayEntry {
  int number = 0;    // 1 for the day that starts at the new moon
  double start = 0;  // Julian days, shifted by the caller's offset
  double end = 0;
};

// Moment of the first new moon after t0.
//   elongation  Moon minus Sun apparent longitude, degrees [0, 360)
//   t0, step    start and scan step, days
//   tol_days    the bracket at which the search stops
// Returns NaN when the elongation does not pass 360 within 60 days (no positions).
double FindNewMoonWith(const TimeFunction& elongation, double t0, double step,
                       double tol_days);

// Moonrise between x0 and x1 (altitude y0 <= 0 at x0, y1 >= 0 at x1) by regula falsi
// with halving of the stale end. After 20 rounds the last estimate is taken and a
// warning with the last bracket is shown.
double RefineMoonrise(const TimeFunction& altitude, double x0, double x1, double y0,
                      double y1);

// The lunar days around jd: new moons from jd - 30 on, moonrises scanned in steps of
// 0.1 day up to jd + 2.
//   jd          Julian day (UT) of the chart
//   offset      the caller's offset in days; entries are shifted by it
//   altitude    the Moon's altitude function at the place (zero at rising)
std::vector<LunarDayEntry> BuildLunarDays(const TimeFunction& elongation,
                                          const TimeFunction& altitude, double jd,
                                          double offset);

// Number of the first entry with start <= jd - offset < end; 0 when none holds it.
int FindLunarDay(const std::vector<LunarDayEntry>& days, double jd, double offset);

}  // namespace kv
