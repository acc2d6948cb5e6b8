// Calendar dates, clock times and Julian days, and the text forms in which dates are
// shown and typed: the vocabulary of every layer, from the settings file to the engine.
//
// Julian days are doubles counted from the Julian-day epoch, the day starting at noon.
// Dates up to 4 October 1582 are Julian, from 15 October 1582 Gregorian. Years are in
// historical numbering: no year 0, year -1 is the year before year 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/angles.h"  // packed coordinates of birth data, NormalizeHours
#include "common/calendar_rules.h"  // IsLeapYear

namespace kv {

// Half a second in days: the rounding step of date conversion.
inline constexpr double kHalfSecondDays = 5.787e-06;

// A calendar date and clock time: what the dialogs show, the calendar picks and the
// Julian-day conversions take and give.
struct DateTimeRecord {
  int32_t day = 1;     // 1..31
  int32_t month = 1;   // 1..12
  int32_t year = 2000; // historical numbering
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
};

// Julian day of a calendar date and clock time.
//   date      day, month, year and clock time (the caller's time scale, usually UT)
//   returns   Julian day in that time scale
double DateToJulianDay(const DateTimeRecord& date);
//   returns   Julian day of 0h of the date
double DateToJulianDayAt0h(int day, int month, int year);

// Calendar date and clock time of a Julian day, rounded to the nearest second.
//   jd        Julian day
//   returns   date in historical year numbering (never year 0)
DateTimeRecord JulianDayToDate(double jd);

// Day number in the year, 1 for 1 January.
int DayOfYear(const DateTimeRecord& date);

// "%02d.%02u.%04d %02u:%02u:%02d" (day, month, year, hour, minute, second) of jd.
std::string FormatDateTime(double jd);
// "%02u.%02u.%04d" (day, month, year) of jd.
std::string FormatDate(double jd);

// Splits "day.month.year" (missing fields 1) and "hour:minute:second" (missing 0).
DateTimeRecord ParseDateTimeFields(std::string_view date_text, std::string_view time_text);
// Reads "day.month.year[ hour:minute:second]".
//   noon      when set, a text without a time part means 12:00
//   returns   Julian day, or -1.0 when the date has fewer than three fields or year 0
double ParseDateTime(std::string_view text, bool noon);
// "day.month.year" at 0h; missing fields are 1.
double ParseDate(std::string_view text);
// "day.month" of the year 2000 at 0h.
double ParseDayMonth(std::string_view text);

}  // namespace kv
