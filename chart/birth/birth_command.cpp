#include "chart/birth/birth_command.h"

#include "app/settings/program_settings.h"
#include "app/settings/settings.h"
#include "app/ui/duapp.h"
#include "app/ui/dframe.h"
#include "app/ui/startup.h"
#include "chart/birth/dbirth_data.h"
#include "chart/calc/chart_calc.h"
#include "common/journal.h"
#include "common/ui/dial.h"
#if KV_HAVE_OPEN_CHART
#include "chart/ui/open_chart.h"
#endif

namespace kv {
namespace {

ChartWindowOpener& Opener() {
  static ChartWindowOpener opener;
  return opener;
}

ChartOptions OptionsOf(const Settings& s) {
  ChartOptions o;
  o.true_node = s.Option(kOptTrueNode);
  o.osc_apogee = s.Option(kOptOsculatingApogee);
  o.heliocentric = s.Option(kOptHeliocentric);
  return o;
}

// Command 200 from the main menu, and the calendar's text face from the settings.
const StartupHookRegistration kRegisterBirthCommand([] {
  SetDialogTextFace(AppSettings().text_font);
  if (DUApp* app = DUApp::Instance())
    app->RegisterCommand(kCmdBirthData, [app] {
      RunBirthDataCommand(app->Frame(), WorkingChart(), AppSettings(), DefaultBirthCommandSteps());
    });
});

}  // namespace

ChartWindowOpener SetChartWindowOpener(ChartWindowOpener opener) {
  ChartWindowOpener old = std::move(Opener());
  Opener() = std::move(opener);
  return old;
}

void OpenChartForRecord(const ChartRecord& rec) {
  if (Opener()) {
    Opener()(rec);
    return;
  }
#if KV_HAVE_OPEN_CHART
  OpenChartWindow(rec);
#else
  Journal("chart window not built in; chart of '%s' computed", rec.name);
#endif
}

BirthCommandSteps DefaultBirthCommandSteps() {
  BirthCommandSteps steps;
  steps.run_dialog = [](DBirthData& d) { return RunDialog(d); };
  steps.calculate = [](ChartRecord& rec, const ChartRecord& base) {
    return CalculateChart(rec, &base, kNatalChart, OptionsOf(AppSettings()));
  };
  steps.open_window = &OpenChartForRecord;
  return steps;
}

BirthCommandResult RunBirthDataCommand(QWidget* parent, ChartRecord& working, Settings& settings,
                                       const BirthCommandSteps& steps) {
  DBirthData dialog(parent, BirthValuesFromRecord(working, settings.Option(kOptExactTime)),
                    working.jd_ut, settings.database);
  if (steps.run_dialog(dialog) != kCmdOk) return BirthCommandResult::kCancelled;
  const std::optional<BirthValues> values = dialog.Values();
  if (!values) return BirthCommandResult::kRefused;

  ApplyBirthValues(*values, settings.house_system, working, settings.ov);
  // The base is the start-up record as it was before this chart.
  const ChartRecord base = settings.startup;
  // The range check has shown "DEp"; the record keeps the entered data, so the next
  // dialog opens on it, but no window shows positions of another moment.
  if (steps.calculate(working, base) != 0) return BirthCommandResult::kCalculationFailed;
  settings.startup = working;
  steps.open_window(working);
  return BirthCommandResult::kOpened;
}

}  // namespace kv
