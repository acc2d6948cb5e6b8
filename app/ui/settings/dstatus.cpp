#include "app/ui/settings/dstatus.h"

#include <QVBoxLayout>

#include "common/ui/window_hooks.h"

namespace kv {

DStatus::DStatus(QWidget* parent, Settings& s)
    : SettingsDial(parent, kUserStatusResource, kHelpStUs, kDialButtonsRow), s_(s) {
  setWindowTitle(QString::fromUtf8("Статус пользователя"));
  status_ = AddRadioGroup(kIdStatusGroup, "Статус пользователя", kIdOrdinaryUser,
                          {"Нормальный человек", "Астролог"});
  status_->SetIndex(s_.ov[kOptAstrologer]);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(14, 12, 14, 10);
  top->addWidget(status_->Box());
  top->addWidget(ButtonBox());
  setMinimumWidth(300);
}

bool DStatus::CanClose() {
  if (status_->Index() >= 0) s_.ov[kOptAstrologer] = static_cast<uint8_t>(status_->Index());
  NotifySettingsChanged();  // open charts read these option bytes too
  return true;
}

}  // namespace kv
