#include "app/ui/settings_wiring.h"

#include "app/settings/settings.h"
#include "app/ui/duapp.h"
#include "app/ui/dframe.h"
#include "app/ui/settings/dintr.h"
#include "app/ui/settings/dprints.h"
#include "app/ui/settings/dset.h"
#include "app/ui/settings/dstatus.h"
#include "chart/ui/dkart.h"
#include "common/ui/dial.h"

namespace kv {

void RefreshOpenCharts() {
  for (const auto& [number, kart] : OpenCharts()) kart->RefindAspects(AppSettings().orb_file);
}

void WireSettingsDialogs(DUApp& app) {
  SetDialogTextFace(AppSettings().text_font);
  app.RegisterCommand(kCmdChartSettings, [&app] {
    ChartSettingsHooks hooks;
    hooks.changed = &RefreshOpenCharts;
    hooks.orb_dialogs.blocks_changed = &RefreshOpenCharts;
    DSet dialog(app.Frame(), AppSettings(), hooks);
    RunDialog(dialog);
    SetDialogTextFace(AppSettings().text_font);  // the calendar writes with it
  });
  app.RegisterCommand(kCmdInterpretationSettings, [&app] {
    DIntr dialog(app.Frame(), AppSettings());
    RunDialog(dialog);
  });
  app.RegisterCommand(kCmdPrinterSettings, [&app] {
    DPrintS dialog(app.Frame(), AppSettings());
    RunDialog(dialog);
  });
  app.RegisterCommand(kCmdUserStatus, [&app] {
    DStatus dialog(app.Frame(), AppSettings());
    RunDialog(dialog);
  });
}

}  // namespace kv
