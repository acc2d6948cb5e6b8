#include "common/ui/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "common/messages.h"
#include "common/ui/qt_text.h"

namespace kv {
namespace {

void ShowBox(const std::string& text, const char* caption_utf8, QMessageBox::Icon icon) {
  QMessageBox box(icon, QString::fromUtf8(caption_utf8), FromCp1251(text), QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void WarningBox(const std::string& text) {
  ShowBox(text, "Предупреждение", QMessageBox::Warning);
}

void FatalBox(const std::string& text) {
  ShowBox(text, "Аварийное завершение", QMessageBox::Critical);
}

}  // namespace

void InstallMessageBoxes() { SetMessageSink({&WarningBox, &FatalBox}); }

}  // namespace kv
