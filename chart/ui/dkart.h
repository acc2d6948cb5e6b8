// DKart: the chart window. It owns a copy of the chart record and its aspect matrix,
// paints them with the chart painter, answers clicks on the wheel and offers the
// chart's commands from its context menu "K0t1". What it needs of other subsystems it
// asks through its hooks (chart_window_hooks.h).
#pragma once

#include <functional>
#include <map>

#include "aspects/aspect_finder.h"
#include "chart/record/chart_record.h"
#include "chart/ui/chart_window_hooks.h"
#include "chart/wheel/chart_layout.h"
#include "chart/wheel/wheel_geometry.h"
#include "common/ui/dkerchild.h"

class QPrinter;
class QScrollBar;

namespace kv {

// The window's context menu and help topic (text-resource and help keys).
inline constexpr const char* kChartMenuKey = "K0t1";
inline constexpr const char* kHelpChart = "K0t1";
inline constexpr int kCmdPrintChart = 2100;
inline constexpr int kCmdPrintChartLegend = 2101;
// The height a new chart window asks for at least (more when the panels need it).
inline constexpr int kChartWindowMinHeight = 480;

class DKart : public DChild {
  Q_OBJECT
 public:
  // `number` is the chart counter + 1; the aspect matrix is computed here with the
  // orb file of the current settings (the wheel-settings hook).
  DKart(int number, const ChartRecord& rec, QWidget* parent = nullptr);
  ~DKart() override;

  int Number() const { return number_; }
  const ChartRecord& Chart() const { return chart_; }
  const AspectMatrix& Aspects() const { return aspects_; }
  // Finds the aspects again with the orb block of the current settings (it or its
  // file may have changed) and repaints.
  void RefindAspects();
  // The geometry of the last paint (the click test works on it), in the coordinates of
  // the content, which scrolls when it is larger than the window.
  const WheelGeometry& Geometry() const { return geometry_; }
  const ChartWindowLayout& Layout() const { return layout_; }
  // The content point shown at the top left of the window.
  QPoint ScrollOffset() const;
  WheelHit LastHit() const { return last_hit_; }

  void Command(int id) override;
  // A window that does not open maximised opens at this size (bounded by the MDI
  // client): the whole wheel and the panels beside it at full-size text.
  QSize sizeHint() const override;
  // The visible part of the content, without the scroll bars.
  QImage ClientPicture() override;
  // Prints on `printer` (commands 2100/2101 without the dialog); 0 or -1.
  int PrintOn(QPrinter& printer, bool legend);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool event(QEvent* e) override;  // tooltips on the wheel
  void wheelEvent(QWheelEvent* e) override;

 private:
  void Print(int id);
  // Lays the content out for the window's size and shows the scroll bars it needs.
  void Relayout();

  int number_;
  ChartRecord chart_;
  AspectMatrix aspects_;
  WheelGeometry geometry_;
  WheelHit last_hit_;
  bool click_armed_ = true;  // cleared when the window loses the focus
  ChartWindowLayout layout_;
  QSize viewport_;
  QScrollBar* hbar_ = nullptr;
  QScrollBar* vbar_ = nullptr;
};

// The open-chart registers: chart number -> window, both kept in step.
DKart* FindOpenChart(int number);
std::map<int, DKart*> OpenCharts();
// Numbers given so far (the next window gets this + 1).
int ChartCounter();

}  // namespace kv
