#include "texts/analysis_layout.h"

#include <algorithm>

#include "common/codepage.h"

namespace kv {
namespace {

class Planner {
 public:
  Planner(AnalysisPlan& plan) : p_(plan), L(plan.line_height), c(plan.char_width), x0(plan.left) {}

  void Text(int col, int y, std::string text) {
    p_.pieces.push_back({AnalysisPiece::Kind::kText, x0 + col * c, y, 0, 0, std::move(text)});
  }
  void Glyph(int col, int y, char glyph) {
    p_.pieces.push_back({AnalysisPiece::Kind::kGlyph, x0 + col * c, y, 0, 0, std::string(1, glyph)});
  }
  void Line(int x1, int y1, int x2, int y2) {
    p_.pieces.push_back({AnalysisPiece::Kind::kLine, x1, y1, x2, y2, {}});
  }
  // A frame from column a to column b around `rows` lines from y, half a line beyond
  // them above and below.
  void Frame(int a, int b, int y, int rows) {
    const int top = y - L / 2, bottom = y + rows * L + L / 2;
    Box(x0 + a * c, top, x0 + b * c, bottom);
  }
  void Box(int left, int top, int right, int bottom) {
    Line(left, top, right, top);
    Line(right, top, right, bottom);
    Line(right, bottom, left, bottom);
    Line(left, bottom, left, top);
  }

  // One row of a half: each planet of the row at its own place, two columns apart, the
  // "/" after the seventh place, then the counts.
  void Row(int first_col, int count_col, int y, const DistributionRow& row) {
    for (int n : row.bodies) Glyph(PlaceOf(first_col, n), y, PlanetGlyph(n));
    Text(first_col + 2 * kSeptenary, y, "/");
    Text(count_col, y, RowCount(row));
  }
  static int PlaceOf(int first_col, int n) { return first_col + 2 * (n <= kSeptenary ? n - 1 : n); }

 private:
  AnalysisPlan& p_;

 public:
  const int L, c, x0;
};

std::string HouseScore(const ChartAnalysis& a, double v) {
  return a.houses_available ? ScoreText(v) : std::string("  -");
}

}  // namespace

int AnalysisLineHeight(int window_height) { return std::max(1, window_height / 30); }

char PlanetGlyph(int planet) { return static_cast<char>('o' + planet); }

AnalysisPlan PlanAnalysis(const ChartAnalysis& a, int width, int line_height, int char_width,
                          const std::vector<std::string>& no_houses_note) {
  AnalysisPlan plan;
  plan.line_height = std::max(1, line_height);
  plan.char_width = std::max(1, char_width);
  // A hundredth of the width, but never so little that the frames, a character left of
  // x0, would fall off the left edge.
  plan.left = std::max(static_cast<int>(width * 0.01), plan.char_width + kAnalysisPen);
  Planner p(plan);
  const int L = p.L;

  // Header: the two column titles in one frame, divided between the halves.
  p.Frame(-1, 60, L, 1);
  p.Line(p.x0 + 33 * p.c, L - L / 2, p.x0 + 33 * p.c, 2 * L + L / 2);
  p.Text(12, L, W("ЗОДИАК"));
  p.Text(40, L, W("ДОМА"));

  // The groups, a line apart, from two lines below the header.
  int y = 3 * L;
  for (int g = 0; g < 3; ++g) {
    const int rows = kGroupRows[g];
    p.Frame(-1, 34, y, rows);
    p.Frame(33, 60, y, rows);
    for (int r = 0; r < rows; ++r) {
      const int row_y = y + r * L;
      p.Text(0, row_y, RowLabel(static_cast<AnalysisGroup>(g), r));
      p.Row(7, 29, row_y, a.zodiac[g][r]);
      if (a.houses_available) p.Row(34, 56, row_y, a.houses[g][r]);
    }
    if (!a.houses_available && g == 0)
      for (size_t k = 0; k < no_houses_note.size() && k < static_cast<size_t>(rows); ++k)
        p.Text(34, y + static_cast<int>(k) * L, no_houses_note[k]);
    y += (rows + 1) * L;
  }

  // The score box after one empty line (y already stands past it): from half a line
  // above its first line, 5.5 lines high, rules under its first two lines and the
  // column rule from the second line down.
  const int first = y;
  const int top = first - L / 2, bottom = top + 5 * L + L / 2;
  p.Box(p.x0 - p.c, top, p.x0 + 29 * p.c, bottom);
  p.Line(p.x0 - p.c, first + L, p.x0 + 29 * p.c, first + L);
  p.Line(p.x0 - p.c, first + 2 * L, p.x0 + 29 * p.c, first + 2 * L);
  p.Line(p.x0 + 18 * p.c, first + L, p.x0 + 18 * p.c, bottom);
  p.Text(0, first, W("          Средний балл"));
  p.Text(11, first + L, W("ЗОДИАК"));
  p.Text(20, first + L, W("ДОМА"));
  const AnalysisScores& z = a.zodiac_scores;
  const AnalysisScores& h = a.house_scores;
  p.Text(0, first + 2 * L, W("Личные       ") + ScoreText(z.personal) + "     " + HouseScore(a, h.personal));
  p.Text(0, first + 3 * L, W("Социальные   ") + ScoreText(z.social) + "     " + HouseScore(a, h.social));
  p.Text(0, first + 4 * L, W("Общий      ") + ScoreText(z.overall7) + "/" + ScoreText(z.overall10) +
                               " " + HouseScore(a, h.overall7) + "/" + HouseScore(a, h.overall10));
  return plan;
}

}  // namespace kv
