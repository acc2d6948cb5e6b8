// What the tooltip of a chart window says about the point under the mouse: the body,
// the cusp of the house or the sign the hit test found there. Texts are code page 1251;
// the names and words come in from the caller's text resources.
#pragma once

#include <string>
#include <vector>

#include "chart/record/chart_record.h"
#include "chart/wheel/chart_texts.h"
#include "chart/wheel/wheel_geometry.h"
#include "chart/wheel/wheel_settings.h"

namespace kv {

struct HoverWords {
  std::vector<std::string> points;  // points 1..31 (item n-1 is point n)
  std::vector<std::string> signs;   // signs 1..12
  std::string house_format;         // "%d-й дом"
  std::string speed_format;         // "Скорость: %s° в сутки"
  std::string retrograde;           // the word for retrograde motion
  std::string direct;               // the word for direct motion
  std::string no_data;              // a point without a position
};

// The words of the tooltips among the words of the picture.
HoverWords HoverWordsOf(const ChartTexts& texts);

// The tooltip lines for a hit of the wheel at the device point (x, y): for a body
// whose glyph is under the pointer (within the glyphs' height, R1 / 10) its name, sign
// with degrees and minutes, house (when the chart has houses), daily motion and, on a
// line of its own, its direction as the position table marks it; for a house the name
// and position of its cusp; for a sign its name and the position under the pointer.
// Empty for nothing.
std::vector<std::string> HoverLines(const WheelHit& hit, const WheelGeometry& g,
                                    const ChartRecord& rec, const WheelSettings& ws,
                                    const HoverWords& words, int x, int y);

// "Лев 05°16'": a sign name and the degrees and minutes of a longitude within it, as the
// position table rounds them.
std::string SignPositionText(double lon_deg, const HoverWords& words);

}  // namespace kv
