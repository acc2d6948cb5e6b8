#include "texts/analysis.h"

#include <gtest/gtest.h>

#include "common/codepage.h"

namespace kv {
namespace {

// Equal houses from the given Ascendant; bodies 1..10 at the given longitudes.
ChartRecord Chart(std::array<double, 10> lon, double asc = 15.0, int16_t system = 1) {
  ChartRecord rec = DefaultChartRecord();
  rec.house_system = system;
  for (int k = 1; k <= 12; ++k) {
    double c = asc + 30.0 * (k - 1);
    rec.lon[16 + k] = c >= 360.0 ? c - 360.0 : c;
  }
  for (int n = 1; n <= 10; ++n) rec.lon[n] = lon[n - 1];
  return rec;
}

const std::vector<std::string> kLabels = {"Su", "Mo", "Me", "Ve", "Ma", "Ju", "Sa", "Ur", "Ne", "Pl"};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> v;
  for (size_t s = 0, nl; (nl = text.find('\n', s)) != std::string::npos; s = nl + 1)
    v.push_back(text.substr(s, nl - s));
  return v;
}

TEST(Dignity, ClassicalRulersExaltationsDetrimentsAndFalls) {
  struct Case { int sign, body, points; };
  for (Case c : std::vector<Case>{
           {5, 1, 6}, {1, 1, 5}, {11, 1, 0}, {7, 1, 1},    // Sun
           {4, 2, 6}, {2, 2, 5}, {10, 2, 0}, {8, 2, 1},    // Moon
           {3, 3, 6}, {6, 3, 6}, {9, 3, 0}, {12, 3, 0},    // Mercury
           {2, 4, 6}, {7, 4, 6}, {12, 4, 5}, {6, 4, 1},    // Venus
           {1, 5, 6}, {8, 5, 6}, {10, 5, 5}, {4, 5, 1},    // Mars
           {9, 6, 6}, {12, 6, 6}, {4, 6, 5}, {10, 6, 1},   // Jupiter
           {10, 7, 6}, {11, 7, 6}, {7, 7, 5}, {1, 7, 1}})  // Saturn
    EXPECT_EQ(DignityPoints(c.sign, c.body), c.points) << c.sign << " " << c.body;
  EXPECT_EQ(DignityPoints(0, 1), 0);
  EXPECT_EQ(DignityPoints(1, 11), 0);
}

TEST(Classes, PolarityElementCrossOfEveryNumber) {
  const int polarity[12] = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
  const int element[12] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};
  const int cross[12] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2};
  for (int k = 1; k <= 12; ++k) {
    EXPECT_EQ(ClassOf(AnalysisGroup::kPolarity, k), polarity[k - 1]);
    EXPECT_EQ(ClassOf(AnalysisGroup::kElement, k), element[k - 1]);
    EXPECT_EQ(ClassOf(AnalysisGroup::kCross, k), cross[k - 1]);
  }
  EXPECT_EQ(RowLabel(AnalysisGroup::kElement, 3), W("Вода  "));
  EXPECT_EQ(RowLabel(AnalysisGroup::kCross, 2), W("Мутаб."));
}

TEST(Analysis, SunInLeoInTheFirstHouseReadsTheHouseAsAries) {
  ChartAnalysis a = AnalyseChart(Chart({125, 10, 10, 10, 10, 10, 10, 10, 10, 10}, 120.0));
  EXPECT_EQ(a.sign[1], 5);
  EXPECT_EQ(a.house[1], 1);
  EXPECT_EQ(DignityPoints(a.sign[1], 1), 6);
  EXPECT_EQ(DignityPoints(a.house[1], 1), 5);
}

TEST(Analysis, TenBodiesInAriesFillYangFireAndCardinal) {
  ChartAnalysis a = AnalyseChart(Chart({5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  for (int g = 0; g < 3; ++g) {
    EXPECT_EQ(a.zodiac[g][0].bodies, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(RowCount(a.zodiac[g][0]), "7/10");
    for (int r = 1; r < kGroupRows[g]; ++r) {
      EXPECT_TRUE(a.zodiac[g][r].bodies.empty());
      EXPECT_EQ(RowCount(a.zodiac[g][r]), "0/0");
    }
  }
  std::vector<std::string> lines = Lines(AnalysisText(a, kLabels, ""));
  EXPECT_EQ(lines[1], W("Ян     Su Mo Me Ve Ma Ju Sa / Ur Ne Pl 7/10"));
  EXPECT_EQ(lines[2], W("Инь    ") + std::string(21, ' ') + "/ " + std::string(9, ' ') + "0/0");
}

TEST(Analysis, SlashStandsInEveryRowOfBothHalves) {
  ChartAnalysis a = AnalyseChart(Chart({5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  std::vector<std::string> lines = Lines(AnalysisText(a, kLabels, ""));
  int rows = 0;
  for (const std::string& l : lines) {
    for (int g = 0; g < 3; ++g)
      for (int r = 0; r < kGroupRows[g]; ++r)
        if (l.rfind(RowLabel(static_cast<AnalysisGroup>(g), r), 0) == 0) {
          ++rows;
          EXPECT_EQ(l.substr(7 + 7 * 3, 2), "/ ") << l;
        }
  }
  EXPECT_EQ(rows, 18);
}

TEST(Analysis, OwnSignsGiveAPersonalAverageOfSix) {
  ChartAnalysis a = AnalyseChart(Chart({125, 95, 65, 35, 5, 250, 300, 280, 285, 220}));
  EXPECT_EQ(ScoreText(a.zodiac_scores.personal), "6.0");
  std::string text = AnalysisText(a, kLabels, "");
  EXPECT_NE(text.find(W("Личные       6.0     ")), std::string::npos);
}

TEST(Analysis, JsonOfAHandBuiltChart) {
  ChartAnalysis a = AnalyseChart(Chart({125, 95, 135, 100, 10, 250, 290, 280, 285, 220}));
  EXPECT_EQ(AnalysisJson(a),
            "{\"zodiac\": {\"polarity\": [[1, 3, 5, 6], [2, 4, 7, 8, 9, 10]], "
            "\"element\": [[1, 3, 5, 6], [7, 8, 9], [], [2, 4, 10]], "
            "\"cross\": [[2, 4, 5, 7, 8, 9], [1, 3, 10], [6]]}, "
            "\"houses\": {\"polarity\": [[2, 3, 4, 8, 10], [1, 5, 6, 7, 9]], "
            "\"element\": [[3, 8], [7, 9], [2, 4, 10], [1, 5, 6]], "
            "\"cross\": [[1, 7, 9, 10], [3, 6], [2, 4, 5, 8]]}, "
            "\"scores\": {\"personal\": [4.4, 3.2], \"social\": [5.2, 2.8], "
            "\"overall7\": [4.85714285714286, 3.71428571428571], \"overall10\": [4.8, 3]}}");
  std::vector<std::string> lines = Lines(AnalysisText(a, kLabels, ""));
  EXPECT_EQ(lines[lines.size() - 1], W("Общий      4.9/4.8 3.7/3.0"));
  EXPECT_EQ(lines[lines.size() - 2], W("Социальные   5.2     2.8"));
  EXPECT_EQ(lines[lines.size() - 4], W("           ЗОДИАК   ДОМА"));
}

TEST(Analysis, WithoutHousesTheHouseHalfIsMarkedNotAvailable) {
  ChartAnalysis a = AnalyseChart(Chart({125, 95, 135, 100, 10, 250, 290, 280, 285, 220}, 15.0,
                                       kNoHousesSystem));
  EXPECT_FALSE(a.houses_available);
  std::string json = AnalysisJson(a);
  EXPECT_NE(json.find("\"houses\": null"), std::string::npos);
  EXPECT_NE(json.find("\"personal\": [4.4, null]"), std::string::npos);
  std::string text = AnalysisText(a, kLabels, "no houses");
  EXPECT_NE(text.find(W("ДОМА") + "\nno houses\n"), std::string::npos);
  EXPECT_NE(text.find(W("Личные       4.4       -")), std::string::npos);
}

}  // namespace
}  // namespace kv
