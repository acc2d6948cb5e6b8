// Checks of what a user types for a birth moment and place, before anything is
// computed from it: a day of the calendar then in force, a clock time, the correction
// to universal time and packed coordinates (degrees.minutes, minutes below 60).
// Nothing impossible is turned into another moment or place: a refused field gives
// the text-resource key of a message that names the field and its allowed form.
// Numbers are read without the process locale; a comma stands for the decimal point.
#pragma once

#include <string_view>

namespace kv {

// Keys of the refusals (texts in kvima.t).
inline constexpr const char* kCheckDateKey = "ChkDate";   // not day.month.year numbers
inline constexpr const char* kCheckDayKey = "ChkDay";     // no such day in that month
inline constexpr const char* kCheckGapKey = "ChkGap";     // 5..14 October 1582
inline constexpr const char* kCheckTimeKey = "ChkTime";
inline constexpr const char* kCheckCorrectionKey = "ChkCorr";
inline constexpr const char* kCheckLatitudeKey = "ChkLat";
inline constexpr const char* kCheckLongitudeKey = "ChkLon";

inline constexpr int kMaxYear = 9999;               // four digits either side of year 0
inline constexpr double kMaxCorrectionHours = 14.0;  // the widest offset of a zone in use
inline constexpr double kMaxLatitudePacked = 90.0;
inline constexpr double kMinLongitudePacked = -180.0;
// The town chooser writes west longitudes as their east equivalent (286.00 for -74.00).
inline constexpr double kMaxLongitudePacked = 359.59;

struct BirthDate {
  int day = 1, month = 1, year = 2000;
};
struct ClockTime {
  int hour = 0, minute = 0, second = 0;
};

// A value read from a field, or why it was refused.
template <class T>
struct Checked {
  T value{};
  const char* error = nullptr;  // message key; nullptr when the input is good
  int part = 0;                 // which number of a date (0 day, 1 month, 2 year) or
                                // time (0 hours, 1 minutes, 2 seconds) is wrong
  bool ok() const { return error == nullptr; }
};

// The three numbers as a date: month 1..12, year -9999..9999 without 0, a day the
// month has in the calendar then in force, not 5..14 October 1582.
Checked<BirthDate> CheckDate(int day, int month, int year);
// Each text one whole number (blanks around allowed).
Checked<BirthDate> CheckDateFields(std::string_view day, std::string_view month,
                                   std::string_view year);
// "day.month.year".
Checked<BirthDate> CheckDateText(std::string_view text);

// Hours 0..23, minutes and seconds 0..59.
Checked<ClockTime> CheckTime(int hour, int minute, int second);
// Each text one whole number; empty minutes or seconds read 0.
Checked<ClockTime> CheckTimeFields(std::string_view hours, std::string_view minutes,
                                   std::string_view seconds);
// "hours:minutes" or "hours:minutes:seconds".
Checked<ClockTime> CheckTimeText(std::string_view text);

// Hours added to local time to get universal time, -14..14.
Checked<double> CheckCorrection(std::string_view text);

// Packed angles: [sign] degrees [. minutes [more decimals]], no exponent; the first
// two decimals are the minutes and must be below 60 (89.99 is refused, not read as
// 90 deg 39 min). Latitude -90.00..90.00, longitude -180.00..359.59.
Checked<double> CheckLatitude(std::string_view text);
Checked<double> CheckLongitude(std::string_view text);

}  // namespace kv
