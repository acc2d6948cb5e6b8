#include "app/compose/settings_menu.h"

#include "app/settings/program_settings.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/menu_commands.h"
#include "app/ui/settings/dintr.h"
#include "app/ui/settings/dprints.h"
#include "app/ui/settings/dset.h"
#include "app/ui/settings/dstatus.h"
#include "common/ui/dial.h"

namespace kv {

void ConnectSettingsMenu(DUApp& app) {
  app.RegisterCommand(kCmdSettingsChart, [&app] {
    DSet dialog(app.Frame(), AppSettings());
    RunDialog(dialog);
    SetDialogTextFace(AppSettings().text_font);  // the calendar writes with it
  });
  app.RegisterCommand(kCmdSettingsInterpretation, [&app] {
    DIntr dialog(app.Frame(), AppSettings());
    RunDialog(dialog);
  });
  app.RegisterCommand(kCmdSettingsPrinter, [&app] {
    DPrintS dialog(app.Frame(), AppSettings());
    RunDialog(dialog);
  });
  app.RegisterCommand(kCmdSettingsUserStatus, [&app] {
    DStatus dialog(app.Frame(), AppSettings());
    RunDialog(dialog);
  });
}

}  // namespace kv
