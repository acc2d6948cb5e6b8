// The user status (dialog 1085 "Статус пользователя"): ordinary user or astrologer,
// option byte 40, which decides between the chart settings dialogs 1023 and 1003.
#pragma once

#include "app/ui/settings/settings_widgets.h"
#include "common/settings.h"

namespace kv {

inline constexpr int kUserStatusResource = 1085;
inline constexpr const char* kHelpStUs = "StUs";
inline constexpr int kIdStatusGroup = 100;
inline constexpr int kIdOrdinaryUser = 200;
inline constexpr int kIdAstrologer = 201;

class DStatus : public settings_ui::SettingsDial {
  Q_OBJECT
 public:
  DStatus(QWidget* parent, Settings& s);

 protected:
  bool CanClose() override;

 private:
  Settings& s_;
  settings_ui::RadioGroup* status_;
};

}  // namespace kv
