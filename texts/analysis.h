// The analysis of a chart: how the ten planets Sun to Pluto fall into the polarities,
// elements and crosses, once by sign and once by house, and their average dignity
// scores. The window and the command line only lay out what this computes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart/record/chart_record.h"

namespace kv {

inline constexpr int kAnalysedBodies = 10;  // Sun .. Pluto
// Planets left of the "/" in every row: Sun to Saturn.
inline constexpr int kSeptenary = 7;

// Dignity points P[sign - 1][body - 1] (0..6): 6 rulership, 5 exaltation, 0 detriment,
// 1 fall for the classical planets; the rest of the table is taken as it stands.
inline constexpr std::array<std::array<uint8_t, kAnalysedBodies>, 12> kDignity = {{
    {5, 3, 2, 0, 6, 4, 1, 2, 4, 6},  // Aries
    {3, 5, 4, 6, 0, 2, 4, 1, 2, 0},  // Taurus
    {2, 3, 6, 4, 2, 0, 4, 4, 0, 2},  // Gemini
    {3, 6, 2, 2, 1, 5, 0, 0, 4, 4},  // Cancer
    {6, 3, 2, 2, 4, 4, 0, 0, 1, 5},  // Leo
    {3, 2, 6, 1, 2, 0, 4, 4, 0, 2},  // Virgo
    {1, 3, 4, 6, 0, 2, 5, 4, 2, 0},  // Libra
    {3, 1, 2, 0, 6, 4, 2, 5, 4, 6},  // Scorpio
    {4, 3, 0, 2, 4, 6, 2, 2, 6, 4},  // Sagittarius
    {3, 0, 4, 4, 5, 1, 6, 6, 2, 2},  // Capricorn
    {0, 3, 4, 4, 2, 2, 6, 6, 5, 1},  // Aquarius
    {3, 4, 0, 5, 4, 6, 2, 2, 6, 4},  // Pisces
}};

// Points of body 1..10 standing in sign (or house read as sign) 1..12.
int DignityPoints(int sign, int body);

enum class AnalysisGroup { kPolarity = 0, kElement = 1, kCross = 2 };
inline constexpr std::array<int, 3> kGroupRows = {2, 4, 3};

// Row of a sign or house number k (1..12) in a group: (k - 1) mod 2, 4 or 3.
int ClassOf(AnalysisGroup group, int k);
// The row labels as printed, trailing blanks included ("Огонь ", "Мутаб."), 1251.
const std::string& RowLabel(AnalysisGroup group, int row);

struct DistributionRow {
  std::vector<int> bodies;  // the bodies of this row, in order
  int septenary = 0;        // how many of them are Sun to Saturn
  int total = 0;            // how many of all ten
};
// rows[group][row]
using Distribution = std::array<std::vector<DistributionRow>, 3>;

struct AnalysisScores {
  double personal = 0;   // (P1 + .. + P5) * 0.2
  double social = 0;     // (P6 + .. + P10) * 0.2
  double overall7 = 0;   // (P1 + .. + P7) / 7
  double overall10 = 0;  // (P1 + .. + P10) * 0.1
};

struct ChartAnalysis {
  std::array<int, kAnalysedBodies + 1> sign{};   // z(n), 1..12; [0] unused
  std::array<int, kAnalysedBodies + 1> house{};  // h(n), 1..12 (0 when unknown)
  // False for a chart without houses (house system 8) or a body outside every
  // house: the house half then means nothing and is not shown.
  bool houses_available = false;
  Distribution zodiac, houses;
  AnalysisScores zodiac_scores, house_scores;
};

ChartAnalysis AnalyseChart(const ChartRecord& chart);

// "%d/%d" of a row, and a score as "%3.1f".
std::string RowCount(const DistributionRow& row);
std::string ScoreText(double score);

// The tables and scores as text, one line per row, as the analysis window lays them
// out. `body_labels` names bodies 1..10 (item n-1 is body n); `no_houses_note` stands
// in place of the house half when it is not available.
std::string AnalysisText(const ChartAnalysis& a, const std::vector<std::string>& body_labels,
                         std::string_view no_houses_note);

// {"zodiac": {"polarity": [[bodies...], ...], "element": ..., "cross": ...},
//  "houses": {...} or null, "scores": {"personal": [z, h], "social": [z, h],
//  "overall7": [z, h], "overall10": [z, h]}} with bodies 1..10; h is null without houses.
std::string AnalysisJson(const ChartAnalysis& a);

}  // namespace kv
