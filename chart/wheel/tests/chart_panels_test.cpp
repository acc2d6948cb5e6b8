#include "chart/wheel/chart_panels.h"

#include <gtest/gtest.h>

#include <clocale>

#include "chart/wheel/tests/wheel_test_charts.h"
#include "common/codepage.h"

namespace kv {
namespace {

TEST(RetrogradeTest, Rules) {
  ChartRecord rec = test::SpreadChart();
  for (int i = 1; i <= 16; ++i) rec.speed[i] = -0.5;
  WheelSettings ws;
  // Lights and Proserpina never, whatever their motion.
  EXPECT_FALSE(ShowsRetrograde(1, rec, ws));
  EXPECT_FALSE(ShowsRetrograde(2, rec, ws));
  EXPECT_FALSE(ShowsRetrograde(14, rec, ws));
  EXPECT_TRUE(ShowsRetrograde(3, rec, ws));
  EXPECT_FALSE(ShowsRetrograde(17, rec, ws));
  rec.speed[3] = 0.0;  // stationary counts as retrograde
  EXPECT_TRUE(ShowsRetrograde(3, rec, ws));
  rec.speed[3] = 0.1;
  EXPECT_FALSE(ShowsRetrograde(3, rec, ws));
  // Mean apogee: never marked.
  EXPECT_FALSE(ShowsRetrograde(15, rec, ws));
  ws.ov[kOptOsculatingApogee] = 1;
  EXPECT_TRUE(ShowsRetrograde(15, rec, ws));
}

TEST(RetrogradeTest, NodesFollowTheNodeKind) {
  ChartRecord rec = test::SpreadChart();
  rec.speed[11] = 0.05;
  rec.speed[16] = 0.05;
  WheelSettings ws;
  EXPECT_TRUE(ShowsRetrograde(11, rec, ws));  // mean node: always
  EXPECT_TRUE(ShowsRetrograde(16, rec, ws));
  ws.ov[kOptTrueNode] = 1;
  EXPECT_FALSE(ShowsRetrograde(11, rec, ws));
  rec.speed[11] = -0.05;
  EXPECT_TRUE(ShowsRetrograde(11, rec, ws));
}

TEST(RetrogradeTest, HeliocentricOnlyTheNode) {
  ChartRecord rec = test::SpreadChart();
  for (int i = 1; i <= 16; ++i) rec.speed[i] = -0.5;
  WheelSettings ws;
  ws.ov[kOptHeliocentric] = 1;
  for (int n = 1; n <= 16; ++n) EXPECT_EQ(ShowsRetrograde(n, rec, ws), n == 11) << n;
}

TEST(PositionTableTest, RowsAndHiddenBodies) {
  ChartRecord rec = test::SpreadChart();
  WheelSettings ws;
  ws.planet_mask = 0xFFFF & ~1u;  // Sun hidden
  auto rows = PositionTable(rec, ws);
  ASSERT_EQ(rows.size(), 22u);
  EXPECT_FALSE(rows[0].shown);
  EXPECT_TRUE(rows[1].shown);
  EXPECT_EQ(rows[1].glyph, 'q');
  EXPECT_EQ(rows[1].point, 2);
  const int expected_points[6] = {17, 26, 18, 19, 21, 22};
  const char expected_glyphs[6] = {'l', 'n', 'a', 'b', 'd', 'e'};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(rows[16 + i].point, expected_points[i]);
    EXPECT_EQ(rows[16 + i].glyph, expected_glyphs[i]);
    EXPECT_TRUE(rows[16 + i].shown);
  }
  rec.house_system = kNoHousesSystem;
  rows = PositionTable(rec, ws);
  EXPECT_EQ(rows.size(), 16u);
}

TEST(GlyphTest, Characters) {
  EXPECT_EQ(BodyGlyph(1), 'p');
  EXPECT_EQ(BodyGlyph(11), '\\');
  EXPECT_EQ(BodyGlyph(16), ']');
  EXPECT_EQ(BodyGlyph(0), ' ');
  EXPECT_EQ(SignGlyph(1), 'N');
  EXPECT_EQ(SignGlyph(12), 'Y');
  EXPECT_EQ(HouseGlyph(12), '<');
  EXPECT_EQ(PointGlyph(28), 'k');
}

TEST(HeaderLinesTest, BirthDataLines) {
  TextResources res;
  res.LoadText(Utf8ToCp866("HOUS Региомонтан[1]/Кампанус[2]/Плацидус[3]\n"));
  const ChartTexts texts = ChartTextsFrom(res);
  ChartRecord rec = test::SpreadChart();
  SetChartText(rec.name, W("Иванов").c_str());
  SetChartText(rec.place, W("Москва").c_str());
  rec.jd_local = 2437364.088194444;  // 05.03.1961 14:07, a Sunday
  rec.correction_h = -3;
  rec.jd_ut = rec.jd_local - 3.0 / 24.0;
  rec.lat_packed = 55.45;
  rec.lon_packed = 37.37;
  rec.lunar_day = 18;
  const auto lines = HeaderLines(rec, texts);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], W("Иванов"));
  EXPECT_EQ(lines[1], W("LT: 05.03.1961 14:07:00 Вс"));
  EXPECT_EQ(lines[2], "GMT:05.03.1961 11:07:00");
  EXPECT_EQ(lines[3], W("55.45 37.37 Москва"));
  EXPECT_EQ(lines[4], W("Дома: Плацидус"));
  EXPECT_EQ(lines[5], W("18-й лунный день"));
  rec.lunar_day = -1;
  EXPECT_EQ(HeaderLines(rec, texts).size(), 5u);
  rec.lunar_day = 0;  // asked for but not found: said so, never "0-й"
  EXPECT_EQ(HeaderLines(rec, texts).back(), "LunNoDat");
  // The window runs under the users' locale, whose printf writes "55,45".
  const std::string old = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr) << "ru_RU.UTF-8 is not installed";
  const std::string place_line = HeaderLines(rec, texts)[3];
  std::setlocale(LC_ALL, old.c_str());
  EXPECT_EQ(place_line, W("55.45 37.37 Москва"));
}

// Bodies whose file was missing: their rows say so, the box of the page leaves out
// their sign and house, and the wheel does not place their glyphs.
TEST(MissingBodiesTest, RowsAndPlacementsShowNoPosition) {
  ChartRecord rec = test::SpreadChart(10.0);
  rec.missing_bodies = static_cast<int16_t>((1 << 2) | (1 << 4));  // Mercury and Mars
  const auto rows = PositionTable(rec, WheelSettings{});
  for (const PositionRow& row : rows) {
    const bool gone = row.point == 3 || row.point == 5;
    EXPECT_EQ(row.computed, !gone) << row.point;
    if (gone) {
      EXPECT_FALSE(row.retrograde);
    }
  }
  const auto placements = BodyPlacements(rec);
  EXPECT_EQ(placements[2].sign, 0);
  EXPECT_EQ(placements[2].house, 0);
  EXPECT_NE(placements[3].sign, 0);
}

TEST(BodyPlacementTest, SignsAndHousesOfTheFirstElevenBodies) {
  const ChartRecord rec = test::SpreadChart(10.0);
  const auto rows = BodyPlacements(rec);
  ASSERT_EQ(rows.size(), 11u);
  EXPECT_EQ(rows[0].sign, 1);    // 5 deg
  EXPECT_EQ(rows[0].house, 12);  // before the Ascendant at 10
  EXPECT_EQ(rows[1].sign, 1);    // 25 deg
  EXPECT_EQ(rows[1].house, 1);
  EXPECT_EQ(rows[10].sign, 7);   // 205 deg
  EXPECT_EQ(rows[10].house, 7);
}

}  // namespace
}  // namespace kv
