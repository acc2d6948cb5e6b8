// Where the wheel and the text panels of a chart window go at any client size. A window
// that leaves room for both keeps the plain geometry (centre at the client's centre, r0
// the smaller half-side, the header top left and the position table below it). Where
// the panels would run into the wheel or out of the window, the wheel shrinks and moves
// aside, or the panels go below the wheel; their text shrinks down to a readable
// minimum, and beyond that the content grows past the window, which then scrolls.
// Device units, y growing downwards; no window system needed.
#pragma once

#include <functional>
#include <vector>

namespace kv {

struct LayoutRect {
  int x = 0, y = 0, w = 0, h = 0;
  int Right() const { return x + w; }
  int Bottom() const { return y + h; }
};

// What the panels need at one line height (the text face's cell height).
struct PanelMetrics {
  int line_height = 0;
  int header_indent = 0;           // x of the header lines
  std::vector<int> header_widths;  // one per header line
  int table_width = 0;             // the widest row of the position table
  int table_rows = 0;              // 16 without houses, else 22
  int table_lead = 0;              // width of "123456789012"
};
using PanelMeasure = std::function<PanelMetrics(int line_height)>;

enum class PanelPlacement { kBeside, kBelow };

struct ChartWindowLayout {
  int cx = 0, cy = 0, r0 = 0;  // the wheel, content coordinates
  int line_height = 0;         // of the panels
  int header_x = 0, header_y = 0;
  int table_x = 0, table_y = 0;  // top left of the first row
  int content_w = 0, content_h = 0;  // larger than the client: the window scrolls
  PanelPlacement placement = PanelPlacement::kBeside;
  bool plain = true;  // the geometry of a window with room for everything
  std::vector<LayoutRect> panels;  // the header lines, then the table
};

// Readable limits: the smallest line height of the panels and the smallest wheel (r0).
inline constexpr int kMinPanelLineHeight = 11;
inline constexpr int kMinWheelR0 = 90;

// Radius of the circle that holds everything the wheel draws for a given r0: the
// arrow heads of the angular cusps at 17 R1 / 16 and the Ascendant and MC glyphs
// (a tenth of R1 high) centred on that radius.
int WheelReach(int r0);

bool RectMeetsCircle(const LayoutRect& r, int cx, int cy, int radius);

// The layout of a client of the given size. `base_line_height` is the panels' line
// height at full size; smaller line heights are tried down to kMinPanelLineHeight.
ChartWindowLayout LayoutChartWindow(int client_w, int client_h, int base_line_height,
                                    const PanelMeasure& measure);

// The client a new chart window asks for: at least `min_height` high and as high as the
// panels beside the wheel need, and the narrowest width at that height that keeps the
// plain geometry (the whole wheel, the panels beside it, full-size text, no scrolling).
struct LayoutSize {
  int w = 0, h = 0;
};
LayoutSize PlainClientSize(int min_height, int base_line_height, const PanelMeasure& measure);

}  // namespace kv
