#include "texts/analysis_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/codepage.h"

namespace kv {
namespace {

// Equal houses from the Ascendant; bodies 1..10 at the given longitudes.
ChartRecord Chart(std::array<double, 10> lon, double asc = 15.0, int16_t system = 1) {
  ChartRecord rec = DefaultChartRecord();
  rec.house_system = system;
  for (int k = 1; k <= 12; ++k) {
    const double c = asc + 30.0 * (k - 1);
    rec.lon[16 + k] = c >= 360.0 ? c - 360.0 : c;
  }
  for (int n = 1; n <= 10; ++n) rec.lon[n] = lon[n - 1];
  return rec;
}

constexpr int L = 20, C = 7, kWidth = 1000, X0 = 10;

class AnalysisPlanTest : public ::testing::Test {
 protected:
  void Plan(const ChartRecord& rec, std::vector<std::string> note = {}) {
    plan = PlanAnalysis(AnalyseChart(rec), kWidth, L, C, note);
  }
  // Everything drawn at the line y from column col on (x = x0 + col * c).
  std::vector<const AnalysisPiece*> At(int col, int y, AnalysisPiece::Kind kind) const {
    std::vector<const AnalysisPiece*> v;
    for (const AnalysisPiece& p : plan.pieces)
      if (p.kind == kind && p.x == X0 + col * C && p.y == y) v.push_back(&p);
    return v;
  }
  std::string TextAt(int col, int y) const {
    auto v = At(col, y, AnalysisPiece::Kind::kText);
    return v.empty() ? std::string("<none>") : v.front()->text;
  }
  char GlyphAt(int col, int y) const {
    auto v = At(col, y, AnalysisPiece::Kind::kGlyph);
    return v.empty() ? '-' : v.front()->text[0];
  }
  bool HasLine(int x1, int y1, int x2, int y2) const {
    for (const AnalysisPiece& p : plan.pieces)
      if (p.kind == AnalysisPiece::Kind::kLine &&
          ((p.x == x1 && p.y == y1 && p.x2 == x2 && p.y2 == y2) ||
           (p.x == x2 && p.y == y2 && p.x2 == x1 && p.y2 == y1)))
        return true;
    return false;
  }
  AnalysisPlan plan;
};

TEST_F(AnalysisPlanTest, HeaderAndGroupFramesStandAtTheirColumns) {
  Plan(Chart({125, 95, 135, 100, 10, 250, 290, 280, 285, 220}));
  EXPECT_EQ(plan.left, X0);
  // A wide character moves x0 in so that the frames stay in the window.
  EXPECT_EQ(PlanAnalysis(AnalyseChart(Chart({125, 95, 135, 100, 10, 250, 290, 280, 285, 220})), 800,
                         L, 10, {}).left,
            10 + kAnalysisPen);
  EXPECT_EQ(TextAt(12, L), W("ЗОДИАК"));
  EXPECT_EQ(TextAt(40, L), W("ДОМА"));
  EXPECT_TRUE(HasLine(X0 - C, L / 2, X0 + 60 * C, L / 2));          // header frame, top
  EXPECT_TRUE(HasLine(X0 + 33 * C, L / 2, X0 + 33 * C, 2 * L + L / 2));  // its divider
  // The groups start two lines below the header, a line apart: 2, 4 and 3 rows.
  const int starts[3] = {3 * L, 6 * L, 11 * L}, rows[3] = {2, 4, 3};
  for (int g = 0; g < 3; ++g) {
    const int top = starts[g] - L / 2, bottom = starts[g] + rows[g] * L + L / 2;
    EXPECT_TRUE(HasLine(X0 - C, top, X0 + 34 * C, top)) << g;          // zodiac half
    EXPECT_TRUE(HasLine(X0 + 34 * C, top, X0 + 34 * C, bottom)) << g;
    EXPECT_TRUE(HasLine(X0 + 33 * C, top, X0 + 60 * C, top)) << g;     // house half
    EXPECT_TRUE(HasLine(X0 + 60 * C, top, X0 + 60 * C, bottom)) << g;
    for (int r = 0; r < rows[g]; ++r)
      EXPECT_EQ(TextAt(0, starts[g] + r * L), RowLabel(static_cast<AnalysisGroup>(g), r));
  }
  // Everything inside the frames' columns and the window's thirty lines.
  for (const AnalysisPiece& p : plan.pieces) {
    EXPECT_GE(std::min(p.x, p.kind == AnalysisPiece::Kind::kLine ? p.x2 : p.x), X0 - C);
    EXPECT_LE(std::max(p.x, p.x2), X0 + 60 * C);
    EXPECT_LE(std::max(p.y, p.y2), 30 * L);
  }
}

TEST_F(AnalysisPlanTest, TenPlanetsInAriesFillYangWithAllGlyphs) {
  Plan(Chart({5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  const int yang = 3 * L, yin = 4 * L;
  const std::string glyphs = "pqrstuvwxy";
  for (int n = 1; n <= 10; ++n) {
    const int col = 7 + 2 * (n <= 7 ? n - 1 : n);
    EXPECT_EQ(GlyphAt(col, yang), glyphs[n - 1]) << n;
    EXPECT_EQ(GlyphAt(col, yin), '-') << n;
  }
  EXPECT_EQ(TextAt(21, yang), "/");
  EXPECT_EQ(TextAt(29, yang), "7/10");
  EXPECT_EQ(TextAt(21, yin), "/");
  EXPECT_EQ(TextAt(29, yin), "0/0");
  // Fire and cardinal alike; earth, air, water and the other crosses empty.
  EXPECT_EQ(TextAt(29, 6 * L), "7/10");
  EXPECT_EQ(TextAt(29, 11 * L), "7/10");
  for (int y : {7 * L, 8 * L, 9 * L, 12 * L, 13 * L}) EXPECT_EQ(TextAt(29, y), "0/0");
  // The houses: all in house 12 (the cusp of house 1 is at 15), read as Pisces: yin.
  EXPECT_EQ(GlyphAt(34, yin), 'p');
  EXPECT_EQ(GlyphAt(34 + 2 * 10, yin), 'y');
  EXPECT_EQ(TextAt(48, yin), "/");
  EXPECT_EQ(TextAt(56, yin), "7/10");
  EXPECT_EQ(TextAt(56, yang), "0/0");
}

TEST_F(AnalysisPlanTest, ScoreBoxOneLineBelowTheGroups) {
  Plan(Chart({125, 95, 65, 35, 5, 250, 300, 280, 285, 220}));
  const int first = 15 * L, top = first - L / 2, bottom = top + 5 * L + L / 2;
  EXPECT_TRUE(HasLine(X0 - C, top, X0 + 29 * C, top));
  EXPECT_TRUE(HasLine(X0 + 29 * C, bottom, X0 - C, bottom));
  EXPECT_EQ(bottom - top, 11 * L / 2);
  EXPECT_TRUE(HasLine(X0 - C, first + L, X0 + 29 * C, first + L));
  EXPECT_TRUE(HasLine(X0 - C, first + 2 * L, X0 + 29 * C, first + 2 * L));
  EXPECT_TRUE(HasLine(X0 + 18 * C, first + L, X0 + 18 * C, bottom));
  EXPECT_EQ(TextAt(0, first), W("          Средний балл"));
  EXPECT_EQ(TextAt(11, first + L), W("ЗОДИАК"));
  EXPECT_EQ(TextAt(20, first + L), W("ДОМА"));
  // The five planets in their own signs: the personal average prints as 6.0.
  EXPECT_EQ(TextAt(0, first + 2 * L).substr(0, 16), W("Личные       6.0"));
}

TEST_F(AnalysisPlanTest, WithoutHousesTheHouseHalfHoldsOnlyTheNote) {
  Plan(Chart({125, 95, 135, 100, 10, 250, 290, 280, 285, 220}, 15.0, kNoHousesSystem),
       {"no houses:", "time unknown"});
  for (const AnalysisPiece& p : plan.pieces)
    if (p.kind == AnalysisPiece::Kind::kGlyph) {
      EXPECT_LT(p.x, X0 + 33 * C);
    }
  EXPECT_EQ(TextAt(34, 3 * L), "no houses:");
  EXPECT_EQ(TextAt(34, 4 * L), "time unknown");
  EXPECT_EQ(TextAt(48, 3 * L), "<none>");   // no "/" and no counts in the house half
  EXPECT_EQ(TextAt(56, 6 * L), "<none>");
  EXPECT_EQ(TextAt(0, 17 * L), W("Личные       4.4       -"));
  EXPECT_EQ(TextAt(0, 19 * L), W("Общий      4.9/4.8   -/  -"));
  // The frames stay.
  EXPECT_TRUE(HasLine(X0 + 33 * C, 3 * L - L / 2, X0 + 60 * C, 3 * L - L / 2));
}

}  // namespace
}  // namespace kv
