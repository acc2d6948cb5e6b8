#include "chart/wheel/chart_layout.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kv {
namespace {

int R1Of(int r0) { return (r0 + 1) * 9 / 10; }

int HeaderWidth(const PanelMetrics& m) {
  int w = 0;
  for (int hw : m.header_widths) w = std::max(w, hw);
  return w;
}

int HeaderLines(const PanelMetrics& m) { return static_cast<int>(m.header_widths.size()); }

void AddHeader(ChartWindowLayout& l, const PanelMetrics& m) {
  const int lh = m.line_height;
  for (int i = 0; i < HeaderLines(m); ++i)
    if (m.header_widths[i] > 0)
      l.panels.push_back({l.header_x, l.header_y + i * lh, m.header_widths[i], lh});
}

void AddTable(ChartWindowLayout& l, const PanelMetrics& m) {
  l.panels.push_back({l.table_x, l.table_y, m.table_width, m.table_rows * m.line_height});
}

bool PanelsInside(const ChartWindowLayout& l, int w, int h) {
  for (const LayoutRect& r : l.panels)
    if (r.x < 0 || r.y < 0 || r.Right() > w || r.Bottom() > h) return false;
  return true;
}

int PanelsRight(const ChartWindowLayout& l) {
  int right = 0;
  for (const LayoutRect& r : l.panels) right = std::max(right, r.Right());
  return right;
}

int PanelsBottom(const ChartWindowLayout& l) {
  int bottom = 0;
  for (const LayoutRect& r : l.panels) bottom = std::max(bottom, r.Bottom());
  return bottom;
}

// The smallest centre x at which a wheel of r0 centred at height cy clears every panel
// on its left.
int CentreClearOfPanels(const std::vector<LayoutRect>& panels, int cy, int r0) {
  const long long reach = WheelReach(r0);
  int cx = 0;
  for (const LayoutRect& r : panels) {
    const long long dy = std::max({0, r.y - cy, cy - r.Bottom()});
    if (dy >= reach) continue;
    const int dx = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(reach * reach - dy * dy))));
    cx = std::max(cx, r.Right() + dx + 1);
  }
  return cx;
}

// Panels in the left column as the plain geometry has them: the header at the top,
// the table one line below it, its left edge just left of the wheel of the client
// (client_w, client_h) but never further in than two lines.
ChartWindowLayout BesidePanels(const PanelMetrics& m, int client_w, int client_h) {
  ChartWindowLayout l;
  const int lh = m.line_height;
  l.line_height = lh;
  l.placement = PanelPlacement::kBeside;
  l.header_x = m.header_indent;
  l.header_y = 0;
  const int r0 = std::max(0, std::min(client_w / 2, client_h / 2));
  l.table_x = std::max(0, std::min(client_w / 2 - R1Of(r0) - m.table_lead, 2 * lh));
  l.table_y = (HeaderLines(m) + 1) * lh;
  AddHeader(l, m);
  AddTable(l, m);
  return l;
}

// The wheel right of the panels in a content area cw x ch: as large as the area
// allows, at the area's centre unless the panels push it right.
ChartWindowLayout Beside(const PanelMetrics& m, int cw, int ch, int client_w, int client_h) {
  ChartWindowLayout l = BesidePanels(m, client_w, client_h);
  l.content_w = cw;
  l.content_h = ch;
  l.cy = ch / 2;
  auto centre = [&](int r0) { return std::max(cw / 2, CentreClearOfPanels(l.panels, l.cy, r0)); };
  const int r0_plain = std::max(0, std::min(cw / 2, ch / 2));
  int lo = 0, hi = r0_plain;  // the largest r0 whose wheel stays inside the width
  if (centre(lo) + lo > cw) {
    hi = 0;
  } else {
    while (lo < hi) {
      const int mid = (lo + hi + 1) / 2;
      if (centre(mid) + mid <= cw) lo = mid;
      else hi = mid - 1;
    }
  }
  l.r0 = hi;
  l.cx = centre(l.r0);
  l.plain = l.cx == cw / 2 && l.cy == ch / 2 && l.r0 == r0_plain;
  return l;
}

// The panels in a block under the wheel: header and table side by side when the
// width allows, else the table under the header.
ChartWindowLayout BelowPanels(const PanelMetrics& m, int cw, int top) {
  ChartWindowLayout l;
  const int lh = m.line_height;
  l.line_height = lh;
  l.placement = PanelPlacement::kBelow;
  l.plain = false;
  l.header_x = m.header_indent;
  l.header_y = top;
  const int beside_x = m.header_indent + HeaderWidth(m) + lh;
  if (beside_x + m.table_width <= cw) {
    l.table_x = beside_x;
    l.table_y = top;
  } else {
    l.table_x = std::max(0, std::min(2 * lh, cw - m.table_width));
    l.table_y = top + (HeaderLines(m) + 1) * lh;
  }
  AddHeader(l, m);
  AddTable(l, m);
  return l;
}

ChartWindowLayout Below(const PanelMetrics& m, int cw, int ch) {
  const int gap = m.line_height;
  const ChartWindowLayout probe = BelowPanels(m, cw, 0);
  const int panel_h = PanelsBottom(probe);
  int r0 = std::max(0, std::min(cw / 2, (ch - panel_h - gap) / 2));
  for (;; --r0) {
    const int top = std::max(0, (ch - (2 * r0 + gap + panel_h)) / 2);
    ChartWindowLayout l = BelowPanels(m, cw, top + 2 * r0 + gap);
    l.content_w = cw;
    l.content_h = ch;
    l.cx = cw / 2;
    l.cy = top + r0;
    l.r0 = r0;
    bool clear = true;
    for (const LayoutRect& r : l.panels) clear = clear && !RectMeetsCircle(r, l.cx, l.cy, WheelReach(r0));
    if (clear || r0 == 0) return l;
  }
}

bool Fits(const ChartWindowLayout& l, int w, int h) {
  return l.r0 >= kMinWheelR0 && PanelsInside(l, w, h);
}

// Of two layouts that both fit or both scroll, the one with the larger wheel, then the
// larger text, then the panels beside the wheel.
bool Better(const ChartWindowLayout& a, const ChartWindowLayout& b) {
  if (a.r0 != b.r0) return a.r0 > b.r0;
  if (a.line_height != b.line_height) return a.line_height > b.line_height;
  return a.placement == PanelPlacement::kBeside && b.placement != PanelPlacement::kBeside;
}

}  // namespace

int WheelReach(int r0) {
  const int r1 = R1Of(std::max(0, r0));
  return 17 * r1 / 16 + (r1 + 19) / 20 + 2;
}

bool RectMeetsCircle(const LayoutRect& r, int cx, int cy, int radius) {
  const long long nx = std::clamp(cx, r.x, r.Right());
  const long long ny = std::clamp(cy, r.y, r.Bottom());
  const long long dx = nx - cx, dy = ny - cy;
  return dx * dx + dy * dy < static_cast<long long>(radius) * radius;
}

ChartWindowLayout LayoutChartWindow(int client_w, int client_h, int base_line_height,
                                    const PanelMeasure& measure) {
  const int w = std::max(1, client_w), h = std::max(1, client_h);
  const int base = std::max(1, base_line_height);
  const int smallest = std::min(base, kMinPanelLineHeight);
  std::map<int, PanelMetrics> measured;
  auto metrics = [&](int lh) -> const PanelMetrics& {
    auto it = measured.find(lh);
    if (it == measured.end()) {
      PanelMetrics m = measure(lh);
      m.line_height = lh;
      it = measured.emplace(lh, std::move(m)).first;
    }
    return it->second;
  };

  // The largest text at which each arrangement fits the window.
  const ChartWindowLayout* chosen = nullptr;
  ChartWindowLayout beside, below;
  bool beside_fits = false, below_fits = false;
  for (int lh = base; lh >= smallest && !beside_fits; --lh) {
    beside = Beside(metrics(lh), w, h, w, h);
    beside_fits = Fits(beside, w, h);
  }
  for (int lh = base; lh >= smallest && !below_fits; --lh) {
    below = Below(metrics(lh), w, h);
    below_fits = Fits(below, w, h);
  }
  if (beside_fits && below_fits) chosen = Better(below, beside) ? &below : &beside;
  else if (beside_fits) chosen = &beside;
  else if (below_fits) chosen = &below;
  if (chosen) {
    ChartWindowLayout l = *chosen;
    l.plain = l.plain && l.line_height == base;
    return l;
  }

  // Nothing fits: the smallest text, and a content area that holds the smallest wheel.
  const PanelMetrics& m = metrics(smallest);
  const int gap = m.line_height;
  const ChartWindowLayout column = BesidePanels(m, w, h);
  const int beside_h = std::max({h, PanelsBottom(column), 2 * kMinWheelR0});
  const int beside_w = std::max({w, 2 * kMinWheelR0, PanelsRight(column),
                                 CentreClearOfPanels(column.panels, beside_h / 2, kMinWheelR0) +
                                     kMinWheelR0});
  beside = Beside(m, beside_w, beside_h, w, h);
  int below_w = std::max(w, 2 * kMinWheelR0);
  below_w = std::max(below_w, PanelsRight(BelowPanels(m, below_w, 0)));
  const int below_h = std::max(h, 2 * kMinWheelR0 + gap + PanelsBottom(BelowPanels(m, below_w, 0)));
  below = Below(m, below_w, below_h);
  const long long beside_area = 1LL * beside_w * beside_h, below_area = 1LL * below_w * below_h;
  ChartWindowLayout l = below_area < beside_area ? below : beside;
  l.plain = false;
  return l;
}

LayoutSize PlainClientSize(int min_height, int base_line_height, const PanelMeasure& measure) {
  const int base = std::max(1, base_line_height);
  PanelMetrics m = measure(base);
  m.line_height = base;
  // The header, a blank line, the table and one line of margin under it.
  const int panels_h = (HeaderLines(m) + 2 + m.table_rows) * base;
  const int h = std::max({min_height, panels_h, 2 * kMinWheelR0});
  auto plain = [&](int w) { return LayoutChartWindow(w, h, base, measure).plain; };
  // Wider than the wheel by the panels; a wider window only moves the wheel further
  // from them, so the narrowest plain width is found by halving.
  int lo = h, hi = 2 * h;
  for (int tries = 0; tries < 4 && !plain(hi); ++tries) hi *= 2;
  if (!plain(hi)) return {hi, h};  // panels too wide for any sensible window
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (plain(mid)) hi = mid;
    else lo = mid + 1;
  }
  return {lo, h};
}

}  // namespace kv
