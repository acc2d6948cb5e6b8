// Geometry of the zodiac wheel: where a longitude is drawn, the radii of the rings,
// where the planet glyphs go so that close bodies do not overprint, and which sign,
// house or body a point of the wheel belongs to. Device units, y growing downwards.
#pragma once

#include <array>

#include "chart/record/chart_record.h"
#include "chart/wheel/wheel_settings.h"

namespace kv {

struct DevicePoint {
  int x = 0;
  int y = 0;
  bool operator==(const DevicePoint&) const = default;
};

// Longitude <-> screen angle. The screen angle is in degrees [0, 360) measured from
// the positive x axis towards positive y (clockwise on the screen).
struct AngleMapping {
  int cx = 0, cy = 0;
  double rotation = 0;     // longitude drawn at the origin
  bool clockwise = false;  // option byte 27: origin on the right, zodiac clockwise

  double ScreenAngle(double lon_deg) const;
  // The longitude drawn at a screen angle (any real number of degrees).
  double LongitudeAt(double screen_deg) const;
  // The point at radius r, coordinates cut toward zero.
  DevicePoint PointAt(double lon_deg, double r) const;
};

inline constexpr int kNoGlyph = -1;

struct WheelGeometry {
  AngleMapping map;
  int r0 = 0;
  int R1 = 0, R2 = 0, R3 = 0, R4 = 0, RA = 0;
  int line_height = 0;
  int pen_width = 1;
  int gap = 0;            // the spreading step finally used
  bool houses = true;     // house ring, cusps and house numbers drawn
  std::array<int, 17> glyph_radius{};  // 1..16, kNoGlyph for bodies not shown
};

// The rotation a chart is drawn with: the Ascendant at the origin with option byte 28.
double WheelRotation(const ChartRecord& rec, const WheelSettings& ws);

// Screen layout: centre in the middle of the client area, r0 the smaller half-side.
WheelGeometry ScreenGeometry(int client_w, int client_h, int line_height,
                             const ChartRecord& rec, const WheelSettings& ws);
// A wheel of r0 centred at (cx, cy): where a chart window's layout puts it.
WheelGeometry ScreenGeometryAt(int cx, int cy, int r0, int line_height, const ChartRecord& rec,
                               const WheelSettings& ws);
// Page layout of a printout; `legend` moves and shrinks the wheel for the symbol legend.
WheelGeometry PrintGeometry(int page_w, bool legend, const ChartRecord& rec,
                            const WheelSettings& ws);

// R1..R4 from r0 (RA and the glyph radii are left to SpreadGlyphs).
void SetRadii(WheelGeometry& g, int r0);

struct GlyphSpread {
  std::array<int, 17> radius{};  // 1..16; kNoGlyph for bodies not shown
  int ra = 0;                    // radius of the aspect circle
  int gap = 0;
};
// Stacks bodies closer than 5 degrees inwards from R4 - R1/15, never below R1/6; a
// second, tighter pass is tried when the first one reaches the floor.
GlyphSpread SpreadGlyphs(const ChartRecord& rec, uint32_t planet_mask, int R1, int R4);

// Midpoint of two longitudes along the shorter arc, [0, 360).
double MidLongitude(double a_deg, double b_deg);

// What a point of the wheel stands for.
enum class HitKind { kNothing = -1, kSign = 0, kHouse = 1, kBody = 2 };
struct WheelHit {
  HitKind kind = HitKind::kNothing;
  int number = 0;  // sign 1..12, house 1..12 or body 1..16
  bool operator==(const WheelHit&) const = default;
};
WheelHit HitTest(const WheelGeometry& g, const ChartRecord& rec, int x, int y);

// Sign and house sectors of a screen angle (the fills and the click use these).
int SignAtScreenAngle(const AngleMapping& map, double screen_deg);
int HouseAtScreenAngle(const AngleMapping& map, const ChartRecord& rec, double screen_deg);

}  // namespace kv
