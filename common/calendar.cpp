#include "common/calendar.h"

#include <cmath>

namespace kv {

double DateToJulianDay(const DateTimeRecord& date) {
  double y = date.year;
  double m = date.month;
  const double d = date.day;
  if (y < 0) y += 1;  // historical to astronomical year numbering
  if (m < 3) {
    m += 12;
    y -= 1;
  }
  double jd = std::floor(365.25 * y) + std::floor(30.6001 * (m + 1)) + d + 1720994.5 +
              (date.hour + date.minute / 60.0 + date.second / 3600.0) / 24.0;
  // 4 October 1582 (Julian) is followed by 15 October 1582 (Gregorian).
  if (y + 0.01 * m + 0.0001 * d >= 1582.1015) {
    const int s = static_cast<int>(std::floor(0.01 * y));
    jd += 2 - s + std::floor(s / 4.0);
  }
  return jd;
}

double DateToJulianDayAt0h(int day, int month, int year) {
  return DateToJulianDay(DateTimeRecord{day, month, year, 0, 0, 0});
}

static DateTimeRecord ConvertOnce(double jd) {
  const double x = jd + 0.5;
  const double z = std::floor(x);
  const double f = x - z;
  double a = z;
  if (z >= 2299161) {
    const double alpha = std::floor((z - 1867216.25) / 36524.25);
    a = z + 1 + alpha - std::floor(alpha / 4);
  }
  const double b = a + 1524;
  const double cy = std::floor((b - 122.1) / 365.25);
  const double dd = std::floor(365.25 * cy);
  const double e = std::floor((b - dd) / 30.6001);
  DateTimeRecord r;
  r.month = static_cast<int32_t>(e >= 13.5 ? e - 13 : e - 1);
  r.year = static_cast<int32_t>(r.month >= 2.5 ? cy - 4716 : cy - 4715);
  if (r.year <= 0) r.year -= 1;
  double day = b - dd - std::floor(30.6001 * e) + f;
  r.day = static_cast<int32_t>(day);
  double rest = (day - r.day) * 24;
  r.hour = static_cast<int32_t>(rest);
  rest = (rest - r.hour) * 60;
  r.minute = static_cast<int32_t>(rest);
  rest = (rest - r.minute) * 60;
  r.second = static_cast<int32_t>(rest);
  return r;
}

DateTimeRecord JulianDayToDate(double jd) {
  DateTimeRecord r = ConvertOnce(jd);
  // The conversion truncates; one more pass half a second on rounds to the nearest second.
  const double rebuilt = DateToJulianDay(r);
  if (std::fabs(jd - rebuilt) >= 0.999 * kHalfSecondDays)
    r = ConvertOnce(jd > rebuilt ? jd + kHalfSecondDays : jd - kHalfSecondDays);
  return r;
}

int DayOfYear(const DateTimeRecord& date) {
  if (date.month < 3) return 31 * (date.month - 1) + date.day;
  int n = static_cast<int>(std::floor(30.6 * (date.month + 1))) - 62 + date.day;
  if (!IsLeapYear(date.year)) n -= 1;
  return n;
}

}  // namespace kv
