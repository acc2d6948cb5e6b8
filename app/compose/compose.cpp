#include "app/compose/compose.h"

#include "app/compose/analysis_window.h"
#include "app/compose/compose_texts.h"
#include "app/compose/database_wiring.h"
#include "app/compose/settings_menu.h"
#include "app/compose/towns_wiring.h"
#include "app/settings/program_settings.h"
#include "app/ui/dcli.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/ephemeris_startup.h"
#include "chart/birth/birth_command.h"
#include "chart/ui/chart_window_hooks.h"
#include "chart/ui/open_chart.h"
#include "chart/wheel/chart_texts.h"
#include "chart/wheel/wheel_settings.h"
#include "common/ui/dial.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {

// Hooks of the windows of every subsystem (common/ui/window_hooks.h); help on a key is
// the texts' (ConnectTexts), "Города..." the towns' and "Из Базы..." the database's.
void ConnectWindowHooks(DUApp& app) {
  SetMaximiseRule([] { return AppSettings().Option(kOptMaximised); });
  SetMainClientFinder([&app]() -> QMdiArea* { return app.Client(); });
  SetSettingsListener(&RepaintOpenCharts);
  SetDialogTextFace(AppSettings().text_font);
  ConnectTownChooser();
}

// The chart window paints with the settings of the moment and the program's texts.
// Command 2003 opens the analysis; 2016 and the click details are the texts'
// (ConnectTexts), 2013 the database's.
void ConnectChartWindow(DUApp& app) {
  ChartWindowHooks hooks;
  hooks.wheel_settings = [] { return WheelSettingsFrom(AppSettings()); };
  hooks.texts = ChartTextsFrom(Resources());
  hooks.analysis = &OpenAnalysisWindow;
  // The person database: the menu "База данных", "Из Базы..." and command 2013.
  ConnectDatabase(app, hooks);
  SetChartWindowHooks(std::move(hooks));
  app.open_chart_count = &OpenChartCount;
}

// Command 200 "Гороскоп": the birth-data dialog on the working record.
void RegisterChartCommands(DUApp& app) {
  app.RegisterCommand(kCmdBirthData, [&app] {
    RunBirthDataCommand(app.Frame(), WorkingChart(), StartupChart(), AppSettings(),
                        DefaultBirthCommandSteps(AppSettings()));
  });
}

}  // namespace

void ComposeMainWindow(DUApp& app) {
  StartEphemeris();
  ConnectWindowHooks(app);
  ConnectChartWindow(app);
  RegisterChartCommands(app);
  ConnectTexts(app);
  ConnectSettingsMenu(app);
  StartupChart() = ChartRecordOf(AppSettings().startup);
  WorkingChart() = StartupChart();
}

}  // namespace kv
