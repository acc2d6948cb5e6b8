#include "towns/zone_correction.h"

#include <gtest/gtest.h>

#include "common/calendar.h"
#include "towns/tests/test_support.h"
#include "towns/town_record.h"

namespace kv::towns {
namespace {

using test::CatchWarnings;

double At(int d, int m, int y, int hour = 0) {
  return DateToJulianDay(DateTimeRecord{d, m, y, hour, 0, 0});
}

db::FieldArray Town(const char* zone, const char* rule = "", const char* lon = "37.37") {
  db::FieldArray f;
  f[kFieldZoneCode] = zone;
  f[kFieldSummerRule] = rule;
  f[kFieldLongitude] = lon;
  return f;
}

const char* kTable =
    "@@ PopTime\n"
    "1 3 01.01.1930-01.01.1992 2\n"
    "5 LMT 01.07.1919-21.06.1930 3 21.06.1930 4\n"
    "@@ R1\n"
    "27.03.1983-25.09.1983 1\n"
    "29.03.1981-27.09.1981 2\n";

class ZoneCorrectionTest : public ::testing::Test {
 protected:
  void SetUp() override { table.LoadText(kTable); }
  ZoneTable table;
  CatchWarnings warnings;
};

TEST_F(ZoneCorrectionTest, FixedOffsetOfFieldFourTakesThePlaceOfTheZone) {
  db::FieldArray t = Town("1");
  t[kFieldFixedOffset] = "3";
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1950), t, true, table), -3.0);
  t[kFieldFixedOffset] = "-5.5";
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1950), t, true, table), 5.5);
}

TEST_F(ZoneCorrectionTest, PeriodRunsFromZeroHoursOfItsFirstDayToBeforeZeroHoursOfItsEnd) {
  const db::FieldArray t = Town("1");
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1950, 12), t, true, table), -2.0);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 1, 1930), t, true, table), -2.0);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(31, 12, 1929, 23), t, true, table), -3.0);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 1, 1992), t, true, table), -3.0);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 2000), t, true, table), -3.0);
}

TEST_F(ZoneCorrectionTest, SummerPeriodIsOpenAtItsStartAndClosedAtItsEnd) {
  const db::FieldArray t = Town("1", "R1");
  // 1983 lies in the zone's period of +2.
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(27, 3, 1983, 12), t, true, table), -3.0);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(27, 3, 1983), t, true, table), -2.0);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(25, 9, 1983), t, true, table), -3.0);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(25, 9, 1983, 12), t, true, table), -2.0);
  // Two hours of summer time are kept as they are; without summer time none is added.
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1981), t, true, table), -4.0);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1981), t, false, table), -2.0);
  EXPECT_TRUE(warnings.Messages().empty());
}

TEST_F(ZoneCorrectionTest, NoDateGivesNoCorrection) {
  db::FieldArray t = Town("1", "R1");
  t[kFieldFixedOffset] = "3";
  EXPECT_EQ(ZoneCorrection(0, t, true, table), 0.0);
  EXPECT_FALSE(ClocksChangedOn(0, t, table));
}

TEST_F(ZoneCorrectionTest, LocalMeanTimeBeforeTheFirstPeriodIsTheTownsOwn) {
  // 50 degrees 09 minutes east: 3 h 20 min 36 s ahead of Greenwich.
  EXPECT_NEAR(ZoneCorrection(At(1, 1, 1900), Town("5", "", "50.09"), true, table), -3.3433333, 1e-7);
  // West of Greenwich the mean time is behind it.
  EXPECT_NEAR(ZoneCorrection(At(1, 1, 1900), Town("5", "", "-74.00"), true, table), 74.0 / 15, 1e-12);
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1925), Town("5"), true, table), -3.0);
  // The last period is open-ended: the default never comes back.
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 2040), Town("5"), true, table), -4.0);
}

TEST_F(ZoneCorrectionTest, TownsWithoutZoneOrWithAnUnknownOneGetZeroWithoutMessage) {
  EXPECT_EQ(ZoneCorrection(At(1, 7, 1950), Town(""), true, table), 0.0);
  EXPECT_EQ(ZoneCorrection(At(1, 7, 1950), Town("99"), true, table), 0.0);
  EXPECT_TRUE(warnings.Messages().empty());
}

TEST_F(ZoneCorrectionTest, MissingTableOrSectionIsReportedWithTheSectionName) {
  ZoneTable missing;
  missing.Load("no-such-dir/popa.ctl");
  EXPECT_EQ(ZoneCorrection(At(1, 7, 1950), Town("1", "R1"), true, missing), 0.0);
  ASSERT_EQ(warnings.Messages().size(), 1u);
  EXPECT_NE(warnings.Messages()[0].find("'no-such-dir/popa.ctl(PopTime)'"), std::string::npos);

  // A missing rule leaves the zone's correction as it is.
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1950), Town("1", "Europe/Nowhere"), true, table), -2.0);
  ASSERT_EQ(warnings.Messages().size(), 2u);
  EXPECT_NE(warnings.Messages()[1].find("'popa.ctl(Europe/Nowhere)'"), std::string::npos);

  ZoneTable no_zones;
  no_zones.LoadText("@@ R1\n27.03.1983-25.09.1983 1\n");
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1983), Town("1", "R1"), true, no_zones), 0.0);
  EXPECT_NE(warnings.Messages().back().find("popa.ctl(PopTime)"), std::string::npos);
}

TEST_F(ZoneCorrectionTest, DamagedZoneLineIsReportedAndReadByItsLeadingNumbers) {
  ZoneTable t;
  t.LoadText(
      "@@ PopTime\n"
      "1 3,5 01.01.1930-01.01.1992 2\n"
      "2 3 01.13.1930-01.01.1992 2\n"
      "3 3 01.01.1930-01.01.1992 2x\n"
      "4 3 01.01.1930-01.01.1992\n");
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1900), Town("1"), true, t), -3.0);
  ASSERT_EQ(warnings.Messages().size(), 1u);
  EXPECT_EQ(warnings.Messages()[0], "zone 1: '3,5'");
  // A month 13 is the first day of the next year, as dates are read everywhere.
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1950), Town("2"), true, t), -2.0);
  EXPECT_EQ(warnings.Messages().back(), "zone 2: '01.13.1930-01.01.1992'");
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1950), Town("3"), true, t), -2.0);
  EXPECT_EQ(warnings.Messages().back(), "zone 3: '01.01.1930-01.01.1992 2x'");
  // A period without its offset reads as an offset of 0.
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1950), Town("4"), true, t), 0.0);
  EXPECT_EQ(warnings.Messages().back(), "zone 4: '01.01.1930-01.01.1992 '");
  // A sound part of a damaged line is read without a message.
  const size_t before = warnings.Messages().size();
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 2000), Town("3"), true, t), -3.0);
  EXPECT_EQ(warnings.Messages().size(), before);
}

TEST_F(ZoneCorrectionTest, DamagedSummerLineIsReportedAndSkipped) {
  ZoneTable t;
  t.LoadText(
      "@@ PopTime\n1 3\n"
      "@@ R2\n"
      "27.03.1983 1\n"
      "27.03.1983-25.09.1983 one\n"
      "27.03.1983-25.09.1983 1\n");
  // The first line has too few tokens and is skipped; the second is read as delta 0.
  EXPECT_DOUBLE_EQ(ZoneCorrection(At(1, 7, 1983), Town("1", "R2"), true, t), -3.0);
  ASSERT_EQ(warnings.Messages().size(), 1u);
  EXPECT_EQ(warnings.Messages()[0], "summer R2: '27.03.1983 1'");
}

TEST_F(ZoneCorrectionTest, ClocksChangedOnTheDayOfASwitchAndTheDayBeforeIt) {
  const db::FieldArray t = Town("1", "R1");
  EXPECT_TRUE(ClocksChangedOn(At(27, 3, 1983, 14), t, table));
  EXPECT_TRUE(ClocksChangedOn(At(26, 3, 1983, 23), t, table));  // a switch at night
  EXPECT_FALSE(ClocksChangedOn(At(25, 3, 1983, 12), t, table));
  EXPECT_FALSE(ClocksChangedOn(At(28, 3, 1983, 2), t, table));
  EXPECT_TRUE(ClocksChangedOn(At(25, 9, 1983, 1), t, table));
  EXPECT_FALSE(ClocksChangedOn(At(1, 7, 1983, 12), t, table));
  EXPECT_TRUE(ClocksChangedOn(At(1, 1, 1992, 12), t, table));  // standard time changed
  EXPECT_TRUE(warnings.Messages().empty());
}

TEST(ZoneTexts, DatesAndPeriodsOfTheTable) {
  EXPECT_TRUE(IsDateText("01.01.1930"));
  EXPECT_TRUE(IsDateText("1.1.1930"));
  EXPECT_FALSE(IsDateText("01.13.1930"));
  EXPECT_FALSE(IsDateText("32.01.1930"));
  EXPECT_FALSE(IsDateText("01.01.0"));
  EXPECT_FALSE(IsDateText("01.01"));
  EXPECT_FALSE(IsDateText("01.01.1930."));
  EXPECT_TRUE(IsPeriodText("01.01.1930"));
  EXPECT_TRUE(IsPeriodText("01.01.1930-02.01.1930"));
  EXPECT_FALSE(IsPeriodText("02.01.1930-01.01.1930"));
  EXPECT_FALSE(IsPeriodText("01.01.1930-"));
}

}  // namespace
}  // namespace kv::towns
