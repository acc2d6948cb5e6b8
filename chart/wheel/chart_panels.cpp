#include "chart/wheel/chart_panels.h"

#include "chart/record/chart_rules.h"
#include "common/calendar.h"
#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"

namespace kv {
namespace {

constexpr char kBodyGlyphs[] = "pqrstuvwxy\\_Z[^]";
constexpr char kCuspGlyphs[] = "labodemghnjk";

}  // namespace

char BodyGlyph(int body) { return body >= 1 && body <= 16 ? kBodyGlyphs[body - 1] : ' '; }

char PointGlyph(int point) {
  if (point >= 1 && point <= 16) return BodyGlyph(point);
  if (point >= 17 && point <= 28) return kCuspGlyphs[point - 17];
  return ' ';
}

bool ShowsRetrograde(int n, const ChartRecord& rec, const WheelSettings& ws) {
  if (n < kBodySun || n > kBodySouthNode) return false;
  if (n == kBodySun || n == kBodyMoon || n == kBodyProserpina) return false;
  if (ws.Option(kOptHeliocentric) && n != kBodyNorthNode) return false;
  if ((n == kBodyNorthNode || n == kBodySouthNode) && !ws.Option(kOptTrueNode)) return true;
  if (n == kBodyLilith && !ws.Option(kOptOsculatingApogee)) return false;
  return rec.speed[n] <= 0.0;
}

std::vector<int> PositionTablePoints(const ChartRecord& rec) {
  std::vector<int> points;
  for (int n = 1; n <= kBodyCount; ++n) points.push_back(n);
  if (HasHouses(rec))
    for (int cusp : {1, 10, 2, 3, 5, 6}) points.push_back(kFirstCusp - 1 + cusp);
  return points;
}

std::vector<PositionRow> PositionTable(const ChartRecord& rec, const WheelSettings& ws) {
  std::vector<PositionRow> rows;
  for (int point : PositionTablePoints(rec)) {
    PositionRow row;
    row.point = point;
    row.shown = point > kBodyCount || ws.Shows(point);
    row.computed = PointComputed(rec, point);
    if (row.shown) {
      row.glyph = PointGlyph(point);
      row.pos = SignPositionOf(rec.lon[point]);
      row.retrograde = row.computed && ShowsRetrograde(point, rec, ws);
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> HeaderLines(const ChartRecord& rec, const ChartTexts& texts) {
  std::vector<std::string> lines;
  lines.push_back(FormatMessage("%.29s", rec.name));
  lines.push_back(FormatMessage("LT: %s %s", FormatDateTime(rec.jd_local).c_str(),
                         WeekdayName(rec.jd_local)));
  lines.push_back(FormatMessage("GMT:%s", FormatDateTime(rec.jd_ut).c_str()));
  // The window runs under the user's locale: the numbers keep their decimal point.
  lines.push_back(FormatFixed(rec.lat_packed, 2) + " " + FormatFixed(rec.lon_packed, 2) +
                  FormatMessage(" %.29s", rec.place));
  lines.push_back(FormatMessage(W("Дома: %s").c_str(),
                                texts.HouseSystemName(rec.house_system).c_str()));
  if (rec.lunar_day > 0) lines.push_back(FormatMessage(W("%d-й лунный день").c_str(), rec.lunar_day));
  else if (rec.lunar_day == 0) lines.push_back(texts.no_lunar_day);
  return lines;
}

std::vector<BodyPlacement> BodyPlacements(const ChartRecord& rec) {
  std::vector<BodyPlacement> out;
  const ChartSummary summary = SummarizeChart(rec);
  for (int body = 1; body <= 11; ++body)
    out.push_back({body, summary.body_sign[body], summary.body_house[body]});
  return out;
}

}  // namespace kv
