#include "chart/record/chart_rules.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace kv {
namespace {

ChartRecord EqualHouses(double first_cusp) {
  ChartRecord rec = DefaultChartRecord();
  for (int k = 0; k < 12; ++k) {
    double c = first_cusp + 30.0 * k;
    rec.lon[17 + k] = c >= 360.0 ? c - 360.0 : c;
  }
  return rec;
}

TEST(ChartRecord, LayoutOffsetsFollowTheTable) {
  EXPECT_EQ(offsetof(ChartRecord, name), 48u);
  EXPECT_EQ(offsetof(ChartRecord, kind), 108u);
  EXPECT_EQ(offsetof(ChartRecord, text2), 220u);
  EXPECT_EQ(offsetof(ChartRecord, house_system), 280u);
  EXPECT_EQ(offsetof(ChartRecord, sex), 286u);
  EXPECT_EQ(offsetof(ChartRecord, lat), 567u);
  EXPECT_EQ(offsetof(ChartRecord, speed), 703u);
}

TEST(ChartRecord, TextsAreCutAt29Characters) {
  ChartRecord rec = DefaultChartRecord();
  SetChartText(rec.name, "0123456789012345678901234567890123456789");
  EXPECT_EQ(std::string(rec.name), "01234567890123456789012345678");
}

TEST(SignPositionTest, HalfMinuteRoundingCarriesIntoTheNextSign) {
  EXPECT_EQ(SignPositionOf(29.0 + 59.8 / 60.0), (SignPosition{2, 0, 0}));
  EXPECT_EQ(SignPositionOf(29.0 + 59.4 / 60.0), (SignPosition{1, 29, 59}));
  EXPECT_EQ(SignPositionOf(359.0 + 59.8 / 60.0), (SignPosition{1, 0, 0}));
  EXPECT_EQ(SignPositionOf(0.0), (SignPosition{1, 0, 0}));
  EXPECT_EQ(SignPositionOf(134.0 + 39.0 / 60.0), (SignPosition{5, 14, 39}));
  EXPECT_EQ(SignPositionOf(345.5), (SignPosition{12, 15, 30}));
}

TEST(SignPositionTest, OrbsRoundToTheMinuteWithCarry) {
  EXPECT_EQ(RoundToMinutes(2.0 + 59.6 / 60.0), (DegreesMinutes{3, 0}));
  EXPECT_EQ(RoundToMinutes(0.0), (DegreesMinutes{0, 0}));
  EXPECT_EQ(RoundToMinutes(7.75), (DegreesMinutes{7, 45}));
  EXPECT_EQ(RoundToMinutes(-1.5), (DegreesMinutes{1, 30}));
}

TEST(SignPositionTest, LastHalfMinuteBeforeAriesNeverGivesSignThirteen) {
  for (double lon : {360.0 - 1.0 / 120.0, 359.99999999})
    EXPECT_EQ(SignPositionOf(lon).sign, 1) << lon;
}

TEST(ChartRules, SignsOfLongitudes) {
  EXPECT_EQ(SignOf(0.0), 1);
  EXPECT_EQ(SignOf(29.9999), 1);
  EXPECT_EQ(SignOf(30.0), 2);
  EXPECT_EQ(SignOf(359.99), 12);
}

TEST(ChartRules, LongitudeOnACuspBelongsToTheHouseItOpens) {
  ChartRecord rec = EqualHouses(10.0);
  EXPECT_EQ(HouseOf(rec, 10.0), 1);
  EXPECT_EQ(HouseOf(rec, 40.0), 2);
  EXPECT_EQ(HouseOf(rec, 39.999), 1);
}

TEST(ChartRules, SectorPassingZeroHoldsBothSides) {
  ChartRecord rec = EqualHouses(20.0);  // cusp 12 at 350, cusp 1 at 20
  ASSERT_DOUBLE_EQ(rec.lon[28], 350.0);
  EXPECT_EQ(HouseOf(rec, 355.0), 12);
  EXPECT_EQ(HouseOf(rec, 5.0), 12);
  EXPECT_EQ(HouseOf(rec, 20.0), 1);
}

TEST(ChartRules, NoSectorGivesZero) {
  ChartRecord rec = DefaultChartRecord();  // all cusps 0: every sector empty
  EXPECT_EQ(HouseOf(rec, 100.0), 0);
}

TEST(ChartRules, Weekdays) {
  EXPECT_EQ(WeekdayIndex(2451545.0), 6);  // 1 January 2000, noon: Saturday
  EXPECT_EQ(Cp1251ToUtf8(WeekdayName(2451545.0)), "Сб");
  EXPECT_EQ(WeekdayIndex(2451545.4), 6);
  EXPECT_EQ(WeekdayIndex(2451545.5), 0);  // midnight starts Sunday
  EXPECT_EQ(WeekdayIndex(-0.6), WeekdayIndex(-0.6 + 7000));
}

TEST(ChartRules, SummaryUsesBothRules) {
  ChartRecord rec = EqualHouses(0.0);
  rec.lon[1] = 45.0;
  rec.lon[2] = 359.0;
  ChartSummary s = SummarizeChart(rec);
  EXPECT_EQ(s.body_sign[1], 2);
  EXPECT_EQ(s.body_house[1], 2);
  EXPECT_EQ(s.body_sign[2], 12);
  EXPECT_EQ(s.body_house[2], 12);
  EXPECT_EQ(s.cusp_sign[4], 4);
}

}  // namespace
}  // namespace kv
