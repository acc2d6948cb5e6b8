#include "chart/wheel/wheel_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "chart/wheel/tests/wheel_test_charts.h"

namespace kv {
namespace {

WheelSettings Counterclockwise() {
  WheelSettings ws;
  ws.ov[kOptClockwise] = 0;
  ws.ov[kOptAscendantOrigin] = 0;
  return ws;
}

TEST(WheelGeometryTest, RadiiOfAn800By600Window) {
  const ChartRecord rec = test::SpreadChart();
  const WheelGeometry g = ScreenGeometry(800, 600, 16, rec, Counterclockwise());
  EXPECT_EQ(g.map.cx, 400);
  EXPECT_EQ(g.map.cy, 300);
  EXPECT_EQ(g.r0, 300);
  EXPECT_EQ(g.R1, 270);
  EXPECT_EQ(g.R2, 243);
  EXPECT_EQ(g.R3, 235);
  EXPECT_EQ(g.R4, 211);
  EXPECT_EQ(g.pen_width, 1);
  EXPECT_TRUE(g.houses);
}

TEST(WheelGeometryTest, UnknownBirthTimeHasNoHouseRing) {
  ChartRecord rec = test::SpreadChart();
  rec.house_system = kNoHousesSystem;
  const WheelGeometry g = ScreenGeometry(800, 600, 16, rec, Counterclockwise());
  EXPECT_FALSE(g.houses);
  EXPECT_EQ(g.R4, g.R3);
  // Glyphs start one step inside R3 now, not inside the house ring.
  EXPECT_EQ(g.glyph_radius[1], 235 - 270 / 15);
}

TEST(WheelGeometryTest, BodiesWithoutPositionAreNotPlaced) {
  ChartRecord rec = test::SpreadChart();
  rec.missing_bodies = static_cast<int16_t>(1 << 4);  // Mars
  const WheelGeometry g = ScreenGeometry(800, 600, 16, rec, Counterclockwise());
  EXPECT_EQ(g.glyph_radius[5], kNoGlyph);
  EXPECT_NE(g.glyph_radius[4], kNoGlyph);
}

TEST(WheelGeometryTest, PrintLayoutWithAndWithoutLegend) {
  const ChartRecord rec = test::SpreadChart();
  WheelSettings ws = Counterclockwise();
  ws.ov[kOptPrintLineWidth] = 2;
  const WheelGeometry plain = PrintGeometry(2000, false, rec, ws);
  EXPECT_EQ(plain.map.cx, 1000);
  EXPECT_EQ(plain.map.cy, 1000);
  EXPECT_EQ(plain.r0, 900);
  EXPECT_EQ(plain.line_height, 40);
  EXPECT_EQ(plain.pen_width, 7);
  const WheelGeometry legend = PrintGeometry(2000, true, rec, ws);
  EXPECT_EQ(legend.map.cx, 1114);
  EXPECT_EQ(legend.map.cy, 1100);
  EXPECT_EQ(legend.r0, 855);
  EXPECT_LT(legend.R1, plain.R1);
}

TEST(AngleMappingTest, CounterclockwiseFromTheLeft) {
  AngleMapping m{400, 300, 0.0, false};
  EXPECT_DOUBLE_EQ(m.ScreenAngle(0), 180);
  EXPECT_DOUBLE_EQ(m.ScreenAngle(90), 90);   // Cancer at the bottom
  EXPECT_DOUBLE_EQ(m.ScreenAngle(270), 270); // Capricorn at the top
  EXPECT_EQ(m.PointAt(0, 100), (DevicePoint{300, 300}));
  EXPECT_EQ(m.PointAt(90, 100), (DevicePoint{400, 400}));
  // Coordinates are cut toward zero, not rounded.
  EXPECT_EQ(m.PointAt(45, 100), (DevicePoint{329, 370}));
}

TEST(AngleMappingTest, ClockwiseFromTheRight) {
  AngleMapping m{400, 300, 0.0, true};
  EXPECT_DOUBLE_EQ(m.ScreenAngle(0), 0);
  EXPECT_DOUBLE_EQ(m.ScreenAngle(90), 90);
  EXPECT_DOUBLE_EQ(m.ScreenAngle(-30), 330);
  EXPECT_EQ(m.PointAt(180, 100), (DevicePoint{300, 300}));
}

TEST(AngleMappingTest, ScreenAngleAndLongitudeAreInverse) {
  for (bool cw : {false, true})
    for (double rot : {0.0, 123.4, 359.9})
      for (double lon = 0.25; lon < 360; lon += 17.5) {
        AngleMapping m{0, 0, rot, cw};
        EXPECT_NEAR(m.LongitudeAt(m.ScreenAngle(lon)), lon, 1e-9) << cw << " " << rot;
        // atan2 gives angles in (-180, 180]: they must map the same way.
        EXPECT_NEAR(m.LongitudeAt(m.ScreenAngle(lon) - 360.0), lon, 1e-9);
      }
}

TEST(AngleMappingTest, AscendantOriginPutsTheAscendantOnTheHorizontal) {
  ChartRecord rec = test::SpreadChart(123.0);
  WheelSettings ws;
  ws.ov[kOptAscendantOrigin] = 1;
  ws.ov[kOptClockwise] = 0;
  WheelGeometry g = ScreenGeometry(800, 600, 16, rec, ws);
  EXPECT_EQ(g.map.PointAt(123.0, 100), (DevicePoint{300, 300}));  // left
  ws.ov[kOptClockwise] = 1;
  g = ScreenGeometry(800, 600, 16, rec, ws);
  EXPECT_EQ(g.map.PointAt(123.0, 100), (DevicePoint{500, 300}));  // right
}

TEST(GlyphSpreadTest, CloseBodiesStackInwards) {
  ChartRecord rec = test::SpreadChart();
  rec.lon[1] = 100;
  rec.lon[2] = 102;
  rec.lon[3] = 104;
  rec.lon[4] = 106;  // close to 2 and 3 only: the outer radius is free for it
  const GlyphSpread s = SpreadGlyphs(rec, 0xF, 270, 211);
  const int step = 18, start = 211 - 18;
  EXPECT_EQ(s.radius[1], start);
  EXPECT_EQ(s.radius[2], start - step);
  EXPECT_EQ(s.radius[3], start - 2 * step);
  EXPECT_EQ(s.radius[4], start);
  EXPECT_EQ(s.radius[5], kNoGlyph);  // not in the mask
  EXPECT_EQ(s.ra, start - 3 * step);
}

TEST(GlyphSpreadTest, NoWrapAroundAtAries) {
  ChartRecord rec = test::SpreadChart();
  rec.lon[1] = 359;
  rec.lon[2] = 1;
  const GlyphSpread s = SpreadGlyphs(rec, 3, 270, 211);
  EXPECT_EQ(s.radius[1], 193);
  EXPECT_EQ(s.radius[2], 193);
  EXPECT_EQ(s.ra, 193 - 18);
}

TEST(GlyphSpreadTest, CrowdedBodiesTakeTheTighterSecondPass) {
  ChartRecord rec = test::SpreadChart();
  for (int i = 1; i <= 10; ++i) rec.lon[i] = 200 + 0.3 * i;
  const GlyphSpread s = SpreadGlyphs(rec, 0x3FF, 270, 211);
  EXPECT_EQ(s.gap, 12);
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(s.radius[i], 193 - 12 * (i - 1)) << i;
  EXPECT_EQ(s.ra, 193 - 12 * 9 - 12);
}

TEST(GlyphSpreadTest, BodiesBeyondTheFloorInTheSecondPassGoBackOutside) {
  ChartRecord rec = test::SpreadChart();
  for (int i = 1; i <= 16; ++i) rec.lon[i] = 50 + 0.2 * i;
  const GlyphSpread s = SpreadGlyphs(rec, 0xFFFF, 270, 211);
  for (int i = 1; i <= 13; ++i) EXPECT_EQ(s.radius[i], 193 - 12 * (i - 1)) << i;
  for (int i = 14; i <= 16; ++i) EXPECT_EQ(s.radius[i], 193) << i;
  EXPECT_GT(s.ra, 270 / 6 - 12);
}

TEST(GlyphSpreadTest, TinyWheelDoesNotLoop) {
  ChartRecord rec = test::SpreadChart();
  rec.lon[2] = rec.lon[1];
  const GlyphSpread s = SpreadGlyphs(rec, 2047, 5, 3);
  EXPECT_EQ(s.radius[1], s.radius[2]);
}

TEST(MidLongitudeTest, ShorterArc) {
  EXPECT_DOUBLE_EQ(MidLongitude(10, 50), 30);
  EXPECT_DOUBLE_EQ(MidLongitude(350, 20), 5);   // house across Aries
  EXPECT_DOUBLE_EQ(MidLongitude(340, 10), 355);
}

class HitTestTest : public ::testing::Test {
 protected:
  ChartRecord rec = test::SpreadChart(10.0);
  WheelGeometry g = ScreenGeometry(800, 600, 16, rec, Counterclockwise());
  // The device point of a longitude at a radius, with a real-valued angle.
  DevicePoint At(double lon, double r) { return g.map.PointAt(lon, r); }
};

TEST_F(HitTestTest, SignRing) {
  DevicePoint p = At(45.5, 256);
  EXPECT_EQ(HitTest(g, rec, p.x, p.y), (WheelHit{HitKind::kSign, 2}));
  p = At(359.0, 256);
  EXPECT_EQ(HitTest(g, rec, p.x, p.y), (WheelHit{HitKind::kSign, 12}));
}

TEST_F(HitTestTest, OutsideAndCentreSelectNothing) {
  EXPECT_EQ(HitTest(g, rec, 400, 300).kind, HitKind::kNothing);
  EXPECT_EQ(HitTest(g, rec, 400 + 271, 300).kind, HitKind::kNothing);
  EXPECT_EQ(HitTest(g, rec, 0, 0).kind, HitKind::kNothing);
}

TEST_F(HitTestTest, HouseRingBetweenCusps) {
  // Cusp 4 at 100, cusp 5 at 130.
  DevicePoint p = At(115, 220);
  EXPECT_EQ(HitTest(g, rec, p.x, p.y), (WheelHit{HitKind::kHouse, 4}));
  p = At(5, 238);  // degree scale, inside R2: house 12 runs from 340 to 10
  EXPECT_EQ(HitTest(g, rec, p.x, p.y), (WheelHit{HitKind::kHouse, 12}));
}

TEST_F(HitTestTest, NearestBodyInside) {
  DevicePoint p = At(rec.lon[7], g.glyph_radius[7] - 5);
  EXPECT_EQ(HitTest(g, rec, p.x, p.y), (WheelHit{HitKind::kBody, 7}));
  p = At(rec.lon[3] + 6, 40);
  EXPECT_EQ(HitTest(g, rec, p.x, p.y).kind, HitKind::kBody);
}

TEST_F(HitTestTest, WithoutHousesTheWholeInsideIsBodies) {
  rec.house_system = kNoHousesSystem;
  g = ScreenGeometry(800, 600, 16, rec, Counterclockwise());
  DevicePoint p = At(rec.lon[5], 230);
  EXPECT_EQ(HitTest(g, rec, p.x, p.y), (WheelHit{HitKind::kBody, 5}));
}

TEST_F(HitTestTest, NoShownBodySelectsNothing) {
  WheelSettings ws = Counterclockwise();
  ws.planet_mask = 0;
  g = ScreenGeometry(800, 600, 16, rec, ws);
  EXPECT_EQ(HitTest(g, rec, 400 + 30, 300).kind, HitKind::kNothing);
}

TEST_F(HitTestTest, ClockwiseSectorsFollowTheDrawing) {
  WheelSettings ws;
  ws.ov[kOptClockwise] = 1;
  ws.ov[kOptAscendantOrigin] = 1;
  g = ScreenGeometry(800, 600, 16, rec, ws);
  // Just below the right horizontal lies the beginning of house 1 (Ascendant 10).
  EXPECT_EQ(HitTest(g, rec, 400 + 220, 305), (WheelHit{HitKind::kHouse, 1}));
  EXPECT_EQ(HitTest(g, rec, 400 + 220, 295), (WheelHit{HitKind::kHouse, 12}));
  EXPECT_EQ(HitTest(g, rec, 400 + 256, 305), (WheelHit{HitKind::kSign, 1}));
}

}  // namespace
}  // namespace kv
