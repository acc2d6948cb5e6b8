// The one routine that paints a chart: on a widget, into a QImage, onto a printer
// page. What differs between devices (page or client size, printing, the legend) is
// passed in; sizes, pens and colours follow from it.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "aspects/aspect_finder.h"
#include "chart/record/chart_record.h"
#include "chart/wheel/chart_layout.h"
#include "chart/wheel/chart_texts.h"
#include "chart/wheel/wheel_geometry.h"
#include "chart/wheel/wheel_settings.h"

class QPainter;
class QPaintDevice;

namespace kv {

struct PaintTarget {
  int width = 0;   // client area or printable page, device pixels
  int height = 0;
  bool printing = false;
  bool legend = false;  // printout with the symbol legend (command 2101)
  // On screen: where the wheel and the panels go (ScreenLayout); computed for the
  // size above when not given. The content may be larger than the size: a window
  // that scrolls translates the painter.
  const ChartWindowLayout* layout = nullptr;
};

// The aspect matrix a chart window keeps: the current orb block applied once.
AspectMatrix ChartAspectMatrix(const ChartRecord& rec, const std::string& orb_file);

// Makes the faces "ATM" and "Day New" available from "atm.ttf" and "daycour.ttf" of
// the working directory when the program has not installed them (the command line,
// tests). A missing file leaves the substitute font.
void EnsureChartFonts();

// Line height of the panels on screen: the device font's height and external leading.
int ScreenLineHeight(QPaintDevice* device, const WheelSettings& ws);

// The layout of a chart window of the given client size, with the panels measured in
// the fonts they are drawn with.
ChartWindowLayout ScreenLayout(QPaintDevice* device, const ChartRecord& rec,
                               const WheelSettings& ws, const ChartTexts& texts, int width,
                               int height);

// The client size a new chart window asks for: the whole wheel and the panels beside it
// at full-size text, at least `min_height` high.
QSize ScreenPlainSize(QPaintDevice* device, const ChartRecord& rec, const WheelSettings& ws,
                      const ChartTexts& texts, int min_height);

// The position panel of a printed page: its frame, and the rows fitted inside it
// (row k of n at rows.top() + (k - 1) * row_step, the text at rows.left(), the fonts
// at the cell height). The frame stays where the page puts it unless the wheel
// reaches into it; then its top moves down and the rows get closer.
struct PrintedPanel {
  QRect frame;
  QRect rows;  // the area the rows' text takes
  int row_step = 0;
  int cell = 0;
};
PrintedPanel LayoutPrintedPanel(QPaintDevice* device, const ChartRecord& rec,
                                const WheelSettings& ws, const ChartTexts& texts, int page_w,
                                int page_h, bool legend);

// Paints the whole chart (background, fills, wheel, aspect lines, panels and, when
// printing, the page extras) and returns the geometry it used, for the click test.
// The words it writes come from `texts`.
WheelGeometry PaintChart(QPainter& p, const ChartRecord& rec, const AspectMatrix& aspects,
                         const WheelSettings& ws, const ChartTexts& texts,
                         const PaintTarget& target);

// The three fills of the wheel as an image whose pixel (0, 0) is the device point
// (centre x - R1 + 1, centre y - R1 + 1); pixels off the grid or outside the rings are
// transparent. A null image when nothing is filled.
QImage RenderFills(const WheelGeometry& g, const ChartRecord& rec, const WheelSettings& ws,
                   bool printing);

// The screen picture of a chart window of the given client size (the top left of
// the content when it scrolls); `drawn` receives the geometry of the wheel.
QImage RenderChartImage(const ChartRecord& rec, const AspectMatrix& aspects,
                        const WheelSettings& ws, const ChartTexts& texts, int width,
                        int height, WheelGeometry* drawn = nullptr);

// The printed page (one page, "Карта") written to a PDF file without any printer.
// 0, or -1 when the file cannot be written.
int PrintChartToPdf(const ChartRecord& rec, const AspectMatrix& aspects,
                    const WheelSettings& ws, const ChartTexts& texts, bool legend,
                    const QString& path);

}  // namespace kv
