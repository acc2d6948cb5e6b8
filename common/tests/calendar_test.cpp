#include <gtest/gtest.h>

#include <cmath>

#include "common/birth_checks.h"
#include "common/calendar.h"

namespace kv {
namespace {

TEST(Calendar, GregorianReformDaysAreConsecutive) {
  EXPECT_DOUBLE_EQ(DateToJulianDayAt0h(4, 10, 1582), 2299159.5);
  EXPECT_DOUBLE_EQ(DateToJulianDayAt0h(15, 10, 1582), 2299160.5);
  DateTimeRecord r = JulianDayToDate(2299159.5);
  EXPECT_EQ(r.day, 4);
  EXPECT_EQ(r.month, 10);
  r = JulianDayToDate(2299160.5);
  EXPECT_EQ(r.day, 15);
  EXPECT_EQ(r.year, 1582);
}

TEST(Calendar, J2000Epoch) {
  EXPECT_DOUBLE_EQ(DateToJulianDay({1, 1, 2000, 12, 0, 0}), 2451545.0);
  EXPECT_EQ(FormatDateTime(2451545.0), "01.01.2000 12:00:00");
  EXPECT_EQ(FormatDate(2451545.0), "01.01.2000");
  // A known textbook date: 1957 October 4.81 is JD 2436116.31.
  EXPECT_NEAR(DateToJulianDay({4, 10, 1957, 19, 26, 24}), 2436116.31, 1e-9);
  // Julian calendar: 333 January 27 12:00 is JD 1842713.0.
  EXPECT_DOUBLE_EQ(DateToJulianDay({27, 1, 333, 12, 0, 0}), 1842713.0);
}

TEST(Calendar, RoundsToNearestSecond) {
  const double full_minute = DateToJulianDay({5, 3, 1961, 14, 8, 0});
  DateTimeRecord r = JulianDayToDate(full_minute - 0.4 / 86400.0);
  EXPECT_EQ(r.hour, 14);
  EXPECT_EQ(r.minute, 8);
  EXPECT_EQ(r.second, 0);
  r = JulianDayToDate(full_minute + 0.4 / 86400.0);
  EXPECT_EQ(r.minute, 8);
  EXPECT_EQ(r.second, 0);
  r = JulianDayToDate(full_minute - 0.7 / 86400.0);
  EXPECT_EQ(r.minute, 7);
  EXPECT_EQ(r.second, 59);
  // Rounding a date a hair before midnight carries into the next day and year.
  r = JulianDayToDate(DateToJulianDayAt0h(1, 1, 2001) - 0.2 / 86400.0);
  EXPECT_EQ(r.year, 2001);
  EXPECT_EQ(r.day, 1);
  EXPECT_EQ(r.hour, 0);
}

TEST(Calendar, NoYearZero) {
  const double bc1 = DateToJulianDayAt0h(31, 12, -1);
  const double ad1 = DateToJulianDayAt0h(1, 1, 1);
  EXPECT_DOUBLE_EQ(ad1 - bc1, 1.0);
  EXPECT_EQ(JulianDayToDate(bc1).year, -1);
  EXPECT_EQ(JulianDayToDate(ad1).year, 1);
  for (double jd = bc1 - 800; jd < ad1 + 800; jd += 1.0) ASSERT_NE(JulianDayToDate(jd).year, 0);
}

TEST(Calendar, RoundTripOverSixThousandYears) {
  // Every 7.3 days plus an odd clock time, from 3000 BC to AD 3000.
  const double start = DateToJulianDayAt0h(1, 1, -3000);
  const double end = DateToJulianDayAt0h(1, 1, 3000);
  for (double jd = start; jd < end; jd += 7.3 + 1.0 / 7) {
    const double whole_second = std::round(jd * 86400.0) / 86400.0;
    const DateTimeRecord r = JulianDayToDate(whole_second);
    ASSERT_NEAR(DateToJulianDay(r), whole_second, 1e-6) << FormatDateTime(jd);
    ASSERT_GE(r.month, 1);
    ASSERT_LE(r.month, 12);
    ASSERT_GE(r.second, 0);
    ASSERT_LE(r.second, 59);
  }
}

// The field check and the engine's calendar agree: a date the check accepts is a day
// the engine converts back to itself; a refused one is turned into another day.
TEST(Calendar, FieldCheckAcceptsExactlyTheEnginesDays) {
  for (int year : {-101, -100, -5, -1, 1, 4, 1500, 1581, 1582, 1583, 1600, 1700, 1900, 2000,
                   2001, 2100, 2399}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        const DateTimeRecord back = JulianDayToDate(DateToJulianDayAt0h(day, month, year));
        const bool same = back.day == day && back.month == month && back.year == year;
        EXPECT_EQ(CheckDate(day, month, year).ok(), same) << day << "." << month << "." << year;
      }
    }
  }
}

TEST(Calendar, LeapYearsAndDayOfYear) {
  EXPECT_EQ(IsLeapYear(2000), 1);
  EXPECT_EQ(IsLeapYear(1900), 0);
  EXPECT_EQ(IsLeapYear(4000), 0);
  EXPECT_EQ(IsLeapYear(1996), 1);
  EXPECT_EQ(IsLeapYear(1999), 0);
  EXPECT_EQ(DayOfYear({1, 1, 1999}), 1);
  EXPECT_EQ(DayOfYear({1, 3, 1999}), 60);
  EXPECT_EQ(DayOfYear({1, 3, 2000}), 61);
  EXPECT_EQ(DayOfYear({31, 12, 2000}), 366);
  EXPECT_EQ(DayOfYear({31, 12, 1900}), 365);
}

TEST(DateText, FormatsKeepTheirWidths) {
  const double jd = DateToJulianDay({5, 3, 1961, 14, 7, 0});
  EXPECT_EQ(FormatDateTime(jd), "05.03.1961 14:07:00");
  EXPECT_EQ(FormatDate(jd), "05.03.1961");
  EXPECT_EQ(FormatDate(DateToJulianDayAt0h(9, 2, 33)), "09.02.0033");
}

TEST(DateText, ParseDateTimeNoonFlag) {
  EXPECT_DOUBLE_EQ(ParseDateTime("12.04.1961", true), DateToJulianDay({12, 4, 1961, 12, 0, 0}));
  EXPECT_DOUBLE_EQ(ParseDateTime("12.04.1961", false), DateToJulianDayAt0h(12, 4, 1961));
  EXPECT_DOUBLE_EQ(ParseDateTime("   12.04.1961 09:07:05", true),
                   DateToJulianDay({12, 4, 1961, 9, 7, 5}));
  EXPECT_DOUBLE_EQ(ParseDateTime("12.04.1961 x", true), DateToJulianDay({12, 4, 1961, 12, 0, 0}));
  EXPECT_DOUBLE_EQ(ParseDateTime("12.04.1961 9:30", true), DateToJulianDay({12, 4, 1961, 9, 30, 0}));
  EXPECT_DOUBLE_EQ(ParseDateTime("12.04.1961 9:30", false), DateToJulianDay({12, 4, 1961, 9, 30, 0}));
}

TEST(DateText, ParseDateTimeRejectsShortDates) {
  EXPECT_EQ(ParseDateTime("12.04", true), -1.0);
  EXPECT_EQ(ParseDateTime("12.04.0", true), -1.0);
  EXPECT_EQ(ParseDateTime("", false), -1.0);
  EXPECT_EQ(ParseDateTime("    ", false), -1.0);
}

TEST(DateText, FieldsFillMissingParts) {
  DateTimeRecord r = ParseDateTimeFields("7.11", "");
  EXPECT_EQ(r.day, 7);
  EXPECT_EQ(r.month, 11);
  EXPECT_EQ(r.year, 1);
  EXPECT_EQ(r.hour, 0);
  r = ParseDateTimeFields("7.11.1917", "21:45");
  EXPECT_EQ(r.year, 1917);
  EXPECT_EQ(r.hour, 21);
  EXPECT_EQ(r.minute, 45);
  EXPECT_EQ(r.second, 0);
  EXPECT_DOUBLE_EQ(ParseDate("7.11.1917"), DateToJulianDayAt0h(7, 11, 1917));
  EXPECT_DOUBLE_EQ(ParseDayMonth("29.02"), DateToJulianDayAt0h(29, 2, 2000));
}

TEST(PackedAngles, DegreesAndMinutes) {
  EXPECT_NEAR(DegMinToDegrees(55.45), 55.75, 1e-12);
  EXPECT_NEAR(DegMinToDegrees(-37.30), -37.5, 1e-12);
  EXPECT_NEAR(DegreesToDegMin(55.75), 55.45, 1e-12);
  EXPECT_NEAR(DegreesToDegMin(-0.5), -0.30, 1e-12);
  for (double v = -179.59; v < 180; v += 0.37) {
    const double deg = DegMinToDegrees(DegreesToDegMin(v));
    ASSERT_NEAR(deg, v, 1e-9);
  }
}

TEST(PackedAngles, Normalisers) {
  EXPECT_DOUBLE_EQ(NormalizeHours(25.5), 1.5);
  EXPECT_DOUBLE_EQ(NormalizeHours(-0.5), 23.5);
  EXPECT_DOUBLE_EQ(NormalizeHours(24.0), 0.0);
  EXPECT_DOUBLE_EQ(NormalizeDegrees(-30.0), 330.0);
  EXPECT_DOUBLE_EQ(NormalizeDegrees(720.0), 0.0);
  EXPECT_LT(NormalizeDegrees(-1e-17), 360.0);
  EXPECT_LT(NormalizeHours(-1e-17), 24.0);
}

// The calendar control's months: February after the program's leap rule.
TEST(Calendar, FebruaryLengthFollowsTheLeapRule) {
  EXPECT_EQ(DaysInMonth(2, 2000), 29);
  EXPECT_EQ(DaysInMonth(2, 1900), 28);
  EXPECT_EQ(DaysInMonth(2, 4000), 28);
  EXPECT_EQ(DaysInMonth(2, 2024), 29);
  EXPECT_EQ(DaysInMonth(4, 2023), 30);
  EXPECT_EQ(DaysInMonth(0, 2023), 0);
}

}  // namespace
}  // namespace kv
