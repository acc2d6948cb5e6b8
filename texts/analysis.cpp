#include "texts/analysis.h"

#include <algorithm>

#include "chart/record/chart_rules.h"
#include "common/codepage.h"
#include "common/numbers.h"

namespace kv {
namespace {

constexpr std::array<int, 3> kModulus = {2, 4, 3};

Distribution Distribute(const std::array<int, kAnalysedBodies + 1>& where) {
  Distribution d;
  for (int g = 0; g < 3; ++g) {
    d[g].resize(kGroupRows[g]);
    for (int n = 1; n <= kAnalysedBodies; ++n) {
      DistributionRow& row = d[g][ClassOf(static_cast<AnalysisGroup>(g), where[n])];
      row.bodies.push_back(n);
      ++row.total;
      if (n <= kSeptenary) ++row.septenary;
    }
  }
  return d;
}

AnalysisScores Score(const std::array<int, kAnalysedBodies + 1>& where) {
  std::array<int, kAnalysedBodies + 1> p{};
  for (int n = 1; n <= kAnalysedBodies; ++n) p[n] = DignityPoints(where[n], n);
  auto sum = [&](int from, int to) {
    int s = 0;
    for (int n = from; n <= to; ++n) s += p[n];
    return s;
  };
  AnalysisScores s;
  s.personal = sum(1, 5) * 0.2;
  s.social = sum(6, 10) * 0.2;
  s.overall7 = sum(1, 7) / 7.0;
  s.overall10 = sum(1, 10) * 0.1;
  return s;
}

void PadTo(std::string& s, size_t column) {
  if (s.size() < column) s.append(column - s.size(), ' ');
}

// One row: the label, a cell per body with "/" after the seventh, then "%d/%d".
std::string RowLine(AnalysisGroup g, int r, const DistributionRow& row,
                    const std::vector<std::string>& labels, size_t cell) {
  std::string s = RowLabel(g, r);
  s.push_back(' ');
  PadTo(s, 7);
  for (int n = 1; n <= kAnalysedBodies; ++n) {
    size_t start = s.size();
    if (std::find(row.bodies.begin(), row.bodies.end(), n) != row.bodies.end())
      s += static_cast<size_t>(n) <= labels.size() ? labels[n - 1] : std::to_string(n);
    PadTo(s, start + cell);
    if (n == kSeptenary) s += "/ ";
  }
  s += RowCount(row);
  return s;
}

void AppendHalf(std::string& out, const Distribution& d, const std::vector<std::string>& labels) {
  size_t cell = 2;
  for (const std::string& l : labels) cell = std::max(cell, l.size() + 1);
  for (int g = 0; g < 3; ++g) {
    if (g) out.push_back('\n');
    for (int r = 0; r < kGroupRows[g]; ++r) {
      out += RowLine(static_cast<AnalysisGroup>(g), r, d[g][r], labels, cell);
      out.push_back('\n');
    }
  }
}

std::string JsonHalf(const Distribution& d) {
  static const char* kNames[3] = {"polarity", "element", "cross"};
  std::string s = "{";
  for (int g = 0; g < 3; ++g) {
    if (g) s += ", ";
    s += "\"";
    s += kNames[g];
    s += "\": [";
    for (int r = 0; r < kGroupRows[g]; ++r) {
      if (r) s += ", ";
      s += "[";
      for (size_t i = 0; i < d[g][r].bodies.size(); ++i) {
        if (i) s += ", ";
        s += std::to_string(d[g][r].bodies[i]);
      }
      s += "]";
    }
    s += "]";
  }
  return s + "}";
}

}  // namespace

int DignityPoints(int sign, int body) {
  if (sign < 1 || sign > 12 || body < 1 || body > kAnalysedBodies) return 0;
  return kDignity[sign - 1][body - 1];
}

int ClassOf(AnalysisGroup group, int k) {
  int m = kModulus[static_cast<int>(group)];
  return (((k - 1) % m) + m) % m;
}

const std::string& RowLabel(AnalysisGroup group, int row) {
  static const std::array<std::vector<std::string>, 3> labels = {{
      {W("Ян"), W("Инь")},
      {W("Огонь "), W("Земля "), W("Воздух"), W("Вода  ")},
      {W("Кард. "), W("Фикс. "), W("Мутаб.")},
  }};
  return labels[static_cast<int>(group)][row];
}

std::string RowCount(const DistributionRow& row) {
  return std::to_string(row.septenary) + "/" + std::to_string(row.total);
}

std::string ScoreText(double score) { return FormatFixed(score, 1, 3); }

ChartAnalysis AnalyseChart(const ChartRecord& chart) {
  ChartAnalysis a;
  a.houses_available = HasHouses(chart);
  for (int n = 1; n <= kAnalysedBodies; ++n) {
    double lon = chart.lon[n];
    a.sign[n] = SignOf(lon);
    a.house[n] = HouseOf(chart, lon);
    if (a.house[n] < 1) a.houses_available = false;
  }
  a.zodiac = Distribute(a.sign);
  a.zodiac_scores = Score(a.sign);
  if (a.houses_available) {
    a.houses = Distribute(a.house);
    a.house_scores = Score(a.house);
  }
  return a;
}

std::string AnalysisText(const ChartAnalysis& a, const std::vector<std::string>& body_labels,
                         std::string_view no_houses_note) {
  const std::string zodiac = W("ЗОДИАК"), houses = W("ДОМА");
  std::string out = zodiac + "\n";
  AppendHalf(out, a.zodiac, body_labels);
  out += "\n" + houses + "\n";
  if (a.houses_available) {
    AppendHalf(out, a.houses, body_labels);
  } else {
    out.append(no_houses_note);
    out.push_back('\n');
  }

  auto house_score = [&](double v) { return a.houses_available ? ScoreText(v) : std::string("  -"); };
  out += "\n";
  out += W("          Средний балл") + "\n";
  std::string heads;
  PadTo(heads, 11);
  heads += zodiac;
  PadTo(heads, 20);
  heads += houses;
  out += heads + "\n";
  out += W("Личные       ") + ScoreText(a.zodiac_scores.personal) + "     " +
         house_score(a.house_scores.personal) + "\n";
  out += W("Социальные   ") + ScoreText(a.zodiac_scores.social) + "     " +
         house_score(a.house_scores.social) + "\n";
  out += W("Общий      ") + ScoreText(a.zodiac_scores.overall7) + "/" +
         ScoreText(a.zodiac_scores.overall10) + " " + house_score(a.house_scores.overall7) + "/" +
         house_score(a.house_scores.overall10) + "\n";
  return out;
}

std::string AnalysisJson(const ChartAnalysis& a) {
  auto number = [](double v) { return FormatGeneral(v, 15); };
  auto pair = [&](double z, double h) {
    return "[" + number(z) + ", " + (a.houses_available ? number(h) : std::string("null")) + "]";
  };
  std::string s = "{\"zodiac\": " + JsonHalf(a.zodiac) + ", \"houses\": ";
  s += a.houses_available ? JsonHalf(a.houses) : std::string("null");
  s += ", \"scores\": {";
  s += "\"personal\": " + pair(a.zodiac_scores.personal, a.house_scores.personal);
  s += ", \"social\": " + pair(a.zodiac_scores.social, a.house_scores.social);
  s += ", \"overall7\": " + pair(a.zodiac_scores.overall7, a.house_scores.overall7);
  s += ", \"overall10\": " + pair(a.zodiac_scores.overall10, a.house_scores.overall10);
  s += "}}";
  return s;
}

}  // namespace kv
