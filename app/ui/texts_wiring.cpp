#include "app/ui/texts_wiring.h"

#include "app/settings/settings.h"
#include "app/textres/text_resources.h"
#include "app/ui/dcli.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/menu_builder.h"
#include "chart/ui/dkart.h"
#include "chart/wheel/wheel_settings.h"
#include "chart/wheel/wheel_style.h"
#include "common/ui/dial.h"
#include "texts/ui/chart_texts.h"
#include "texts/ui/reference_dialogs.h"
#include "texts/ui/text_services.h"
#include "texts/ui/text_windows.h"

namespace kv {
namespace {

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
  const Settings& s = AppSettings();
  InterpretationOptions o;
  for (size_t i = 0; i < o.lp.size(); ++i) o.lp[i] = static_cast<uint32_t>(s.lp[i]);
  o.justify = s.Option(kOptJustify);
  o.line_width = s.chars_per_line;
  o.natal_collection = Resources().LookupIndexed(0, "INTER");
  return o;
}

}  // namespace

void WireTexts(DUApp& app) {
  TextServices services;
  services.window_settings = &TextSettingsNow;
  services.interpretation_options = &InterpretationNow;
  services.fill_menu = [](QMenu* menu, std::string_view key, std::function<void(int)> on_command) {
    FillMenu(menu, ReadMenuEntry(Resources(), key), on_command);
  };
  services.mdi_area = [&app]() -> QMdiArea* { return app.Client(); };
  services.frame = [&app]() -> QWidget* { return app.Frame(); };
  SetTextServices(std::move(services));
  SetHelpOpener([](QWidget* requester, const std::string& key) { OpenHelpWindow(requester, key); });

  app.RegisterCommand(kCmdInterpretationMenu, [&app] { InterpretationCommand(app.Frame()); });
  app.RegisterCommand(kCmdSymbolWindow, [] { OpenSymbolWindow(); });
  app.RegisterCommand(kCmdSignsDialog, [&app] { OpenSignsOrHousesDialog(app.Frame(), kCmdSignsDialog); });
  app.RegisterCommand(kCmdHousesDialog, [&app] { OpenSignsOrHousesDialog(app.Frame(), kCmdHousesDialog); });
  app.RegisterCommand(kCmdPlanetsDialog, [&app] { OpenPlanetsDialog(app.Frame()); });
  app.RegisterCommand(kCmdGeneralHelp, [&app] { OpenHelpWindow(app.Frame(), kGeneralHelp); });

  DKart::SetCommandHook(kCmdInterpretation, [](DKart& kart, int) {
    OpenNatalInterpretation(kart.Chart(), kart.windowTitle());
  });
  DKart::SetDescriptionHook([](DKart& kart, WheelHit hit) { OpenDetails(kart.Chart(), hit); });
}

}  // namespace kv
