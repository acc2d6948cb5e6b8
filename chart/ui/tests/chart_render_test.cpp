#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>

#include "chart/ui/chart_painter.h"
#include "chart/ui/render_files.h"
#include "chart/ui/tests/chart_test_support.h"
#include "chart/wheel/chart_panels.h"
#include "chart/wheel/wheel_style.h"
#include "common/angles.h"
#include "common/codepage.h"

namespace kv {
namespace {

class ChartRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApp();
    for (auto& row : aspects.cell)
      for (float& c : row) c = kNoAspect;
    ws.orb_file = "none-such.ao";  // no block: built-in aspect colours
    ws.ov[kOptScreenFill] = 0;
    ws.ov[kOptPlanetRingFill] = 0;
  }
  QImage Render() { return RenderChartImage(rec, aspects, ws, texts, 800, 600); }
  // The geometry the window of that size draws with.
  WheelGeometry Geometry() {
    WheelGeometry g;
    RenderChartImage(rec, aspects, ws, texts, 800, 600, &g);
    return g;
  }

  ChartRecord rec = test::SampleChart();
  AspectMatrix aspects;
  WheelSettings ws;  // clockwise, Ascendant on the right
  ChartTexts texts = ChartTextsFrom(TextResources());  // no file: the keys
};

TEST_F(ChartRenderTest, DenseFillColoursTheSignSectorsByElement) {
  ws.ov[kOptScreenFill] = 3;
  const QImage img = Render();
  const WheelGeometry g = Geometry();
  // Without stored colours: fire red, earth green, air cyan, water blue (as the screen shows them).
  const QRgb by_element[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 255, 255), qRgb(0, 0, 255)};
  for (int sign = 1; sign <= 12; ++sign) {
    const DevicePoint p = g.map.PointAt(30.0 * (sign - 1) + 3.0, g.R1 - 4);
    EXPECT_EQ(img.pixel(p.x, p.y) & 0xFFFFFF, by_element[(sign - 1) % 4] & 0xFFFFFF) << "sign " << sign;
  }
}

TEST_F(ChartRenderTest, PaleFillSetsOnlyTheGridPixels) {
  ws.ov[kOptScreenFill] = 1;  // step 3
  const QImage img = Render();
  const WheelGeometry g = Geometry();
  const int x0 = g.map.cx - g.R1 + 1, y0 = g.map.cy - g.R1 + 1;
  // A grid point inside Aries's part of the ring, away from lines and glyphs.
  const DevicePoint p = g.map.PointAt(3.0, g.R1 - 5);
  const int gx = x0 + (p.x - x0) / 3 * 3, gy = y0 + (p.y - y0) / 3 * 3;
  EXPECT_EQ(img.pixel(gx, gy) & 0xFFFFFF, test::Pixel(kRed) & 0xFFFFFF);
  EXPECT_EQ(img.pixel(gx + 1, gy) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(img.pixel(gx, gy + 2) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(ChartRenderTest, HouseRingInOneColourAndPlanetRing) {
  ws.ov[kOptScreenFill] = 3;
  ws.ov[kOptHouseFill] = 2;  // kind 3: element 12
  ws.ov[kOptPlanetRingFill] = 1;
  ws.colours[kElemHouseRing] = 0x00C0C0;
  ws.colours[kElemPlanetRing] = 0xC0C000;
  ws.planet_mask = 0;  // no glyphs over the rings
  const QImage img = Render();
  const WheelGeometry g = Geometry();
  DevicePoint p = g.map.PointAt(25.0, (g.R3 + g.R4) / 2 + 3);
  EXPECT_EQ(img.pixel(p.x, p.y) & 0xFFFFFF, test::Pixel(0x00C0C0) & 0xFFFFFF);
  p = g.map.PointAt(25.0, (g.R4 + g.RA) / 2);
  EXPECT_EQ(img.pixel(p.x, p.y) & 0xFFFFFF, test::Pixel(0xC0C000) & 0xFFFFFF);
}

TEST_F(ChartRenderTest, SignGlyphsInTheirElementColour) {
  ws.colours[kElemSignGlyphs] = 0x204080;
  const QImage img = Render();
  const WheelGeometry g = Geometry();
  const int half = g.R1 / 20 + 2;
  for (int sign : {1, 4, 7, 10}) {
    const DevicePoint p = g.map.PointAt(30.0 * (sign - 1) + 15.0, (g.R1 + g.R2) / 2);
    EXPECT_GT(test::CountPixels(img, QRect(p.x - half, p.y - half, 2 * half, 2 * half),
                                test::Pixel(0x204080)), 5)
        << sign;
  }
}

TEST_F(ChartRenderTest, AngularCuspIsRedAndAbsentWithoutHouses) {
  const WheelGeometry g = Geometry();
  // Clockwise with the Ascendant at the origin: cusp 1 runs along the right horizontal.
  const int x = g.map.cx + g.R1 * 33 / 32;
  QImage img = Render();
  EXPECT_EQ(img.pixel(x, g.map.cy) & 0xFFFFFF, test::Pixel(kRed) & 0xFFFFFF);
  const QRect outside_right(g.map.cx + g.R1 + 2, 0, 800, 600);
  EXPECT_GT(test::CountPixels(img, outside_right, test::Pixel(kRed)), 10);

  rec.house_system = kNoHousesSystem;
  img = Render();
  EXPECT_EQ(img.pixel(x, g.map.cy) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(test::CountPixels(img, outside_right, test::Pixel(kRed)), 0);
  // No house numbers or cusps: the ring between R3 and the old R4 holds only glyphs.
  const WheelGeometry g8 = Geometry();
  EXPECT_EQ(g8.R4, g8.R3);
}

TEST_F(ChartRenderTest, PlanetGlyphColourFromTheTable) {
  ws.colours[kElemPlanetGlyphs] = 255;  // red
  const QImage img = Render();
  const WheelGeometry g = Geometry();
  const DevicePoint p = g.map.PointAt(rec.lon[1], g.glyph_radius[1]);
  const int half = g.R1 / 20 + 2;
  EXPECT_GT(test::CountPixels(img, QRect(p.x - half, p.y - half, 2 * half, 2 * half),
                              test::Pixel(kRed)), 5);
  EXPECT_EQ(test::CountPixels(img, img.rect(), test::Pixel(kMagenta)), 0);
}

TEST_F(ChartRenderTest, AspectChordsUseTheFamilyColour) {
  aspects.cell[0][4] = 120.0f;  // Sun trine Mars: red
  aspects.cell[1][3] = 0.0f;    // Moon conjunct Venus: no line
  const QImage img = Render();
  const WheelGeometry g = Geometry();
  const DevicePoint a = g.map.PointAt(rec.lon[1], g.RA), b = g.map.PointAt(rec.lon[5], g.RA);
  const QPoint mid((a.x + b.x) / 2, (a.y + b.y) / 2);
  EXPECT_GT(test::CountPixels(img, QRect(mid.x() - 2, mid.y() - 2, 5, 5), test::Pixel(kRed)), 0);
}

TEST_F(ChartRenderTest, FastFillMatchesThePixelRule) {
  ws.ov[kOptScreenFill] = 3;
  ws.ov[kOptHouseFill] = 1;  // house ring by house sectors
  for (bool clockwise : {false, true}) {
    ws.ov[kOptClockwise] = clockwise;
    rec = test::SampleChart(17.3);
    rec.lon[kFirstCusp + 3] = 105.0;  // uneven houses 3 and 4
    const WheelGeometry g = Geometry();
    const QImage fills = RenderFills(g, rec, ws, false);
    const int x0 = g.map.cx - g.R1 + 1, y0 = g.map.cy - g.R1 + 1;
    int differ = 0;
    for (int y = 0; y < fills.height(); ++y)
      for (int x = 0; x < fills.width(); ++x) {
        const long long dx = x + x0 - g.map.cx, dy = y + y0 - g.map.cy;
        const long long q = dx * dx + dy * dy;
        const double angle = std::atan2(double(dy), double(dx)) * kRadToDeg;
        int elem = -1;
        if (q > 1LL * g.R2 * g.R2 && q < 1LL * g.R1 * g.R1)
          elem = SectorFillElement(SignAtScreenAngle(g.map, angle));
        else if (q > 1LL * g.R4 * g.R4 && q < 1LL * g.R3 * g.R3)
          elem = SectorFillElement(HouseAtScreenAngle(g.map, rec, angle));
        const QRgb want = elem < 0 ? 0u : test::Pixel(ElementColour(elem, ws, false));
        if (fills.pixel(x, y) != want && ++differ < 4)
          ADD_FAILURE() << x + x0 << "," << y + y0 << " q=" << q << " ang=" << angle << " lon=" << g.map.LongitudeAt(angle) << " got " << std::hex << fills.pixel(x, y) << " want " << want << std::dec;
      }
    EXPECT_EQ(differ, 0) << "clockwise " << clockwise;
  }
}

TEST_F(ChartRenderTest, BlackAndWhitePrintHasNoFillAndBlackGlyphs) {
  ws.ov[kOptPrintFill] = 3;
  ws.ov[kOptPrinterMono] = 1;
  QImage page(1000, 1414, QImage::Format_RGB32);
  QPainter p(&page);
  const WheelGeometry g = PaintChart(p, rec, aspects, ws, texts, {1000, 1414, true, false});
  p.end();
  EXPECT_EQ(g.map.cx, 500);
  EXPECT_EQ(g.pen_width, 1);
  const DevicePoint in_ring = g.map.PointAt(3.0, g.R1 - 4);
  EXPECT_EQ(page.pixel(in_ring.x, in_ring.y) & 0xFFFFFF, 0xFFFFFFu);
  // Nothing but black, white and their grey edges.
  for (int y = 0; y < page.height(); y += 7)
    for (int x = 0; x < page.width(); x += 7) {
      const QRgb c = page.pixel(x, y);
      ASSERT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c)) << x << "," << y;
    }
}

TEST_F(ChartRenderTest, ColourPrintFillsAtTheCoarserStep) {
  ws.ov[kOptPrintFill] = 3;  // step (5 - 3) * 2 = 4
  const WheelGeometry g = PrintGeometry(1000, false, rec, ws);
  const QImage fills = RenderFills(g, rec, ws, true);
  ASSERT_FALSE(fills.isNull());
  const DevicePoint p = g.map.PointAt(3.0, g.R1 - 6);
  const int fx = (p.x - (g.map.cx - g.R1 + 1)) / 4 * 4, fy = (p.y - (g.map.cy - g.R1 + 1)) / 4 * 4;
  EXPECT_EQ(fills.pixel(fx, fy) & 0xFFFFFF, test::Pixel(kRed) & 0xFFFFFF);
  EXPECT_EQ(qAlpha(fills.pixel(fx + 2, fy)), 0);
}

// Each row of the position table: the point's glyph (magenta) must stand as tall as
// the degrees beside it (black) and level with them. The ink is found by colour in
// the panel left of the wheel; a pixel counts as ink from 30 % coverage on.
TEST_F(ChartRenderTest, PanelGlyphsStandAsTallAsTheDigitsBesideThem) {
  ws.planet_mask = 0xFFFF;  // all sixteen bodies, the drawn ones included
  QImage img = Render();
  const WheelGeometry g = Geometry();
  const int lh = ScreenLineHeight(&img, ws);
  const int right = g.map.cx - g.R1 - 1;
  auto magenta = [](QRgb p) { return qRed(p) > 200 && qBlue(p) > 200 && qGreen(p) < 179; };
  auto blue = [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 179; };
  auto black = [](QRgb p) { return qBlue(p) < 179; };
  auto row_has = [&](int y, int x0, int x1, auto ink) {
    for (int x = std::max(0, x0); x <= std::min(x1, img.width() - 1); ++x)
      if (ink(img.pixel(x, y))) return true;
    return false;
  };
  int rows = 0;
  double glyph_sum = 0, digit_sum = 0;
  for (int y = 0; y < img.height(); ++y) {
    if (!row_has(y, 0, right, magenta)) continue;
    const int top = y;
    while (y < img.height() && row_has(y, 0, right, magenta)) ++y;
    const int bottom = y - 1;
    int glyph_right = 0;
    for (int yy = top; yy <= bottom; ++yy)
      for (int x = 0; x <= right; ++x)
        if (magenta(img.pixel(x, yy))) glyph_right = std::max(glyph_right, x);
    // The degrees lie between the glyph and the sign glyph (blue) of the row.
    const int centre2 = top + bottom;
    const int y0 = std::max(0, (centre2 - lh) / 2), y1 = std::min(img.height() - 1, (centre2 + lh) / 2);
    int sign_left = right;
    for (int yy = y0; yy <= y1; ++yy)
      for (int x = glyph_right + 1; x < sign_left; ++x)
        if (blue(img.pixel(x, yy))) sign_left = x;
    int digit_top = -1, digit_bottom = -1;
    for (int yy = y0; yy <= y1; ++yy)
      if (row_has(yy, glyph_right + 1, sign_left - 1, black)) {
        if (digit_top < 0) digit_top = yy;
        digit_bottom = yy;
      }
    ++rows;
    ASSERT_GE(digit_top, 0) << "no degrees beside the glyph at y " << top;
    const int glyph_h = bottom - top + 1, digit_h = digit_bottom - digit_top + 1;
    glyph_sum += glyph_h;
    digit_sum += digit_h;
    EXPECT_GE(glyph_h, 0.8 * digit_h) << "row " << rows << ": glyph " << glyph_h << " px, digits " << digit_h;
    EXPECT_LE(glyph_h, 1.25 * digit_h) << "row " << rows << ": glyph " << glyph_h << " px, digits " << digit_h;
    EXPECT_LE(std::abs(centre2 - (digit_top + digit_bottom)), lh / 3)
        << "row " << rows << ": glyph middle " << centre2 / 2.0 << ", digits middle "
        << (digit_top + digit_bottom) / 2.0;
  }
  EXPECT_EQ(rows, 22);
  EXPECT_GE(glyph_sum / digit_sum, 0.9) << "glyphs " << glyph_sum << " px against digits " << digit_sum;
}

// The position panel of a printed page stays inside its frame on A4 and Letter, with
// and without the legend: its last row above the bottom line, the "r" of the widest
// row left of the right line, and the wheel out of the frame.
TEST_F(ChartRenderTest, PrintedPanelStaysInsideItsFrame) {
  ws.planet_mask = 0xFFFF;
  for (int body : {3, 4, 5, 6, 7, 8, 9, 10, 13}) rec.speed[body] = -0.5;  // "r" on many rows
  struct Page { const char* name; int w, h; };
  for (const Page page : {Page{"A4", 1240, 1754}, Page{"Letter", 1275, 1650},
                          Page{"A4 300 dpi", 2480, 3508}}) {
    for (bool legend : {false, true}) {
      SCOPED_TRACE(std::string(page.name) + (legend ? " legend" : ""));
      QImage img(page.w, page.h, QImage::Format_RGB32);
      QPainter p(&img);
      PaintChart(p, rec, aspects, ws, texts, {page.w, page.h, true, legend});
      p.end();
      const PrintedPanel panel = LayoutPrintedPanel(&img, rec, ws, texts, page.w, page.h, legend);
      const QRect inside = panel.frame.adjusted(2, 2, -2, -2);
      EXPECT_TRUE(inside.contains(panel.rows)) << panel.rows.right() << " " << panel.rows.bottom();
      EXPECT_GE(panel.cell, page.w * 40 / 2000 * 2 / 3);  // still readable
      auto ink = [&](QRect r) {
        int n = 0;
        r = r.intersected(img.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
          for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 160) ++n;
        return n;
      };
      const QRect f = panel.frame;
      EXPECT_EQ(ink(QRect(QPoint(f.right() + 3, f.top()), QPoint(page.w - 1, f.bottom()))), 0);
      EXPECT_EQ(ink(QRect(QPoint(f.left(), f.bottom() + 3), QPoint(f.right(), page.h - 1))), 0);
      // The rows are there: ink in the top and bottom rows and in the "r" column.
      EXPECT_GT(ink(QRect(panel.rows.left(), panel.rows.top(), panel.rows.width(), panel.cell)), 0);
      EXPECT_GT(ink(QRect(panel.rows.left(), panel.rows.bottom() - panel.cell, panel.rows.width(), panel.cell)), 0);
      EXPECT_GT(ink(QRect(panel.rows.right() - panel.cell / 2, panel.rows.top(), panel.cell / 2, panel.rows.height())), 0);
      // Nothing of the wheel above the first row inside the frame.
      EXPECT_EQ(ink(QRect(QPoint(f.left() + 3, f.top() + 3), QPoint(f.right() - 3, panel.rows.top() - 1))), 0);
    }
  }
}

// The layout of a chart window measured in the program's own fonts: at the awkward
// sizes no panel meets the circle that holds the wheel, with the longest name and
// place a chart can carry.
TEST_F(ChartRenderTest, WindowLayoutKeepsThePanelsOffTheWheel) {
  SetChartText(rec.name, W("Константинопольский-Щедрин А").c_str());
  SetChartText(rec.place, W("Петропавловск-Камчатский рай").c_str());
  QImage device(1, 1, QImage::Format_RGB32);
  for (auto [w, h] : {std::pair{400, 900}, {900, 400}, {300, 200}, {1920, 1080}, {800, 600}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    const ChartWindowLayout l = ScreenLayout(&device, rec, ws, texts, w, h);
    EXPECT_GE(l.r0, kMinWheelR0);
    EXPECT_GE(l.line_height, kMinPanelLineHeight);
    ASSERT_EQ(l.panels.size(), HeaderLines(rec, texts).size() + 1);
    for (const LayoutRect& r : l.panels) {
      EXPECT_FALSE(RectMeetsCircle(r, l.cx, l.cy, WheelReach(l.r0))) << r.x << "," << r.y;
      EXPECT_LE(r.Right(), l.content_w);
      EXPECT_LE(r.Bottom(), l.content_h);
    }
    // The picture draws the wheel where the layout put it.
    WheelGeometry g;
    RenderChartImage(rec, aspects, ws, texts, w, h, &g);
    EXPECT_EQ(g.map.cx, l.cx);
    EXPECT_EQ(g.map.cy, l.cy);
    EXPECT_EQ(g.r0, l.r0);
  }
  // A roomy window keeps the plain geometry, and 800 x 600 its radius (R1 = 270) unless
  // a header line as long as the one above reaches over the wheel.
  EXPECT_TRUE(ScreenLayout(&device, test::SampleChart(), ws, texts, 1920, 1080).plain);
  EXPECT_EQ(ScreenLayout(&device, test::SampleChart(), ws, texts, 800, 600).r0, 300);
}

TEST_F(ChartRenderTest, PdfPageWithoutAPrinter) {
  QTemporaryDir dir;
  const QString path = dir.filePath("page.pdf");
  ASSERT_EQ(PrintChartToPdf(rec, aspects, ws, texts, true, path), 0);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.read(5).startsWith("%PDF"));
  EXPECT_GT(f.size(), 2000);
  EXPECT_EQ(PrintChartToPdf(rec, aspects, ws, texts, false, "/nonexistent-dir/x.pdf"), -1);
}

TEST(RenderOptionsTest, SizeAndFiles) {
  RenderRequest r;
  std::string error;
  ASSERT_TRUE(ParseRenderOptions({"--png", "a.png", "--size", "640x480", "--pdf", "b.pdf"}, r, &error));
  EXPECT_EQ(r.png, "a.png");
  EXPECT_EQ(r.pdf, "b.pdf");
  EXPECT_EQ(r.width, 640);
  EXPECT_EQ(r.height, 480);
  for (const char* bad : {"640", "640x", "x480", "0x480", "640x480x2", "99999x10", "640x480junk"}) {
    RenderRequest q;
    EXPECT_FALSE(ParseRenderOptions({"--png", "a.png", "--size", bad}, q, &error)) << bad;
  }
  EXPECT_FALSE(ParseRenderOptions({"--png"}, r, &error));
}

}  // namespace
}  // namespace kv
