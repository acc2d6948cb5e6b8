#include "chart/wheel/chart_hover.h"

#include <gtest/gtest.h>

#include "chart/wheel/tests/wheel_test_charts.h"

namespace kv {
namespace {

HoverWords Words() {
  HoverWords w;
  for (int n = 1; n <= 31; ++n) w.points.push_back("P" + std::to_string(n));
  w.signs = {"Ari", "Tau", "Gem", "Can", "Leo", "Vir", "Lib", "Sco", "Sag", "Cap", "Aqu", "Pis"};
  w.house_format = "house %d";
  w.speed_format = "speed %s";
  w.retrograde = "retro";
  w.direct = "direct";
  w.no_data = "none";
  return w;
}

class HoverTest : public ::testing::Test {
 protected:
  // At the body's glyph unless a point is given.
  std::vector<std::string> Lines(WheelHit hit, int x = -1, int y = -1) {
    if (x < 0 && hit.kind == HitKind::kBody) {
      const DevicePoint p = g.map.PointAt(rec.lon[hit.number], g.glyph_radius[hit.number]);
      x = p.x;
      y = p.y;
    }
    return HoverLines(hit, g, rec, ws, words, x, y);
  }
  ChartRecord rec = test::SpreadChart();  // cusps at 10, 40, 70 ...
  WheelSettings ws;                       // mean node
  HoverWords words = Words();
  WheelGeometry g = ScreenGeometry(8000, 6000, 16, rec, ws);
};

TEST_F(HoverTest, BodyNamePositionHouseAndMotion) {
  // Venus at 65 degrees: Gemini 5, in the house from 40 to 70.
  EXPECT_EQ(Lines({HitKind::kBody, 4}),
            (std::vector<std::string>{"P4", "Gem 05\xB0" "00'", "house 2", "speed 1.0000", "direct"}));
  rec.speed[3] = -0.5;
  const std::vector<std::string> mercury = Lines({HitKind::kBody, 3});
  EXPECT_EQ(mercury[3], "speed -0.5000");
  EXPECT_EQ(mercury[4], "retro");
}

TEST_F(HoverTest, ABodyOnlyWhileThePointerIsOnItsGlyph) {
  const DevicePoint p = g.map.PointAt(rec.lon[4], g.glyph_radius[4]);
  EXPECT_FALSE(Lines({HitKind::kBody, 4}, p.x + g.R1 / 12, p.y).empty());
  EXPECT_TRUE(Lines({HitKind::kBody, 4}, p.x + g.R1 / 8, p.y).empty());
  EXPECT_TRUE(Lines({HitKind::kBody, 4}, g.map.cx, g.map.cy).empty());
}

// Position and direction as the position table shows them: 29 deg 59.8 min of Taurus
// reads Gemini 00 00, and with the mean node the nodes are always retrograde.
TEST_F(HoverTest, PositionAndMotionAsTheTableShowsThem) {
  rec.lon[1] = 59.9972;
  EXPECT_EQ(Lines({HitKind::kBody, 1})[1], "Gem 00\xB0" "00'");
  EXPECT_EQ(Lines({HitKind::kBody, 11}).back(), "retro");
  ws.ov[kOptTrueNode] = 1;
  EXPECT_EQ(Lines({HitKind::kBody, 11}).back(), "direct");
}

TEST_F(HoverTest, WithoutHousesOrPositionTheLinesAreLeftOut) {
  rec.house_system = kNoHousesSystem;
  EXPECT_EQ(Lines({HitKind::kBody, 4}).size(), 4u);
  rec.missing_bodies = 1 << 4;  // Mars has no position
  EXPECT_EQ(Lines({HitKind::kBody, 5}), (std::vector<std::string>{"P5", "none"}));
}

TEST_F(HoverTest, HouseShowsItsCusp) {
  EXPECT_EQ(Lines({HitKind::kHouse, 2}), (std::vector<std::string>{"P18", "Tau 10\xB0" "00'"}));
  EXPECT_EQ(Lines({HitKind::kHouse, 12}), (std::vector<std::string>{"P28", "Pis 10\xB0" "00'"}));
}

TEST_F(HoverTest, SignShowsThePositionUnderThePointer) {
  const DevicePoint p = g.map.PointAt(45.25, (g.R1 + g.R2) / 2);
  const std::vector<std::string> lines = Lines({HitKind::kSign, 2}, p.x, p.y);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Tau");
  EXPECT_EQ(lines[1].substr(0, 7), "Tau 15\xB0");
  EXPECT_TRUE(Lines({HitKind::kNothing}).empty());
}

}  // namespace
}  // namespace kv
