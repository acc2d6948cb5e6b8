// The ephemeris engine joins the start-up once the main window exists: no ephemeris
// files end the run with the fatal box; a file missing later asks the user.
#include <QMessageBox>
#include <QPushButton>

#include "app/ui/startup.h"
#include "astro/ephemeris/ephemeris.h"
#include "common/messages.h"
#include "common/ui/dial.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

inline constexpr const char* kHelpNoFEfem = "NoFEfem";

// "Продолжить" goes on with a zero position; "Завершить" ends the program.
bool AskAboutMissingFile(const std::string& file_name) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8("Не открывается файл эфемерид"),
                  QString::fromUtf8("Не открывается файл эфемерид\n") + FromCp1251(file_name));
  QPushButton* go_on = box.addButton(QString::fromUtf8("Продолжить"), QMessageBox::AcceptRole);
  box.addButton(QString::fromUtf8("Завершить"), QMessageBox::RejectRole);
  box.addButton(QString::fromUtf8("Помощь"), QMessageBox::HelpRole);
  do {
    box.exec();
    if (box.buttonRole(box.clickedButton()) == QMessageBox::HelpRole) OpenHelp(&box, kHelpNoFEfem);
  } while (box.buttonRole(box.clickedButton()) == QMessageBox::HelpRole);
  return box.clickedButton() == go_on;
}

const StartupHookRegistration kEphemerisStartup([] {
  SetMissingFileHandler(&AskAboutMissingFile);
  EngineStatus status = InitEphemeris();
  if (!status.ok) Fatal(status.message);
});

}  // namespace
}  // namespace kv
