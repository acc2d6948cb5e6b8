#include "chart/wheel/chart_panels.h"

#include "app/textres/text_resources.h"
#include "astro/calendar.h"
#include "chart/record/chart_rules.h"
#include "common/codepage.h"
#include "common/messages.h"

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

SignPosition SignPositionOf(double lon_deg) {
  double lon = lon_deg + 1.0 / 120.0;
  if (lon > 360.0) lon -= 360.0;
  SignPosition p;
  p.sign = static_cast<int>(lon / 30.0) + 1;
  // 360 itself (a longitude of 359 deg 59.5 min and more) is the start of Aries.
  if (p.sign > 12) {
    p.sign = 1;
    lon -= 360.0;
  }
  if (p.sign < 1) p.sign = 1;
  const double in_sign = lon - 30.0 * (p.sign - 1);
  p.degrees = static_cast<int>(in_sign);
  p.minutes = static_cast<int>(60.0 * (in_sign - p.degrees));
  if (p.minutes > 59) p.minutes = 59;
  return p;
}

bool ShowsRetrograde(int n, const ChartRecord& rec, const WheelSettings& ws) {
  if (n < 1 || n > 16 || n == 1 || n == 2 || n == 14) return false;
  if (ws.Option(kOptHeliocentric) && n != 11) return false;
  if ((n == 11 || n == 16) && !ws.Option(kOptTrueNode)) return true;
  if (n == 15 && !ws.Option(kOptOsculatingApogee)) return false;
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
    if (row.shown) {
      row.glyph = PointGlyph(point);
      row.pos = SignPositionOf(rec.lon[point]);
      row.retrograde = ShowsRetrograde(point, rec, ws);
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> HeaderLines(const ChartRecord& rec) {
  std::vector<std::string> lines;
  lines.push_back(FormatMessage("%.29s", rec.name));
  lines.push_back(FormatMessage("LT: %s %s", FormatDateTime(rec.jd_local).c_str(),
                                WeekdayName(rec.jd_local)));
  lines.push_back(FormatMessage("GMT:%s", FormatDateTime(rec.jd_ut).c_str()));
  lines.push_back(FormatMessage("%.2f %.2f %.29s", static_cast<double>(rec.lat_packed),
                                static_cast<double>(rec.lon_packed), rec.place));
  lines.push_back(FormatMessage(W("Дома: %s").c_str(),
                                Resources().LookupIndexed(rec.house_system, "HOUS").c_str()));
  if (rec.lunar_day > 0) lines.push_back(FormatMessage(W("%d-й лунный день").c_str(), rec.lunar_day));
  return lines;
}

std::vector<BodyPlacement> BodyPlacements(const ChartRecord& rec) {
  std::vector<BodyPlacement> out;
  for (int body = 1; body <= 11; ++body)
    out.push_back({body, SignOf(rec.lon[body]), HouseOf(rec, rec.lon[body])});
  return out;
}

}  // namespace kv
