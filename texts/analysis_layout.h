// Where the analysis window draws each part, from the window's width, its line height
// and the width of one character of its text font: the header with the two column
// titles, the three groups by sign and by house with their frames, and the score box.
// The window and its printout paint these pieces; nothing here needs a window system.
#pragma once

#include <string>
#include <vector>

#include "texts/analysis.h"

namespace kv {

struct AnalysisPiece {
  enum class Kind { kText, kGlyph, kLine };
  Kind kind = Kind::kText;
  int x = 0, y = 0;    // text and glyphs: left and top of the line; lines: one end
  int x2 = 0, y2 = 0;  // lines: the other end
  std::string text;    // code page 1251, or the glyph character of the symbol face
};

struct AnalysisPlan {
  int line_height = 0;  // L
  int char_width = 0;   // c
  int left = 0;         // x0
  std::vector<AnalysisPiece> pieces;
};

// Frames and rules are drawn with a pen this wide.
inline constexpr int kAnalysisPen = 3;

// L of a window: a thirtieth of its height.
int AnalysisLineHeight(int window_height);

// The glyph of planet 1..10 in the symbol face ("p" for the Sun to "y" for Pluto).
char PlanetGlyph(int planet);

// The pieces of the whole analysis. x0 is a hundredth of `width`, at least a character
// and the frame's pen from the left edge. Without houses the
// house half keeps its frames and shows `no_houses_note` (one item a line) instead of
// glyphs and counts, and the house scores read "-".
AnalysisPlan PlanAnalysis(const ChartAnalysis& a, int width, int line_height, int char_width,
                          const std::vector<std::string>& no_houses_note);

}  // namespace kv
