#include "towns/town_choice.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/calendar.h"
#include "common/codepage.h"
#include "towns/tests/test_support.h"
#include "towns/town_record.h"
#include "towns/zone_correction.h"

namespace kv::towns {
namespace {

using test::CatchWarnings;

double At(int d, int m, int y, int hour) { return DateToJulianDay(DateTimeRecord{d, m, y, hour, 0, 0}); }

const char* kTable =
    "@@ PopTime\n"
    "1 3 01.01.1930-01.01.1992 2\n"
    "2 LMT 18.11.1883 -5\n"
    "@@ R1\n"
    "27.03.1983-25.09.1983 1\n";

db::FieldArray Town(const char* zone, const char* lat, const char* lon) {
  db::FieldArray f;
  f[kFieldZoneCode] = zone;
  f[kFieldSummerRule] = "R1";
  f[kFieldLatitude] = lat;
  f[kFieldLongitude] = lon;
  f[kFieldTownName] = W("Нью-Йорк");
  f[kFieldNamePart2] = W("Нью-Йорк");
  return f;
}

class TakeTownTest : public ::testing::Test {
 protected:
  void SetUp() override { table.LoadText(kTable); }
  ZoneTable table;
  CatchWarnings warnings;
};

TEST_F(TakeTownTest, WestTownGetsItsEastLongitudeAndTheCorrectionOfTheMoment) {
  const db::FieldArray t = Town("2", "40.43", "-74.00");
  const ChosenTown c = TakeTown(t, At(1, 7, 1983, 12), true, table);
  EXPECT_EQ(c.place, W("Нью-Йорк,Нью-Йорк"));
  EXPECT_DOUBLE_EQ(c.lat_packed, 40.43);
  EXPECT_DOUBLE_EQ(c.lon_packed, 286.00);
  EXPECT_DOUBLE_EQ(c.correction_h, 4.0);  // -5 standard, +1 summer
  EXPECT_FALSE(c.clocks_changed);
  // Before the zone existed: the town's own mean time, from the stored west longitude,
  // not from the east one written into the dialog.
  EXPECT_NEAR(TakeTown(t, At(1, 1, 1880, 12), true, table).correction_h, 74.0 / 15, 1e-12);
  EXPECT_TRUE(warnings.Messages().empty());
}

TEST_F(TakeTownTest, SwitchDayIsNotedAndTheCorrectionFollowsTheDatesOfThePeriods) {
  const db::FieldArray t = Town("1", "53.12", "50.09");
  // Summer time begins just after 0 h of 27.03.1983: the whole day counts as summer.
  const ChosenTown on = TakeTown(t, At(27, 3, 1983, 1), true, table);
  EXPECT_DOUBLE_EQ(on.correction_h, -3.0);
  EXPECT_TRUE(on.clocks_changed);
  EXPECT_TRUE(TakeTown(t, At(26, 3, 1983, 22), true, table).clocks_changed);
  EXPECT_FALSE(TakeTown(t, At(1, 7, 1983, 12), true, table).clocks_changed);
  // Without summer time the note still speaks of the town's clocks.
  const ChosenTown standard = TakeTown(t, At(27, 3, 1983, 1), false, table);
  EXPECT_DOUBLE_EQ(standard.correction_h, -2.0);
  EXPECT_TRUE(standard.clocks_changed);
  // No date: no correction and nothing to check.
  const ChosenTown none = TakeTown(t, 0, true, table);
  EXPECT_EQ(none.correction_h, 0.0);
  EXPECT_FALSE(none.clocks_changed);
}

TEST_F(TakeTownTest, MissingTableIsReportedWhenTakenButNotWhileBrowsing) {
  ZoneTable missing;
  missing.Load("no-such-dir/popa.ctl");
  const db::FieldArray t = Town("1", "53.12", "50.09");
  EXPECT_EQ(QuietZoneCorrection(At(1, 7, 1983, 12), t, true, missing), 0.0);
  EXPECT_DOUBLE_EQ(QuietZoneCorrection(At(1, 7, 1983, 12), t, true, table), -3.0);
  EXPECT_TRUE(warnings.Messages().empty());
  EXPECT_EQ(TakeTown(t, At(1, 7, 1983, 12), true, missing).correction_h, 0.0);
  ASSERT_EQ(warnings.Messages().size(), 1u);
  EXPECT_NE(warnings.Messages()[0].find("popa.ctl(PopTime)"), std::string::npos);
}

TEST_F(TakeTownTest, FixedOffsetOfGreenwichIsAPlainZero) {
  db::FieldArray t = Town("1", "9.32", "-13.41");
  t[kFieldFixedOffset] = "0";
  t[kFieldSummerRule] = "";
  const double c = TakeTown(t, At(1, 7, 1983, 12), true, table).correction_h;
  EXPECT_EQ(c, 0.0);
  EXPECT_FALSE(std::signbit(c));  // never written "-0.00"
  EXPECT_FALSE(std::signbit(QuietZoneCorrection(At(1, 7, 1983, 12), t, true, table)));
}

TEST(SearchText, UpperCaseForTheEditAndCutToTheLimits) {
  EXPECT_EQ(SearchEditText(W("самара-yz")), W("САМАРА-YZ"));
  // "ё" is not among the letters made upper-case; the search reads it as "е" anyway.
  EXPECT_EQ(SearchEditText(W("орёл")), W("ОР") + W("ё") + W("Л"));
  EXPECT_EQ(SearchEditText(std::string(30, 'a')), std::string(kSearchEditChars, 'A'));
  EXPECT_EQ(SearchEditText(""), "");
  EXPECT_EQ(RememberedSearch(std::string(50, 'x')), std::string(kRememberedSearchChars, 'x'));
  EXPECT_EQ(RememberedSearch(W("Сам")), W("Сам"));
}

}  // namespace
}  // namespace kv::towns
