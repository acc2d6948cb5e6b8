#include "chart/wheel/chart_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

// Panels measured like the monospaced text face: a character half a line wide. The
// header holds the example chart's six lines, the table 22 rows of 12 characters.
PanelMeasure MonospacedPanels(std::vector<int> header_chars = {6, 26, 23, 18, 17, 16},
                              int rows = 22) {
  return [=](int lh) {
    PanelMetrics m;
    const int ch = (lh + 1) / 2;
    m.header_indent = ch;
    for (int n : header_chars) m.header_widths.push_back(n * ch);
    m.table_width = 12 * ch;
    m.table_rows = rows;
    m.table_lead = 12 * ch;
    return m;
  };
}

constexpr int kBase = 17;

// Everything a layout promises, whatever it chose.
void ExpectSound(const ChartWindowLayout& l, int w, int h, const std::string& what) {
  SCOPED_TRACE(what);
  EXPECT_GE(l.content_w, w);
  EXPECT_GE(l.content_h, h);
  EXPECT_GE(l.line_height, kMinPanelLineHeight);
  EXPECT_LE(l.line_height, kBase);
  EXPECT_GE(l.r0, kMinWheelR0);
  // The wheel's box lies inside the content, the panels too, and no panel meets the
  // circle that holds everything the wheel draws.
  EXPECT_GE(l.cx - l.r0, 0);
  EXPECT_LE(l.cx + l.r0, l.content_w);
  EXPECT_GE(l.cy - l.r0, 0);
  EXPECT_LE(l.cy + l.r0, l.content_h);
  ASSERT_FALSE(l.panels.empty());
  for (const LayoutRect& r : l.panels) {
    EXPECT_FALSE(RectMeetsCircle(r, l.cx, l.cy, WheelReach(l.r0)))
        << r.x << "," << r.y << " " << r.w << "x" << r.h;
    EXPECT_GE(r.x, 0);
    EXPECT_GE(r.y, 0);
    EXPECT_LE(r.Right(), l.content_w);
    EXPECT_LE(r.Bottom(), l.content_h);
  }
}

TEST(ChartLayoutTest, PanelsNeverMeetTheWheelAtTheAwkwardSizes) {
  const PanelMeasure measure = MonospacedPanels();
  for (auto [w, h] : {std::pair{400, 900}, {900, 400}, {300, 200}, {1920, 1080}, {800, 600},
                      {640, 950}, {1280, 1024}, {500, 400}})
    ExpectSound(LayoutChartWindow(w, h, kBase, measure), w, h,
                std::to_string(w) + "x" + std::to_string(h));
}

TEST(ChartLayoutTest, AWideWindowKeepsThePlainGeometry) {
  const ChartWindowLayout l = LayoutChartWindow(1920, 1080, kBase, MonospacedPanels());
  EXPECT_TRUE(l.plain);
  EXPECT_EQ(l.cx, 960);
  EXPECT_EQ(l.cy, 540);
  EXPECT_EQ(l.r0, 540);
  EXPECT_EQ(l.line_height, kBase);
  EXPECT_EQ(l.content_w, 1920);
  EXPECT_EQ(l.content_h, 1080);
  // The header at the top left, the table a line below it, two lines in.
  EXPECT_EQ(l.header_y, 0);
  EXPECT_EQ(l.table_y, 7 * kBase);
  EXPECT_EQ(l.table_x, 2 * kBase);
}

TEST(ChartLayoutTest, At800By600TheWheelKeepsItsSizeAndStepsAsideOnlyAsFarAsNeeded) {
  const ChartWindowLayout l = LayoutChartWindow(800, 600, kBase, MonospacedPanels());
  EXPECT_EQ(l.r0, 300);
  EXPECT_EQ(l.cy, 300);
  EXPECT_GE(l.cx, 400);
  EXPECT_EQ(l.placement, PanelPlacement::kBeside);
  EXPECT_EQ(l.line_height, kBase);
  // Two pixels further left and a panel would meet the wheel.
  bool touches = false;
  for (const LayoutRect& r : l.panels) touches = touches || RectMeetsCircle(r, l.cx - 2, l.cy, WheelReach(l.r0));
  EXPECT_TRUE(l.cx == 400 || touches) << l.cx;
}

TEST(ChartLayoutTest, ATallWindowPutsThePanelsBelowTheWheel) {
  const ChartWindowLayout l = LayoutChartWindow(400, 900, kBase, MonospacedPanels());
  EXPECT_EQ(l.placement, PanelPlacement::kBelow);
  EXPECT_FALSE(l.plain);
  EXPECT_EQ(l.r0, 200);  // the whole width
  EXPECT_EQ(l.cx, 200);
  for (const LayoutRect& r : l.panels) EXPECT_GT(r.y, l.cy + l.r0);
  EXPECT_EQ(l.content_h, 900);  // no scrolling
}

TEST(ChartLayoutTest, AFlatWindowShrinksTheTextUntilTheTableFits) {
  const ChartWindowLayout l = LayoutChartWindow(900, 400, kBase, MonospacedPanels());
  EXPECT_EQ(l.placement, PanelPlacement::kBeside);
  EXPECT_LT(l.line_height, kBase);
  EXPECT_EQ(l.content_h, 400);
  EXPECT_LE(l.panels.back().Bottom(), 400);
  EXPECT_EQ(l.r0, 200);
  // The largest text that fits: one pixel more and the 29 lines overflow.
  EXPECT_GT(29 * (l.line_height + 1), 400);
}

TEST(ChartLayoutTest, ASmallWindowScrollsAtTheSmallestText) {
  const ChartWindowLayout l = LayoutChartWindow(300, 200, kBase, MonospacedPanels());
  EXPECT_EQ(l.line_height, kMinPanelLineHeight);
  EXPECT_FALSE(l.plain);
  EXPECT_TRUE(l.content_w > 300 || l.content_h > 200);
}

TEST(ChartLayoutTest, WithoutHousesTheShorterTableNeedsLessHeight) {
  // 16 rows: 6 + 1 + 16 lines fit at full size where 29 lines do not.
  const ChartWindowLayout l = LayoutChartWindow(900, 420, kBase, MonospacedPanels({6, 26, 23, 18, 17, 16}, 16));
  EXPECT_EQ(l.line_height, kBase);
  EXPECT_EQ(l.panels.back().h, 16 * kBase);
}

// The size a new window asks for shows everything at full size, and nothing narrower
// of that height does; a taller minimum or a shorter table changes only the height.
TEST(ChartLayoutTest, TheInitialSizeIsTheNarrowestPlainOne) {
  struct Case {
    int min_height, rows, want_h;
  } cases[] = {
      {480, 22, 30 * kBase},  // the header, a blank line, 22 rows and a margin: 510
      {480, 16, 480},         // without houses the minimum is enough
      {900, 22, 900},
      {0, 0, 2 * kMinWheelR0},  // never smaller than the smallest wheel
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.min_height) + "/" + std::to_string(c.rows));
    const PanelMeasure measure = MonospacedPanels({6, 26, 23, 18, 17, 16}, c.rows);
    const LayoutSize size = PlainClientSize(c.min_height, kBase, measure);
    EXPECT_EQ(size.h, c.want_h);
    EXPECT_GT(size.w, size.h);  // the panels stand beside the wheel
    const ChartWindowLayout l = LayoutChartWindow(size.w, size.h, kBase, measure);
    EXPECT_TRUE(l.plain);
    ExpectSound(l, size.w, size.h, "at the size");
    EXPECT_EQ(l.content_w, size.w);
    EXPECT_EQ(l.content_h, size.h);
    EXPECT_FALSE(LayoutChartWindow(size.w - 1, size.h, kBase, measure).plain);
  }
}

}  // namespace
}  // namespace kv
