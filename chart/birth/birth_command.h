// Command 200 "Гороскоп": the birth-data dialog on the working chart record, the
// calculation, and a new chart window. A failed calculation (a date outside the
// ephemeris span, reported as "DEp") opens no window: a window would show another
// moment's planets under this person's name.
#pragma once

#include <functional>

#include "chart/record/chart_record.h"
#include "common/settings.h"

class QWidget;

namespace kv {

class DBirthData;

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
// The program's steps: the dialog run modally, the calculation with the options of
// `settings` as they are when it runs, the chart window (OpenChartWindow).
BirthCommandSteps DefaultBirthCommandSteps(const Settings& settings);

enum class BirthCommandResult {
  kOpened,
  kCancelled,
  kCalculationFailed,
  kRefused,  // closed with OK around its own check while a field was refused
};

// Runs the command on the working record, the start-up record and the settings:
// nothing changes on Cancel; on OK the values go into the working record and option
// byte 39, and after a successful calculation the record becomes the start-up record
// (and the settings' birth data, which the settings file keeps) and gets a window.
BirthCommandResult RunBirthDataCommand(QWidget* parent, ChartRecord& working,
                                       ChartRecord& startup, Settings& settings,
                                       const BirthCommandSteps& steps);

}  // namespace kv
