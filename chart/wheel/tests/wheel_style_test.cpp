#include "chart/wheel/wheel_style.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(ElementColourTest, TableEntriesOverrideOnlyWhenNotNegative) {
  WheelSettings ws;
  EXPECT_EQ(ElementColour(kElemPlanetGlyphs, ws, false), kMagenta);
  ws.colours[kElemPlanetGlyphs] = -1;
  EXPECT_EQ(ElementColour(kElemPlanetGlyphs, ws, false), kMagenta);
  ws.colours[kElemPlanetGlyphs] = 255;
  EXPECT_EQ(ElementColour(kElemPlanetGlyphs, ws, false), kRed);
  ws.colours[kElemPlanetGlyphs] = 0;  // black is a colour, not "unset"
  EXPECT_EQ(ElementColour(kElemPlanetGlyphs, ws, false), kBlack);
}

TEST(ElementColourTest, BlackAndWhitePrinting) {
  WheelSettings ws;
  ws.colours[kElemBackground] = 0x123456;
  ws.colours[kElemSignGlyphs] = 0x00FFFF;
  for (int e = 0; e < 15; ++e)
    EXPECT_EQ(ElementColour(e, ws, true), e == 10 || e == 11 ? kWhite : kBlack) << e;
}

TEST(PenTest, AngularPenIsAtLeastThreeWide) {
  WheelSettings ws;
  EXPECT_EQ(AngularPen(ws, 1, false), (PenChoice{kRed, 3}));
  EXPECT_EQ(AngularPen(ws, 7, false), (PenChoice{kRed, 7}));
  EXPECT_EQ(OrdinaryPen(ws, 4, false), (PenChoice{kBlack, 4}));
  EXPECT_EQ(AngularPen(ws, 1, true).colour, kBlack);
}

TEST(PenTest, AspectFamiliesWithoutBlock) {
  for (float a : {0.f, 30.f, 60.f, 120.f, 150.f}) EXPECT_EQ(AspectLinePen(a, {}, 1, false).colour, kRed);
  for (float a : {45.f, 90.f, 135.f, 180.f}) EXPECT_EQ(AspectLinePen(a, {}, 1, false).colour, kBlue);
  for (float a : {36.f, 72.f, 108.f, 144.f}) EXPECT_EQ(AspectLinePen(a, {}, 1, false).colour, kGreen);
  EXPECT_EQ(AspectLinePen(40.f, {}, 1, false).colour, kCyan);
  EXPECT_EQ(AspectLinePen(90.f, {}, 2, false).width, 2);
}

TEST(PenTest, FirstMatchingBlockRecordDecides) {
  AspectTable block(3);
  block[0].angle = 90;
  block[0].colour = 0x00FF00;
  block[0].line_kind = 4;
  block[1].angle = 90;  // a later duplicate never wins
  block[1].colour = 0x0000FF;
  block[2].angle = 120;  // colour -1: the family colour stays
  block[2].line_kind = 0;
  EXPECT_EQ(AspectLinePen(90, block, 1, false), (PenChoice{0x00FF00, 4}));
  EXPECT_EQ(AspectLinePen(90, block, 5, false), (PenChoice{0x00FF00, 5}));
  EXPECT_EQ(AspectLinePen(120, block, 2, false), (PenChoice{kRed, 2}));
  EXPECT_EQ(AspectLinePen(90, block, 1, true), (PenChoice{kBlack, 4}));
}

class AspectLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& row : m.cell)
      for (float& c : row) c = kNoAspect;
  }
  void Set(int a, int b, float angle) { m.cell[a - 1][b - 1] = angle; }
  AspectMatrix m;
};

TEST_F(AspectLineTest, ConjunctionsAndAbsentAspectsDrawNothing) {
  Set(1, 2, 0.0f);
  Set(1, 3, 90.0f);
  Set(2, 3, 999.0f);
  WheelSettings ws;
  const auto lines = SelectAspectLines(m, ws, true);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].a, 1);
  EXPECT_EQ(lines[0].b, 3);
  EXPECT_FLOAT_EQ(lines[0].angle, 90.0f);
}

TEST_F(AspectLineTest, BothMasksDecide) {
  Set(1, 5, 120);
  Set(3, 12, 60);   // Selena: outside the default aspected mask 2047
  Set(2, 4, 180);
  WheelSettings ws;
  EXPECT_EQ(SelectAspectLines(m, ws, true).size(), 2u);
  ws.aspected_mask = 0xFFFF;  // Selena aspected, but still hidden by the planet mask
  EXPECT_EQ(SelectAspectLines(m, ws, true).size(), 2u);
  ws.planet_mask = 0xFFFF;
  EXPECT_EQ(SelectAspectLines(m, ws, true).size(), 3u);
  ws.planet_mask = 0xFFFF & ~(1u << 1);  // Moon hidden
  const auto lines = SelectAspectLines(m, ws, true);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].a, 1);
  EXPECT_EQ(lines[1].b, 12);
}

TEST_F(AspectLineTest, CuspsOnlyWithOptionAndHouses) {
  Set(1, 17, 90);   // Sun square Ascendant
  Set(17, 26, 90);  // Ascendant square MC
  WheelSettings ws;
  ws.aspected_mask = 0x0FFFFFFF;
  EXPECT_TRUE(SelectAspectLines(m, ws, true).empty());
  ws.ov[kOptCuspAspects] = 1;
  EXPECT_EQ(SelectAspectLines(m, ws, true).size(), 2u);
  EXPECT_TRUE(SelectAspectLines(m, ws, false).empty());
  ws.aspected_mask = 2047 | (1u << 16);  // the Ascendant, not the MC
  EXPECT_EQ(SelectAspectLines(m, ws, true).size(), 1u);
}

TEST(FillStepTest, LevelsOnScreenAndInPrint) {
  WheelSettings ws;
  for (int level = 0; level <= 3; ++level) {
    ws.ov[kOptScreenFill] = level;
    ws.ov[kOptPrintFill] = level;
    EXPECT_EQ(FillStep(ws, false), level == 0 ? 0 : 4 - level);
    EXPECT_EQ(FillStep(ws, true), level == 0 ? 0 : (5 - level) * 2);
  }
  ws.ov[kOptScreenFill] = 9;  // a hand-edited settings file: never a step below 1
  EXPECT_EQ(FillStep(ws, false), 1);
  ws.ov[kOptPrintFill] = 3;
  ws.ov[kOptPrinterMono] = 1;
  EXPECT_EQ(FillStep(ws, true), 0);
  EXPECT_EQ(FillStep(ws, false), 1);
  ws.ov[kOptPrinterMono] = 0;
  ws.ov[kOptPrinterLowMemory] = 1;
  EXPECT_EQ(FillStep(ws, true), 0);
}

TEST(FillStepTest, SectorElementsCycleThroughTheFourElements) {
  EXPECT_EQ(SectorFillElement(1), kElemFireFill);
  EXPECT_EQ(SectorFillElement(2), 6);
  EXPECT_EQ(SectorFillElement(4), 8);
  EXPECT_EQ(SectorFillElement(5), kElemFireFill);
  EXPECT_EQ(SectorFillElement(12), 8);
}

}  // namespace
}  // namespace kv
