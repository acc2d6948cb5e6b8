// Command 200 "Гороскоп": the birth-data dialog on the working chart record, the
// calculation, and a new chart window. A failed calculation (a date outside the
// ephemeris span, reported as "DEp") opens no window: a window would show another
// moment's planets under this person's name.
#pragma once

#include <functional>

#include "chart/record/chart_record.h"

class QWidget;

namespace kv {

class DBirthData;
struct Settings;

inline constexpr int kCmdBirthData = 200;

// The steps the command goes through; the defaults are the program's own, tests
// replace them.
struct BirthCommandSteps {
  // Shows the dialog; the command that closed it (1 OK).
  std::function<int(DBirthData&)> run_dialog;
  // Calculates the chart in place with the start-up record as base; 0 or -1.
  std::function<int(ChartRecord&, const ChartRecord& base)> calculate;
  // Opens the chart window on a copy of the record.
  std::function<void(const ChartRecord&)> open_window;
};
BirthCommandSteps DefaultBirthCommandSteps();

enum class BirthCommandResult {
  kOpened,
  kCancelled,
  kCalculationFailed,
  kRefused,  // closed with OK around its own check while a field was refused
};

// Runs the command on the working record and the settings: nothing changes on
// Cancel; on OK the values go into the working record and option byte 39, and after
// a successful calculation the record becomes the start-up record and gets a window.
BirthCommandResult RunBirthDataCommand(QWidget* parent, ChartRecord& working, Settings& settings,
                                       const BirthCommandSteps& steps);

// The chart window for a record: the installed opener, else the chart subsystem's
// OpenChartWindow when it is built in.
using ChartWindowOpener = std::function<void(const ChartRecord&)>;
ChartWindowOpener SetChartWindowOpener(ChartWindowOpener opener);
void OpenChartForRecord(const ChartRecord& rec);

}  // namespace kv
