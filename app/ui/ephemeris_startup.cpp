#include "app/ui/ephemeris_startup.h"

#include <QMessageBox>
#include <QPushButton>

#include "astro/ephemeris/ephemeris.h"
#include "common/messages.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_hooks.h"

namespace kv {
namespace {

// "Продолжить" goes on with a zero position; "Завершить" ends the program (status 0).
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
  if (box.clickedButton() != go_on) EndRun(0);
  return true;
}

}  // namespace

void StartEphemeris() {
  SetMissingFileHandler(&AskAboutMissingFile);
  const Status status = InitEphemeris();
  if (!status.ok()) Fatal(status.message());
}

}  // namespace kv
