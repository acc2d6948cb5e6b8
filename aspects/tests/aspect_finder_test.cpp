#include "aspects/aspect_finder.h"

#include <gtest/gtest.h>

#include <array>

#include "test_support.h"

namespace kv {
namespace {

using Longitudes = std::array<double, 32>;  // indexed by point number, as in the record

// Points spread so that, with small orbs, nothing but the pairs under test aspect.
Longitudes Spread() {
  Longitudes lon{};
  for (int p = 1; p <= 28; ++p) lon[p] = 3.7 * p + 0.011 * p * p;
  return lon;
}

AspectRecord Aspect(float angle, float orb) {
  AspectRecord r;
  r.angle = angle;
  r.orbs.fill(orb);
  return r;
}

AspectMatrix Find(const Longitudes& lon, const AspectTable& t) {
  AspectMatrix m;
  EXPECT_TRUE(FindAspects(lon, t, m));
  return m;
}

TEST(Separation, ReducesAcrossZero) {
  EXPECT_DOUBLE_EQ(Separation(350, 10), 20);
  EXPECT_DOUBLE_EQ(Separation(10, 350), 20);
  EXPECT_DOUBLE_EQ(Separation(0, 180), 180);
  EXPECT_DOUBLE_EQ(Separation(-30, 30), 60);
  EXPECT_DOUBLE_EQ(Separation(725, 5), 0);
  EXPECT_NEAR(Separation(10, 189.5), 179.5, 1e-12);
}

TEST(FindAspects, MatrixHalvesAndOrbs) {
  Longitudes lon = Spread();
  lon[1] = 10;
  lon[2] = 70;
  AspectRecord sextile = Aspect(60, 0.01f);
  sextile.orbs[0] = 6;
  sextile.orbs[1] = 4;
  AspectMatrix m = Find(lon, {sextile});
  EXPECT_EQ(m.cell[0][1], 60.0f);
  EXPECT_EQ(m.cell[1][0], 60.0f);  // the separation below the diagonal
  EXPECT_EQ(m.cell[0][0], 0.0f);
  EXPECT_EQ(m.Aspect(2, 1), 60.0f);

  lon[2] = 77;  // deviation 7 beyond the larger orb 6
  m = Find(lon, {sextile});
  EXPECT_EQ(m.cell[0][1], kNoAspect);
  EXPECT_EQ(m.cell[1][0], 67.0f);

  lon[2] = 76;  // deviation exactly 6: inside
  EXPECT_EQ(Find(lon, {sextile}).cell[0][1], 60.0f);
}

TEST(FindAspects, DroppedPointsTakePartInNoAspect) {
  Longitudes lon = Spread();
  lon[1] = 10;
  lon[2] = 10;  // conjunct with 1 and with 3
  lon[3] = 10;
  AspectMatrix m = Find(lon, {Aspect(0, 1)});
  ASSERT_EQ(m.Aspect(1, 2), 0.0f);
  DropPoints(m, 1u << 1);  // point 2 has no position
  EXPECT_EQ(m.Aspect(1, 2), kNoAspect);
  EXPECT_EQ(m.Aspect(2, 3), kNoAspect);
  EXPECT_EQ(m.Aspect(1, 3), 0.0f);
  EXPECT_EQ(m.Separation(1, 2), 0.0f);  // separations stay as found
}

TEST(FindAspects, FirstMatchingRecordWins) {
  Longitudes lon = Spread();
  lon[3] = 100;
  lon[5] = 191.5;
  AspectMatrix m = Find(lon, {Aspect(90, 8), Aspect(92, 8)});
  EXPECT_EQ(m.Aspect(3, 5), 90.0f);
  m = Find(lon, {Aspect(92, 8), Aspect(90, 8)});
  EXPECT_EQ(m.Aspect(3, 5), 92.0f);
  // Duplicate angles: the first record's orbs decide.
  m = Find(lon, {Aspect(90, 1), Aspect(90, 8)});
  EXPECT_EQ(m.Aspect(3, 5), 90.0f);
  m = Find(lon, {Aspect(90, 1)});
  EXPECT_EQ(m.Aspect(3, 5), kNoAspect);
}

TEST(FindAspects, CuspAndBodyUseTheBodysOrbAlone) {
  Longitudes lon = Spread();
  lon[1] = 0;
  lon[17] = 124;
  AspectRecord trine = Aspect(120, 0.01f);
  trine.orbs[0] = 5;   // Sun
  trine.orbs[16] = 1;  // Ascendant
  EXPECT_EQ(Find(lon, {trine}).Aspect(1, 17), 120.0f);
  trine.orbs[0] = 1;
  trine.orbs[16] = 5;
  EXPECT_EQ(Find(lon, {trine}).Aspect(1, 17), kNoAspect);
}

TEST(FindAspects, CuspPairsUseTheLargerOrb) {
  Longitudes lon = Spread();
  lon[17] = 0;
  lon[26] = 93;  // cusp 10 against the Ascendant
  AspectRecord square = Aspect(90, 0.01f);
  square.orbs[25] = 3;
  EXPECT_EQ(Find(lon, {square}).Aspect(17, 26), 90.0f);
  square.orbs[25] = 2.5f;
  EXPECT_EQ(Find(lon, {square}).Aspect(17, 26), kNoAspect);
}

TEST(FindAspects, ConjunctionIsZeroAbsenceIs999) {
  Longitudes lon = Spread();
  lon[4] = 200;
  lon[6] = 200;
  AspectMatrix with = Find(lon, {Aspect(0, 0.01f)});
  EXPECT_EQ(with.Aspect(4, 6), 0.0f);
  EXPECT_EQ(with.Aspect(4, 5), kNoAspect);
  AspectMatrix none = Find(lon, {});
  for (int r = 0; r < 28; ++r)
    for (int c = r + 1; c < 28; ++c) ASSERT_EQ(none.cell[r][c], kNoAspect);
}

TEST(FindAspects, AnglesAbove180NeverMatch) {
  Longitudes lon = Spread();
  lon[1] = 0;
  lon[2] = 120;
  EXPECT_EQ(Find(lon, {Aspect(240, 1)}).Aspect(1, 2), kNoAspect);
}

TEST(FindAspects, SinglePrecisionDeviation) {
  // 60.3 as a float is a little above 60.3, and 0.3f a little above 0.3: the
  // comparison in floats finds the aspect where a double one would not.
  Longitudes lon = Spread();
  lon[1] = 0;
  lon[2] = 60.3;
  EXPECT_EQ(Find(lon, {Aspect(60, 0.3f)}).Aspect(1, 2), 60.0f);
  double dev = Separation(0, 60.3) - 60.0;
  EXPECT_GT(dev, static_cast<double>(0.3)) << "the double comparison would refuse";
}

TEST(FindAspects, ShortLongitudeArrayIsRefused) {
  std::array<double, 20> few{};
  AspectMatrix m;
  EXPECT_FALSE(FindAspects(few, {Aspect(0, 360)}, m));
  EXPECT_EQ(m.Aspect(1, 2), kNoAspect);
}

class FindWithBlockTest : public testing_support::WorkdirTest {};

TEST_F(FindWithBlockTest, SwitchedOffAspectsAreNeverFound) {
  testing_support::WriteFile("b.ao", "60 30 S 1\n");
  Longitudes lon = Spread();
  lon[1] = 0;
  lon[2] = 60;
  AspectMatrix m;
  ASSERT_TRUE(FindAspectsWithBlock(lon, "b.ao", m));
  EXPECT_EQ(m.Aspect(1, 2), kNoAspect);
}

TEST_F(FindWithBlockTest, ChartAspectsFromTheDefaultBlock) {
  std::filesystem::copy_file(std::string(KV_TEST_DATA) + "/0.ao", "0.ao");
  Longitudes lon = Spread();
  lon[1] = 10;    // Sun
  lon[2] = 130;   // Moon: trine the Sun
  lon[3] = 10.5;  // Mercury: conjunct the Sun, trine the Moon
  lon[12] = 70;   // Selena: not in the default masks
  lon[17] = 190;  // Ascendant: opposite the Sun
  AspectListOptions opt;
  std::vector<FoundAspect> found = ChartAspects(lon, "missing.ao", opt);
  std::string json = AspectsJson(found);
  EXPECT_EQ(json.substr(0, 35), "[[1, 2, 120, 120], [1, 3, 0, 0.5], ");
  for (const FoundAspect& f : found) {
    EXPECT_LE(f.b, 11);
    EXPECT_LT(f.a, f.b);
  }
  opt.with_conjunctions = false;
  opt.with_cusps = true;
  opt.aspected_mask |= 1u << 16;
  found = ChartAspects(lon, "0", opt);
  bool sun_asc = false;
  for (const FoundAspect& f : found) {
    EXPECT_NE(f.angle, 0.0f);
    if (f.a == 1 && f.b == 17) sun_asc = f.angle == 180.0f;
  }
  EXPECT_TRUE(sun_asc);
}

TEST(ListAspects, OrderAndMasks) {
  AspectMatrix m;
  Longitudes lon{};
  for (int p = 1; p <= 28; ++p) lon[p] = 0;  // everything conjunct
  ASSERT_TRUE(FindAspects(lon, {Aspect(0, 1)}, m));
  AspectListOptions opt;
  opt.planet_mask = 0xFFFF & ~(1u << 2);  // Mercury hidden
  opt.aspected_mask = 0xFFFFFFF & ~(1u << 4);  // Mars not aspected
  std::vector<FoundAspect> list = ListAspects(m, opt);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front().a, 1);
  EXPECT_EQ(list.front().b, 2);
  EXPECT_EQ(list[1].b, 4);  // 3 and 5 left out
  int previous = 0;
  for (const FoundAspect& f : list) {
    int key = f.a * 100 + f.b;
    EXPECT_GT(key, previous);
    previous = key;
    EXPECT_LE(f.b, 16);
  }
  // 14 points take part: 91 pairs.
  EXPECT_EQ(list.size(), 91u);
  opt.with_cusps = true;  // cusps need no planet-mask bit
  EXPECT_EQ(ListAspects(m, opt).size(), static_cast<size_t>(26 * 25 / 2));
}

}  // namespace
}  // namespace kv
