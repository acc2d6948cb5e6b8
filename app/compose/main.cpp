// kvimarot: the astrology workstation. Runs in its working directory, where kvi.ini,
// kvima.t, the fonts and the data files lie.
#include <QApplication>

#include <cstdlib>

#include "app/compose/compose.h"
#include "app/compose/paint_timing.h"
#include "app/settings/program_settings.h"
#include "app/ui/dframe.h"
#include "app/ui/duapp.h"
#include "app/ui/fonts.h"
#include "app/ui/qt_translations.h"
#include "common/messages.h"
#include "common/timing.h"
#include "common/ui/message_boxes.h"
#include "db/schema/schema.h"

int main(int argc, char** argv) {
  kv::MarkTiming("main");
  QApplication qt_app(argc, argv);
  kv::InstallQtTranslations(&qt_app);
  kv::InstallMessageBoxes();
  // Fatal ends of the run (after the "Аварийное завершение" box) and "Завершить" at a
  // missing ephemeris file end the process here, with their status.
  kv::SetRunEnder([](int status) { std::exit(status); });
  kv::InstallOutOfMemoryHandler();
  kv::InstallProgramFonts();
  kv::DUApp app;
  kv::InstallResourceLookup();
  kv::SetSchemaLoader([] { kv::db::LoadSchema(); });
  kv::LoadProgramSettings(kv::AppSettings(), kv::Resources(), kv::AppLists());
  app.InitMainWindow();
  kv::ComposeMainWindow(app);
  kv::WatchFirstPaints(app.Frame());
  kv::MarkTiming("frame-shown");
  app.Frame()->show();
  return qt_app.exec();
}
