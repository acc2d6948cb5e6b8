#include "common/calendar_rules.h"

namespace kv {

int IsLeapYear(int year) {
  if (year % 4 != 0) return 0;
  if (year % 4000 == 0) return 0;
  if (year % 100 == 0 && year % 400 != 0) return 0;
  return 1;
}

int DaysInMonth(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 ? IsLeapYear(year) : 0);
}

bool IsCalendarLeapYear(int year) {
  if (year > 1582) return IsLeapYear(year) != 0;
  const int astronomical = year < 0 ? year + 1 : year;
  return astronomical % 4 == 0;
}

int DaysInCalendarMonth(int month, int year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsCalendarLeapYear(year) ? 1 : 0);
}

bool InCalendarReformGap(int day, int month, int year) {
  return year == 1582 && month == 10 && day >= 5 && day <= 14;
}

}  // namespace kv
