// What the text panels beside the wheel show: the header lines, the rows of the
// position table with their rounding and retrograde rules, and the glyph characters
// of the symbol face "ATM". Texts are code page 1251.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "chart/record/chart_record.h"
#include "chart/record/chart_rules.h"  // SignPositionOf
#include "chart/wheel/chart_texts.h"
#include "chart/wheel/wheel_settings.h"

namespace kv {

// Glyph characters of the symbol face.
char BodyGlyph(int body);         // 1..16
char PointGlyph(int point);       // 1..28: bodies, then cusps 1..12
inline char SignGlyph(int sign) { return static_cast<char>(77 + sign); }     // 1..12
inline char HouseGlyph(int house) { return static_cast<char>(48 + house); }  // 1..12
inline constexpr char kAscendantGlyph = 'l';
inline constexpr char kMidheavenGlyph = 'n';

// Whether the table marks body n with "r".
bool ShowsRetrograde(int n, const ChartRecord& rec, const WheelSettings& ws);

// Rows of the position table, top to bottom: 16 without houses, else 22. Each holds
// the chart point shown there (rows 17.. are the Ascendant, the MC, cusps 2, 3, 5, 6).
std::vector<int> PositionTablePoints(const ChartRecord& rec);

struct PositionRow {
  int point = 0;         // chart point 1..28
  bool shown = false;    // false: the row stays empty (body hidden by the planet mask)
  bool computed = true;  // false: the point has no position; the row says "нет данных"
  char glyph = ' ';
  SignPosition pos;
  bool retrograde = false;
};
std::vector<PositionRow> PositionTable(const ChartRecord& rec, const WheelSettings& ws);

// The six header lines: name, local date with weekday, universal date, place, house
// system, lunar day (omitted when none was asked for; "LunNoDat" when it could not be
// found).
std::vector<std::string> HeaderLines(const ChartRecord& rec, const ChartTexts& texts);

// One row of the printed box of bodies in signs and houses (bodies 1..11).
struct BodyPlacement {
  int body = 0;
  int sign = 0;   // 0 when the body has no position
  int house = 0;  // 0 when no house holds it
};
std::vector<BodyPlacement> BodyPlacements(const ChartRecord& rec);

}  // namespace kv
