#include "chart/ui/chart_painter.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPageSize>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

#include "aspects/orb_block.h"
#include "chart/record/chart_rules.h"
#include "chart/wheel/chart_panels.h"
#include "chart/wheel/wheel_style.h"
#include "common/angles.h"
#include "common/codepage.h"
#include "common/journal.h"
#include "common/messages.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

constexpr const char* kGlyphFace = "ATM";
// The device font of the screen, whose line is the panels' line at full size.
constexpr int kDeviceFontHeight = 15;

QColor ToQColor(ColourRef c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
QRgb ToQRgb(ColourRef c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QFont MakeFont(const char* face, int pixel_height) {
  QFont f(QString::fromLatin1(face));
  f.setPixelSize(std::max(1, pixel_height));
  f.setWeight(QFont::Normal);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

// A font whose cell (ascent + descent) is the given height, the way the panels measure
// their fonts against the line height. Qt sizes a font by its em instead, and the cell
// of the text face is a sixth taller than its em, so that digits beside the glyphs of
// the symbol face (cell = em) would come out a fifth taller than the glyphs.
QFont CellFont(const char* face, int cell_height) {
  QFont f = MakeFont(face, 1000);
  const double cell_per_em = QFontMetricsF(f).height() / 1000.0;
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(cell_height / std::max(cell_per_em, 0.1)))));
  return f;
}

QString Cp(const std::string& text) { return FromCp1251(text); }

// Everything one paint needs, so that the steps below stay short.
struct PaintContext {
  QPainter& p;
  const ChartRecord& rec;
  const WheelSettings& ws;
  const ChartTexts& texts;
  const PaintTarget& target;
  WheelGeometry g;
  bool mono = false;  // black-and-white printing
  AspectTable block;

  QColor Colour(int element) const { return ToQColor(ElementColour(element, ws, mono)); }
  QPen Pen(const PenChoice& c) const {
    QPen pen(ToQColor(c.colour));
    pen.setWidth(c.width);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
  }
  QPointF At(double lon, double r) const {
    const DevicePoint d = g.map.PointAt(lon, r);
    return QPointF(d.x, d.y);
  }
  void Segment(double r1, double lon1, double r2, double lon2) const {
    p.drawLine(At(lon1, r1), At(lon2, r2));
  }
  void Circle(int r) const {
    if (r > 0) p.drawEllipse(QPointF(g.map.cx, g.map.cy), r, r);
  }
  // A character centred on a longitude the way the wheel places its glyphs.
  void CharAt(char c, double lon, double r) const {
    const DevicePoint d = g.map.PointAt(lon, r);
    const QFontMetrics fm(p.font(), p.device());
    const int x = d.x - fm.averageCharWidth() / 2;
    const int y = d.y - fm.height() / 2;
    p.drawText(x, y + fm.ascent(), QString(QChar::fromLatin1(c)));
  }
  // The same with a thin rim of the background colour, so that a glyph stays legible
  // on a fill of its own colour (blue sign glyphs on the blue water signs).
  void OutlinedCharAt(char c, double lon, double r, const QColor& rim) const {
    const DevicePoint d = g.map.PointAt(lon, r);
    const QFontMetrics fm(p.font(), p.device());
    QPainterPath path;
    path.addText(d.x - fm.averageCharWidth() / 2, d.y - fm.height() / 2 + fm.ascent(), p.font(),
                 QString(QChar::fromLatin1(c)));
    const QColor fill = p.pen().color();
    QPen rim_pen(rim);
    rim_pen.setWidthF(std::max(2.0, g.R1 / 90.0));
    rim_pen.setJoinStyle(Qt::RoundJoin);
    p.strokePath(path, rim_pen);
    p.fillPath(path, fill);
  }
};

void DrawTextTop(QPainter& p, int x, int y, const QString& text) {
  const QFontMetrics fm(p.font(), p.device());
  p.drawText(x, y + fm.ascent(), text);
}

int TextWidth(QPainter& p, const QString& text) {
  return QFontMetrics(p.font(), p.device()).horizontalAdvance(text);
}

void DrawFills(PaintContext& c) {
  const QImage fills = RenderFills(c.g, c.rec, c.ws, c.target.printing);
  if (!fills.isNull()) c.p.drawImage(c.g.map.cx - c.g.R1 + 1, c.g.map.cy - c.g.R1 + 1, fills);
}

void DrawZodiac(PaintContext& c) {
  const WheelGeometry& g = c.g;
  c.p.setBrush(Qt::NoBrush);
  c.p.setPen(c.Pen(OrdinaryPen(c.ws, g.pen_width, c.mono)));
  c.Circle(g.R1);
  c.Circle(g.R2);
  c.Circle(g.R3);
  for (int i = 0; i < 12; ++i) c.Segment(g.R1, 30.0 * i, g.R2, 30.0 * i);
  for (int d = 0; d < 360; d += 10) c.Segment(g.R3, d, g.R2, d);
  for (int d = 5; d < 360; d += 10) c.Segment(g.R3, d, (g.R3 + g.R2) / 2, d);
  c.p.setPen(c.Colour(kElemSignGlyphs));
  const bool filled = FillStep(c.ws, c.target.printing) > 0;
  for (int i = 0; i < 12; ++i) {
    if (filled) c.OutlinedCharAt(SignGlyph(i + 1), 30.0 * i + 15.0, (g.R1 + g.R2) / 2, c.Colour(kElemBackground));
    else c.CharAt(SignGlyph(i + 1), 30.0 * i + 15.0, (g.R1 + g.R2) / 2);
  }
}

void DrawHouses(PaintContext& c) {
  const WheelGeometry& g = c.g;
  if (!g.houses) return;
  const QPen ordinary = c.Pen(OrdinaryPen(c.ws, g.pen_width, c.mono));
  const QPen angular = c.Pen(AngularPen(c.ws, g.pen_width, c.mono));
  c.p.setPen(ordinary);
  c.Circle(g.R4);
  const double outer = 17.0 * g.R1 / 16.0, inner_tip = 33.0 * g.R1 / 32.0;
  for (int k = 1; k <= 12; ++k) {
    const double cusp = c.rec.lon[kFirstCusp + k - 1];
    if (k == 1 || k == 10) {
      c.p.setPen(angular);
      c.Segment(outer, cusp, g.RA, cusp);
      c.Segment(g.R1, cusp + 1.5, outer, cusp);
      c.Segment(g.R1, cusp - 1.5, outer, cusp);
      c.p.setPen(c.Colour(kElemAngles));
      c.CharAt(k == 1 ? kAscendantGlyph : kMidheavenGlyph, cusp + 5.0, outer);
    } else if (k == 4 || k == 7) {
      c.p.setPen(angular);
      c.Segment(inner_tip, cusp, g.RA, cusp);
      c.Segment(outer, cusp + 1.5, inner_tip, cusp);
      c.Segment(outer, cusp - 1.5, inner_tip, cusp);
    } else {
      c.p.setPen(ordinary);
      c.Segment(g.R3, cusp, g.RA, cusp);
    }
    const double next = c.rec.lon[k == 12 ? kFirstCusp : kFirstCusp + k];
    c.p.setPen(c.Colour(kElemHouseNumbers));
    c.CharAt(HouseGlyph(k), MidLongitude(cusp, next), (g.R3 + g.R4) / 2);
  }
}

void DrawBodies(PaintContext& c) {
  c.p.setPen(c.Colour(kElemPlanetGlyphs));
  for (int i = 1; i <= kBodyCount; ++i)
    if (c.g.glyph_radius[i] != kNoGlyph) c.CharAt(BodyGlyph(i), c.rec.lon[i], c.g.glyph_radius[i]);
}

void DrawAspects(PaintContext& c, const AspectMatrix& aspects) {
  c.p.setPen(c.Pen(OrdinaryPen(c.ws, c.g.pen_width, c.mono)));
  c.Circle(c.g.RA);
  for (const AspectLine& line : SelectAspectLines(aspects, c.ws, c.g.houses)) {
    c.p.setPen(c.Pen(AspectLinePen(line.angle, c.block, c.g.pen_width, c.mono)));
    c.Segment(c.g.RA, c.rec.lon[line.a], c.g.RA, c.rec.lon[line.b]);
  }
}

// Fonts of the panels; a face that does not exist is reported and substituted.
QFont PanelFont(const std::string& face, int height) {
  QFont f = CellFont(face.c_str(), height);
  if (!QFontDatabase::families().contains(QString::fromStdString(face)))
    Journal("Fnt '%s', %d =NULL", face.c_str(), height);
  return f;
}

// Widths of the parts of a position-table row in the fonts it is drawn with.
struct RowWidths {
  int glyph = 0;    // "e " in the glyph face
  int number = 0;   // "00 "
  int sign = 0;     // "X " in the glyph face
  int minutes = 0;  // "00"
  int retro = 0;    // "r"
  int no_data = 0;  // the text of a point without a position

  int Of(const PositionRow& row) const {
    if (!row.shown) return 0;
    if (!row.computed) return glyph + no_data;
    return glyph + number + sign + (row.retrograde ? number + retro : minutes);
  }
};

RowWidths MeasureRow(QPaintDevice* device, const QFont& glyph_font, const QFont& text_font,
                     const std::string& no_data) {
  const QFontMetrics g(glyph_font, device), t(text_font, device);
  RowWidths w;
  w.glyph = g.horizontalAdvance(QStringLiteral("e "));
  w.sign = g.horizontalAdvance(QStringLiteral("X "));
  w.number = t.horizontalAdvance(QStringLiteral("00 "));
  w.minutes = t.horizontalAdvance(QStringLiteral("00"));
  w.retro = t.horizontalAdvance(QStringLiteral("r"));
  w.no_data = t.horizontalAdvance(Cp(no_data));
  return w;
}

int TableWidth(const std::vector<PositionRow>& rows, const RowWidths& w) {
  int width = 0;
  for (const PositionRow& row : rows) width = std::max(width, w.Of(row));
  return width;
}

void DrawHeader(PaintContext& c, int x, int y, const QFont& text_font) {
  c.p.setFont(text_font);
  c.p.setPen(c.Colour(kElemPanelText));
  for (const std::string& line : HeaderLines(c.rec, c.texts)) {
    DrawTextTop(c.p, x, y, Cp(line));
    y += c.g.line_height;
  }
}

// Row k (from 0) at y + k * step; a hidden body leaves its row empty.
void DrawPositionTable(PaintContext& c, int x, int y, int step, const QFont& glyph_font,
                       const QFont& text_font) {
  const RowWidths w = MeasureRow(c.p.device(), glyph_font, text_font, c.texts.no_data);
  char buf[16];
  for (const PositionRow& row : PositionTable(c.rec, c.ws)) {
    const int row_y = y;
    y += step;
    if (!row.shown) continue;
    int cx = x;
    c.p.setFont(glyph_font);
    c.p.setPen(c.Colour(kElemPlanetGlyphs));
    std::snprintf(buf, sizeof buf, "%c ", row.glyph);
    DrawTextTop(c.p, cx, row_y, QString::fromLatin1(buf));
    cx += w.glyph;
    c.p.setFont(text_font);
    c.p.setPen(c.Colour(kElemPanelText));
    if (!row.computed) {
      DrawTextTop(c.p, cx, row_y, Cp(c.texts.no_data));
      continue;
    }
    std::snprintf(buf, sizeof buf, "%02d ", row.pos.degrees);
    DrawTextTop(c.p, cx, row_y, QString::fromLatin1(buf));
    cx += w.number;
    c.p.setFont(glyph_font);
    c.p.setPen(c.Colour(kElemSignGlyphs));
    std::snprintf(buf, sizeof buf, "%c ", SignGlyph(row.pos.sign));
    DrawTextTop(c.p, cx, row_y, QString::fromLatin1(buf));
    cx += w.sign;
    c.p.setFont(text_font);
    c.p.setPen(c.Colour(kElemPanelText));
    std::snprintf(buf, sizeof buf, "%02d", row.pos.minutes);
    DrawTextTop(c.p, cx, row_y, QString::fromLatin1(buf));
    if (row.retrograde) DrawTextTop(c.p, cx + w.number, row_y, QStringLiteral("r"));
  }
}

// The first y below the circle that holds the wheel, over the columns x1..x2, with a
// margin; INT_MIN when the wheel does not reach over them.
int BelowWheel(const WheelGeometry& g, int x1, int x2, int margin) {
  const double reach = WheelReach(g.r0);
  const double dx = std::clamp(g.map.cx, x1, x2) - g.map.cx;
  if (std::fabs(dx) >= reach) return std::numeric_limits<int>::min();
  return g.map.cy + static_cast<int>(std::ceil(std::sqrt(reach * reach - dx * dx))) + margin;
}

void DrawFrame(QPainter& p, int x1, int y1, int x2, int y2) {
  p.drawLine(x1, y1, x2, y1);
  p.drawLine(x2, y1, x2, y2);
  p.drawLine(x2, y2, x1, y2);
  p.drawLine(x1, y2, x1, y1);
}

void DrawPageExtras(PaintContext& c) {
  const int W = c.target.width, H = c.target.height;
  const int row_h = std::max(1, static_cast<int>(0.08 * c.g.R1));
  const int d = static_cast<int>(0.04 * W);
  const int page_y0 = H - 14 * row_h - (c.target.legend ? 2 * row_h : 0);
  // On a page shorter than A4 the wheel may reach down into the boxes: they then start
  // below it, with closer rows, and keep their bottom.
  const int box_bottom = page_y0 + 13 * row_h;
  const int boxes_left = static_cast<int>((c.ws.Option(kOptPrintLegend) ? 0.08 : 0.55) * W);
  const int y0 = std::max(page_y0, BelowWheel(c.g, boxes_left, static_cast<int>(0.79 * W), row_h / 4));
  const int h = std::max(1, (box_bottom - y0) / 13);
  const int lh = c.g.line_height;
  c.p.setPen(Qt::black);
  // Heading, right-aligned as a block.
  const TextList& heading = c.target.legend ? c.texts.legend_heading : c.texts.page_heading;
  const int heading_h = static_cast<int>((c.target.legend ? 1.2 : 1.5) * lh);
  c.p.setFont(MakeFont(c.ws.text_face.c_str(), heading_h));
  int widest = 0;
  for (size_t k = 0; k < heading.Count(); ++k) widest = std::max(widest, TextWidth(c.p, Cp(heading[k])));
  const int hx = static_cast<int>(0.95 * W - widest);
  for (size_t k = 0; k < heading.Count(); ++k)
    DrawTextTop(c.p, hx, static_cast<int>((k + 1) * heading_h), Cp(heading[k]));

  const QFont glyph_font = MakeFont(kGlyphFace, static_cast<int>(0.9 * h));
  const QFont text_font = MakeFont(c.ws.text_face.c_str(), static_cast<int>(0.7 * h));
  c.p.setFont(glyph_font);
  int m = 0;
  for (int i = 1; i <= 16; ++i) m = std::max(m, TextWidth(c.p, QString(QChar::fromLatin1(BodyGlyph(i)))));
  for (int i = 1; i <= 12; ++i) {
    m = std::max(m, TextWidth(c.p, QString(QChar::fromLatin1(SignGlyph(i)))));
    m = std::max(m, TextWidth(c.p, QString(QChar::fromLatin1(HouseGlyph(i)))));
  }
  QPen frame(Qt::black);
  frame.setWidth(3);
  // Bodies in signs and houses.
  const int x1 = static_cast<int>(0.55 * W);
  c.p.setPen(frame);
  DrawFrame(c.p, x1, y0, static_cast<int>(0.24 * W) + x1, box_bottom);
  c.p.setPen(Qt::black);
  const int x = static_cast<int>(0.016 * W) + x1;
  int k = 0;
  for (const BodyPlacement& b : BodyPlacements(c.rec)) {
    const int y = y0 + h / 2 + k++ * h;
    char buf[8];
    c.p.setFont(glyph_font);
    DrawTextTop(c.p, x, y, QString(QChar::fromLatin1(BodyGlyph(b.body))));
    if (b.sign == 0) {  // no position
      c.p.setFont(text_font);
      DrawTextTop(c.p, static_cast<int>(x + 1.1 * m), y, Cp(c.texts.no_data));
      continue;
    }
    std::snprintf(buf, sizeof buf, "%c,", SignGlyph(b.sign));
    DrawTextTop(c.p, x + 2 * m, y, QString::fromLatin1(buf));
    if (b.house > 0)
      DrawTextTop(c.p, static_cast<int>(x + 3.4 * m), y, QString(QChar::fromLatin1(HouseGlyph(b.house))));
    c.p.setFont(text_font);
    DrawTextTop(c.p, static_cast<int>(x + 1.1 * m), y, QStringLiteral("в"));
    DrawTextTop(c.p, static_cast<int>(x + 4.1 * m), y, QStringLiteral("-м доме"));
  }
  if (!c.ws.Option(kOptPrintLegend)) return;
  // The two legend boxes: signs and bodies with their names.
  auto legend_box = [&](int bx, double width_share, int count, auto glyph_of, const TextList& names) {
    c.p.setPen(frame);
    DrawFrame(c.p, bx, y0, static_cast<int>(width_share * W) + bx, box_bottom);
    c.p.setPen(Qt::black);
    for (int i = 0; i < count; ++i) {
      const int y = y0 + h / 2 + i * h;
      c.p.setFont(glyph_font);
      DrawTextTop(c.p, static_cast<int>(bx + d / 2), y, QString(QChar::fromLatin1(glyph_of(i + 1))));
      c.p.setFont(text_font);
      DrawTextTop(c.p, bx + d, y, QStringLiteral(" - ") + Cp(names.At(i)));
    }
  };
  legend_box(static_cast<int>(0.33 * W), 0.21, 12, SignGlyph, c.texts.signs);
  legend_box(static_cast<int>(0.08 * W), 0.24, 11, BodyGlyph, c.texts.points);
}

}  // namespace

AspectMatrix ChartAspectMatrix(const ChartRecord& rec, const std::string& orb_file) {
  AspectMatrix m;
  const auto lon = CopyLongitudes(rec);
  FindAspectsWithBlock(lon, orb_file, m);
  DropPoints(m, MissingBodyMask(rec));
  return m;
}

void EnsureChartFonts() {
  static bool done = false;
  if (done) return;
  done = true;
  const QStringList families = QFontDatabase::families();
  const struct { const char* family; const char* file; } kFonts[] = {
      {"ATM", "atm.ttf"}, {"Day New", "daycour.ttf"}};
  for (const auto& f : kFonts)
    if (!families.contains(QString::fromLatin1(f.family)) && QFile::exists(QString::fromLatin1(f.file)))
      QFontDatabase::addApplicationFont(QString::fromLatin1(f.file));
}

int ScreenLineHeight(QPaintDevice* device, const WheelSettings& ws) {
  const QFontMetrics fm(MakeFont(ws.text_face.c_str(), kDeviceFontHeight), device);
  return fm.height() + fm.leading();
}

namespace {

// The panels measured in the fonts they are drawn with on `device`, whose full-size
// line height is `base`.
PanelMeasure ScreenPanels(QPaintDevice* device, const ChartRecord& rec, const WheelSettings& ws,
                          const ChartTexts& texts, int base) {
  EnsureChartFonts();
  return [device, base, &ws, &texts, header = HeaderLines(rec, texts),
          rows = PositionTable(rec, ws)](int lh) {
    PanelMetrics m;
    const QFont text_font = CellFont(ws.text_face.c_str(), lh);
    const QFont device_font = MakeFont(ws.text_face.c_str(), kDeviceFontHeight * lh / base);
    const QFontMetrics t(text_font, device);
    // The header stands one widest character in, as the device font measures it.
    m.header_indent = QFontMetrics(device_font, device).maxWidth();
    for (const std::string& line : header) m.header_widths.push_back(t.horizontalAdvance(Cp(line)));
    m.table_width = TableWidth(
        rows, MeasureRow(device, CellFont(kGlyphFace, lh * 5 / 6), text_font, texts.no_data));
    m.table_rows = static_cast<int>(rows.size());
    m.table_lead = t.horizontalAdvance(QStringLiteral("123456789012"));
    return m;
  };
}

}  // namespace

ChartWindowLayout ScreenLayout(QPaintDevice* device, const ChartRecord& rec,
                               const WheelSettings& ws, const ChartTexts& texts, int width,
                               int height) {
  const int base = ScreenLineHeight(device, ws);
  return LayoutChartWindow(width, height, base, ScreenPanels(device, rec, ws, texts, base));
}

QSize ScreenPlainSize(QPaintDevice* device, const ChartRecord& rec, const WheelSettings& ws,
                      const ChartTexts& texts, int min_height) {
  const int base = ScreenLineHeight(device, ws);
  const LayoutSize size =
      PlainClientSize(min_height, base, ScreenPanels(device, rec, ws, texts, base));
  return {size.w, size.h};
}

PrintedPanel LayoutPrintedPanel(QPaintDevice* device, const ChartRecord& rec,
                                const WheelSettings& ws, const ChartTexts& texts, int page_w,
                                int page_h, bool legend) {
  EnsureChartFonts();
  const WheelGeometry g = PrintGeometry(page_w, legend, rec, ws);
  const int lh = g.line_height;
  PrintedPanel out;
  const int x1 = static_cast<int>(0.81 * page_w), x2 = static_cast<int>(0.95 * page_w);
  const int y0 = page_h - 24 * lh - (legend ? 3 * lh : 0);
  const int y2 = static_cast<int>(y0 + 22.5 * lh);
  // Where the wheel reaches down into the frame's columns, the frame starts below it.
  const int top = std::max(y0, BelowWheel(g, x1, x2, lh / 4));
  out.frame = QRect(QPoint(x1, top), QPoint(x2, y2));
  // Inside the frame's pen (3 wide) a quarter line of margin all round.
  const int pad = 2 + std::max(1, lh / 4);
  const std::vector<PositionRow> rows = PositionTable(rec, ws);
  const int n = std::max<int>(1, static_cast<int>(rows.size()));
  const int inner_top = top + pad, inner_bottom = y2 - pad, right = x2 - pad;
  out.row_step = std::max(1, std::min(lh, (inner_bottom - inner_top) / n));
  int left = static_cast<int>(0.83 * page_w);
  int cell = out.row_step;
  auto width_at = [&](int h) {
    return TableWidth(rows, MeasureRow(device, CellFont(kGlyphFace, h * 5 / 6),
                                       CellFont(ws.text_face.c_str(), h), texts.no_data));
  };
  int width = width_at(cell);
  if (left + width > right) left = x1 + pad;  // the frame's own margin first
  while (left + width > right && cell > 4) width = width_at(--cell);
  out.cell = cell;
  out.rows = QRect(left, inner_top, width, (n - 1) * out.row_step + cell);
  return out;
}

namespace {

// The sector of the pixel before is usually the sector of this pixel too: two cross
// products with the sector's bounding rays confirm it, and the angle of the pixel is
// only computed (atan2) when the pixel left the sector. Sectors of 180 degrees and
// more cannot be tested that way and are always computed.
class SectorCache {
 public:
  SectorCache(const AngleMapping& map, std::function<int(double lon)> sector_of,
              std::function<std::pair<double, double>(int n)> bounds)
      : map_(map), sector_of_(std::move(sector_of)), bounds_(std::move(bounds)) {}

  int At(double dx, double dy) {
    if (n_ > 0 && small_) {
      const double ca = ax_ * dy - ay_ * dx, cb = dx * by_ - dy * bx_;
      if (map_.clockwise ? (ca >= 0 && cb > 0) : (ca <= 0 && cb < 0)) return n_;
    }
    n_ = sector_of_(map_.LongitudeAt(std::atan2(dy, dx) * 180.0 / kPi));
    if (n_ > 0) {
      const auto [a, b] = bounds_(n_);
      double span = std::fmod(b - a + 360.0, 360.0);
      small_ = span > 0 && span < 179.0;
      const double ta = map_.ScreenAngle(a) * kPi / 180.0, tb = map_.ScreenAngle(b) * kPi / 180.0;
      ax_ = std::cos(ta), ay_ = std::sin(ta), bx_ = std::cos(tb), by_ = std::sin(tb);
    }
    return n_;
  }

 private:
  const AngleMapping& map_;
  std::function<int(double)> sector_of_;
  std::function<std::pair<double, double>(int)> bounds_;
  int n_ = 0;
  bool small_ = false;
  double ax_ = 0, ay_ = 0, bx_ = 0, by_ = 0;
};

}  // namespace

QImage RenderFills(const WheelGeometry& g, const ChartRecord& rec, const WheelSettings& ws,
                   bool printing) {
  const int step = FillStep(ws, printing);
  if (step == 0 || g.R1 <= 1) return {};
  const int side = 2 * g.R1 - 1;
  QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  const bool mono = printing && ws.Option(kOptPrinterMono);
  QRgb element[kElementCount];
  for (int e = 0; e < kElementCount; ++e) element[e] = ToQRgb(ElementColour(e, ws, mono));
  const int house_kind = g.houses && ws.ov[kOptHouseFill] != 0 ? ws.ov[kOptHouseFill] + 1 : 0;
  const bool planet_ring = ws.Option(kOptPlanetRingFill);
  const long long r1 = g.R1, r2 = g.R2, r3 = g.R3, r4 = g.R4, ra = g.RA;
  const long long r1q = r1 * r1, r2q = r2 * r2, r3q = r3 * r3, r4q = r4 * r4, raq = ra * ra;
  std::array<double, 13> cusps{};
  for (int k = 1; k <= 12; ++k) cusps[k] = rec.lon[kFirstCusp + k - 1];
  SectorCache signs(
      g.map, [](double lon) { return std::min(12, static_cast<int>(lon / 30.0) + 1); },
      [](int n) { return std::pair<double, double>(30.0 * (n - 1), 30.0 * n); });
  SectorCache houses(
      g.map, [&rec](double lon) { return HouseOf(rec, lon); },
      [&cusps](int k) { return std::pair<double, double>(cusps[k], cusps[k == 12 ? 1 : k + 1]); });
  const int x0 = g.map.cx - g.R1 + 1, y0 = g.map.cy - g.R1 + 1;
  for (int y = y0; y < g.map.cy + g.R1; y += step) {
    const long long dy = y - g.map.cy;
    QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y - y0));
    for (int x = x0; x < g.map.cx + g.R1; x += step) {
      const long long dx = x - g.map.cx;
      const long long q = dx * dx + dy * dy;
      int elem = -1;
      if (q > r2q && q < r1q) {
        elem = SectorFillElement(signs.At(double(dx), double(dy)));
      } else if (house_kind && q > r4q && q < r3q) {
        if (house_kind == 3) {
          elem = kElemHouseRing;
        } else if (house_kind == 2) {
          const int k = houses.At(double(dx), double(dy));
          if (k > 0) elem = SectorFillElement(k);
        }
      } else if (planet_ring && q > raq && q < r4q) {
        elem = kElemPlanetRing;
      }
      if (elem >= 0) line[x - x0] = element[elem];
    }
  }
  return img;
}

WheelGeometry PaintChart(QPainter& p, const ChartRecord& rec, const AspectMatrix& aspects,
                         const WheelSettings& ws, const ChartTexts& texts,
                         const PaintTarget& target) {
  EnsureChartFonts();
  ChartWindowLayout own_layout;
  const ChartWindowLayout* layout = target.layout;
  if (!target.printing && !layout) {
    own_layout = ScreenLayout(p.device(), rec, ws, texts, target.width, target.height);
    layout = &own_layout;
  }
  PaintContext c{p,
                 rec,
                 ws,
                 texts,
                 target,
                 target.printing ? PrintGeometry(target.width, target.legend, rec, ws)
                                 : ScreenGeometryAt(layout->cx, layout->cy, layout->r0,
                                                    layout->line_height, rec, ws),
                 target.printing && ws.Option(kOptPrinterMono),
                 LoadAspectTable(ws.orb_file, false)};
  const int lh = c.g.line_height;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setBackgroundMode(Qt::TransparentMode);
  const int area_w = layout ? std::max(target.width, layout->content_w) : target.width;
  const int area_h = layout ? std::max(target.height, layout->content_h) : target.height;
  p.fillRect(QRect(0, 0, area_w, area_h), c.Colour(kElemBackground));
  DrawFills(c);
  p.setFont(MakeFont(kGlyphFace, c.g.R1 / 10));
  DrawZodiac(c);
  DrawHouses(c);
  DrawBodies(c);
  DrawAspects(c, aspects);
  if (target.printing) {
    const QFont device_font = MakeFont(ws.text_face.c_str(), kDeviceFontHeight);
    const int max_w = QFontMetrics(device_font, p.device()).maxWidth();
    DrawHeader(c, 4 * max_w, target.legend ? 7 * lh : 0, PanelFont(ws.text_face, lh));
    const PrintedPanel panel =
        LayoutPrintedPanel(p.device(), rec, ws, texts, target.width, target.height, target.legend);
    QPen frame(Qt::black);
    frame.setWidth(3);
    p.setPen(frame);
    DrawFrame(p, panel.frame.left(), panel.frame.top(), panel.frame.right(), panel.frame.bottom());
    DrawPositionTable(c, panel.rows.left(), panel.rows.top(), panel.row_step,
                      PanelFont(kGlyphFace, panel.cell * 5 / 6), PanelFont(ws.text_face, panel.cell));
    DrawPageExtras(c);
  } else {
    DrawHeader(c, layout->header_x, layout->header_y, PanelFont(ws.text_face, lh));
    DrawPositionTable(c, layout->table_x, layout->table_y, lh, PanelFont(kGlyphFace, lh * 5 / 6),
                      PanelFont(ws.text_face, lh));
  }
  p.restore();
  return c.g;
}

QImage RenderChartImage(const ChartRecord& rec, const AspectMatrix& aspects,
                        const WheelSettings& ws, const ChartTexts& texts, int width,
                        int height, WheelGeometry* drawn) {
  QImage img(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  QPainter p(&img);
  const WheelGeometry g =
      PaintChart(p, rec, aspects, ws, texts, {img.width(), img.height(), false, false});
  if (drawn) *drawn = g;
  return img;
}

int PrintChartToPdf(const ChartRecord& rec, const AspectMatrix& aspects,
                    const WheelSettings& ws, const ChartTexts& texts, bool legend,
                    const QString& path) {
  QPdfWriter pdf(path);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setResolution(300);
  pdf.setTitle(FromCp1251(W("Карта")));
  pdf.setCreator(QStringLiteral("Kvimarot"));
  QPainter p;
  if (!p.begin(&pdf)) return -1;
  PaintChart(p, rec, aspects, ws, texts, {pdf.width(), pdf.height(), true, legend});
  p.end();
  return QFile::exists(path) ? 0 : -1;
}

}  // namespace kv
