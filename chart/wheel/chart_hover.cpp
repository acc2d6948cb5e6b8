#include "chart/wheel/chart_hover.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "chart/record/chart_rules.h"
#include "chart/wheel/chart_panels.h"
#include "common/format_text.h"
#include "common/numbers.h"

namespace kv {
namespace {

constexpr double kPi = 3.14159265358979323846;

const std::string& Item(const std::vector<std::string>& list, int n) {
  static const std::string empty;
  return n >= 1 && static_cast<size_t>(n) <= list.size() ? list[n - 1] : empty;
}

// A format of the text resources filled with one value, when it takes exactly that.
std::string Fill(const std::string& format, const FormatArg& arg) {
  const std::array<FormatArg, 1> args{arg};
  return FormatChecked(format, args).value_or(format);
}

}  // namespace

std::string SignPositionText(double lon_deg, const HoverWords& words) {
  const SignPosition p = SignPositionOf(lon_deg);
  char buf[32];
  // Degree sign and apostrophe in code page 1251.
  std::snprintf(buf, sizeof buf, " %02d\xB0%02d'", p.degrees, p.minutes);
  return Item(words.signs, p.sign) + buf;
}

std::vector<std::string> HoverLines(const WheelHit& hit, const WheelGeometry& g,
                                    const ChartRecord& rec, const WheelSettings& ws,
                                    const HoverWords& words, int x, int y) {
  std::vector<std::string> lines;
  switch (hit.kind) {
    case HitKind::kNothing:
      break;
    case HitKind::kSign: {
      lines.push_back(Item(words.signs, hit.number));
      const double angle = std::atan2(double(y - g.map.cy), double(x - g.map.cx)) * 180.0 / kPi;
      lines.push_back(SignPositionText(g.map.LongitudeAt(angle), words));
      break;
    }
    case HitKind::kHouse: {
      const int point = kFirstCusp + hit.number - 1;
      lines.push_back(Item(words.points, point));
      lines.push_back(PointComputed(rec, point) ? SignPositionText(rec.lon[point], words)
                                                : words.no_data);
      break;
    }
    case HitKind::kBody: {
      const int n = hit.number;
      // The click takes the nearest body anywhere inside the rings; a tooltip only
      // speaks of a glyph the pointer is on.
      const DevicePoint at = g.map.PointAt(rec.lon[n], g.glyph_radius[n]);
      const long long dx = at.x - x, dy = at.y - y, near = std::max(2, g.R1 / 10);
      if (dx * dx + dy * dy > near * near) break;
      lines.push_back(Item(words.points, n));
      if (!PointComputed(rec, n)) {
        lines.push_back(words.no_data);
        break;
      }
      lines.push_back(SignPositionText(rec.lon[n], words));
      if (HasHouses(rec)) {
        const int house = HouseOf(rec, rec.lon[n]);
        if (house > 0) lines.push_back(Fill(words.house_format, house));
      }
      lines.push_back(Fill(words.speed_format, FormatFixed(rec.speed[n], 4)));
      lines.push_back(ShowsRetrograde(n, rec, ws) ? words.retrograde : words.direct);
      break;
    }
  }
  return lines;
}

HoverWords HoverWordsOf(const ChartTexts& texts) {
  HoverWords w;
  w.points = texts.points.Items();
  w.signs = texts.signs.Items();
  w.house_format = texts.hover_house;
  w.speed_format = texts.hover_speed;
  w.retrograde = texts.hover_retrograde;
  w.direct = texts.hover_direct;
  w.no_data = texts.no_data;
  return w;
}

}  // namespace kv
