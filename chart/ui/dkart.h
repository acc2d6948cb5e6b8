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
#include "chart/wheel/wheel_geometry.h"
#include "common/ui/dkerchild.h"

class QPrinter;

namespace kv {

// The window's context menu and help topic (text-resource and help keys).
inline constexpr const char* kChartMenuKey = "K0t1";
inline constexpr const char* kHelpChart = "K0t1";
inline constexpr int kCmdPrintChart = 2100;
inline constexpr int kCmdPrintChartLegend = 2101;

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
  // The geometry of the last paint (the click test works on it).
  const WheelGeometry& Geometry() const { return geometry_; }
  WheelHit LastHit() const { return last_hit_; }

  void Command(int id) override;
  // Prints on `printer` (commands 2100/2101 without the dialog); 0 or -1.
  int PrintOn(QPrinter& printer, bool legend);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void Print(int id);

  int number_;
  ChartRecord chart_;
  AspectMatrix aspects_;
  WheelGeometry geometry_;
  WheelHit last_hit_;
  bool click_armed_ = true;  // cleared when the window loses the focus
};

// The open-chart registers: chart number -> window, both kept in step.
DKart* FindOpenChart(int number);
std::map<int, DKart*> OpenCharts();
// Numbers given so far (the next window gets this + 1).
int ChartCounter();

}  // namespace kv
