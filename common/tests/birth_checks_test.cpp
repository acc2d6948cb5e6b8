#include "common/birth_checks.h"

#include <gtest/gtest.h>

#include "common/calendar_rules.h"

namespace kv {
namespace {

TEST(CalendarRules, LeapYearsFollowTheCalendarInForce) {
  // Julian up to 1582: every fourth year, centuries too; 1 BC (year -1) is one.
  EXPECT_TRUE(IsCalendarLeapYear(1500));
  EXPECT_TRUE(IsCalendarLeapYear(1580));
  EXPECT_TRUE(IsCalendarLeapYear(-1));
  EXPECT_FALSE(IsCalendarLeapYear(-2));
  EXPECT_TRUE(IsCalendarLeapYear(-5));
  // Gregorian from 1583.
  EXPECT_FALSE(IsCalendarLeapYear(1700));
  EXPECT_FALSE(IsCalendarLeapYear(1900));
  EXPECT_TRUE(IsCalendarLeapYear(2000));
  EXPECT_EQ(DaysInCalendarMonth(2, 1500), 29);
  EXPECT_EQ(DaysInCalendarMonth(2, 1900), 28);
  EXPECT_EQ(DaysInCalendarMonth(4, 2001), 30);
  EXPECT_EQ(DaysInCalendarMonth(13, 2001), 0);
  // The day-count rule keeps its 4000 exception.
  EXPECT_EQ(IsLeapYear(4000), 0);
  EXPECT_EQ(IsLeapYear(2000), 1);
}

TEST(DateCheck, RefusesDaysTheCalendarDoesNotHave) {
  struct Case {
    int d, m, y;
    const char* key;
    int part;
  };
  const Case refused[] = {
      {31, 2, 2001, kCheckDayKey, 0},  {29, 2, 1900, kCheckDayKey, 0},
      {29, 2, 1700, kCheckDayKey, 0},  {31, 4, 2001, kCheckDayKey, 0},
      {0, 5, 2001, kCheckDayKey, 0},   {5, 10, 1582, kCheckGapKey, 0},
      {14, 10, 1582, kCheckGapKey, 0}, {10, 13, 2001, kCheckDateKey, 1},
      {10, 0, 2001, kCheckDateKey, 1}, {10, 5, 0, kCheckDateKey, 2},
      {10, 5, 10000, kCheckDateKey, 2}, {29, 2, -2, kCheckDayKey, 0},
  };
  for (const Case& c : refused) {
    const Checked<BirthDate> r = CheckDate(c.d, c.m, c.y);
    ASSERT_FALSE(r.ok()) << c.d << "." << c.m << "." << c.y;
    EXPECT_STREQ(r.error, c.key) << c.d << "." << c.m << "." << c.y;
    EXPECT_EQ(r.part, c.part) << c.d << "." << c.m << "." << c.y;
  }
  const BirthDate accepted[] = {{29, 2, 2000}, {29, 2, 1500}, {4, 10, 1582}, {15, 10, 1582},
                                {31, 12, -1},  {29, 2, -1},   {1, 1, 1},     {31, 1, 9999}};
  for (const BirthDate& d : accepted) {
    const Checked<BirthDate> r = CheckDate(d.day, d.month, d.year);
    ASSERT_TRUE(r.ok()) << d.day << "." << d.month << "." << d.year;
    EXPECT_EQ(r.value.day, d.day);
    EXPECT_EQ(r.value.year, d.year);
  }
}

TEST(DateCheck, TextsMustBeWholeNumbers) {
  EXPECT_TRUE(CheckDateFields("05", " 3 ", "1961").ok());
  EXPECT_EQ(CheckDateFields("05", "03", "-44").value.year, -44);
  for (auto [d, m, y, part] : {std::tuple{"x7", "3", "1961", 0}, {"5", "", "1961", 1},
                               {"5", "3", "19a1", 2}, {"1.5", "3", "1961", 0},
                               {"5", "3", "99999999999", 2}}) {
    const Checked<BirthDate> r = CheckDateFields(d, m, y);
    EXPECT_STREQ(r.error, kCheckDateKey) << d << "." << m << "." << y;
    EXPECT_EQ(r.part, part) << d << "." << m << "." << y;
  }
  const Checked<BirthDate> t = CheckDateText("5.3.1961");
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.value.day, 5);
  EXPECT_EQ(t.value.month, 3);
  EXPECT_EQ(t.value.year, 1961);
  EXPECT_STREQ(CheckDateText("31.02.2001").error, kCheckDayKey);
  EXPECT_STREQ(CheckDateText("10.10.1582").error, kCheckGapKey);
  for (const char* bad : {"05.03", "05.03.1961.1", "05-03-1961", "", "05.03.1961 12:00"})
    EXPECT_STREQ(CheckDateText(bad).error, kCheckDateKey) << bad;
}

TEST(TimeCheck, HoursMinutesAndSecondsStayInTheirRanges) {
  EXPECT_TRUE(CheckTime(0, 0, 0).ok());
  EXPECT_TRUE(CheckTime(23, 59, 59).ok());
  EXPECT_EQ(CheckTime(24, 0, 0).part, 0);
  EXPECT_EQ(CheckTime(25, 70, 0).part, 0);
  EXPECT_EQ(CheckTime(12, 60, 0).part, 1);
  EXPECT_EQ(CheckTime(12, 0, 60).part, 2);
  EXPECT_EQ(CheckTime(12, -1, 0).part, 1);
  // The dialog's edits: empty minutes or seconds read 0, an empty hour does not.
  EXPECT_TRUE(CheckTimeFields("12", "", " ").ok());
  EXPECT_FALSE(CheckTimeFields("", "10", "0").ok());
  EXPECT_EQ(CheckTimeFields("12", "x", "0").part, 1);
  const Checked<ClockTime> t = CheckTimeText("14:07");
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t.value.hour, 14);
  EXPECT_EQ(t.value.minute, 7);
  EXPECT_EQ(t.value.second, 0);
  EXPECT_EQ(CheckTimeText("14:07:09").value.second, 9);
  for (const char* bad : {"25:70", "14", "14:", "14:07:", "14:07:60", "14:07:00:00", "2 pm", ""})
    EXPECT_STREQ(CheckTimeText(bad).error, kCheckTimeKey) << bad;
}

TEST(CorrectionCheck, HoursWithinTheZonesInUse) {
  EXPECT_DOUBLE_EQ(CheckCorrection("-3").value, -3.0);
  EXPECT_DOUBLE_EQ(CheckCorrection(" 2,5 ").value, 2.5);
  EXPECT_DOUBLE_EQ(CheckCorrection("-14.000").value, -14.0);
  for (const char* bad : {"14.01", "-15", "abc", "", "1e1", "3h", "nan"})
    EXPECT_STREQ(CheckCorrection(bad).error, kCheckCorrectionKey) << bad;
}

TEST(PackedAngleCheck, MinutesBelowSixtyAndTheRanges) {
  EXPECT_DOUBLE_EQ(CheckLatitude("55.45").value, 55.45);
  EXPECT_DOUBLE_EQ(CheckLatitude(" 55,45").value, 55.45);
  EXPECT_DOUBLE_EQ(CheckLatitude("-33.52").value, -33.52);
  EXPECT_DOUBLE_EQ(CheckLatitude("55.4").value, 55.4);      // 55 deg 40 min
  EXPECT_DOUBLE_EQ(CheckLatitude("55.455").value, 55.455);  // 45.5 minutes
  EXPECT_DOUBLE_EQ(CheckLatitude("90.00").value, 90.0);
  EXPECT_DOUBLE_EQ(CheckLatitude("-90").value, -90.0);
  for (const char* bad : {"89.99", "60.60", "55.6", "95", "90.01", "-90.01", "5.545e1", "N55",
                          "55.", "", "1000", "55.45.1", "inf"})
    EXPECT_STREQ(CheckLatitude(bad).error, kCheckLatitudeKey) << bad;
  EXPECT_DOUBLE_EQ(CheckLongitude("286.00").value, 286.0);
  EXPECT_DOUBLE_EQ(CheckLongitude("359.59").value, 359.59);
  EXPECT_DOUBLE_EQ(CheckLongitude("-180.00").value, -180.0);
  EXPECT_DOUBLE_EQ(CheckLongitude("-74.00").value, -74.0);
  for (const char* bad : {"359.60", "360", "-180.01", "37.75", "abc"})
    EXPECT_STREQ(CheckLongitude(bad).error, kCheckLongitudeKey) << bad;
}

}  // namespace
}  // namespace kv
