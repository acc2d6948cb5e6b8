#include "app/compose/compose_texts.h"

#include "app/settings/program_settings.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/menu_commands.h"
#include "chart/ui/chart_window_hooks.h"
#include "chart/ui/dkart.h"
#include "chart/wheel/wheel_settings.h"
#include "chart/wheel/wheel_style.h"
#include "common/text_resources.h"
#include "common/timing.h"
#include "common/ui/window_hooks.h"
#include "texts/ui/chart_texts.h"
#include "texts/ui/reference_dialogs.h"
#include "texts/ui/text_services.h"
#include "texts/ui/text_windows.h"

namespace kv {
namespace {

// Read at each window or command, so a change made in a settings dialog is seen.
TextWindowSettings TextSettingsNow() {
  const Settings& s = AppSettings();
  const WheelSettings ws = WheelSettingsFrom(s);
  TextWindowSettings t;
  t.face = s.text_font;
  t.text_colour = ElementColour(kTextColourElement, ws, false);
  t.link_colour = ElementColour(kLinkColourElement, ws, false);
  t.background = ElementColour(kTextBackgroundElement, ws, false);
  t.print_dialog = s.Option(kOptPrintDialog);
  t.editor_justify = s.Option(kOptRazd);
  t.editor_path = s.editor_path;
  return t;
}

InterpretationOptions InterpretationNow() {
  return InterpretationOptionsFrom(AppSettings(), Resources());
}

}  // namespace

void ConnectTexts(DUApp& app) {
  TextServices services;
  services.window_settings = &TextSettingsNow;
  services.interpretation_options = &InterpretationNow;
  SetTextServices(std::move(services));
  SetHelpOpener([](QWidget* requester, const std::string& key) { OpenHelpWindow(requester, key); });

  app.RegisterCommand(kCmdMenuInterpretation, [&app] {
    MarkTiming("interpretation");
    InterpretationCommand(app.Frame());
  });
  app.RegisterCommand(kCmdMenuSymbolism, [] { OpenSymbolWindow(); });
  app.RegisterCommand(kCmdMenuSigns,
                      [&app] { OpenSignsOrHousesDialog(app.Frame(), ReferenceKind::kSigns); });
  app.RegisterCommand(kCmdMenuHouses,
                      [&app] { OpenSignsOrHousesDialog(app.Frame(), ReferenceKind::kHouses); });
  app.RegisterCommand(kCmdMenuPlanets, [&app] { OpenPlanetsDialog(app.Frame()); });
  app.RegisterCommand(kCmdMenuHelp, [&app] { OpenHelpWindow(app.Frame(), kGeneralHelp); });

  ChartWindowHooks hooks = ChartWindowHooksNow();
  hooks.interpretation = [](DKart& kart) {
    MarkTiming("interpretation");
    OpenNatalInterpretation(kart.Chart(), kart.windowTitle());
  };
  hooks.details = [](DKart& kart, WheelHit hit) { OpenDetails(kart.Chart(), hit); };
  SetChartWindowHooks(std::move(hooks));
}

}  // namespace kv
