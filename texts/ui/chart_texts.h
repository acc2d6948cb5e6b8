// The texts of a chart: the natal interpretation (main menu 901 through the chart
// selection 1010, chart window 2016) and the details of what a click on the wheel
// hit (a free-standing window).
#pragma once

#include <QString>
#include <vector>

#include "chart/record/chart_record.h"
#include "chart/ui/dkart.h"
#include "chart/wheel/wheel_geometry.h"
#include "common/ui/dial.h"

class QListWidget;

namespace kv {

class DText;
class EText;

inline constexpr int kChartChoiceResource = 1010;
inline constexpr const char* kHelpVibKart = "VibKart";

// Dialog 1010 "Выбор Карты": the titles of the open chart windows, the first one
// selected.
class DChartChoice : public Dial {
  Q_OBJECT
 public:
  DChartChoice(QWidget* parent, const std::vector<DKart*>& charts);
  QListWidget* List() const;
  // The window chosen, or nullptr for no valid selection.
  DKart* Chosen() const;

 private:
  std::vector<DKart*> charts_;
};

// None open: nullptr; one: that one; several: the dialog (Cancel gives nullptr).
// The MDI client gets the focus again afterwards.
DKart* SelectChart(QWidget* owner);

// Command 901: the chosen chart's natal interpretation, or the message "NoKr".
void InterpretationCommand(QWidget* owner);

// The natal interpretation of the chart in a DText; nullptr when the collection does
// not open or the output file cannot be written (the message says which).
DText* OpenNatalInterpretation(const ChartRecord& chart, const QString& chart_title);

// The details of a sign, house or planet of the chart in an EText.
EText* OpenDetails(const ChartRecord& chart, const WheelHit& hit);

}  // namespace kv
