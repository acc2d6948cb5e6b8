#include "chart/birth/birth_command.h"

#include "chart/birth/dbirth_data.h"
#include "chart/calc/chart_calc.h"
#include "chart/ui/open_chart.h"
#include "common/timing.h"
#include "common/ui/dial.h"

namespace kv {

BirthCommandSteps DefaultBirthCommandSteps(const Settings& settings) {
  BirthCommandSteps steps;
  steps.run_dialog = [](DBirthData& d) { return RunDialog(d); };
  steps.calculate = [&settings](ChartRecord& rec, const ChartRecord& base) {
    return CalculateChart(rec, &base, kNatalChart, ChartOptionsFrom(settings));
  };
  steps.open_window = [](const ChartRecord& rec) { OpenChartWindow(rec); };
  return steps;
}

BirthCommandResult RunBirthDataCommand(QWidget* parent, ChartRecord& working,
                                       ChartRecord& startup, Settings& settings,
                                       const BirthCommandSteps& steps) {
  DBirthData dialog(parent, BirthValuesFromRecord(working, settings.Option(kOptExactTime)),
                    working.jd_ut, settings.database);
  if (steps.run_dialog(dialog) != kCmdOk) return BirthCommandResult::kCancelled;
  MarkTiming("birth-ok");
  const std::optional<BirthValues> values = dialog.Values();
  if (!values) return BirthCommandResult::kRefused;

  ApplyBirthValues(*values, settings.house_system, working, settings.ov);
  // The base is the start-up record as it was before this chart.
  const ChartRecord base = startup;
  // The range check has shown "DEp"; the record keeps the entered data, so the next
  // dialog opens on it, but no window shows positions of another moment.
  if (steps.calculate(working, base) != 0) return BirthCommandResult::kCalculationFailed;
  startup = working;
  settings.startup = BirthDataOf(working);
  steps.open_window(working);
  return BirthCommandResult::kOpened;
}

}  // namespace kv
