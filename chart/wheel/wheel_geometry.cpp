#include "chart/wheel/wheel_geometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/record/chart_rules.h"
#include "common/angles.h"

namespace kv {
namespace {

double Normalised(double deg) { return NormalizeDegrees(deg); }

}  // namespace

double AngleMapping::ScreenAngle(double lon_deg) const {
  double d = Normalised(Normalised(lon_deg) - rotation);
  if (!clockwise) d = 180.0 - d;
  return Normalised(d);
}

double AngleMapping::LongitudeAt(double screen_deg) const {
  double d = clockwise ? screen_deg : 180.0 - screen_deg;
  return Normalised(d + rotation);
}

DevicePoint AngleMapping::PointAt(double lon_deg, double r) const {
  const double theta = ScreenAngle(lon_deg) * kPi / 180.0;
  return {static_cast<int>(cx + r * std::cos(theta)), static_cast<int>(cy + r * std::sin(theta))};
}

double WheelRotation(const ChartRecord& rec, const WheelSettings& ws) {
  return ws.Option(kOptAscendantOrigin) ? static_cast<double>(rec.lon[kFirstCusp]) : 0.0;
}

void SetRadii(WheelGeometry& g, int r0) {
  g.r0 = r0;
  g.R1 = (r0 + 1) * 9 / 10;
  g.R2 = static_cast<int>(0.9 * g.R1);
  g.R3 = g.R2 * 33 / 34;
  g.R4 = g.houses ? g.R3 * 9 / 10 : g.R3;
}

namespace {

void FinishGeometry(WheelGeometry& g, int r0, const ChartRecord& rec, const WheelSettings& ws) {
  g.houses = HasHouses(rec);
  g.map.rotation = WheelRotation(rec, ws);
  g.map.clockwise = ws.Option(kOptClockwise);
  SetRadii(g, r0);
  // A body without a position is not drawn.
  const GlyphSpread spread = SpreadGlyphs(rec, ws.planet_mask & ~MissingBodyMask(rec), g.R1, g.R4);
  g.glyph_radius = spread.radius;
  g.RA = spread.ra;
  g.gap = spread.gap;
}

}  // namespace

WheelGeometry ScreenGeometry(int client_w, int client_h, int line_height,
                             const ChartRecord& rec, const WheelSettings& ws) {
  return ScreenGeometryAt(client_w / 2, client_h / 2, std::min(client_w / 2, client_h / 2),
                          line_height, rec, ws);
}

WheelGeometry ScreenGeometryAt(int cx, int cy, int r0, int line_height, const ChartRecord& rec,
                               const WheelSettings& ws) {
  WheelGeometry g;
  g.map.cx = cx;
  g.map.cy = cy;
  g.line_height = line_height;
  g.pen_width = 1;
  FinishGeometry(g, std::max(0, r0), rec, ws);
  return g;
}

WheelGeometry PrintGeometry(int page_w, bool legend, const ChartRecord& rec,
                            const WheelSettings& ws) {
  WheelGeometry g;
  const int w = page_w / 2;
  int r0;
  if (legend) {
    g.map.cx = static_cast<int>(1.114 * w);
    g.map.cy = static_cast<int>(1.1 * w);
    r0 = static_cast<int>(0.855 * w);
  } else {
    g.map.cx = g.map.cy = w;
    r0 = static_cast<int>(0.9 * w);
  }
  g.line_height = page_w * 40 / 2000;
  g.pen_width = 3 * ws.ov[kOptPrintLineWidth] + 1;
  FinishGeometry(g, std::max(0, r0), rec, ws);
  return g;
}

GlyphSpread SpreadGlyphs(const ChartRecord& rec, uint32_t planet_mask, int R1, int R4) {
  const int s = R1 / 15;
  const int start = R4 - s;
  const int floor = R1 / 6;
  const auto lon = CopyLongitudes(rec);
  GlyphSpread out;
  out.radius.fill(kNoGlyph);
  for (int pass = 0; pass < 2; ++pass) {
    const int gap = pass == 0 ? s : 2 * s / 3;
    out.radius.fill(kNoGlyph);
    out.gap = gap;
    bool restart = false;
    std::vector<int> taken;
    for (int i = 1; i <= kBodyCount && !restart; ++i) {
      if (!((planet_mask >> (i - 1)) & 1u)) continue;
      taken.clear();
      for (int j = 1; j < i; ++j)
        if (out.radius[j] != kNoGlyph && std::fabs(lon[i] - lon[j]) < 5.0)
          taken.push_back(out.radius[j]);
      int f = start;
      // A gap of 0 (a tiny wheel) would never leave a taken radius.
      for (bool moved = true; moved && gap > 0;) {
        moved = std::find(taken.begin(), taken.end(), f) != taken.end();
        if (moved) f -= gap;
      }
      if (f > floor) out.radius[i] = f;
      else if (pass == 0) restart = true;
      else out.radius[i] = start;
    }
    if (!restart) break;
  }
  int smallest = start;
  for (int i = 1; i <= kBodyCount; ++i)
    if (out.radius[i] != kNoGlyph) smallest = std::min(smallest, out.radius[i]);
  out.ra = smallest - out.gap;
  return out;
}

double MidLongitude(double a_deg, double b_deg) {
  double m = (a_deg + b_deg) / 2.0;
  if (std::fabs(b_deg - a_deg) > 180.0) m -= 180.0;
  return Normalised(m);
}

int SignAtScreenAngle(const AngleMapping& map, double screen_deg) {
  const double lon = map.LongitudeAt(screen_deg);
  return std::clamp(static_cast<int>(lon / 30.0) + 1, 1, 12);
}

int HouseAtScreenAngle(const AngleMapping& map, const ChartRecord& rec, double screen_deg) {
  return HouseOf(rec, map.LongitudeAt(screen_deg));
}

WheelHit HitTest(const WheelGeometry& g, const ChartRecord& rec, int x, int y) {
  const long long dx = x - g.map.cx, dy = y - g.map.cy;
  if (dx == 0 && dy == 0) return {};
  const double angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 180.0 / kPi;
  const long long q = dx * dx + dy * dy;
  auto sq = [](long long r) { return r * r; };
  if (q > sq(g.R1)) return {};
  if (q > sq(g.R2)) return {HitKind::kSign, SignAtScreenAngle(g.map, angle)};
  if (!g.houses || q <= sq(g.R4)) {
    WheelHit best;
    long long best_d = -1;
    for (int i = 1; i <= kBodyCount; ++i) {
      if (g.glyph_radius[i] == kNoGlyph) continue;
      const DevicePoint p = g.map.PointAt(rec.lon[i], g.glyph_radius[i]);
      const long long d = sq(p.x - x) + sq(p.y - y);
      if (best_d < 0 || d < best_d) {
        best_d = d;
        best = {HitKind::kBody, i};
      }
    }
    return best;
  }
  const int house = HouseAtScreenAngle(g.map, rec, angle);
  if (house == 0) return {};
  return {HitKind::kHouse, house};
}

}  // namespace kv
