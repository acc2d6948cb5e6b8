// kvimarot: the astrology workstation. Runs in its working directory, where kvi.ini,
// kvima.t, the fonts and the data files lie.
#include <QApplication>

#include "app/settings/program_settings.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/fonts.h"
#include "app/ui/qt_translations.h"
#include "app/ui/startup.h"
#include "common/messages.h"
#include "common/ui/message_boxes.h"
#include "db/schema/schema.h"

namespace kv {
void InstallAnalysisWiring();  // app/ui/analysis_wiring.cpp
}

int main(int argc, char** argv) {
  QApplication qt_app(argc, argv);
  kv::InstallQtTranslations(&qt_app);
  kv::InstallMessageBoxes();
  kv::InstallOutOfMemoryHandler();
  kv::InstallProgramFonts();
  kv::DUApp app;
  kv::InstallResourceLookup();
  kv::SetSchemaLoader([] { kv::db::LoadSchema(); });
  kv::LoadProgramSettings(kv::AppSettings(), kv::Resources(), kv::AppLists());
  app.InitMainWindow();
  kv::RunStartupHooks();
  kv::InstallAnalysisWiring();
  kv::WorkingChart() = kv::AppSettings().startup;
  app.Frame()->show();
  return qt_app.exec();
}
